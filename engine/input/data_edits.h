// Data edits after the data are read: EDFILE= names a file of lines "persons items value" that
// overwrite response codes in the person code records (ZNN), and MAKEKEY=Y builds the answer key
// from the most frequent code of every item.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "engine/input/work_files.h"
#include "engine/run/item_definition_strings.h"
#include "engine/run/run.h"

namespace korvelan {

// Applies the EDFILE= file to the code records of persons 1..persons. Each line names a person
// or range of persons, an item or range of items (both cut at the counts) and a response value;
// the named responses get the value's code number, looked up as a data response is. codes is scratch for one record. A line
// that does not give two ranges and a value, or a file that cannot be read, stops the run.
void apply_data_edits(Run& run, WorkFiles& files, std::int64_t persons,
                      std::span<std::uint8_t> codes);

// MAKEKEY=Y with more than one code: counts the codes of every item over the persons and items
// taking part (status above -3; statuses indexed from 1), makes the most frequent code of each
// item its key (ties go to the code listed first in CODES=) and makes it the only answer key,
// scoring 1. The key is appended to the control-line copy ZIN as KEY1= lines, so that it stands
// in Table 0.3. Returns false when no key was made.
bool make_answer_key(Run& run, WorkFiles& files, std::int64_t persons,
                     std::span<const std::int8_t> person_status,
                     std::span<const std::int8_t> item_status, std::span<std::uint8_t> codes,
                     ItemDefinitionStrings& strings);

// The KEY1= control lines of a key: at most 70 key characters a line; the first line begins
// KEY1=" and later ones " +"; every line but the last ends in "+", the last in a double quote.
std::vector<std::string> answer_key_control_lines(std::string_view key);

}  // namespace korvelan

// Category and response-code labels at the end of report rows, from the two label files of the
// control file: CFILE= (labels by category value, "value label" or "item+value label") and
// CLFILE= (labels by response code, "code label" or "item+code label", the code optionally
// quoted). Each file is read afresh at every call through a file handle of its own. A file that
// cannot be opened is given up for the rest of the run through a flag of the report state; the
// control value keeps the name as the user wrote it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

// The bytes accepted as quotes around a code: ", ', `, and the low and curly single and double
// quotes of the Windows code page (130, 132, 145, 146, 147, 148).
inline constexpr std::string_view kQuoteCharacters = "\"'`\x82\x84\x91\x92\x93\x94";
bool is_quote_character(char c);

// With a quote at 1-based position start of the line, end becomes the position of the same quote
// after it, else of the first quote of any kind after it; an unclosed or empty quote sets start
// and end to 0. Without a quote at start, end is 0 and start is unchanged.
void find_quoted_field(std::string_view line, int& start, int& end);

// The CFILE= label of the category value for the rating-scale group (item_group: the group of
// every item, 1-based); blank when there is none. An "item+value" line of an item of the group
// ends the reading; of the plain lines the later wins.
std::string category_label_text(Run& run, int category_value, int group,
                                const std::vector<std::int32_t>& item_group);
// Appends " " + that label after the last non-blank character of the line; true when there was
// a label.
bool read_category_label(Run& run, ReportLineBuffer& line, int category_value, int group,
                         const std::vector<std::int32_t>& item_group);

// The CLFILE= label of CODES= entry code_index (1-based) for the item of the group: a line of
// this item wins, then one of an item of the same group, then a plain line; blank when none.
std::string code_label_text(Run& run, int code_index, int item, int group);
// Writes that label into the text from LEN_TRIM(text) + 2 on, cut at the size of the text (the
// field width) or of the line; true when there was a label to write.
bool read_item_category_label(Run& run, int code_index, int item, int group, std::string& text);
bool read_item_category_label(Run& run, int code_index, int item, int group, ReportLineBuffer& line);

}  // namespace korvelan

// Values fixed before the estimation: person and item anchors (PAFILE=, IAFILE=, or typed at the
// console), person and item weights (PWEIGHT=, IWEIGHT=) and the pivots of the rating-scale
// groups (PIVOT=). Each file holds lines "entry value" or "first-last value".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/input/edit_files.h"
#include "engine/run/run.h"

namespace korvelan {

// Sets the measures 1..n to 0, then anchors the entries named in the anchor file (blank: none)
// and, when the question switch is not "N", those given at the console. An entry with status 1
// becomes anchored (status 2) at the value converted to logits; any other entry is left alone,
// so the first anchor given for an entry holds. The file name receives a name typed at the
// console.
void read_anchor_file(Run& run, std::vector<std::int8_t>& status, std::vector<float>& measure,
                      std::int32_t n, char question_switch, std::string& file_name, EntitySide side,
                      std::string_view word, std::string_view plural, const AnchorUnits& units);

// Reads the weights of entries 1..n from the weight file. With a blank name nothing changes.
// Otherwise every weight starts at 1.0 (the array is sized n + 1). Returns the weights-present
// flag: 1 when some weight differs from 1.0. Negative weights are refused with a message line.
std::int16_t read_weight_file(Run& run, std::vector<float>& weights, std::int32_t n,
                              std::string_view file_name, EntitySide side, std::string_view plural);

// Clears the pivots of groups 1..groups (value 0, flag "N"), then reads the pivot file (blank:
// none): each line names items and a value; the first pivot given for an item's group holds.
// An unreadable line with a valid entry ends the run.
void read_pivot_file(Run& run, const std::vector<std::int32_t>& item_group, std::int32_t ni,
                     std::int32_t groups, std::vector<float>& group_pivot,
                     std::vector<std::uint8_t>& group_pivot_flag, std::string_view file_name);

}  // namespace korvelan

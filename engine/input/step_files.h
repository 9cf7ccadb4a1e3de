// Step deletions (SDFILE=, switch SDE) and step anchors (SAFILE=, switch SAN) of the rating-scale
// groups. Category k of group g lives in slot (first slot of g) + k of the per-category arrays.
//
// With one group a line names the category ("2"; anchors "2 1.5"). With several groups it names
// an item or a range of items, each standing for its group, then the category ("3-5 2"; anchors
// "3-5 2 1.5").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/input/edit_files.h"
#include "engine/run/run.h"

namespace korvelan {

// The control values of the step files. The names receive names typed at the console.
struct StepFileSettings {
    char delete_switch = 'N';  // SDE
    std::string sdfile;        // SDFILE=
    char anchor_switch = 'N';  // SAN
    std::string safile;        // SAFILE=
    AnchorUnits units;
};

// The rating-scale groups as the analysis driver set them up (arrays indexed from 1).
struct GroupLayout {
    const std::vector<std::int32_t>& item_group;  // group of each item 1..ni
    std::int32_t ni;
    const std::vector<std::int32_t>& group_top_value;  // 1..groups: highest category value
    const std::vector<std::int32_t>& group_first_slot;    // 1..groups
    std::int32_t groups;
    // The values the codes of each group score (values_scored_by_group); null: every value up
    // to the top counts as scored.
    const std::vector<std::vector<bool>>* scored_values = nullptr;
};

// Sets every category status to 1 and every step value to 0, then applies the step deletions
// (status -3) and the step anchors (status 2 and the value in logits; status 0 when an anchor
// line gave no readable value), from the files and, when the switches are set, the console.
// An anchor on a category value below the lowest one the group's codes score would bring an
// empty category into the scale: from a file it stops the run, naming the file, line and value;
// typed, it is refused and the next is asked for. An anchor on a value inside the group's range
// that no code scores is warned of (the estimation leaves it out, as every anchor on a category
// that no response of its group uses).
void read_step_files(Run& run, std::vector<float>& step_value,
                     std::vector<std::int32_t>& category_status, const GroupLayout& layout,
                     StepFileSettings& settings);

// Reads "entry[-last] category value" from a line (changed in place: only digits, "-" and "."
// stay). Returns 0 when all three were read; -1 when a field is missing or the entry or category
// field is bad (entries and category then 0); otherwise the read status of the value field.
int parse_entry_value_line(std::string& line, int& first, int& category, float& value, int& last);

}  // namespace korvelan

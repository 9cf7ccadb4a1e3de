// The values of the structure summary's category rows, derived from the category statistics of
// one rating-scale group, and the writers of its tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/report/report_context.h"

namespace korvelan {

// One category k of the group (slot f + k), every text at its field width.
struct StructureRow {
    int k = 0;
    int value = 0;        // category value
    int score = 0;        // value of the group's first slot + k
    float count = 0.0f;   // observed, weighted
    int percent = 0;      // of the group's total count
    bool observed = false;
    bool anchored = false;  // category status 2
    std::string observed_average = std::string(6, ' ');
    char disorder = ' ';  // "*": an earlier category averaged at least as high
    std::string expected_average = std::string(5, ' ');
    float infit = 0.0f, outfit = 0.0f;
    int measure_to_category = 0, category_to_measure = 0;
    float residual = 0.0f;  // percent, or the expected count of an unobserved category
    bool residual_percent = false;
    std::string step = std::string(9, ' ');       // calibration and anchor mark
    std::string step_error = std::string(15, ' ');  // calibration (or measure), mark, S.E.
    std::string category_measure = std::string(7, ' ');
    float lower_zone = 0.0f, upper_zone = 0.0f, thurstone = 0.0f;
};

// What the tables of one group show.
struct StructureGroup {
    int group = 0;
    int top = 0;
    int first_slot = 0;
    int first_item = 0;  // first measured member, in entry order
    char model = 'R';
    float offset = 0.0f;  // the item's measure in a group of one item, else 0
    float missing = 0.0f;
    int missing_percent = 0;
    std::string missing_average = std::string(6, ' ');
    std::vector<StructureRow> rows;  // k = 0..top
};

// The rows of group g with the given measure offset; residual_column_flag is set to 1 when some
// category's |OBS-EXP| reaches 1% of its expected count (at least 1).
StructureGroup structure_group_values(const Run& run, int group, int first_item, float offset,
                                      std::int32_t& residual_column_flag);

// The table of a dichotomous group, and the two tables of a rating scale.
void write_dichotomous_structure(ReportContext& ctx, const StructureGroup& s);
void write_polytomous_structure(ReportContext& ctx, const StructureGroup& s);

}  // namespace korvelan

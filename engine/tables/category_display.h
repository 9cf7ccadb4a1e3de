// Table 2, the category displays: for every measured item one row on a horizontal measure axis
// with its categories printed where each becomes the most probable response (2.1), at the
// expected-score points (2.2), at the Thurstone thresholds (2.3), at the step calibrations (2.4),
// and at the average measures of the persons observed in them (2.5 to 2.7).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/report/report_context.h"

namespace korvelan {

// What the sub-tables of one request share: the axis lines, the mode starts, and the average
// measures of 2.5 to 2.7, each by (category or code index, item) with the item varying fastest.
struct CategoryDisplays {
    explicit CategoryDisplays(ReportContext& c) : ctx(c), run(c.run) {}
    ReportContext& ctx;
    Run& run;
    std::string labels, rule;
    std::vector<float> mode_start;  // per slot: the measure, relative to the item, where the
    std::vector<char> modal;        // category becomes the most probable (modal[slot] = 1)
    std::vector<float> observed_weight, observed_average, expected_weight, expected_average;
    std::vector<float> code_weight, code_average;
    std::size_t at(int index, int item) const {
        return static_cast<std::size_t>(index) * static_cast<std::size_t>(run.arrays.items) +
               static_cast<std::size_t>(item - 1);
    }
};

// Adds value with weight w to a running weighted mean: the weight sum gains w and the mean
// moves w / (weight sum) of the way to the value, so that it stays sum(w x value) / sum(w).
void add_to_weighted_mean(float& weight_sum, float& mean, float w, float value);

// The mode starts of every group: for a dichotomy its threshold; for more categories a scan of
// 601 points a tenth of a column apart from the first Thurstone threshold up, each category that
// becomes at least as probable as the current one taking over (of equals, the higher).
void find_mode_starts(CategoryDisplays& t);

// One sub-table, display d (1 to 7), from the values already in t.
void write_category_display(CategoryDisplays& t, int d);

// Sub-tables 2.5 to 2.7 on an axis of the persons' measures: the observed average measures by
// category and by response code, and the model-expected ones, weighted by the person weights.
void write_average_measure_displays(CategoryDisplays& t);

// Writes the sub-tables that the request asks for (2.1 or 2.2 and 2.5 to 2.7 by default).
void write_table2_category_maps(ReportContext& ctx);

}  // namespace korvelan

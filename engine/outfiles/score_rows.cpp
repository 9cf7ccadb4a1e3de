#include <array>
#include <cmath>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/weighted_sums.h"
#include "engine/estimation/score_search.h"
#include "engine/outfiles/score_file.h"

namespace korvelan {

TestScoreRange test_score_range(const AnalysisArrays& a) {
    double top = 0.0, low = 0.0;
    for (int i = 1; i <= a.items; ++i) {
        if (array_value(a.item_status, i, status::kDeleted) <= 0) continue;
        const int g = array_value(a.item_group, i);
        if (g < 1 || g > a.groups) continue;
        const double w = item_weight(a, i);
        top += w * a.group_top_category[static_cast<std::size_t>(g)];
        low += w * array_value(a.category_value, a.group_first_slot[static_cast<std::size_t>(g)]);
    }
    return {weighted_score_nint(top), weighted_score_nint(low), static_cast<float>(top)};
}

ScoreRows person_measures_for_scores(const Run& run, const TestScoreRange& r) {
    const AnalysisArrays& a = run.arrays;
    const ScoreSearchScale scale = score_search_scale(run, true);
    ScoreEntryList items = score_item_list(score_search_items(run), scale);
    const auto n = static_cast<std::size_t>(r.range) + 1;
    ScoreRows rows{std::vector<float>(n), std::vector<float>(n), std::vector<float>(n)};
    auto keep = [&](int k, const ScoreMeasure& m) {
        rows.measure[static_cast<std::size_t>(k)] = m.measure;
        rows.error[static_cast<std::size_t>(k)] = m.standard_error;
        rows.information[static_cast<std::size_t>(k)] = m.information;
    };
    auto search = [&](int k, float start) {
        return find_person_measure_for_score(start, score_row_target(k, r.range, r.maximum),
                                             r.maximum, items, scale);
    };
    const float mean = a.estimation.item_mean_measure;
    const ScoreMeasure lowest = search(0, mean - 3.0f * a.estimation.item_sd_measure);
    keep(0, lowest);
    keep(r.range, search(r.range, 2.0f * mean - lowest.measure));
    // The scores between go in the three columns of the report's score grid, each column
    // searched upwards from the item mean, every score starting at the measure of the one before
    // it: the file and the report show the same measures.
    const int per_column = r.range / 3 + 1;
    for (int c = 0; c < 3; ++c) {
        float start = mean;
        for (int row = 0; row < per_column; ++row) {
            const int k = row + c * per_column;
            if (k <= 0 || k >= r.range) continue;
            const ScoreMeasure m = search(k, start);
            keep(k, m);
            start = m.measure;
        }
    }
    return rows;
}

}  // namespace korvelan

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

namespace {

// Interpolation search for x in the rising values t[0..n]: the row whose value is nearest.
std::int32_t score_row(const std::vector<float>& t, float x) {
    std::int32_t lo = 0, hi = static_cast<std::int32_t>(t.size()) - 1;
    if (x <= t[0]) return 0;
    if (x >= t[static_cast<std::size_t>(hi)]) return hi;
    // Here t[lo] < x < t[hi] always, so the bracket never has equal ends.
    for (;;) {
        if (hi == lo + 1) return 2.0f * x <= t[static_cast<std::size_t>(lo)] + t[static_cast<std::size_t>(hi)] ? lo : hi;
        const float tl = t[static_cast<std::size_t>(lo)], th = t[static_cast<std::size_t>(hi)];
        auto probe = static_cast<std::int32_t>(static_cast<float>(lo) +
                                               static_cast<float>(hi - lo - 2) * (x - tl) / (th - tl) + 1.0f);
        probe = std::clamp(probe, lo + 1, hi - 1);
        const float tp = t[static_cast<std::size_t>(probe)];
        if (tp < x) lo = probe;
        else if (x < tp) hi = probe;
        else return probe;
    }
}

}  // namespace

std::optional<std::vector<std::int32_t>> score_frequencies(const AnalysisArrays& a,
                                                           const std::vector<float>& measure,
                                                           float uscale) {
    const float scale = uscale == 0.0f ? 1.0f : uscale;
    std::vector<float> t(measure.size());
    for (std::size_t k = 0; k < t.size(); ++k) {
        t[k] = measure[k] / scale;
        if (!std::isfinite(t[k]) || (k > 0 && t[k] < t[k - 1])) return std::nullopt;
    }
    std::vector<std::int32_t> count(t.size(), 0);
    if (t.empty()) return count;
    for (int n = 1; n <= a.persons; ++n) {
        if (base_status(array_value(a.person_status, n, status::kDeleted)) < status::kExtremeMinimum) continue;
        const float x = a.person_measure[static_cast<std::size_t>(n)] / scale;
        if (!std::isfinite(x)) return std::nullopt;
        ++count[static_cast<std::size_t>(score_row(t, x))];
    }
    return count;
}

}  // namespace korvelan

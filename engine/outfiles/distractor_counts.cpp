#include "engine/outfiles/distractor_counts.h"

#include <algorithm>
#include <cmath>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/input/response_scoring.h"
#include "engine/outfiles/observation_values.h"
#include "engine/run/report_line.h"

namespace korvelan {

void RunningMean::add(double w, double x) {
    weight += w;
    mean += w * (x - mean) / weight;
    mean_square += w * (x * x - mean_square) / weight;
}

double RunningMean::standard_error() const {
    if (weight <= 1.0) return 0.0;
    return std::sqrt(std::max((mean_square - mean * mean) / (weight - 1.0), 0.0));
}

double DistractorCounts::outfit_mean_square(std::int32_t item, std::int32_t code) const {
    const OptionCounts& o = at(item, code);
    if (o.recoded < 0 || o.recoded > top) return o.outfit.mean;
    const double square = expected(expected_square, item, o.recoded);
    return square > 0.0 ? o.outfit.mean * expected(expected_count, item, o.recoded) / square : o.outfit.mean;
}

namespace {

// The item's score of every code; code 0 (no code matched) is missing.
void score_codes(const Run& run, const AnalysisArrays& a, DistractorCounts& d) {
    for (std::int32_t i = 1; i <= a.items; ++i) {
        if (array_value(a.item_status, i, status::kDeleted) < status::kExtremeMinimum ||
            array_value(a.item_group, i) <= 0)
            continue;
        d.at(i, 0).scored = kMissingCategory;
        for (std::int32_t c = 1; c <= d.codes; ++c) d.at(i, c).scored = score_response(run, c, i);
    }
}

// The model part of one response of a measured person to a measured item in category k.
void add_model_values(DistractorCounts& d, const AnalysisArrays& a, const OutputSettings& s,
                      CategoryCurves& curves, std::int32_t i, double w, float bp, int k,
                      OptionCounts& o, std::vector<float>& p) {
    const int g = a.item_group[static_cast<std::size_t>(i)];
    const int m = a.group_top_category[static_cast<std::size_t>(g)];
    const float di = measure_in_logits(s, a.item_measure[static_cast<std::size_t>(i)], a.estimation.item_bias_factor);
    const ModelMoments e = model_moments(a, curves, g, bp - di, p.data());
    const double v = std::max(static_cast<double>(e.variance), static_cast<double>(kSmallestPositiveValue));
    double expected = e.expected;
    if (array_value(a.group_model, g, 'R') == 'F') expected += std::max(k - 1, 0);
    o.recoded = k;
    o.outfit.add(w, (k - expected) * (k - expected) / v);
    const std::size_t row = static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(d.top + 1);
    for (int j = std::min(m, d.top); j >= 0; --j) {
        d.expected_count[row + static_cast<std::size_t>(j)] += w * p[static_cast<std::size_t>(j)];
        d.expected_square[row + static_cast<std::size_t>(j)] += w * (j - expected) * (j - expected) * p[static_cast<std::size_t>(j)] / v;
    }
}

}  // namespace

DistractorCounts count_distractors(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                   EntryRecords& records, CategoryCurves& curves) {
    DistractorCounts d;
    d.codes = std::max(run.cv.categs, 0);
    d.top = std::max(a.top_value, 1);
    for (int g = 1; g <= a.groups; ++g) d.top = std::max(d.top, a.group_top_category[static_cast<std::size_t>(g)]);
    const auto ni = static_cast<std::size_t>(std::max(a.items, 0));
    d.options.assign(ni * static_cast<std::size_t>(d.codes + 1), OptionCounts{});
    d.expected_count.assign(ni * static_cast<std::size_t>(d.top + 1), 0.0);
    d.expected_square.assign(d.expected_count.size(), 0.0);
    score_codes(run, a, d);
    std::vector<std::uint8_t> codes(ni);
    std::vector<float> p(static_cast<std::size_t>(d.top) + 2, 0.0f);
    for (std::int32_t n = 1; n <= a.persons; ++n) {
        const int ps = base_status(array_value(a.person_status, n, status::kDeleted));
        if (ps < status::kDropped) continue;
        const double w = person_weight(a, n);
        const float x = a.person_measure[static_cast<std::size_t>(n)];
        const float bp = measure_in_logits(s, x, a.estimation.person_bias_factor);
        records.person_codes(n, codes);
        for (std::int32_t i = 1; i <= a.items; ++i) {
            const int is = array_value(a.item_status, i, status::kDeleted);
            if (is < status::kDropped) continue;
            const std::int32_t c = codes[static_cast<std::size_t>(i - 1)] <= d.codes ? codes[static_cast<std::size_t>(i - 1)] : 0;
            OptionCounts& o = d.at(i, c);
            const bool missing = o.scored == kMissingCategory;
            ++(missing ? o.missing : o.responses);
            if (ps >= status::kExtremeMinimum && w > 0.0) (missing ? o.missing_measures : o.used).add(w, x);
            if (missing || o.scored < 0 || ps < 1 || is < 1) continue;
            const int g = a.item_group[static_cast<std::size_t>(i)];
            if (g < 1 || g > a.groups || o.scored > a.group_top_category[static_cast<std::size_t>(g)]) continue;
            const int k = array_value(a.category_recoded, a.group_first_slot[static_cast<std::size_t>(g)] + o.scored, -1);
            if (k >= 0) add_model_values(d, a, s, curves, i, w, bp, k, o, p);
        }
        show_progress_bar(run, n, a.persons);
    }
    return d;
}

}  // namespace korvelan

#include "engine/outfiles/observation_values.h"

#include <cmath>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"

namespace korvelan {

float measure_in_logits(const OutputSettings& s, float v, float factor) {
    float scale = (s.uscale == 0.0f ? 1.0f : s.uscale) * factor;
    if (scale == 0.0f) scale = 1.0f;
    return (v - s.umean) / scale;
}

ModelMoments model_moments(const AnalysisArrays& a, CategoryCurves& curves, std::int32_t g, float d,
                           int k, float* p) {
    const int m = a.group_top_category[static_cast<std::size_t>(g)];
    const char model = array_value(a.group_model, g, 'R');
    ModelMoments r;
    if (m < 2 || model == 'R') {
        r.expected = curves.category_probabilities(a, g, d, p);
        double sum = 0.0;
        for (int j = 1; j <= m; ++j) sum += static_cast<double>(j) * j * p[j];
        r.variance = static_cast<float>(sum - static_cast<double>(r.expected) * r.expected);
    } else {
        r.expected = curves.step_probabilities(a, g, d, k, p);
        double sum = 0.0;
        for (int j = 1; j <= m; ++j) sum += static_cast<double>(p[j]) * (1.0 - p[j]);
        r.variance = static_cast<float>(sum);
        curves.category_probabilities(a, g, d, p);
    }
    r.probability = p[k];
    return r;
}

ObservationValues observation_values(const AnalysisArrays& a, const OutputSettings& s,
                                     CategoryCurves& curves, std::int32_t item, int person_status,
                                     float bp, std::uint8_t x, float* p_work) {
    ObservationValues v;
    const int ps = base_status(person_status);
    const int is = array_value(a.item_status, item, status::kDeleted);
    if (is < status::kDropped) return v;
    v.observed = x;
    if (ps >= status::kExtremeMinimum && is >= status::kExtremeMinimum)
        v.measure = bp - measure_in_logits(s, a.item_measure[static_cast<std::size_t>(item)],
                                           a.estimation.item_bias_factor);
    const int g = array_value(a.item_group, item);
    const int k = recoded_category(a, g, x);
    const bool usable = (ps >= 1 && is >= status::kExtremeMinimum) ||
                        (is >= 1 && ps >= status::kExtremeMinimum);
    if (k < 0 || !usable) return v;
    const int m = a.group_top_category[static_cast<std::size_t>(g)];
    const int first = a.group_first_slot[static_cast<std::size_t>(g)];
    const int bottom = array_value(a.category_value, first);
    const ModelMoments e = model_moments(a, curves, g, v.measure, k, p_work);
    v.expectation = static_cast<float>(bottom) + e.expected;
    v.ordered = bottom + k;
    int r = k;
    if (m >= 2 && array_value(a.group_model, g, 'R') == 'F' && k > 0) {
        v.expectation += static_cast<float>(k - 1);
        r = 1;
    }
    v.log_probability = std::log(e.probability);
    v.residual = static_cast<float>(r) - e.expected;
    v.zscore = v.residual / std::sqrt(std::max(e.variance, kSmallestPositiveValue));
    v.variance = e.variance;
    return v;
}

}  // namespace korvelan

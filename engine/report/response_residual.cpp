#include "engine/report/response_residual.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit_formulas.h"

namespace korvelan {

namespace {

constexpr double kVarianceFloor = 0.001;
// Scored responses run from 0 to 254, so no top category passes 254.
constexpr int kLargestTop = 254;

float user_to_logit(const Run& run, float measure, float factor) {
    const float scale = (run.cv.uscale == 0.0f ? 1.0f : run.cv.uscale) * factor;
    return (measure - run.cv.umean) / (scale == 0.0f ? 1.0f : scale);
}

}  // namespace

float response_standardized_residual(const CategoryModel& g, float d, int c) {
    std::array<float, kLargestTop + 1> p{};
    const int m = std::min(g.top, kLargestTop);
    const CategoryModel group{m, g.model, g.steps, g.status};
    // The chains' steps attempted depend on the category: the residual's own variance.
    if (uses_step_chain(group)) return chain_standardized_residual(group, d, c);
    const double expected = compute_category_probabilities(group, d, p.data());
    double variance = 0.0;
    for (int k = 1; k <= m; ++k) variance += static_cast<double>(k) * k * p[k];
    variance = std::max(variance - expected * expected, kVarianceFloor);
    return static_cast<float>((c - expected) / std::sqrt(variance));
}

float response_standardized_residual(const Run& run, int person, int item, int c) {
    const AnalysisArrays& a = run.arrays;
    const float b = user_to_logit(run, a.person_measure[person], a.estimation.person_bias_factor);
    const float delta = user_to_logit(run, a.item_measure[item], a.estimation.item_bias_factor);
    return response_standardized_residual(group_model_view(a, a.item_group[item]), b - delta, c);
}

}  // namespace korvelan

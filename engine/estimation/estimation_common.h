// Small helpers every estimation phase shares: entry statuses as the phases read them, weights,
// the rating-scale group of an item, and the bounds that keep every step and search finite.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/estimation/category_model.h"
#include "engine/estimation/weighted_sums.h"
#include "engine/run/analysis_arrays.h"
#include "engine/run/category_slots.h"

namespace korvelan {

// A person status without the PROX completeness mark (statuses above 8 carry 16 more).
inline int base_status(int s) { return s > 8 ? s - status::kProxCompleteMark : s; }

inline float person_weight(const AnalysisArrays& a, int p) {
    return a.person_weights.empty() ? 1.0f : a.person_weights[p];
}
inline float item_weight(const AnalysisArrays& a, int i) {
    return a.item_weights.empty() ? 1.0f : a.item_weights[i];
}
// The weight of one observation in the step and category sums: w_p x w_i, except that an item of
// weight 0 counts with the person's weight when every item of its group has weight 0.
inline float combined_weight(const AnalysisArrays& a, int i, float wp, float wi) {
    if (wi != 0.0f) return wp * wi;
    const int g = a.item_group[i];
    const float largest = a.group_weight_values.empty() ? 0.0f : a.group_weight_values[g];
    return largest != 0.0f ? 0.0f : wp;
}

// The groups as the category-model routines walk them: from index 0, so the 1-based group
// arrays are passed from their first group.
inline RatingScaleGroups rating_scale_groups(const AnalysisArrays& a) {
    return RatingScaleGroups{a.groups, a.group_top_category.data() + 1,
                             a.group_first_slot.data() + 1, a.group_model.data() + 1};
}
// The probability model of group g with the current step calibrations and statuses.
inline CategoryModel group_model_view(const AnalysisArrays& a, int g) {
    const int f = a.group_first_slot[g];
    return CategoryModel{a.group_top_category[g], a.group_model[g], a.step_calibration.data() + f,
                         a.category_status.data() + f};
}
// Iterations of the multiplicative shrink that bounds a measure step to 1 logit; a finite step
// needs fewer than 850. What is left above 1 after them (or a step that is not a number) is cut.
// The score for estimation as the displacement uses it: a score at an end is taken from the
// expected score and the extreme-score adjustment.
inline double displacement_score(double score, double maximum, double expected, float adjustment) {
    const ScoreEnd end = reachable_score_end(score, maximum);
    if (end == ScoreEnd::kLowest) return std::min(expected, static_cast<double>(adjustment));
    if (end == ScoreEnd::kHighest) return std::max(maximum - adjustment, expected);
    return score;
}
// Displacement of a person in logits: how far its measure would move for the expected score to
// reach its score for estimation, from the expected scores at the measure and 1 logit below it.
// An item's displacement is the negative of the same expression.
inline double person_side_displacement(double score, double maximum, double expected,
                                       double expected_below, float adjustment) {
    if (maximum <= 0.0) return 0.0;
    const double r = displacement_score(score, maximum, expected, adjustment);
    const double la = log_ratio_with_floor(static_cast<float>(expected), static_cast<float>(maximum - expected));
    const double lb = log_ratio_with_floor(static_cast<float>(expected_below),
                                           static_cast<float>(maximum - expected_below));
    const double lc = log_ratio_with_floor(static_cast<float>(r), static_cast<float>(maximum - r));
    return std::fabs(la - lb) < kSmallestPositiveValue ? (r - expected) / maximum
                                                       : (lc - la) / (la - lb);
}

inline constexpr int kStepShrinkLimit = 1000;
inline float bound_step(float step) {
    if (!std::isfinite(step)) return std::isnan(step) ? 0.0f : (step > 0 ? 1.0f : -1.0f);
    for (int n = 0; n < kStepShrinkLimit && std::fabs(step) > 1.0f; ++n) step *= 0.9f;
    if (step > 1.0f) step = 1.0f;
    if (step < -1.0f) step = -1.0f;
    return step;
}

// Weighted sums of pairs (x, y) for a Pearson correlation with population moments.
struct WeightedPairSums {
    double w = 0.0, x = 0.0, y = 0.0, xx = 0.0, yy = 0.0, xy = 0.0;
    void add(double xv, double yv, double weight) {
        w += weight;
        x += weight * xv;
        y += weight * yv;
        xx += weight * xv * xv;
        yy += weight * yv * yv;
        xy += weight * xv * yv;
    }
    void add(const WeightedPairSums& o) {
        w += o.w, x += o.x, y += o.y, xx += o.xx, yy += o.yy, xy += o.xy;
    }
    // cov / sqrt(var_x var_y); false (and 0) when there is no weight or either variance is 0
    // (within rounding of the sums).
    bool correlation(float& r) const {
        r = 0.0f;
        if (!(w > 0.0)) return false;
        const double mx = x / w, my = y / w;
        const double vx = xx / w - mx * mx, vy = yy / w - my * my;
        if (!(vx > 1e-12 * (xx / w)) || !(vy > 1e-12 * (yy / w))) return false;
        const double eps = kSmallestPositiveValue;
        r = static_cast<float>((xy / w - mx * my) / std::sqrt(std::fabs(std::max(vx * vy, eps))));
        return true;
    }
};

// Largest number of iterations of PROX and of UCON: the iteration report numbers rows up to it.
inline constexpr std::int32_t kIterationLimit = 32000;

}  // namespace korvelan

// The category probability model shared by every phase of the estimation and by the writers:
// the probability of each category of an item's rating scale at one measure difference, the
// per-step success probabilities of the success and failure chains, and two small numeric
// routines (a floored log-ratio and the packing of a capped fit value).
//
// These routines run once per observation in every estimation and fit pass. They allocate
// nothing: the caller owns the probability array and passes a view of the item's group.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace korvelan {

// Largest exponent the probability routines pass to exp().
inline constexpr float kExponentClamp = 20.0f;
// exp(-30) as a 4-byte real: the floor of every ratio, logarithm and variance.
inline constexpr float kSmallestPositiveValue = 9.35762297e-14f;
// Largest mean-square and largest magnitude of a standardized fit value that is kept.
inline constexpr float kFitStatisticCap = 9.9f;

// One rating-scale group as the probability routines see it.
//
// `steps` and `status` point at the slot of category 0 of the group in the per-category arrays,
// so steps[k] and status[k] belong to category k (k = 0..top). steps[0] and status[0] are never
// read by the probability routines.
//
// status[k]: 1 observed and free, 2 anchored, 0 a category that takes part in the score
// numbering but has probability 0. In model 'R' a negative status counts like an active one; in
// models 'S' and 'F' every status below 1 marks an inactive step.
struct CategoryModel {
    std::int32_t top = 0;  // top category m; below 2 the item is dichotomous
    char model = 'R';      // 'R' rating scale, 'S' success chain, any other letter failure chain
    const float* steps = nullptr;  // step calibrations in logits
    const std::int32_t* status = nullptr;
};

// The rating-scale groups of an analysis in the per-category slot arrays: group g has its top
// category top[g], the index first_slot[g] of the slot of its category 0, and model[g].
struct RatingScaleGroups {
    std::int32_t count = 0;
    const std::int32_t* top = nullptr;
    const std::int32_t* first_slot = nullptr;
    const char* model = nullptr;
};

// The view of group g of the given slot arrays.
inline CategoryModel group_view(const RatingScaleGroups& groups, int g, const float* steps,
                                const std::int32_t* status) {
    const std::int32_t f = groups.first_slot[g];
    return CategoryModel{groups.top[g], groups.model[g], steps + f, status + f};
}

// True when the group uses the success or failure chain (model 'S' or 'F' with at least three
// categories); dichotomous items and model 'R' use the rating-scale formulas.
inline bool uses_step_chain(const CategoryModel& g) {
    return g.top >= 2 && g.model != 'R';
}

// The probability of success on a dichotomous item whose step calibration is `step`, at measure
// difference x (logits); the probability routines store it as a 4-byte value.
inline double dichotomous_success_probability(float step, float x) {
    const double z = std::min(static_cast<double>(step) - x, static_cast<double>(kExponentClamp));
    return 1.0 / (1.0 + std::exp(z));
}

// Fills p[0..m] with the probability of each category at measure difference x (person measure
// minus item difficulty, logits) and returns the expected score. A group with top category 0
// gets p[0] = 1; one below 0 has no categories and nothing is written; both return 0.
float compute_category_probabilities(const CategoryModel& g, float x, float* p);

// Per-step success probabilities of the steps a person with observed category c attempted
// (model 'S': steps 1..min(c+1, m); any other model: steps max(c, 1)..m), written to p[0..m],
// with 0 for steps not attempted; returns their sum, the expected score of the chain models.
// p[0] is 1 - p[1] in model 'S', and in the other models when c < 2 (else 0). A group without
// steps (top category below 1) gets nothing written and 0.
float compute_success_failure_step_probabilities(const CategoryModel& g, float x, int c, float* p);

// ln(max(a / max(b, e), e)) with e = kSmallestPositiveValue: a log-odds that stays finite.
float log_ratio_with_floor(float a, float b);

// The value with its magnitude capped at 9.9, rounded to two decimals (halves away from zero),
// plus code / 1000; the fit pass stores a standardized value with its mean-square in the
// thousandths this way. Rounding works on the 4-byte value as stored.
float pack_capped_fit_value(float value, float code);

}  // namespace korvelan

// The curves of one rating-scale group over a grid of measures: the probability of each
// category, the expected score, the cumulative probabilities, the information and the
// information of each category. Pure numerics in 4-byte reals: the curve plots of the report
// and the graphs program compute their curves here, so that both draw the same lines.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace korvelan {

// The normalising exponent: the largest exponent of a rating scale is raised to exactly this
// value, and a dichotomous exponent is cut to it, so nothing overflows.
inline constexpr float kCurveExponentCap = 40.0f;

// One group as the curves see it. steps[k] is the step calibration (logits) into category k,
// k = 1..top; steps[0] is not read. status, when given, holds one value per category: a category
// of status 0 takes part in the score numbering with probability 0 (its step is carried into
// the next category). model is the group's model letter: the curves are computed for the
// rating scale ('R') and for dichotomous groups; the success and failure chains ('S', 'F') of
// three or more categories are not, their curves stay 0.
struct CurveGroup {
    std::int32_t top = 0;
    char model = 'R';
    std::span<const float> steps;
    std::span<const std::int32_t> status;
    float cap = kCurveExponentCap;
};

// Whether category k is a null category: not observed inside a kept structure (status 0). Its
// probability is 0 everywhere and its step is carried into the next category.
bool null_category(const CurveGroup& g, int k);

// Whether the curves of the group are computed (see CurveGroup::model).
bool curves_computed(const CurveGroup& g);

// compute_category_curve_values: the probabilities P_0..P_top at measure x (logits, relative to
// the item) into p[0..top] and the expected score, 0..top. A group with top 0 has P_0 = 1.
float compute_category_curve_values(const CurveGroup& g, float x, std::span<float> p);

// Information at one measure from the probabilities and the expected score: E - E^2 for a
// dichotomous group, else the sum of k^2 P_k less E^2.
float curve_information(std::span<const float> p, float expected);

// The curves at the points of a grid: point n (0..points - 1) at plotted measure low +
// n x increment; the model is evaluated at plotted measure / scale (scale: user units per
// logit, 1 when 0). Values of point n and category k stand at n x (top + 1) + k
// (probability, category_information) and n x top + k (cumulative, k = 0..top - 1).
struct CurveSeries {
    std::int32_t top = 0;
    std::int32_t points = 0;
    std::vector<float> measure;               // plotted measure of each point
    std::vector<float> probability;           // P_k
    std::vector<float> expected;              // expected score 0..top
    std::vector<float> cumulative;            // P_0 + ... + P_k, k = 0..top - 1
    std::vector<float> information;           // I
    std::vector<float> category_information;  // I x P_k
    float maximum_information = 0.0f;

    float probability_at(int point, int k) const {
        return probability[static_cast<std::size_t>(point * (top + 1) + k)];
    }
    float cumulative_at(int point, int k) const {
        return cumulative[static_cast<std::size_t>(point * top + k)];
    }
};

CurveSeries compute_curve_series(const CurveGroup& g, float low, float increment,
                                 int points, float scale);

}  // namespace korvelan

// The per-observation and per-entry formulas of the fit statistics: the observation's model
// variance and fourth central moment, the score and maximum the model counts, the standardized
// residual, and the mean-squares with their standardized forms, standard error and caps. The fit
// pass sums the per-observation values (in double) and hands the sums to the entry formulas.
#pragma once

#include <algorithm>
#include <cmath>

#include "engine/estimation/category_model.h"

namespace korvelan {

// Score x' and maximum m' of an observation in category x as the item's model counts them: the
// success chain counts the steps up to the first failure (m' = min(x + 1, m)); the failure chain
// counts a passed step as 1 out of the steps m..x (x' = 1, m' = m - x + 1 for x > 0).
struct ModelScore {
    int score;
    int maximum;
};
inline ModelScore model_score(const CategoryModel& g, int x) {
    const int m = g.top;
    if (!uses_step_chain(g)) return {x, m};
    if (g.model == 'S') return {x, std::min(x + 1, m)};
    if (x > 0) return {1, m - x + 1};
    return {x, m};
}

// Model variance W (floored at kSmallestPositiveValue) and fourth central moment C (floored at
// 0) of one observation. p and expected come from compute_category_probabilities for the
// rating-scale formulas, and from compute_success_failure_step_probabilities for the chain
// models (uses_step_chain). A chain observation's score is a sum of independent step outcomes
// (a step outside the observation has q = 0), so with q = (1 - p)p per step its variance is the
// sum of q and its fourth central moment is the steps' own fourth moments, sum of q(1 - 3q), plus
// 6 q_j q_k for every pair of steps: sum of q(1 - 6q) + 3(sum of q)^2. The probabilities are
// floats, or doubles holding floats.
struct ObservationMoments {
    float variance;
    float kurtosis;
};
template <class Probability>
inline ObservationMoments observation_moments(const CategoryModel& g, const Probability* p,
                                              float expected) {
    const int m = g.top;
    double w = 0.0;
    double c = 0.0;
    if (uses_step_chain(g)) {
        for (int k = 1; k <= m; ++k) {
            const double q = (1.0 - p[k]) * static_cast<double>(p[k]);
            w += q;
            c += q * (1.0 - 6.0 * q);
        }
        c += 3.0 * w * w;
    } else {
        double s2 = 0.0, s3 = 0.0, s4 = 0.0;
        for (int k = 1; k <= m; ++k) {
            const double k2p = static_cast<double>(k) * k * p[k];
            s2 += k2p;
            s3 += k * k2p;
            s4 += static_cast<double>(k) * k * k2p;
        }
        const double e = expected;
        const double e2 = e * e;
        w = s2 - e2;
        c = s4 - 4.0 * e * s3 + 6.0 * e2 * s2 - 3.0 * e2 * e2;
    }
    return {static_cast<float>(std::max(w, static_cast<double>(kSmallestPositiveValue))),
            static_cast<float>(std::max(c, 0.0))};
}

// The residual y_k = x'_k - E_k of an observation of a success or failure chain in each category
// k (E_k from the steps that category attempts), into y[0..m], and the variance of the residual
// under the model, V = sum of q_k y_k^2 with q[0..m] the category probabilities at d (floored at
// kSmallestPositiveValue). The steps attempted depend on the category, so W_k of the observed
// category is not the variance of its residual; V is (and equals the expected W_k), so y / sqrt(V)
// has mean 0 and variance 1 on data the model made. steps: room for m + 1 probabilities.
template <class Probability>
inline double chain_residual_variance(const CategoryModel& g, float d, const Probability* q,
                                      float* steps, double* y) {
    double variance = 0.0;
    for (int k = 0; k <= g.top; ++k) {
        const float e = compute_success_failure_step_probabilities(g, d, k, steps);
        y[k] = static_cast<float>(model_score(g, k).score) - e;
        variance += y[k] * y[k] * static_cast<double>(q[k]);
    }
    return std::max(variance, static_cast<double>(kSmallestPositiveValue));
}

// The standardized residual of a chain observation in category c at d (as the fit pass forms it).
inline float chain_standardized_residual(const CategoryModel& g, float d, int c) {
    float q[256], steps[256];
    double y[256];
    const CategoryModel h{std::min(g.top, 254), g.model, g.steps, g.status};
    compute_category_probabilities(h, d, q);
    const double variance = chain_residual_variance(h, d, q, steps, y);
    return static_cast<float>(y[std::clamp(c, 0, h.top)] / std::sqrt(variance));
}

// z = y / sqrt(W), the standardized residual of residual y = x' - E.
inline float standardized_residual(float residual, float variance) {
    return static_cast<float>(residual / std::sqrt(static_cast<double>(variance)));
}

// A mean-square and its standardized value.
struct FitValue {
    float mean_square;
    float standardized;
};

// Mean-square sum / df (df floored at 1e-5) and its standardized value: ln(max(MS, 1e-5)) in the
// logarithmic form, else (MS^(1/3) - 1) / (sqrt(max(variance, 1e-5)) / (3 df)), the cube root
// standardization taken without a bias term.
inline FitValue standardize_mean_square(double sum, double variance, double df, bool logarithmic) {
    df = std::max(df, 1e-5);
    const double ms = sum / df;
    double z;
    if (logarithmic) {
        z = std::log(std::max(ms, 1e-5));
    } else {
        z = (std::cbrt(ms) - 1.0) / (std::sqrt(std::max(variance, 1e-5)) / (3.0 * df));
    }
    return {static_cast<float>(ms), static_cast<float>(z)};
}

// How the standardized fit values are formed: the cube-root form, ln of the mean-square ("LOC"
// "L"), or the plain difference of the sum from its expectation over its model S.D. ("NO" "Y").
enum class FitForm { CubeRoot, Logarithm, Unstandardized };

inline float cap_mean_square(double ms) {
    return static_cast<float>(std::min(ms, static_cast<double>(kFitStatisticCap)));
}

// Outfit of one entry from its sums: sum_z2 = sum of z^2, sum_kurtosis_ratio = sum of C / W^2,
// count = sum of weights. The mean-square comes back capped at 9.9.
inline FitValue outfit_statistic(double sum_z2, double sum_kurtosis_ratio, double count,
                                 FitForm form) {
    FitValue f;
    if (form == FitForm::Unstandardized) {
        const double eps = kSmallestPositiveValue;
        f.mean_square = static_cast<float>(sum_z2 / std::max(count, 1e-5));
        f.standardized = static_cast<float>((sum_z2 - count) /
                                            std::sqrt(std::max(sum_kurtosis_ratio - count, eps)));
    } else {
        f = standardize_mean_square(sum_z2, sum_kurtosis_ratio - count, count,
                                    form == FitForm::Logarithm);
    }
    f.mean_square = cap_mean_square(f.mean_square);
    return f;
}

// Infit of one entry from its sums: sum_y2 = sum of y^2, sum_excess = sum of max(C - W^2, 0),
// sum_variance = sum of W. The mean-square comes back capped at 9.9.
inline FitValue infit_statistic(double sum_y2, double sum_excess, double sum_variance,
                                FitForm form) {
    FitValue f;
    if (form == FitForm::Unstandardized) {
        const double eps = kSmallestPositiveValue;
        f.mean_square = static_cast<float>(sum_y2 / std::max(sum_variance, eps));
        f.standardized =
            static_cast<float>((sum_y2 - sum_variance) / std::sqrt(std::max(sum_excess, eps)));
    } else {
        f = standardize_mean_square(sum_y2, sum_excess, sum_variance, form == FitForm::Logarithm);
    }
    f.mean_square = cap_mean_square(f.mean_square);
    return f;
}

// Model standard error (logits) from the summed information: 1 / sqrt(max(sum of W, 0.001)).
inline float standard_error_from_information(double sum_variance) {
    return static_cast<float>(1.0 / std::sqrt(std::max(sum_variance, 0.001)));
}

// The misfit-inflated ("real") standard error: the model error times sqrt(max(infit MnSq, 1)).
inline float misfit_inflated_error(float error, float infit_mean_square) {
    return static_cast<float>(std::sqrt(std::max(static_cast<double>(infit_mean_square), 1.0)) *
                              error);
}

}  // namespace korvelan

#include "engine/estimation/category_model.h"

#include <algorithm>
#include <cmath>

namespace korvelan {

namespace {

// Rating scale: category k has the exponent of the sum of (x - F_j) over its steps j <= k, where
// a step of status 0 contributes x only and its category gets probability 0. The exponents are
// shifted so that the largest one actually used is kExponentClamp: nothing overflows whatever
// the statuses, and the shift cancels in the normalisation.
double rating_scale_unnormalised(const CategoryModel& g, double x, float* p) {
    const int m = g.top;
    double u = 0.0;
    double largest = 0.0;  // category 0 has exponent 0
    for (int k = 1; k <= m; ++k) {
        if (g.status[k] == 0) {
            u += x;
        } else {
            u += x - g.steps[k];
            largest = std::max(largest, u);
        }
    }
    double t = static_cast<double>(kExponentClamp) - largest;
    double e = std::exp(t);
    p[0] = static_cast<float>(e);
    double sum = e;
    for (int k = 1; k <= m; ++k) {
        if (g.status[k] == 0) {
            t += x;
            p[k] = 0.0f;
        } else {
            t += x - g.steps[k];
            e = std::exp(t);
            p[k] = static_cast<float>(e);
            sum += e;
        }
    }
    return sum;
}

// Success chain, walked upwards: category k is reached by passing steps 1..k and failing step
// k+1. An inactive step is passed with certainty, so the category below it has probability 0.
double success_chain_unnormalised(const CategoryModel& g, double x, float* p) {
    const int m = g.top;
    const double clamp = kExponentClamp;
    double chain = 1.0;  // probability of the chain so far, ending in a failure
    double odds = 1.0;   // success odds of the last active step
    double sum = 0.0;
    for (int k = 1; k <= m; ++k) {
        if (g.status[k] < 1) {
            p[k - 1] = 0.0f;
            continue;
        }
        chain *= odds;
        const double e = std::exp(std::min(x - g.steps[k], clamp));
        chain /= 1.0 + e;
        sum += chain;
        p[k - 1] = static_cast<float>(chain);
        odds = e;
    }
    const double top = chain * odds;
    p[m] = static_cast<float>(top);
    return sum + top;
}

// Failure chain, walked downwards: category k is reached by failing steps m..k+1 and passing
// step k. An inactive step gives its own category probability 0.
double failure_chain_unnormalised(const CategoryModel& g, double x, float* p) {
    const int m = g.top;
    const double clamp = kExponentClamp;
    double chain = 1.0;
    double odds = 1.0;
    double sum = 0.0;
    for (int k = m; k >= 1; --k) {
        if (g.status[k] < 1) {
            p[k] = 0.0f;
            continue;
        }
        chain *= odds;
        const double e = std::exp(std::min(g.steps[k] - x, clamp));
        chain /= 1.0 + e;
        sum += chain;
        p[k] = static_cast<float>(chain);
        odds = e;
    }
    const double bottom = chain * odds;
    p[0] = static_cast<float>(bottom);
    return sum + bottom;
}

}  // namespace

float compute_category_probabilities(const CategoryModel& g, float x, float* p) {
    const int m = g.top;
    if (m < 1) {
        if (m == 0) p[0] = 1.0f;
        return 0.0f;
    }
    if (m < 2) {
        const double p1 = dichotomous_success_probability(g.steps[1], x);
        p[1] = static_cast<float>(p1);
        p[0] = static_cast<float>(1.0 - p1);
        return p[1];
    }
    double sum;
    if (g.model == 'R') {
        sum = rating_scale_unnormalised(g, x, p);
    } else if (g.model == 'S') {
        sum = success_chain_unnormalised(g, x, p);
    } else {
        sum = failure_chain_unnormalised(g, x, p);
    }
    double expected = 0.0;
    for (int k = 0; k <= m; ++k) {
        const double pk = p[k] / sum;
        p[k] = static_cast<float>(pk);
        expected += k * pk;
    }
    return static_cast<float>(expected);
}

float compute_success_failure_step_probabilities(const CategoryModel& g, float x, int c, float* p) {
    const int m = g.top;
    if (m < 1) return 0.0f;  // no steps
    const double clamp = kExponentClamp;
    auto success = [&](int k) {
        return 1.0 / (1.0 + std::exp(std::min(static_cast<double>(g.steps[k]) - x, clamp)));
    };
    double expected = 0.0;
    if (g.model == 'S') {
        // Steps 1..c were passed and step c+1 failed.
        for (int k = std::max(c + 1, 0); k <= m; ++k) p[k] = 0.0f;
        for (int k = std::min(c + 1, m); k >= 1; --k) {
            if (g.status[k] < 1) {
                p[k] = 1.0f;
                expected += 1.0;
            } else {
                p[k] = static_cast<float>(success(k));
                expected += p[k];
            }
        }
        p[0] = 1.0f - p[1];
    } else {
        // Steps m..c+1 were failed and step c passed.
        for (int k = 0; k <= std::min(c - 1, m); ++k) p[k] = 0.0f;
        for (int k = std::max(c, 1); k <= m; ++k) {
            p[k] = g.status[k] < 1 ? 0.0f : static_cast<float>(success(k));
            expected += p[k];
        }
        if (c < 2) p[0] = 1.0f - p[1];
    }
    return static_cast<float>(expected);
}

float log_ratio_with_floor(float a, float b) {
    const float e = kSmallestPositiveValue;
    const double ratio = static_cast<double>(a) / std::max(b, e);
    return static_cast<float>(std::log(std::max(ratio, static_cast<double>(e))));
}

float pack_capped_fit_value(float value, float code) {
    float v = value;
    if (v >= kFitStatisticCap) v = kFitStatisticCap;
    if (v <= -kFitStatisticCap) v = -kFitStatisticCap;
    const float hundredths = std::round(v * 100.0f);
    return static_cast<float>((static_cast<double>(hundredths) * 10.0 + code) * 0.001);
}

}  // namespace korvelan

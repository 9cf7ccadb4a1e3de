// The standardized residual of one response against the model written out by hand: a
// dichotomous item, a 0-3 rating scale, the success and failure chains, the variance floor, and
// the run-level form that turns user-unit measures back into logits.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/report/response_residual.h"
#include "tests/engine/estimation/reference_model.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

constexpr double kTolerance = 2e-5;

// (c - E) / sqrt(V) for the rating-scale formulas: E and V of the category distribution.
double category_z(const Group& g, double d, int c) {
    const std::vector<double> p = reference_probabilities(g, d);
    double e = 0.0, v = 0.0;
    for (int k = 0; k <= g.top(); ++k) e += k * p[k];
    for (int k = 0; k <= g.top(); ++k) v += (k - e) * (k - e) * p[k];
    return (c - e) / std::sqrt(std::max(v, 0.001));
}

// The chain models: a response in category c attempted some steps, each a Bernoulli trial; its
// residual y_c is the steps passed less their success probabilities, and its variance under the
// model the sum over the categories k of P(k) y_k^2.
double chain_residual(const Group& g, double d, int c) {
    const int m = g.top();
    const int first = g.model == 'S' ? 1 : std::max(c, 1);
    const int last = g.model == 'S' ? std::min(c + 1, m) : m;
    double e = g.model == 'S' ? 0.0 : std::max(c - 1, 0);
    for (int k = first; k <= last; ++k) e += success(g.steps[k], d);
    return c - e;
}

double chain_z(const Group& g, double d, int c) {
    const std::vector<double> p = reference_probabilities(g, d);
    double v = 0.0;
    for (int k = 0; k <= g.top(); ++k) v += p[k] * std::pow(chain_residual(g, d, k), 2);
    return chain_residual(g, d, c) / std::sqrt(v);
}

}  // namespace

TEST(ResponseResidual, DichotomousItem) {
    const Group g{'R', {0.0f, 0.0f}, {0, 1}};
    for (double d : {-1.3, 0.0, 0.7, 2.4})
        for (int c : {0, 1}) {
            const double p = success(0.0, d);
            EXPECT_NEAR(response_standardized_residual(g.view(), static_cast<float>(d), c),
                        (c - p) / std::sqrt(p * (1.0 - p)), kTolerance)
                << d << " " << c;
        }
    // Far off the item: the variance is held at 0.001, so a surprise is large but finite.
    EXPECT_NEAR(response_standardized_residual(g.view(), 15.0f, 0), -1.0 / std::sqrt(0.001), 1e-3);
}

TEST(ResponseResidual, RatingScale) {
    const Group g{'R', {0.0f, -1.2f, 0.3f, 1.1f}, {0, 1, 1, 1}};
    for (double d : {-2.0, -0.4, 0.0, 0.9, 2.5})
        for (int c = 0; c <= 3; ++c)
            EXPECT_NEAR(response_standardized_residual(g.view(), static_cast<float>(d), c),
                        category_z(g, d, c), kTolerance)
                << d << " " << c;
}

TEST(ResponseResidual, SuccessAndFailureChains) {
    for (char model : {'S', 'F'}) {
        const Group g{model, {0.0f, -0.8f, 0.2f, 1.4f}, {0, 1, 1, 1}};
        for (double d : {-1.5, 0.0, 0.6, 2.0})
            for (int c = 0; c <= 3; ++c)
                EXPECT_NEAR(response_standardized_residual(g.view(), static_cast<float>(d), c),
                            chain_z(g, d, c), kTolerance)
                    << model << " " << d << " " << c;
    }
    // A dichotomous item of either chain takes the rating-scale formulas.
    const Group f{'F', {0.0f, 0.5f}, {0, 1}};
    EXPECT_NEAR(response_standardized_residual(f.view(), 1.0f, 0), category_z(f, 1.0, 0),
                kTolerance);
}

TEST(ResponseResidual, RunFormTakesLogitsFromUserUnits) {
    korvelan::Run run;
    run.cv.umean = 50.0f, run.cv.uscale = -10.0f;
    AnalysisArrays& a = run.arrays;
    a.estimation.person_bias_factor = 0.5f, a.estimation.item_bias_factor = 2.0f;
    a.groups = 1, a.slots = 4;
    a.group_top_category = {0, 3}, a.group_first_slot = {0, 1}, a.group_model = {' ', 'R'};
    a.step_calibration = {0.0f, 0.0f, -1.2f, 0.3f, 1.1f};
    a.category_status = {0, 1, 1, 1, 1};
    a.item_group = {0, 1};
    // Person 1.2 logits: 50 + 1.2 x 0.5 x -10 = 44; item -0.4 logits: 50 + -0.4 x 2 x -10 = 58.
    a.person_measure = {0.0f, 44.0f};
    a.item_measure = {0.0f, 58.0f};
    const Group g{'R', {0.0f, -1.2f, 0.3f, 1.1f}, {0, 1, 1, 1}};
    for (int c = 0; c <= 3; ++c)
        EXPECT_NEAR(response_standardized_residual(run, 1, 1, c), category_z(g, 1.6, c), 1e-4) << c;
}

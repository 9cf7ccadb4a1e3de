#include <gtest/gtest.h>

#include "tests/engine/estimation/reference_model.h"

using namespace korvelan;
using korvelan::testing::Group;
using korvelan::testing::success;

namespace {
void expect_matches_reference(const Group& g, double x) {
    std::vector<float> p(g.top() + 1, -1.0f);
    const float e = compute_category_probabilities(g.view(), static_cast<float>(x), p.data());
    const std::vector<double> want = korvelan::testing::reference_probabilities(g, x);
    for (int k = 0; k <= g.top(); ++k)
        EXPECT_NEAR(p[k], want[k], 2e-6) << g.model << " x=" << x << " k=" << k;
    EXPECT_NEAR(e, korvelan::testing::reference_expected(g, x), 5e-6) << g.model << " x=" << x;
}
}  // namespace

TEST(CategoryProbabilities, Dichotomous) {
    const Group g{'R', {0.0f, 0.0f}, {1, 1}};
    float p[2];
    EXPECT_FLOAT_EQ(compute_category_probabilities(g.view(), 0.0f, p), 0.5f);
    EXPECT_FLOAT_EQ(p[0], 0.5f);
    // Far below the item the exponent stops at 20.
    EXPECT_FLOAT_EQ(compute_category_probabilities(g.view(), -25.0f, p),
                    static_cast<float>(1.0 / (1.0 + std::exp(20.0))));
    // The model letter and the statuses play no part with two categories.
    const Group s{'S', {0.0f, 1.2f}, {1, 0}};
    EXPECT_NEAR(compute_category_probabilities(s.view(), 0.5f, p), success(1.2, 0.5), 1e-7);
    // Groups without steps: category 0 is certain; no categories, nothing written.
    const Group single{'R', {0.0f}, {1}};
    p[1] = -1.0f;
    EXPECT_EQ(compute_category_probabilities(single.view(), 3.0f, p), 0.0f);
    EXPECT_EQ(p[0], 1.0f);
    EXPECT_EQ(p[1], -1.0f);
}

TEST(CategoryProbabilities, RatingScaleMatchesDefinition) {
    float p[3];
    EXPECT_FLOAT_EQ(
        compute_category_probabilities(Group{'R', {0, 0, 0}, {1, 1, 1}}.view(), 0.0f, p), 1.0f);
    EXPECT_FLOAT_EQ(p[2], 1.0f / 3.0f);
    // A status-0 category keeps its x in the exponents above it; a negative status is active.
    const Group plain{'R', {0.0f, -1.5f, 0.3f, 0.4f, 1.9f}, {1, 1, 1, 2, 1}};
    const Group gaps{'R', {0.0f, -1.0f, 0.0f, 0.7f, 2.0f}, {1, 1, 0, -1, 1}};
    for (double x : {-6.0, -1.3, 0.0, 0.45, 2.2, 7.0}) {
        expect_matches_reference(plain, x);
        expect_matches_reference(gaps, x);
    }
}

// The exponents are shifted by the largest one actually used, so steps and statuses that a shift
// over all slots would mis-judge neither overflow nor underflow.
TEST(CategoryProbabilities, RatingScaleExtremeExponentsStayFinite) {
    float p[4];
    // A zero-status slot holding a large negative step, which is never used.
    const Group zero{'R', {0.0f, 0.0f, -500.0f, 0.0f}, {1, 1, 0, 1}};
    EXPECT_NEAR(compute_category_probabilities(zero.view(), 0.0f, p), 4.0 / 3.0, 1e-6);
    EXPECT_NEAR(p[0], 1.0 / 3.0, 1e-7);
    EXPECT_EQ(p[2], 0.0f);
    // A negative status on the top slot far above the item: the top category takes everything.
    const Group negative{'R', {0.0f, 0.0f, 0.0f, 0.0f}, {1, 1, 1, -1}};
    EXPECT_FLOAT_EQ(compute_category_probabilities(negative.view(), 400.0f, p), 3.0f);
    EXPECT_FLOAT_EQ(p[3], 1.0f);
}

TEST(CategoryProbabilities, ChainsMatchDefinitions) {
    const std::vector<float> steps{0.0f, -0.8f, 0.1f, 1.3f, 0.4f};
    for (const auto& status : std::vector<std::vector<std::int32_t>>{
             {1, 1, 1, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 1, 0, 1}, {1, 1, 0, 1, 0}, {1, 0, 0, 0, 0}}) {
        for (double x : {-5.0, -0.7, 0.0, 0.9, 4.0}) {
            expect_matches_reference(Group{'S', steps, status}, x);
            expect_matches_reference(Group{'F', steps, status}, x);
        }
    }
    // Failing step 1 twenty-five logits below the person: 1 / (1 + e^20), the capped exponent.
    float p[3];
    compute_category_probabilities(Group{'S', {0, 0, 0}, {1, 1, 1}}.view(), 25.0f, p);
    EXPECT_NEAR(p[0] * (1.0 + std::exp(20.0)), 1.0, 1e-5);
}

TEST(StepProbabilities, SuccessChainCountsStepsUpToTheFirstFailure) {
    const Group g{'S', {0.0f, -0.5f, 0.2f, 0.9f}, {1, 1, 0, 1}};
    const double s1 = success(-0.5, 0.3), s3 = success(0.9, 0.3);
    float p[4];
    // Category 1: steps 1 and 2 attempted; step 2 is inactive and counts as passed.
    EXPECT_NEAR(compute_success_failure_step_probabilities(g.view(), 0.3f, 1, p), s1 + 1.0, 1e-6);
    EXPECT_NEAR(p[0], 1.0 - s1, 1e-7);
    EXPECT_EQ(p[2], 1.0f);
    EXPECT_EQ(p[3], 0.0f);
    EXPECT_NEAR(compute_success_failure_step_probabilities(g.view(), 0.3f, 3, p), s1 + 1.0 + s3,
                1e-6);
    EXPECT_NEAR(compute_success_failure_step_probabilities(g.view(), 0.3f, 0, p), s1, 1e-7);
    EXPECT_EQ(p[2], 0.0f);
}

TEST(StepProbabilities, FailureChainCountsStepsFromTheObservedUp) {
    const Group g{'F', {0.0f, -0.5f, 0.2f, 0.9f}, {1, 1, 0, 1}};
    const double s1 = success(-0.5, -0.4), s3 = success(0.9, -0.4);
    float p[5];
    EXPECT_NEAR(compute_success_failure_step_probabilities(g.view(), -0.4f, 2, p), s3, 1e-7);
    EXPECT_EQ(p[0], 0.0f);
    EXPECT_EQ(p[1], 0.0f);
    EXPECT_EQ(p[2], 0.0f);  // inactive step
    for (int c : {0, 1}) {
        EXPECT_NEAR(compute_success_failure_step_probabilities(g.view(), -0.4f, c, p), s1 + s3,
                    1e-6);
        EXPECT_NEAR(p[0], 1.0 - s1, 1e-7);
    }
    // Categories outside the scale stay inside the array.
    p[4] = -7.0f;
    compute_success_failure_step_probabilities(g.view(), 0.0f, 9, p);
    compute_success_failure_step_probabilities(Group{'S', g.steps, g.status}.view(), 0.0f, -4, p);
    EXPECT_EQ(p[4], -7.0f);
}

TEST(SmallRoutines, LogRatioWithFloor) {
    EXPECT_NEAR(log_ratio_with_floor(3.0f, 1.5f), std::log(2.0), 1e-7);
    EXPECT_NEAR(log_ratio_with_floor(2.0f, 0.0f), std::log(2.0) + 30.0, 1e-5);
    EXPECT_FLOAT_EQ(log_ratio_with_floor(0.0f, 1.0f), -30.0f);
    EXPECT_FLOAT_EQ(log_ratio_with_floor(-2.0f, 0.0f), -30.0f);
}

TEST(SmallRoutines, PackCappedFitValue) {
    EXPECT_FLOAT_EQ(pack_capped_fit_value(12.3456f, 4.0f), 9.904f);
    EXPECT_FLOAT_EQ(pack_capped_fit_value(1.234f, 0.0f), 1.23f);
    EXPECT_FLOAT_EQ(pack_capped_fit_value(1.234f, 1.5f), 1.2315f);
    EXPECT_FLOAT_EQ(pack_capped_fit_value(-12.0f, 4.0f), -9.896f);
    // Halves go away from zero, judged on the value as stored.
    EXPECT_FLOAT_EQ(pack_capped_fit_value(-0.125f, 0.0f), -0.13f);
    EXPECT_FLOAT_EQ(pack_capped_fit_value(0.285f, 0.0f), 0.29f);
}

// The curve numerics against the estimation's own category model (a 4-category group, a
// dichotomous one, a null category), and the grid series: the measures of the points, the
// cumulative sums, the information, the category information and a chain model left at 0.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/estimation/category_curves.h"
#include "engine/estimation/category_model.h"

using namespace korvelan;

namespace {

struct Scale {
    std::vector<float> steps;
    std::vector<std::int32_t> status;
    CurveGroup curves(char model = 'R') const {
        return CurveGroup{static_cast<std::int32_t>(steps.size()) - 1, model, steps, status};
    }
    CategoryModel estimation(char model = 'R') const {
        return CategoryModel{static_cast<std::int32_t>(steps.size()) - 1, model, steps.data(), status.data()};
    }
};

const Scale kFour{{0.0f, -1.3f, 0.2f, 1.1f}, {1, 1, 1, 1}};

}  // namespace

TEST(CurveSeries, FourCategoriesAgreeWithTheEstimationModel) {
    for (float x : {-6.0f, -1.3f, -0.25f, 0.0f, 0.7f, 2.5f, 8.0f}) {
        std::vector<float> want(4), got(4);
        const float expected = compute_category_probabilities(kFour.estimation(), x, want.data());
        EXPECT_NEAR(compute_category_curve_values(kFour.curves(), x, got), expected, 2e-6) << x;
        double information = 0.0;
        for (int k = 0; k <= 3; ++k) {
            EXPECT_NEAR(got[k], want[k], 1e-6) << "x=" << x << " k=" << k;
            information += k * k * want[k];
        }
        information -= static_cast<double>(expected) * expected;
        EXPECT_NEAR(curve_information(got, compute_category_curve_values(kFour.curves(), x, got)), information, 1e-5);
    }
    // Neighbouring curves cross at the step calibration.
    std::vector<float> p(4);
    compute_category_curve_values(kFour.curves(), 0.2f, p);
    EXPECT_NEAR(p[1], p[2], 1e-6);
}

TEST(CurveSeries, DichotomousNullCategoryAndFarMeasures) {
    const Scale two{{0.0f, 0.0f}, {1, 1}};
    std::vector<float> p(2);
    EXPECT_FLOAT_EQ(compute_category_curve_values(two.curves(), 0.0f, p), 0.5f);
    EXPECT_FLOAT_EQ(curve_information(p, 0.5f), 0.25f);
    // Beyond the exponent cap of 40 the probabilities stay finite.
    compute_category_curve_values(two.curves(), -60.0f, p);
    EXPECT_TRUE(std::isfinite(p[1]));
    EXPECT_FLOAT_EQ(p[0], 1.0f);
    std::vector<float> q(4);
    for (float x : {-60.0f, 60.0f}) {
        compute_category_curve_values(kFour.curves(), x, q);
        for (float v : q) EXPECT_TRUE(std::isfinite(v)) << x;
    }
    // A category of status 0 has probability 0 and carries its step, as in the estimation.
    const Scale null{{0.0f, -1.0f, 0.0f, 1.0f}, {1, 1, 0, 1}};
    std::vector<float> want(4);
    for (float x : {-1.0f, 0.4f, 2.0f}) {
        const float e = compute_category_probabilities(null.estimation(), x, want.data());
        EXPECT_NEAR(compute_category_curve_values(null.curves(), x, q), e, 2e-6);
        EXPECT_EQ(q[2], 0.0f);
        for (int k = 0; k <= 3; ++k) EXPECT_NEAR(q[k], want[k], 1e-6);
    }
}

TEST(CurveSeries, GridSeriesFromThePointValues) {
    // Plotted measures in user units of 10 per logit: the model sees x / 10.
    const CurveSeries c = compute_curve_series(kFour.curves(), -30.0f, 1.5f, 41, 10.0f);
    ASSERT_EQ(c.points, 41);
    float largest = 0.0f;
    for (int n = 0; n < c.points; ++n) {
        const float x = -30.0f + 1.5f * static_cast<float>(n);
        EXPECT_FLOAT_EQ(c.measure[n], x);
        std::vector<float> want(4);
        const float e = compute_category_probabilities(kFour.estimation(), x / 10.0f, want.data());
        EXPECT_NEAR(c.expected[n], e, 2e-6);
        float running = 0.0f;
        for (int k = 0; k <= 3; ++k) {
            EXPECT_NEAR(c.probability_at(n, k), want[k], 1e-6);
            EXPECT_NEAR(c.category_information[n * 4 + k], c.information[n] * c.probability_at(n, k), 1e-7);
            running += want[k];
            if (k < 3) {
                EXPECT_NEAR(c.cumulative_at(n, k), running, 2e-6);
            }
        }
        largest = std::max(largest, c.information[n]);
    }
    EXPECT_FLOAT_EQ(c.maximum_information, largest);
    // The success chain of four categories is not computed: every value stays 0.
    const CurveSeries s = compute_curve_series(kFour.curves('S'), -3.0f, 1.0f, 7, 1.0f);
    EXPECT_FALSE(curves_computed(kFour.curves('S')));
    for (float v : s.probability) EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(s.maximum_information, 0.0f);
    EXPECT_FLOAT_EQ(s.measure[6], 3.0f);
}

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "engine/estimation/fit_formulas.h"

using namespace korvelan;

namespace {
const std::vector<float> kSteps(5, 0.0f);
const std::vector<std::int32_t> kStatus(5, 1);
CategoryModel group(char model, int top) {
    return {top, model, kSteps.data(), kStatus.data()};
}
}  // namespace

TEST(ModelScore, ChainsCountTheStepsAttempted) {
    const int want_s[4][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 3}};
    const int want_f[4][2] = {{0, 3}, {1, 3}, {1, 2}, {1, 1}};
    for (int x = 0; x <= 3; ++x) {
        const ModelScore s = model_score(group('S', 3), x), f = model_score(group('F', 3), x);
        EXPECT_TRUE(s.score == want_s[x][0] && s.maximum == want_s[x][1]) << x;
        EXPECT_TRUE(f.score == want_f[x][0] && f.maximum == want_f[x][1]) << x;
        EXPECT_EQ(model_score(group('R', 3), x).maximum, 3);
    }
    EXPECT_EQ(model_score(group('F', 1), 1).score, 1);  // dichotomous: plain score
}

TEST(ObservationMoments, RatingScaleAgreesWithCentralMoments) {
    const std::vector<float> p{0.2f, 0.5f, 0.3f};
    double e = 0.0, var = 0.0, fourth = 0.0;
    for (int k = 0; k < 3; ++k) e += k * static_cast<double>(p[k]);
    for (int k = 0; k < 3; ++k) {
        var += std::pow(k - e, 2) * p[k];
        fourth += std::pow(k - e, 4) * p[k];
    }
    const ObservationMoments mo =
        observation_moments(group('R', 2), p.data(), static_cast<float>(e));
    EXPECT_NEAR(mo.variance, var, 1e-6);
    EXPECT_NEAR(mo.kurtosis, fourth, 1e-6);
    // A dichotomous item, whatever its letter: pq and pq(1 - 3pq).
    const std::vector<float> d{0.25f, 0.75f};
    const ObservationMoments md = observation_moments(group('S', 1), d.data(), 0.75f);
    EXPECT_NEAR(md.variance, 0.1875, 1e-7);
    EXPECT_NEAR(md.kurtosis, 0.1875 * (1.0 - 3.0 * 0.1875), 1e-7);
}

// Central moments of a sum of independent step outcomes (steps 1..m passed with p[k]), from its
// distribution over every pattern of passes and failures.
static std::pair<double, double> chain_moments(const std::vector<float>& p) {
    const int m = static_cast<int>(p.size()) - 1;
    std::vector<double> score(m + 1, 0.0);
    for (int pattern = 0; pattern < (1 << m); ++pattern) {
        double prob = 1.0;
        int passed = 0;
        for (int k = 1; k <= m; ++k) {
            const bool pass = (pattern >> (k - 1)) & 1;
            prob *= pass ? p[k] : 1.0 - p[k];
            passed += pass;
        }
        score[passed] += prob;
    }
    double e = 0.0, var = 0.0, fourth = 0.0;
    for (int s = 0; s <= m; ++s) e += s * score[s];
    for (int s = 0; s <= m; ++s) {
        var += std::pow(s - e, 2) * score[s];
        fourth += std::pow(s - e, 4) * score[s];
    }
    return {var, fourth};
}

TEST(ObservationMoments, ChainsTakeTheMomentsOfTheSummedStepsAndCertaintyIsFloored) {
    // Steps of an "F" observation in category 1 (.5, .9), and of an "S" observation reaching all
    // four steps, some nearly certain: the fourth moment is that of the score, not the steps' own.
    const std::vector<float> f{0.4f, 0.5f, 0.9f};  // p[0] is not a step
    const std::vector<float> s{0.0f, 0.97f, 0.6f, 0.3f, 0.02f};
    for (const auto& [model, p] : {std::pair{'F', f}, std::pair{'S', s}}) {
        const int top = static_cast<int>(p.size()) - 1;
        const auto [var, fourth] = chain_moments(p);
        const ObservationMoments mo = observation_moments(group(model, top), p.data(), 0.0f);
        EXPECT_NEAR(mo.variance, var, 1e-6) << model;
        EXPECT_NEAR(mo.kurtosis, fourth, 1e-6) << model;
        EXPECT_GE(mo.kurtosis, mo.variance * mo.variance) << model;  // so infit's excess is real
    }
    EXPECT_NEAR(observation_moments(group('F', 2), f.data(), 1.4f).kurtosis, 0.2632, 1e-6);
    const std::vector<float> certain{0.0f, 1.0f, 0.0f};
    for (char model : {'R', 'S'}) {
        const ObservationMoments c = observation_moments(group(model, 2), certain.data(), 1.0f);
        EXPECT_EQ(c.variance, kSmallestPositiveValue);
        EXPECT_EQ(c.kurtosis, 0.0f);
    }
    EXPECT_FLOAT_EQ(standardized_residual(0.5f, 0.25f), 1.0f);
}

TEST(StandardizeMeanSquare, CubeRootFormWithoutBiasTerm) {
    // A mean-square of 1 standardizes to exactly 0, whatever its variance.
    EXPECT_EQ(standardize_mean_square(12.0, 8.0, 12.0, false).standardized, 0.0f);
    // 27 / 1: (3 - 1) / (sqrt(4) / 3) = 3.
    const FitValue f = standardize_mean_square(27.0, 4.0, 1.0, false);
    EXPECT_FLOAT_EQ(f.mean_square, 27.0f);
    EXPECT_FLOAT_EQ(f.standardized, 3.0f);
    // 0.25 / 2: (0.5 - 1) / (0.1 / 6) = -30.
    EXPECT_FLOAT_EQ(standardize_mean_square(0.25, 0.01, 2.0, false).standardized, -30.0f);
    EXPECT_NEAR(standardize_mean_square(2.0 * std::exp(1.0), 5.0, 2.0, true).standardized, 1.0,
                1e-6);
    // No observations: df 1e-5, variance floored at 1e-5, finite results.
    const FitValue none = standardize_mean_square(0.0, 0.0, 0.0, false);
    EXPECT_EQ(none.mean_square, 0.0f);
    EXPECT_NEAR(none.standardized, -3e-5 / std::sqrt(1e-5), 1e-7);
    EXPECT_NEAR(standardize_mean_square(0.0, -3.0, 4.0, true).standardized, std::log(1e-5), 1e-4);
}

TEST(EntryFit, CappedMeanSquaresStandardizedFromTheUncapped) {
    const FitValue out = outfit_statistic(27.0, 5.0, 1.0, FitForm::CubeRoot);
    EXPECT_FLOAT_EQ(out.mean_square, 9.9f);
    EXPECT_FLOAT_EQ(out.standardized, 3.0f);
    const FitValue in = infit_statistic(27.0, 4.0, 1.0, FitForm::CubeRoot);
    EXPECT_FLOAT_EQ(in.mean_square, 9.9f);
    EXPECT_FLOAT_EQ(in.standardized, 3.0f);
    EXPECT_NEAR(infit_statistic(6.0, 1.0, 4.0, FitForm::Logarithm).standardized, std::log(1.5),
                1e-6);
}

TEST(EntryFit, UnstandardizedForms) {
    const FitValue out = outfit_statistic(15.0, 19.0, 10.0, FitForm::Unstandardized);
    EXPECT_FLOAT_EQ(out.mean_square, 1.5f);
    EXPECT_NEAR(out.standardized, 5.0 / 3.0, 1e-6);
    const FitValue in = infit_statistic(6.0, 4.0, 4.0, FitForm::Unstandardized);
    EXPECT_FLOAT_EQ(in.mean_square, 1.5f);
    EXPECT_FLOAT_EQ(in.standardized, 1.0f);
    // Empty sums stay finite.
    const FitValue none = outfit_statistic(0.0, 0.0, 0.0, FitForm::Unstandardized);
    EXPECT_TRUE(none.mean_square == 0.0f && none.standardized == 0.0f);
    EXPECT_FLOAT_EQ(infit_statistic(6.0, 0.0, 0.0, FitForm::Unstandardized).mean_square, 9.9f);
}

TEST(StandardErrors, InformationFloorAndMisfitInflation) {
    EXPECT_FLOAT_EQ(standard_error_from_information(4.0), 0.5f);
    EXPECT_NEAR(standard_error_from_information(0.0), 1.0 / std::sqrt(0.001), 1e-4);
    EXPECT_FLOAT_EQ(misfit_inflated_error(0.5f, 4.0f), 1.0f);
    EXPECT_FLOAT_EQ(misfit_inflated_error(0.5f, 0.5f), 0.5f);
}

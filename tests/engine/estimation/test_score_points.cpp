#include <gtest/gtest.h>

#include <functional>

#include "engine/estimation/score_points.h"
#include "tests/engine/estimation/reference_model.h"

using namespace korvelan;
using korvelan::testing::Group;

namespace {

double at_or_above(const Group& g, int k, double x) {
    const std::vector<double> p = korvelan::testing::reference_probabilities(g, x);
    double s = 0.0;
    for (std::size_t j = k; j < p.size(); ++j) s += p[j];
    return s;
}

// Where an increasing function of the measure reaches the target, by plain bisection.
double solve(const std::function<double(double)>& f, double target) {
    double lo = -40.0, hi = 40.0;
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        (f(mid) < target ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}
double expected_at(const Group& g, double target) {
    return solve([&](double x) { return korvelan::testing::reference_expected(g, x); }, target);
}
double thurstone_at(const Group& g, int k) {
    return solve([&](double x) { return at_or_above(g, k, x); }, 0.5);
}

struct Points {
    std::vector<float> half, score, thurstone;
};

Points run(const Group& g, ScorePointOptions options = {}) {
    const std::size_t n = g.steps.size();
    Points r{std::vector<float>(n, 99.0f), std::vector<float>(n, 99.0f),
             std::vector<float>(n, 99.0f)};
    std::vector<float> p(n);
    compute_group_score_points(g.view(), options, p.data(), r.half.data(), r.score.data(),
                               r.thurstone.data());
    return r;
}

// Every point against bisection on the written-out model. The searches stop within 0.01 of
// the expected score and 1e-4 of the cumulative probability.
void expect_points_match(const Group& g, const ScorePointOptions& options = {}) {
    const int m = g.top();
    const Points r = run(g, options);
    const double scale = std::fabs(options.uscale), tolerance = 2e-3 * scale;
    for (int k = 1; k <= m; ++k) {
        EXPECT_NEAR(r.half[k], scale * expected_at(g, k - 0.5), tolerance) << "half " << k;
        EXPECT_NEAR(r.thurstone[k], scale * thurstone_at(g, k), tolerance) << "Thurstone " << k;
    }
    const double top = m - std::min(std::max(options.top_offset, 0.001f), 0.5f);
    const double bottom = std::min(std::max(options.bottom_offset, 0.001f), 0.5f);
    for (int k = 0; k <= m; ++k) {
        const double target = k == m ? top : (k == 0 ? bottom : k);
        EXPECT_NEAR(r.score[k], scale * expected_at(g, target), tolerance) << "score " << k;
    }
}

}  // namespace

TEST(ScorePoints, DichotomousItemAtZero) {
    const Points r = run(Group{'R', {0.0f, 0.0f}, {1, 1}});
    EXPECT_NEAR(r.half[1], 0.0, 1e-5);
    EXPECT_NEAR(r.thurstone[1], 0.0, 1e-5);
    EXPECT_NEAR(r.score[1], std::log(0.75 / 0.25), 1e-4);
    EXPECT_NEAR(r.score[0], std::log(0.25 / 0.75), 1e-4);
    EXPECT_EQ(r.half[0], 99.0f);  // no point below category 1
    EXPECT_EQ(r.thurstone[0], 99.0f);
}

TEST(ScorePoints, RatingScaleAndChainsMatchBisection) {
    expect_points_match(Group{'R', {0.0f, -1.1f, 0.3f, 0.8f}, {1, 1, 1, 1}});
    expect_points_match(Group{'R', {0.0f, 1.5f, -0.5f, -1.0f}, {1, 1, 1, 2}});  // disordered
    expect_points_match(Group{'S', {0.0f, -0.6f, 0.2f, 1.0f, 0.4f}, {1, 1, 1, 1, 1}});
    expect_points_match(Group{'F', {0.0f, 0.6f, -0.2f, 0.3f}, {1, 1, 1, 1}});
}

TEST(ScorePoints, ScaleSignAndEndOffsets) {
    const Group g{'R', {0.0f, -0.4f, 0.4f}, {1, 1, 1}};
    ScorePointOptions positive, negative;
    positive.uscale = 10.0f;
    negative.uscale = -10.0f;
    const Points a = run(g, positive), b = run(g, negative);
    EXPECT_EQ(a.half, b.half);
    EXPECT_EQ(a.score, b.score);
    EXPECT_EQ(a.thurstone, b.thurstone);
    expect_points_match(g, positive);
    ScorePointOptions wide;
    wide.top_offset = 0.9f;         // used as 0.5
    wide.bottom_offset = 0.00001f;  // used as 0.001
    expect_points_match(g, wide);
    const Points w = run(g, wide);
    EXPECT_NEAR(w.score[2], w.half[2], 2e-3);
}

// Categories that no measure makes possible: every search ends, the unreachable points are
// finite, and the reachable ones are those of the model without the impossible categories.
TEST(ScorePoints, UnreachableCategoriesDoNotDisturbTheOthers) {
    const Group g{'R', {0.0f, -0.7f, 0.5f, 0.0f, 0.0f}, {1, 1, 1, 0, 0}};
    const Points r = run(g);
    for (int k = 0; k <= 4; ++k) {
        EXPECT_TRUE(std::isfinite(r.score[k]));
        if (k == 0) continue;
        EXPECT_TRUE(std::isfinite(r.half[k]));
        EXPECT_TRUE(std::isfinite(r.thurstone[k]));
    }
    for (int k : {1, 2}) {
        EXPECT_NEAR(r.thurstone[k], thurstone_at(g, k), 2e-3) << k;
        EXPECT_NEAR(r.half[k], expected_at(g, k - 0.5), 2e-3) << k;
    }
    EXPECT_NEAR(r.score[1], expected_at(g, 1.0), 2e-3);
    EXPECT_NEAR(r.score[0], expected_at(g, 0.25), 2e-3);
    // A success chain whose step 1 is inactive never scores 0.
    const Group s{'S', {0.0f, 0.0f, -0.3f, 0.6f}, {1, 0, 1, 1}};
    const Points t = run(s);
    EXPECT_TRUE(std::isfinite(t.thurstone[1]));
    EXPECT_TRUE(std::isfinite(t.score[0]));
    for (int k : {2, 3}) {
        EXPECT_NEAR(t.thurstone[k], thurstone_at(s, k), 2e-3) << k;
        EXPECT_NEAR(t.half[k], expected_at(s, k - 0.5), 2e-3) << k;
    }
}

TEST(ScorePoints, AllGroupsThroughTheSlotArrays) {
    // Group 0 dichotomous (slots 0-1), group 1 without steps (slots 2-3), group 2 three steps
    // (slots 4-7).
    const std::vector<std::int32_t> top{1, 0, 3}, first{0, 2, 4}, status(8, 1);
    const std::vector<char> model{'R', 'R', 'R'};
    const std::vector<float> steps{0.0f, 0.5f, 0.0f, 0.0f, 0.0f, -1.1f, 0.3f, 0.8f};
    std::vector<float> half(8, 99.0f), score(8, 99.0f), thurstone(8, 99.0f), p(4);
    compute_expected_score_points(RatingScaleGroups{3, top.data(), first.data(), model.data()},
                                  steps.data(), status.data(), {}, p.data(), half.data(),
                                  score.data(), thurstone.data());
    EXPECT_NEAR(half[1], 0.5, 1e-4);
    EXPECT_NEAR(thurstone[1], 0.5, 4e-4);  // within 1e-4 of probability 0.5, slope 0.25
    EXPECT_NEAR(score[0], 0.5 + std::log(1.0 / 3.0), 1e-4);
    for (int s : {2, 3})
        EXPECT_TRUE(half[s] == 99.0f && score[s] == 99.0f && thurstone[s] == 99.0f);
    const Points alone = run(Group{'R', {0.0f, -1.1f, 0.3f, 0.8f}, {1, 1, 1, 1}});
    EXPECT_EQ(std::vector<float>(score.begin() + 4, score.end()), alone.score);
    EXPECT_EQ(std::vector<float>(half.begin() + 5, half.end()),
              std::vector<float>(alone.half.begin() + 1, alone.half.end()));
}

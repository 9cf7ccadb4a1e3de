// The curves of the graphs program: the measure grid, the five series with their gap rows, the
// y settings of each graph type, and agreement with the estimation's own category model.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/estimation/category_model.h"
#include "graphs/chart_data.h"
#include "graphs/curves.h"

using namespace korvelan::graphs;

namespace {

GraphsData one_group(std::int32_t top, std::vector<float> steps, std::int32_t model = 0) {
    GraphsData d;
    d.scale = 1.0f;
    d.low_measure = -2.4f;
    d.high_measure = 3.1f;
    d.maximum_category = top;
    GraphsGroup g;
    g.top = top;
    g.model_code = model;
    g.steps = std::move(steps);
    g.label = "Q";
    d.groups.push_back(g);
    return d;
}

TEST(GraphsGrid, RangesTicksAndPoints) {
    const CurveGrid g = compute_curve_grid(-2.4f, 3.1f, 1.0f);
    EXPECT_EQ(g.view_low, -4);
    EXPECT_EQ(g.view_high, 5);
    EXPECT_EQ(g.view_division, 9);
    EXPECT_EQ(g.computed_low, -6);
    EXPECT_EQ(g.computed_high, 9);
    EXPECT_EQ(g.point_count, 200);
    EXPECT_FLOAT_EQ(g.increment, 0.075f);
    const CurveGrid zero = compute_curve_grid(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(zero.view_low, -2);
    EXPECT_EQ(zero.view_high, 2);
    // A scale of 10: the view reaches 10 units past the measures (width 25 snaps to 20, one division a unit).
    const CurveGrid ten = compute_curve_grid(-2.4f, 3.1f, 10.0f);
    EXPECT_EQ(ten.view_low, -13);
    EXPECT_EQ(ten.view_high, 7);
    EXPECT_EQ(ten.view_division, 20);
    EXPECT_LE(ten.computed_low, -33);
    EXPECT_GE(ten.computed_high, 34);
    const std::pair<int, int> ticks[] = {{0, 1}, {5, 5}, {6, 10}, {11, 20}, {23, 30}, {50, 50}, {51, 100}, {120, 200}};
    for (auto [tick, tidy] : ticks) EXPECT_EQ(tidy_tick(tick), tidy) << tick;
    // USCALE= below 0: the same sound grid as its size gives.
    const CurveGrid negative = compute_curve_grid(-24.0f, 31.0f, -10.0f);
    const CurveGrid positive = compute_curve_grid(-24.0f, 31.0f, 10.0f);
    EXPECT_EQ(negative.computed_low, positive.computed_low);
    EXPECT_EQ(negative.computed_high, positive.computed_high);
    EXPECT_GE(negative.point_count, 1);
    EXPECT_GT(negative.increment, 0.0f);
}

TEST(GraphsGrid, RoundAxisSteps) {
    const std::pair<double, double> steps[] = {{9, 0.5},   {20, 1},      {21, 2},   {740, 50}, {100, 5},
                                               {1, 0.05},  {0.7, 0.05},  {2.0e5, 1.0e4}, {0, 1}};
    for (auto [range, step] : steps) EXPECT_DOUBLE_EQ(round_axis_step(range, 20), step) << range;
    EXPECT_DOUBLE_EQ(round_axis_step(1, 4), 0.5);
    EXPECT_DOUBLE_EQ(round_axis_step(9, 9), 1.0);
}

TEST(GraphsSeries, RowsGapsAndValuesOfAFourCategoryGroup) {
    const GraphsData d = one_group(3, {0.0f, -1.0f, 0.0f, 1.0f});
    const GroupCurves c = compute_group_curves(d, 1);
    const int n = c.grid.point_count;  // 200
    ASSERT_EQ(c.series[1].size(), static_cast<std::size_t>((n + 2) * 4 - 1));
    ASSERT_EQ(c.series[2].size(), static_cast<std::size_t>(n + 1));
    ASSERT_EQ(c.series[3].size(), static_cast<std::size_t>((n + 2) * 3 - 1));
    ASSERT_EQ(c.series[5].size(), c.series[1].size());
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(c.series[1][static_cast<std::size_t>(j * (n + 2) - 1)], (SeriesRow{0.0f, -1.0f}));
    EXPECT_EQ(split_curves(c.series[1]).size(), 4u);
    EXPECT_EQ(split_curves(c.series[3]).size(), 3u);

    // At each point the estimation's model gives the same probabilities, score and information.
    const float steps[] = {0.0f, -1.0f, 0.0f, 1.0f};
    const std::int32_t status[] = {1, 1, 1, 1};
    const korvelan::CategoryModel model{3, 'R', steps, status};
    for (int p : {0, 60, 80, 133, 200}) {
        float prob[4];
        const float x = c.series[2][static_cast<std::size_t>(p)].x;
        const float e = korvelan::compute_category_probabilities(model, x, prob);
        double cumulative = 0.0, squares = 0.0;
        for (int k = 0; k <= 3; ++k) {
            const SeriesRow r = c.series[1][static_cast<std::size_t>(k * (n + 2) + p)];
            EXPECT_FLOAT_EQ(r.x, x);
            EXPECT_NEAR(r.y, prob[k], 1e-6) << p << " " << k;
            cumulative += prob[k];
            squares += k * k * prob[k];
            if (k < 3) {
                EXPECT_NEAR(c.series[3][static_cast<std::size_t>(k * (n + 2) + p)].y, cumulative, 1e-6);
            }
        }
        const double information = squares - double(e) * e;
        EXPECT_NEAR(c.series[2][static_cast<std::size_t>(p)].y, e, 1e-5);
        EXPECT_NEAR(c.series[4][static_cast<std::size_t>(p)].y, information, 1e-5);
        EXPECT_NEAR(c.series[5][static_cast<std::size_t>(2 * (n + 2) + p)].y, information * prob[2], 1e-5);
    }
    // Symmetric steps: the expected score is 1.5 and the information largest at 0.
    EXPECT_NEAR(c.series[2][80].y, 1.5f, 1e-5);
    EXPECT_NEAR(c.grid.maximum_information, c.series[4][80].y, 1e-6);
}

// A middle category not observed inside a kept structure (status 0) is left out of every graph,
// as the report leaves it out: probability 0, its step carried into the next category. Each
// graph type's data copy agrees with the model written out here, at every user scale.
TEST(GraphsSeries, AnUnobservedMiddleCategoryIsLeftOutOfEveryGraph) {
    const std::vector<float> steps = {0.0f, -1.5f, 0.3f, 0.0f, 1.2f};
    for (const float scale : {1.0f, 100.0f, 10000.0f, -100.0f}) {
        GraphsData d = one_group(4, steps);
        d.scale = scale;
        d.low_measure = -3.0f * std::fabs(scale);
        d.high_measure = 3.5f * std::fabs(scale);
        d.groups[0].bottom_value = 1;
        d.groups[0].status = {0, 1, 1, 0, 1};
        const GroupCurves c = compute_group_curves(d, 1);
        std::array<std::vector<std::vector<SeriesRow>>, kGraphTypes + 1> curves;
        for (int t = 1; t <= kGraphTypes; ++t) curves[static_cast<std::size_t>(t)] = split_curves(c.series[static_cast<std::size_t>(t)]);
        const int kept[] = {0, 1, 2, 4};
        ASSERT_EQ(curves[1].size(), 4u) << scale;
        ASSERT_EQ(curves[3].size(), 3u) << scale;
        ASSERT_EQ(curves[5].size(), 4u) << scale;
        double largest = 0.0;
        for (std::size_t p = 0; p < curves[2][0].size(); ++p) {
            const double x = curves[2][0][p].x / scale;
            // P_j in proportion to exp(j x - the sum of the steps of the observed categories to j).
            double w[5] = {}, total = 0.0;
            for (int j : kept) {
                double steps_to_j = 0.0;
                for (int i = 1; i <= j; ++i) steps_to_j += i == 3 ? 0.0 : steps[static_cast<std::size_t>(i)];
                w[j] = std::exp(j * x - steps_to_j);
                total += w[j];
            }
            double e = 0.0, squares = 0.0, cumulative = 0.0;
            for (int j : kept) {
                w[j] /= total;
                e += j * w[j];
                squares += j * j * w[j];
            }
            const double information = squares - e * e;
            auto check = [&](double got, double want) { largest = std::max(largest, std::fabs(got - want)); };
            check(curves[2][0][p].y, e + 1.0);
            check(curves[4][0][p].y, information);
            for (std::size_t k = 0; k < 4; ++k) {
                const int j = kept[k];
                check(curves[1][k][p].y, w[j]);
                check(curves[5][k][p].y, information * w[j]);
                cumulative += w[j];
                if (k < 3) check(curves[3][k][p].y, cumulative);
            }
        }
        EXPECT_LT(largest, 1e-4) << scale;
    }
}

TEST(GraphsSeries, DichotomousUncomputedAndFarPoints) {
    GraphsData d = one_group(1, {0.0f, 0.0f});
    d.groups[0].bottom_value = 2;
    GroupCurves c = compute_group_curves(d, 1);
    const SeriesRow at_zero = c.series[4][80];  // x = -6 + 80 * 0.075 = 0
    EXPECT_FLOAT_EQ(at_zero.x, 0.0f);
    EXPECT_FLOAT_EQ(at_zero.y, 0.25f);
    EXPECT_FLOAT_EQ(c.series[1][80].y, 0.5f);
    EXPECT_FLOAT_EQ(c.series[2][80].y, 2.5f);  // the score counts from the bottom category

    // Steps 60 logits from every point: probabilities stay finite.
    d = one_group(3, {0.0f, 60.0f, 70.0f, 80.0f});
    c = compute_group_curves(d, 1);
    for (const auto& series : c.series)
        for (const SeriesRow& r : series) ASSERT_TRUE(std::isfinite(r.y));

    // A success-chain group: every row (0, 0) but the gaps, information scale 0.
    d = one_group(3, {0.0f, -1.0f, 0.0f, 1.0f}, 11);
    c = compute_group_curves(d, 1);
    for (const SeriesRow& r : c.series[1]) EXPECT_TRUE(r == SeriesRow{} || r == (SeriesRow{0.0f, -1.0f}));
    EXPECT_EQ(c.grid.maximum_information, 0.0f);
    SettingsTable s = initial_settings();
    reset_graph_type_settings(s, d.groups[0], c.grid.maximum_information);
    EXPECT_EQ(s[4].slider_max, 0);
    EXPECT_EQ(s[4].y_max, 0);
}

TEST(GraphsSettings, YRangesOfEachGraphType) {
    SettingsTable s = initial_settings();
    EXPECT_EQ(s[3].caption, "Thurstone Threshold Plot");
    EXPECT_EQ(s[5].y_title, "Category Information");
    GraphsGroup g;
    g.top = 3;
    g.bottom_value = 1;
    reset_graph_type_settings(s, g, 0.8f);
    EXPECT_EQ((std::vector<int>{s[2].y_min, s[2].y_max, s[2].y_division, s[2].slider_min, s[2].slider_max}),
              (std::vector<int>{1, 4, 12, 1, 4}));
    EXPECT_EQ((std::vector<int>{s[4].y_max, s[4].y_division, s[4].slider_max, s[4].y_high}),
              (std::vector<int>{1, 4, 4, 4}));
    reset_graph_type_settings(s, g, 4.2f);
    EXPECT_EQ((std::vector<int>{s[5].y_max, s[5].y_division, s[5].slider_max}), (std::vector<int>{5, 5, 5}));
    EXPECT_EQ((std::vector<int>{s[1].y_min, s[1].y_max, s[1].slider_max, s[1].y_division}),
              (std::vector<int>{0, 1, 10, 0}));
}

TEST(GraphsClipboardText, HeadingRowsAndAnEmptyLineBetweenCurves) {
    const std::vector<SeriesRow> rows = {{-1.0f, 0.25f}, {0.5f, 0.0f}, {0.0f, -1.0f}, {2.0f, 1.0f}};
    EXPECT_EQ(chart_data_text(rows, "Category Probability"),
              "X\tCategory Probability\n-1.0000\t.250000\n.5000\t.000000\n\n2.0000\t1.000000\n");
}

}  // namespace

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "engine/report/plot_axis.h"
#include "tests/support/test_host.h"

using namespace korvelan;

namespace {

PlotAxis scaled(float low, float high, int width, int columns_per_tick = 6, float step = 1.0f,
                const TableRequest& request = {}) {
    PlotAxis a;
    a.lowest_measure = low;
    a.highest_measure = high;
    a.axis_step = step;
    a.plot_width = width;
    a.columns_per_tick = columns_per_tick;
    scale_plot_axis(a, request);
    return a;
}

TableRequest with_selector_4(float s) {
    TableRequest r;
    r.letters[3] = 'U';
    r.selectors[3] = s;
    return r;
}

// What scaling settles: ticks, columns per tick, width, units per tick and the high end.
struct Ticks {
    int count, columns, width;
    float units, high;
    bool operator==(const Ticks&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Ticks& t) {
    return o << t.count << " x " << t.columns << " = " << t.width << ", " << t.units
             << " a tick, to " << t.high;
}
Ticks ticks(const PlotAxis& a) {
    return {a.tick_count, a.columns_per_tick, a.plot_width, a.units_per_tick, a.highest_measure};
}

// The tick labels as they stand in the file: report position p is file column p - 1.
std::string label_text(const PlotAxis& a, float x_offset = 0.0f) {
    ReportLineBuffer line;
    put_axis_labels(line, a, 10, x_offset);
    return std::string(line.view(2, line.length()));
}

}  // namespace

TEST(PlotAxisScaling, TicksFallOnWholeStepsAndWholeColumns) {
    PlotAxis a = scaled(-3.0f, 3.0f, 60);
    EXPECT_EQ(ticks(a), (Ticks{6, 10, 60, 1.0f, 3.0f}));
    EXPECT_FLOAT_EQ(a.columns_per_unit, 10.0f);
    EXPECT_FLOAT_EQ(a.units_per_column, 0.1f);
    EXPECT_EQ(plot_column(a, 0.25f), 33);  // 32.5 rounds away from zero
    // 67 columns do not divide into 6 ticks: the width shrinks to 66.
    EXPECT_EQ(ticks(scaled(-3.0f, 3.0f, 67)), (Ticks{6, 11, 66, 1.0f, 3.0f}));
    // 13 steps over at most 10 ticks: two steps a tick, the high end raised to the last tick.
    a = scaled(-5.0f, 8.0f, 60);
    EXPECT_EQ(ticks(a), (Ticks{7, 8, 56, 2.0f, 9.0f}));
    EXPECT_EQ(label_text(a), "       -5      -3      -1       1       3       5       7       9");
}

TEST(PlotAxisScaling, NarrowOrReversedRangesGetOneTickOfOneStep) {
    EXPECT_EQ(ticks(scaled(0.2f, 0.5f, 60)), (Ticks{1, 60, 60, 1.0f, 1.2f}));
    EXPECT_EQ(ticks(scaled(3.0f, -3.0f, 60)), (Ticks{1, 60, 60, 1.0f, 4.0f}));
}

TEST(PlotAxisScaling, NegativeUscaleStepActsAsItsSize) {
    // Measures reported with a negative USCALE= run the other way, and a caller may hand the
    // signed unit on: the axis still runs low to high with ticks whole columns apart.
    PlotAxis a = scaled(-40.0f, 20.0f, 60, 6, -10.0f);
    EXPECT_EQ(ticks(a), (Ticks{6, 10, 60, 10.0f, 20.0f}));
    EXPECT_FLOAT_EQ(a.columns_per_unit, 1.0f);
    EXPECT_EQ(label_text(a),
              "      -40       -30       -20       -10         0        10        20");
}

TEST(PlotAxisScaling, RequestSelectorFourSetsTheSmallestTickSpacing) {
    const TableRequest twelve = with_selector_4(12.0f);
    EXPECT_EQ(ticks(scaled(-10.0f, 10.0f, 60, 6, 1.0f, twelve)), (Ticks{5, 12, 60, 4.0f, 10.0f}));
    // The selector counts only with its option letter.
    TableRequest unset;
    unset.selectors[3] = 12.0f;
    EXPECT_EQ(scaled(-10.0f, 10.0f, 60, 6, 1.0f, unset).columns_per_tick, 6);
    // Wider than the plot: one tick over the whole width.
    PlotAxis a = scaled(-10.0f, 10.0f, 60, 6, 1.0f, with_selector_4(500.0f));
    EXPECT_EQ(ticks(a), (Ticks{1, 60, 60, 20.0f, 10.0f}));
    EXPECT_TRUE(axis_labels_fit(a));
}

TEST(PlotAxisScaling, SelectorFourBelowOneColumnStillGivesWholeColumns) {
    // 0.5 truncates to 0 columns a tick: the spacing is held at 1 column, so the axis is
    // scaled, but five-character labels cannot stand one or two columns apart.
    EXPECT_EQ(ticks(scaled(-30.0f, 30.0f, 60, 6, 1.0f, with_selector_4(0.5f))),
              (Ticks{60, 1, 60, 1.0f, 30.0f}));
    EXPECT_EQ(ticks(scaled(-30.0f, 30.0f, 60, 6, 1.0f, with_selector_4(2.0f))),
              (Ticks{30, 2, 60, 2.0f, 30.0f}));
    for (float s : {0.5f, 2.0f, 5.0f})
        EXPECT_FALSE(axis_labels_fit(scaled(-30.0f, 30.0f, 60, 6, 1.0f, with_selector_4(s)))) << s;
    EXPECT_TRUE(axis_labels_fit(scaled(-30.0f, 30.0f, 60, 6, 1.0f, with_selector_4(6.0f))));
}

TEST(PlotAxisScaling, LabelsRoundToTheAxisStepWithTheOffset) {
    PlotAxis a = scaled(0.0f, 200.0f, 60, 6, 10.0f);
    EXPECT_EQ(ticks(a), (Ticks{10, 6, 60, 20.0f, 200.0f}));
    EXPECT_EQ(label_text(a, 3.0f),
              "        0    20    40    60    80   100   120   140   160   180   200");
    EXPECT_EQ(label_text(a, 6.0f),
              "       10    30    50    70    90   110   130   150   170   190   210");
}

TEST(PlotAxisScaling, FormatFailureMessageNamesTheTable) {
    korvelan::testing::TestHost host;
    korvelan::Run run;
    run.host = &host;
    show_plot_format_failure(run, "7.2 ");
    EXPECT_EQ(host.lines,
              std::vector<std::string>{" TABLE 7.2 COULD NOT BE FORMATTED TO YOUR SPECIFICATIONS"});
}

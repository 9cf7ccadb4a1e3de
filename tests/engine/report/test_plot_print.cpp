#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/report/plot_print.h"
#include "tests/engine/report/report_lines_fixture.h"

using namespace korvelan;

namespace {

struct PlotPrint : korvelan::testing::ReportLinesFixture {
    PlotGrid grid;
    PlotAxis axis;
    void scale(float low, float high, int width, int columns_per_tick = 6) {
        axis.lowest_measure = low;
        axis.highest_measure = high;
        axis.plot_width = width;
        axis.columns_per_tick = columns_per_tick;
        scale_plot_axis(axis, TableRequest{});
    }
    // Row r's label (file columns 2-6) and its two edge characters, for rows R down to 0.
    std::map<int, std::string> row_labels(const std::vector<std::string>& lines, int rows) {
        std::map<int, std::string> labels;
        for (int row = rows; row >= 0; --row) {
            const std::string& l = lines[static_cast<std::size_t>(rows - row + 1)];
            const std::string edges{l[7], l.back()};
            if (edges == "++")
                labels[row] = l.substr(1, 5);
            else
                EXPECT_EQ(edges, "||") << row;
        }
        return labels;
    }
};

}  // namespace

TEST_F(PlotPrint, WholePlotWithTitlesLabelsAndBorders) {
    scale(0.0f, 2.0f, 12);
    centre_plot_title(grid, "PROB", 5);
    grid.x_title = "MEASURE";
    place_plot_point(grid, 'A', 6, 1, 12, 2);
    place_plot_point(grid, 'B', 0, 0, 12, 2);
    place_plot_point(grid, 'C', 12, 2, 12, 2);
    float ymax = 0.0f;
    ASSERT_TRUE(print_character_plot(run, grid, axis, 2, ymax, axis.plot_width, 0.0f, 0, 0.0f));
    EXPECT_EQ(ymax, 1.0f);
    const std::vector<std::string> expected = {
        "       ++-----+-----++",         "P  1.0 +            C+", "R   .5 +      A      +",
        "O   .0 +B            +",         "B      ++-----+-----++", "        0     1     2",
        std::string(33, ' ') + "MEASURE",
    };
    EXPECT_EQ(report_lines(), expected);
    // Every printed cell is blank again, ready for the next plot.
    for (int r = 0; r <= 2; ++r)
        EXPECT_EQ(std::string(grid.cells[static_cast<std::size_t>(r)].data(), 13),
                  std::string(13, ' '));
}

TEST_F(PlotPrint, ProbabilityRowsAtFifthsAndHalves) {
    scale(-3.0f, 3.0f, 60);
    float ymax = 1.0f;
    ASSERT_TRUE(print_character_plot(run, grid, axis, 20, ymax, 60, 0.0f, 0, 0.0f));
    const std::vector<std::string> lines = report_lines();
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(row_labels(lines, 20), (std::map<int, std::string>{{20, "  1.0"},
                                                                 {16, "   .8"},
                                                                 {12, "   .6"},
                                                                 {10, "   .5"},
                                                                 {8, "   .4"},
                                                                 {4, "   .2"},
                                                                 {0, "   .0"}}));
    EXPECT_EQ(lines[23], "       -3        -2        -1         0         1         2         3");
}

TEST_F(PlotPrint, ScoreScaleInHalfPointsFromTheOffset) {
    scale(-3.0f, 3.0f, 60);
    float ymax = 3.0f;
    ASSERT_TRUE(print_character_plot(run, grid, axis, 30, ymax, 60, 10.0f, 0, 0.0f));
    EXPECT_EQ(row_labels(report_lines(), 30), (std::map<int, std::string>{{30, "   13"},
                                                                          {25, " 12.5"},
                                                                          {20, "   12"},
                                                                          {15, " 11.5"},
                                                                          {10, "   11"},
                                                                          {5, " 10.5"},
                                                                          {0, "   10"}}));
}

TEST_F(PlotPrint, RowOffsetPrintsOneOfTwoPlotsKeptInTheGrid) {
    scale(0.0f, 2.0f, 12);
    grid.cells[3][4] = 'X';  // row 1 of the plot printed from grid row 2
    grid.cells[1][4] = 'Y';  // a plot below it, left alone
    float ymax = 1.0f;
    ASSERT_TRUE(print_character_plot(run, grid, axis, 2, ymax, 12, 0.0f, 2, 0.0f));
    const std::vector<std::string> lines = report_lines();
    EXPECT_EQ(lines[2], "    .5 +    X        +");
    EXPECT_EQ(grid.cells[3][4], ' ');
    EXPECT_EQ(grid.cells[1][4], 'Y');
}

TEST_F(PlotPrint, AxisWithoutRoomForItsLabelsPrintsNothing) {
    TableRequest request;
    request.letters[3] = 'U';
    request.selectors[3] = 2.0f;
    axis.lowest_measure = -30.0f;
    axis.highest_measure = 30.0f;
    scale_plot_axis(axis, request);
    grid.cells[5][7] = 'A';
    float ymax = 1.0f;
    EXPECT_FALSE(print_character_plot(run, grid, axis, 10, ymax, 60, 0.0f, 0, 0.0f));
    EXPECT_TRUE(report_lines().empty());
    EXPECT_EQ(grid.cells[5][7], ' ');
}

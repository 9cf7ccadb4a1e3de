#include <gtest/gtest.h>

#include <string>

#include "engine/report/plot_text.h"

using namespace korvelan;

TEST(PlotOverlay, TextGoesOnlyWhereEveryCharacterLandsFree) {
    std::string line = "  |  :  A   ";
    // Blanks of the text leave the line as it is; "|" and ":" may be covered.
    EXPECT_TRUE(overlay_text_on_plot_line(line, 1, "x y z  "));
    EXPECT_EQ(line, " x|y z  A   ");
    // One character on the plotted "A": nothing is written.
    EXPECT_FALSE(overlay_text_on_plot_line(line, 6, "abc"));
    EXPECT_EQ(line, " x|y z  A   ");
    // Past the end of the line: nothing either; trailing blanks of the text do not count.
    EXPECT_FALSE(overlay_text_on_plot_line(line, 11, "pq"));
    EXPECT_TRUE(overlay_text_on_plot_line(line, 11, "p   "));
    EXPECT_EQ(line, " x|y z  A  p");
}

TEST(PlotOverlay, FreePlaceSearchRunsRightAndStopsAtTheEndOfTheLine) {
    std::string line = "1 2   3  ";
    EXPECT_EQ(overlay_text_at_free_place(line, 0, "ab"), 3);
    EXPECT_EQ(line, "1 2ab 3  ");
    // A blank inside the text may stand on a symbol.
    EXPECT_EQ(overlay_text_at_free_place(line, 0, "c c"), 5);
    EXPECT_EQ(line, "1 2abc3c ");
    // No place up to the end: the text is skipped and the line unchanged.
    EXPECT_EQ(overlay_text_at_free_place(line, 0, "xyz"), -1);
    EXPECT_EQ(line, "1 2abc3c ");
}

TEST(PlotMarkers, PairAroundTheNearestFreePlaces) {
    std::string line = "  .AB  |  ";
    place_marker_pair(line, 3, '(', ')');
    EXPECT_EQ(line, "  (AB) |  ");
    // A free place itself takes the right marker, the left one goes to its left, even when the
    // markers are characters that count as free.
    line = "      ";
    place_marker_pair(line, 3, '.', '.');
    EXPECT_EQ(line, "  ..  ");
    // No free place on the left: that marker is dropped.
    line = "AB CD";
    place_marker_pair(line, 1, '(', ')');
    EXPECT_EQ(line, "AB)CD");
    line = "AB";
    place_marker_pair(line, 0, '(', ')');
    EXPECT_EQ(line, "AB");
}

TEST(ResidualColumn, DroppedWhileTheFlagIsZero) {
    const std::string table_row = " \x11   1   100  25\x11  85  86\x11 OBS-EXP \x11";
    ReportLineBuffer line;
    line.put(1, table_row);
    drop_column_from_report_line(line, 1);
    EXPECT_EQ(std::string(line.view(1, line.length())), table_row);
    drop_column_from_report_line(line, 0);
    EXPECT_EQ(std::string(line.view(1, line.length())), " \x11   1   100  25\x11  85  86\x11");
    // Ten characters or fewer: left alone.
    line.clear();
    line.put(2, "ABCDEFGHI");
    drop_column_from_report_line(line, 0);
    EXPECT_EQ(std::string(line.view(1, line.length())), " ABCDEFGHI");
}

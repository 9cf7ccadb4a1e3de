#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "engine/report/plot_grid.h"

using namespace korvelan;

namespace {

char& cell(PlotGrid& g, int column, int row) {
    return g.cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

// The 3 x 3 block around (column, row) as three texts, top row first.
std::vector<std::string> block(PlotGrid& g, int column, int row) {
    std::vector<std::string> rows;
    for (int r = row + 1; r >= row - 1; --r)
        rows.push_back({cell(g, column - 1, r), cell(g, column, r), cell(g, column + 1, r)});
    return rows;
}

std::string symbols(const std::vector<std::int32_t>& list, int n) {
    std::string s;
    for (std::int32_t v : list) s += get_category_plot_symbol(list, n, std::abs(v));
    return s;
}

}  // namespace

TEST(PlotPoint, TakenCellsPushPointsRoundTheNeighbourhoodInOrder) {
    PlotGrid g;
    // Row offsets 0, +1, -1; within each, column offsets 0, +1, -1.
    for (char s : std::string("ABCDEFGHI")) place_plot_point(g, s, 10, 5, 67, 20);
    EXPECT_EQ(block(g, 10, 5), (std::vector<std::string>{"FDE", "CAB", "IGH"}));
    // Nowhere left: the letters placed before stay, and so do they under counted points.
    place_plot_point(g, 'J', 10, 5, 67, 20);
    place_plot_point(g, ' ', 10, 5, 67, 20);
    EXPECT_EQ(block(g, 10, 5), (std::vector<std::string>{"FDE", "CAB", "IGH"}));
    // A digit symbol with no place left marks the centre "*".
    place_plot_point(g, '4', 10, 5, 67, 20);
    EXPECT_EQ(cell(g, 10, 5), '*');
    EXPECT_EQ(block(g, 10, 5), (std::vector<std::string>{"FDE", "C*B", "IGH"}));
}

TEST(PlotPoint, BlankSymbolsCountPointsUpToAStar) {
    PlotGrid g;
    std::string seen;
    for (int i = 0; i < 11; ++i) {
        place_plot_point(g, ' ', 3, 3, 67, 10);
        seen += cell(g, 3, 3);
    }
    EXPECT_EQ(seen, "123456789**");
    // A lettered cell is not counted into: the count goes to the next free cell.
    cell(g, 20, 3) = 'A';
    place_plot_point(g, ' ', 20, 3, 67, 10);
    EXPECT_EQ(cell(g, 20, 3), 'A');
    EXPECT_EQ(cell(g, 21, 3), '1');
}

TEST(PlotPoint, ALetterTakesACountedCellAndTheCountMovesOnOrIsDropped) {
    PlotGrid g;
    // Eight letters and one count fill the neighbourhood of (10, 5); the count sits at (10, 6).
    for (char s : std::string("ABC")) place_plot_point(g, s, 10, 5, 67, 20);
    place_plot_point(g, ' ', 10, 5, 67, 20);
    for (char s : std::string("EFGHI")) place_plot_point(g, s, 10, 5, 67, 20);
    EXPECT_EQ(block(g, 10, 5), (std::vector<std::string>{"F1E", "CAB", "IGH"}));
    // J takes the counted cell; the count moves to the first free cell around (10, 6): (10, 7).
    place_plot_point(g, 'J', 10, 5, 67, 20);
    EXPECT_EQ(block(g, 10, 5), (std::vector<std::string>{"FJE", "CAB", "IGH"}));
    EXPECT_EQ(cell(g, 10, 7), '1');
    // With no free cell around the counted one, the count is dropped and the letter stays.
    PlotGrid full;
    for (int r = 0; r <= 2; ++r)
        for (int c = 0; c <= 2; ++c) cell(full, c, r) = 'A';
    cell(full, 1, 1) = '5';
    place_plot_point(full, 'q', 1, 1, 2, 2);
    EXPECT_EQ(cell(full, 1, 1), 'q');
    int letters = 0;
    for (int r = 0; r <= 2; ++r)
        for (int c = 0; c <= 2; ++c) letters += cell(full, c, r) == 'A';
    EXPECT_EQ(letters, 8);
}

TEST(PlotPoint, ProbesStayInsideTheLimits) {
    PlotGrid g;
    // In the corner the probes below and left of it fall back onto the edge cells.
    for (char s : std::string("ABCD")) place_plot_point(g, s, 0, 0, 67, 3);
    EXPECT_EQ(cell(g, 0, 0), 'A');
    EXPECT_EQ(cell(g, 1, 0), 'B');
    EXPECT_EQ(cell(g, 0, 1), 'C');
    EXPECT_EQ(cell(g, 1, 1), 'D');
    // Every other probe is one of those four cells again: E finds no place and covers none.
    place_plot_point(g, 'E', 0, 0, 67, 3);
    EXPECT_EQ(cell(g, 0, 0), 'A');
    // A point past the limits lands on the last column and row.
    place_plot_point(g, 'Z', 90, 12, 67, 3);
    EXPECT_EQ(cell(g, 67, 3), 'Z');
    EXPECT_EQ(cell(g, 68, 3), ' ');
    EXPECT_EQ(cell(g, 67, 4), ' ');
}

TEST(PlotSymbols, MergeShowsTwoDifferentSymbolsAsAStar) {
    char c = ' ';
    merge_flag_character(c, 'A');
    EXPECT_EQ(c, 'A');
    merge_flag_character(c, 'A');
    EXPECT_EQ(c, 'A');
    merge_flag_character(c, 'B');
    EXPECT_EQ(c, '*');
    merge_flag_character(c, 'A');
    EXPECT_EQ(c, '*');
}

TEST(PlotSymbols, DigitsForSmallListsLettersFromBothEndsOtherwise) {
    EXPECT_EQ(symbols({0, 1, 2}, 3), "012");
    std::vector<std::int32_t> twelve(12);
    std::iota(twelve.begin(), twelve.end(), 1);
    EXPECT_EQ(symbols(twelve, 12), "ABCDEFfedcba");
    // One value above 9 gives letters; an odd list letters its middle one from the bottom.
    EXPECT_EQ(symbols({0, 5, 10}, 3), "ABa");
    // Entries a writer has left out (negative) keep their symbols; an unlisted value is blank.
    EXPECT_EQ(symbols({3, -7, 12, 5}, 4), "ABba");
    EXPECT_EQ(get_category_plot_symbol(std::vector<std::int32_t>{3, 7, 12, 5}, 4, 8), ' ');
    // Only the first n values are listed.
    EXPECT_EQ(get_category_plot_symbol(std::vector<std::int32_t>{11, 12, 13, 14}, 2, 12), 'a');
    // Past 52 entries the middle ones stay blank.
    std::vector<std::int32_t> sixty(60);
    std::iota(sixty.begin(), sixty.end(), 1);
    EXPECT_EQ(symbols(sixty, 60), "ABCDEFGHIJKLMNOPQRSTUVWXYZ        zyxwvutsrqponmlkjihgfedcba");
}

TEST(PlotTitle, CentredInWidthPlusOneCharacters) {
    PlotGrid g;
    centre_plot_title(g, "FIT  ", 8);
    EXPECT_EQ(g.y_title, "   FIT" + std::string(61, ' '));
    centre_plot_title(g, "INFIT MEAN-SQUARE", 9);
    EXPECT_EQ(g.y_title, "INFIT MEAN" + std::string(57, ' '));
    // A width past the title area is held to its 67 characters.
    centre_plot_title(g, std::string(80, 'x'), 120);
    EXPECT_EQ(g.y_title, std::string(67, 'x'));
}

// The character plot area every picture of the report is drawn in, and the cell operations the
// plotting Tables share: merging symbols, placing a point on a free neighbouring cell, the plot
// symbol of an entry or category, and the vertical axis title.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvelan {

inline constexpr int kPlotRows = 63;     // grid rows 0 (bottom) to 62, row offsets included
inline constexpr int kPlotColumns = 71;  // grid columns 0 (left edge) to 70
inline constexpr int kPlotYTitleLength = 67;

// One plot being built: cells[row][column], row 0 the bottom line; a blank cell is empty. The
// printer blanks every cell it prints, so a printed area is ready for the next plot.
struct PlotGrid {
    std::array<std::array<char, kPlotColumns>, kPlotRows> cells = blank_cells();
    // The vertical title, one character per printed line, written down the left margin.
    std::string y_title = std::string(kPlotYTitleLength, ' ');
    // The horizontal title, printed centred under the axis labels.
    std::string x_title;

    static std::array<std::array<char, kPlotColumns>, kPlotRows> blank_cells() {
        std::array<std::array<char, kPlotColumns>, kPlotRows> c{};
        for (auto& row : c) row.fill(' ');
        return c;
    }
};

// Blanks columns 0..last_column of grid rows first_row..last_row (bounded to the grid), for a
// caller that starts or abandons a plot.
void blank_plot_cells(PlotGrid& grid, int first_row, int last_row, int last_column);

// merge_flag_character: a blank cell takes the symbol, an equal one stays, two different
// symbols in one cell show as "*".
void merge_flag_character(char& cell, char symbol);

// place_plot_point: puts the symbol in cell (row, column) or, when that is taken, in the first
// usable cell of its 3 x 3 neighbourhood (row offsets 0, +1, -1, within each column offsets 0,
// +1, -1), each probe bounded to 0..last_column and 0..last_row. A blank symbol counts points
// there ("1" to "9", then "*"). With no usable cell a letter takes the first cell holding a
// count (the count moves to a free cell next to that one, or is dropped) and is not shown when
// all nine hold symbols; a digit symbol turns the centre into "*"; a count never covers a letter.
void place_plot_point(PlotGrid& grid, char symbol, int column, int row, int last_column,
                      int last_row);

// get_category_plot_symbol: the symbol of value among the first n listed values (signs
// ignored): its digit when n <= 9 and every value is 9 or less; otherwise "A", "B", ... by its
// place from the start of the list and "a", "b", ... from the end (26 each, the capitals down to
// the middle), blank when it is not found there.
char get_category_plot_symbol(std::span<const std::int32_t> values, int n, int value);

// centre_plot_title: the trimmed text centred in the first width + 1 characters of y_title,
// which is blanked first; a longer text keeps its first width + 1 characters.
void centre_plot_title(PlotGrid& grid, std::string_view text, int width);

}  // namespace korvelan

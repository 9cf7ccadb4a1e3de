#include "engine/report/plot_print.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/run/numtext.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr int kLabelColumn = 3;   // row labels in columns 3-7
constexpr int kBorderColumn = 9;  // left border; cell 0 stands in column 10
constexpr int kTitleWidth = 76;   // the x_title is centred over this width

// Character i (1-based) of the vertical title, blank past its end.
std::string_view y_title_character(const PlotGrid& grid, int i) {
    const std::string_view c =
        i >= 1 ? character_span(grid.y_title, static_cast<std::size_t>(i - 1), 1)
               : std::string_view();
    return c.empty() ? " " : c;
}

// Probability scale: rows at fifths and halves of the height carry row x ymax / rows.
std::string probability_label(int row, int rows, float ymax) {
    if ((5 * row) % rows != 0 && (2 * row) % rows != 0) return {};
    return fmt_f(static_cast<double>(static_cast<float>(row) * ymax / static_cast<float>(rows)), 5,
                 1);
}

// Score scale in half points: a row is labelled when its nearest half point maps back to it;
// whole points (and every point of a scale above 999) print as integers.
std::string score_label(int row, int rows, float ymax, float yoff) {
    const float r = static_cast<float>(rows);
    const int k = nint(static_cast<double>(2.0f * static_cast<float>(row) * ymax / r));
    if (nint(static_cast<double>(static_cast<float>(k) * r / (2.0f * ymax))) != row) return {};
    if (k % 2 == 0 || ymax > 999.0f)
        return fmt_i(nint(static_cast<double>(static_cast<float>(k / 2) + yoff)), 5);
    return fmt_f(static_cast<double>(std::round(static_cast<float>(k) + 2.0f * yoff) * 0.5f), 5, 1);
}

}  // namespace

void put_title_and_row_label(ReportLineBuffer& line, const PlotGrid& grid, int i,
                             int label_column, std::string_view label) {
    line.put(2, y_title_character(grid, i));
    const std::size_t first = label.find_first_not_of(' ');
    if (first != std::string_view::npos)
        line.put(label_column + static_cast<int>(first), label.substr(first));
}

namespace {

void write_border(Run& run, const PlotGrid& grid, const PlotAxis& axis, int title_index, char left,
                  char right) {
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    line.put(2, y_title_character(grid, title_index));
    put_axis_border(line, axis, kBorderColumn, left, box::kHorizontal, right);
    write_report_line(run);
}

void write_row(Run& run, PlotGrid& grid, int rows, int row, int grid_row, int last_column,
               const std::string& label) {
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    put_title_and_row_label(line, grid, rows - row + 2, kLabelColumn, label);
    const char edge = label.empty() ? box::kVertical : box::kCross;
    line.c[kBorderColumn - 1] = edge;
    auto& cells = grid.cells[static_cast<std::size_t>(grid_row)];
    line.put(kBorderColumn + 1,
             std::string_view(cells.data(), static_cast<std::size_t>(last_column + 1)));
    line.c[static_cast<std::size_t>(kBorderColumn + last_column + 1)] = edge;
    write_report_line(run);
    std::fill_n(cells.begin(), last_column + 1, ' ');
}

void write_axis_labels(Run& run, const PlotGrid& grid, const PlotAxis& axis, int rows,
                       float x_offset) {
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    line.put(2, y_title_character(grid, rows + 4));
    put_axis_labels(line, axis, kBorderColumn + 1, x_offset);
    write_report_line(run);
}

void write_x_title(Run& run, const PlotGrid& grid) {
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    const std::string_view title = trim_right(grid.x_title);
    const int length = static_cast<int>(display_width(title));
    line.put(std::max((kTitleWidth - length) / 2 + 1, 2), title);
    write_report_line(run);
}

}  // namespace

bool print_character_plot(Run& run, PlotGrid& grid, const PlotAxis& axis, int rows,
                          float& y_maximum, int last_column, float y_offset, int row_offset,
                          float x_offset) {
    row_offset = std::clamp(row_offset, 0, kPlotRows - 2);
    rows = std::clamp(rows, 1, kPlotRows - 1 - row_offset);
    last_column = std::clamp(last_column, 0, kPlotColumns - 1);
    if (!axis_labels_fit(axis)) {
        blank_plot_cells(grid, row_offset, row_offset + rows, last_column);
        return false;
    }
    if (y_maximum <= 0.0f) y_maximum = 1.0f;
    write_border(run, grid, axis, 1, box::kDownRight, box::kDownLeft);
    for (int row = rows; row >= 0; --row) {
        const std::string label = y_maximum <= 1.0f ? probability_label(row, rows, y_maximum)
                                                    : score_label(row, rows, y_maximum, y_offset);
        write_row(run, grid, rows, row, row + row_offset, last_column, label);
    }
    write_border(run, grid, axis, rows + 3, box::kUpRight, box::kUpLeft);
    write_axis_labels(run, grid, axis, rows, x_offset);
    write_x_title(run, grid);
    return true;
}

}  // namespace korvelan

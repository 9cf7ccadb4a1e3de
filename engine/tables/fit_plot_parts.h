// What the two fit plots share: the kind's label and reference lines, the plot height, the
// fit values of an entry and the points of the order list.
#pragma once

#include <cstdlib>
#include <string>

#include "engine/estimation/estimation_common.h"
#include "engine/report/plot_grid.h"
#include "engine/tables/fit_plot.h"

namespace korvelan {

struct FitKindLines {
    std::string label;  // "MNSQ", " LOG" or the standardized-fit label
    float start = 0.0f, end = 0.0f, step = 1.0f;  // reference values
};
FitKindLines fit_kind_lines(const ControlVariables& cv, FitKind kind);

// Rows of a plot of the given fit range: 40, or the page less 16, at most 4 (then 5) rows per
// unit; at least 1.
int fit_plot_rows(const Run& run, float range);

// The infit and outfit of entry e of the side: standardized values under MNSQ=N, else
// mean-squares.
struct FitValues {
    float infit = 0.0f, outfit = 0.0f;
};
FitValues entry_fit_values(const Run& run, bool items, int e);

// Places every entry of the side's order list that has status above 0 (entries an earlier
// writer of the request made negative too) at (column, row) = place(e), lettered by its place
// in the list.
template <typename Place>
void place_listed_entries(ReportContext& ctx, int last_column, int last_row, Place place);

// merge_plot_line_character: draws a line character into a cell without covering a symbol; a
// crossing of two lines shows as "+" or a box cross.
void merge_plot_line_character(char& cell, char drawn);

// The mean-square label of row `row` of a " LOG" plot: "MNSQ" on the top row, else the
// mean-square of the row with one decimal when it lies in (0, 10) and maps back to the row.
std::string log_row_mean_square(int row, int rows, float scale, float low);

// Whether the tick labels keep apart on the scaled axis: at least one tick and `spacing` columns
// per tick (a request's selector 4 may make the spacing narrower); when not, the plot's message
// line " TABLE t.s COULD NOT BE FORMATTED TO YOUR SPECIFICATIONS", s the sub-table it would be.
bool fit_plot_labels_fit(Run& run, const PlotAxis& axis, int spacing);

// Writes plot row `row` of `rows`: the vertical title character, the left label, the cells
// 0..plot_width between borders ("┼" on a tick row, else "│") and the right label after them.
void write_fit_plot_row(ReportContext& ctx, int rows, int row, const std::string& left,
                        const std::string& right, bool tick);

template <typename Place>
void place_listed_entries(ReportContext& ctx, int last_column, int last_row, Place place) {
    const bool items = ctx.side == ReportSide::Items;
    const EntryOrder& order = ctx.order(ctx.side);
    const AnalysisArrays& a = ctx.run.arrays;
    const int n = std::min(order.count, static_cast<std::int32_t>(order.entries.size()));
    for (int p = 0; p < n; ++p) {
        const int e = std::abs(order.entries[static_cast<std::size_t>(p)]);
        const int s = base_status(array_value(items ? a.item_status : a.person_status, e, status::kDeleted));
        if (s <= 0) continue;
        const char symbol = get_category_plot_symbol(order.entries, n, e);
        const auto [column, row] = place(e);
        place_plot_point(ctx.grid, symbol, column, row, last_column, last_row);
    }
}

}  // namespace korvelan

// The loading plot of a component: each included entry at its measure (across) and its
// loading (up), lettered by its place in the order of the first component's loadings.
#include <algorithm>
#include <cmath>
#include <string>

#include "engine/analyses/component_reports.h"
#include "engine/analyses/residual_correlations.h"
#include "engine/report/entry_sort.h"
#include "engine/report/plot_axis.h"
#include "engine/report/plot_grid.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr int kLoadingPlotWidth = 67;
constexpr int kMostRows = 40;

// The vertical scale: the smallest step from .05 by .01 that fits the loadings in 40 rows.
struct LoadingScale {
    float step = 0.05f;
    int top = 0, bottom = 0, rows = 0;
    int row_of(float loading) const { return nint(loading / step) - bottom; }
};

LoadingScale loading_scale(float lowest, float highest) {
    LoadingScale s;
    for (;;) {
        s.top = nint(highest / s.step);
        if (static_cast<float>(s.top) * s.step < highest) ++s.top;
        s.bottom = nint(lowest / s.step);
        if (lowest < static_cast<float>(s.bottom) * s.step) --s.bottom;
        s.rows = s.top - s.bottom;
        if (s.rows <= kMostRows) return s;
        s.step += 0.01f;
    }
}

// Component 1 orders the facet's list by loading, highest first (ties by entry number).
void order_by_first_loadings(EntryOrder& order, const ComponentResult& c) {
    order.entries.clear();
    for (std::size_t e = 1; e < c.flags.size(); ++e)
        if (c.flags[e] == 1) order.entries.push_back(static_cast<std::int32_t>(e));
    order.count = static_cast<std::int32_t>(order.entries.size());
    auto key = [&](std::int32_t e) { return static_cast<float>(c.loadings[static_cast<std::size_t>(e)]); };
    shell_sort_entries_by_key(order.entries, key, 0.0001f, [](std::int32_t a, std::int32_t b) { return a < b; },
                              [](int) {});
}

void write_line(Run& run) {
    write_report_line(run);
    run.rep.line.clear();
}

}  // namespace

void write_component_loading_plot(ReportContext& ctx, const ComponentResult& c) {
    Run& run = ctx.run;
    EntryOrder& order = ctx.order(ctx.side);
    if (c.k == 1) {
        order_by_first_loadings(order, c);
        if (order.count < 2) return;
    }
    float lowest = 0.0f, highest = 0.0f;
    bool any = false;
    for (std::size_t e = 1; e < c.flags.size(); ++e) {
        if (c.flags[e] != 1) continue;
        const float l = static_cast<float>(c.loadings[e]);
        lowest = any ? std::min(lowest, l) : l;
        highest = any ? std::max(highest, l) : l;
        any = true;
    }
    if (!any || lowest == highest) return;

    const bool items = ctx.side == ReportSide::Items;
    const std::span<const float> measures = items ? run.arrays.item_measure : run.arrays.person_measure;
    const char kind = residual_kind(run);
    ReportLineBuffer& line = run.rep.line;
    write_table_heading(run, 1);
    line.clear();
    line.put(9, std::string(msg::kPcaPlotTitle) + residual_word(kind, false) + msg::kPcaFactorPlot);
    write_line(run);
    line.put(9, "Factor" + fmt_i(c.k, 2) + " extracts " + real_to_text_left(static_cast<float>(c.eigenvalue), "(F10.1)") +
                    " units out of " + std::to_string(c.included) + " units of " +
                    pad_right(facet_word(run, ctx.side), 12) + " noise.");
    squeeze_report_line_blanks(line);
    write_line(run);
    if (kind != 'O') {
        line.put(9, yardstick_line(run, ctx.side, c));
        squeeze_report_line_blanks(line);
        write_line(run);
    }

    const LoadingScale scale = loading_scale(lowest, highest);
    PlotGrid grid;
    std::string title(msg::kPcaAxisTitle);
    title[7] = static_cast<char>('0' + c.k % 10);
    centre_plot_title(grid, title, scale.rows + 3);
    PlotAxis axis = ctx.axis;
    axis.plot_width = kLoadingPlotWidth;
    scale_plot_axis(axis, ctx.request);

    blank_plot_cells(grid, 0, scale.rows, kLoadingPlotWidth);
    const std::span<const std::int32_t> listed(order.entries.data(), static_cast<std::size_t>(std::max(order.count, 0)));
    for (std::size_t e = 1; e < c.flags.size(); ++e) {
        if (c.flags[e] != 1) continue;
        const auto entry = static_cast<std::int32_t>(e);
        const char symbol = get_category_plot_symbol(listed, order.count, entry);
        place_plot_point(grid, symbol, plot_column(axis, measures[e]),
                         scale.row_of(static_cast<float>(c.loadings[e])), kLoadingPlotWidth, scale.rows);
    }
    const int mean_column = plot_column(axis, run.arrays.estimation.item_mean_measure);
    if (mean_column >= 0 && mean_column <= kLoadingPlotWidth)
        for (int r = 0; r <= scale.rows; ++r)
            if (grid.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(mean_column)] == ' ')
                grid.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(mean_column)] = '|';
    const int zero_row = scale.row_of(0.0f);
    if (zero_row >= 0 && zero_row <= scale.rows)
        for (int col = 0; col <= kLoadingPlotWidth; ++col) {
            char& cell = grid.cells[static_cast<std::size_t>(zero_row)][static_cast<std::size_t>(col)];
            if (cell == ' ') cell = '-';
        }

    // The lines, each with its character of the vertical title at position 2.
    int title_at = 0;
    auto label = [&] {
        line.put(2, character_span(grid.y_title, static_cast<std::size_t>(title_at++), 1));
    };
    auto number_line = [&](bool with_title) {
        if (with_title) label();
        put_axis_labels(line, axis, 9, 0.0f);
        write_line(run);
    };
    auto ruler = [&](char left, char right) {
        label();
        put_axis_border(line, axis, 8, left, '-', right);
        write_line(run);
    };
    number_line(true);
    ruler(box::kDownRight, box::kDownLeft);
    for (int r = scale.rows; r >= 0; --r) {
        label();
        int t = -10;
        while (t < 10 && scale.row_of(static_cast<float>(t) * 0.1f) < r) ++t;
        const bool marked = scale.row_of(static_cast<float>(t) * 0.1f) == r;
        if (marked) line.put(3, fmt_f(static_cast<float>(t) * 0.1f, 4, 1));
        const char edge = marked ? box::kCross : box::kVertical;
        std::string row(1, edge);
        row.append(grid.cells[static_cast<std::size_t>(r)].data(), static_cast<std::size_t>(kLoadingPlotWidth + 1));
        row += edge;
        line.put(8, row);
        write_line(run);
    }
    ruler(box::kUpRight, box::kUpLeft);
    number_line(false);
    const std::string caption = std::string(trim(facet_word(run, ctx.side))) + " MEASURE";
    const int ruler_length = 8 + 2 + axis.tick_count * axis.columns_per_tick;
    line.put(std::max(1, (ruler_length + 8 - static_cast<int>(display_width(caption))) / 2), caption);
    write_line(run);
    blank_plot_cells(grid, 0, scale.rows, kLoadingPlotWidth);
}

}  // namespace korvelan

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "engine/report/plot_axis.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/fit_plot_parts.h"

namespace korvelan {

namespace {

constexpr int kBorder = 8;
constexpr int kLabelStart = 7;
// The spacing the labels of the fit axis need: I3 integers and F4.1 mean-squares, each with a
// blank of its own before the digits it holds.
constexpr int kIntegerLabelSpacing = 3;
constexpr int kMeanSquareLabelSpacing = 4;

// The integer labels of the fit axis, three characters each from position 7, one per tick.
void put_integer_labels(ReportLineBuffer& line, const PlotAxis& axis, const FitPlotRange& r) {
    const float range = r.high - r.low;
    const int n = static_cast<int>((range + 0.001f + axis.units_per_tick) / axis.units_per_tick);
    for (int k = 0; k < n && k <= kPlotLastColumn; ++k)
        line.put(kLabelStart + k * axis.columns_per_tick, fmt_i(nint(r.low + k * axis.units_per_tick), 3));
}

// The mean-square labels of the " LOG" kind, with "MNSQ" over the first.
void put_mean_square_labels(ReportLineBuffer& line, const PlotAxis& axis, const FitPlotRange& r) {
    const float range = r.high - r.low;
    const float extent = std::min(range, std::log(9.9f) - r.low);
    const int n = static_cast<int>((extent + 0.001f + axis.units_per_tick) / axis.units_per_tick);
    for (int k = 0; k < n && k <= kPlotLastColumn; ++k) {
        const float x = static_cast<float>(nint(10.0 * std::exp(r.low + k * axis.units_per_tick))) * 0.1f;
        line.put(kLabelStart + k * axis.columns_per_tick, fmt_f(x, 4, 1));
    }
    line.put(kLabelStart, "MNSQ");
}

// Row labels: tick rows carry the fit value left (and right, but for " LOG"); the " LOG" kind
// shows mean-squares on the right.
std::pair<std::string, std::string> row_labels(FitKind kind, int r, int rows, float s, float low) {
    std::string left, right = kind == FitKind::Log ? log_row_mean_square(r, rows, s, low) : std::string();
    if (nint(nint(r / s) * s) == r) {
        left = fmt_i(nint(r / s + low), 4);
        if (kind != FitKind::Log) right = left;
    }
    return {left, right};
}

void draw_lines(PlotGrid& grid, const PlotAxis& axis, const FitKindLines& lines, float low,
                int rows, float s) {
    const int width = axis.plot_width;
    const int count = static_cast<int>((lines.end - lines.start + lines.step) / lines.step);
    auto cell = [&](int c, int r) -> char* {
        if (c < 0 || c > width || r < 0 || r > rows) return nullptr;
        return &grid.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    };
    for (int k = 0; k < count; ++k) {
        const float v = lines.start + k * lines.step;
        const int column = nint((v - low) * axis.columns_per_unit);
        for (int r = rows; r >= 0; --r)
            if (char* c = cell(column, r)) merge_plot_line_character(*c, '|');
        const int row = nint((v - low) * s);
        for (int c = width; c >= 0; --c)
            if (char* x = cell(c, row)) merge_plot_line_character(*x, '-');
    }
    for (int r = rows; r >= 0; --r) {
        const int c = nint(r * axis.columns_per_unit / s);
        if (nint(c * s / axis.columns_per_unit) == r)
            if (char* x = cell(c, r)) merge_plot_line_character(*x, '.');
    }
}

}  // namespace

void write_infit_outfit_plot(ReportContext& ctx, FitPlotRange range) {
    Run& run = ctx.run;
    const bool items = ctx.side == ReportSide::Items;
    const FitKind kind = fit_kind(run.cv);
    const FitKindLines lines = fit_kind_lines(run.cv, kind);
    if (kind == FitKind::MeanSquare) range.low = 0.0f;
    range.high = std::max(range.low + 1.0f, range.high);
    PlotAxis& axis = ctx.axis;
    axis.plot_width = 70;
    axis.axis_step = 1.0f;
    axis.columns_per_tick = 4;
    axis.lowest_measure = range.low;
    axis.highest_measure = range.high;
    scale_plot_axis(axis, run.rep.request);
    if (!fit_plot_labels_fit(run, axis, kind == FitKind::Log ? kMeanSquareLabelSpacing : kIntegerLabelSpacing))
        return;
    write_table_heading(run, 1);
    const float span = range.high - range.low;
    const int rows = fit_plot_rows(run, span);
    const float s = static_cast<float>(rows) / span;
    const std::string word(trim(items ? run.cv.item_word : run.cv.person_word));
    centre_plot_title(ctx.grid, word + " INFIT " + lines.label, rows);

    const int width = axis.plot_width;

    ReportLineBuffer& line = run.rep.line;
    line.clear();
    if (kind == FitKind::Log) {
        put_mean_square_labels(line, axis, range);
        write_report_line(run);
        line.clear();
    }
    put_integer_labels(line, axis, range);
    write_report_line(run);
    line.clear();
    put_axis_border(line, axis, kBorder, box::kDownRight, box::kHorizontal, box::kDownLeft);
    write_report_line(run);

    blank_plot_cells(ctx.grid, 0, rows, kPlotColumns - 1);
    place_listed_entries(ctx, width, rows, [&](int e) {
        const FitValues v = entry_fit_values(run, items, e);
        return std::pair{nint((v.outfit - range.low) * axis.columns_per_unit), nint((v.infit - range.low) * s)};
    });
    draw_lines(ctx.grid, axis, lines, range.low, rows, s);

    for (int r = rows; r >= 0; --r) {
        const auto [left, right] = row_labels(kind, r, rows, s, range.low);
        write_fit_plot_row(ctx, rows, r, left, right, !left.empty());
    }
    blank_plot_cells(ctx.grid, 0, rows, kPlotColumns - 1);
    line.clear();
    put_axis_border(line, axis, kBorder, box::kUpRight, box::kHorizontal, box::kUpLeft);
    write_report_line(run);
    line.clear();
    put_integer_labels(line, axis, range);
    write_report_line(run);
    line.clear();
    line.put(35, word + " OUTFIT " + std::string(trim(lines.label)));
    write_report_line(run);
}

}  // namespace korvelan

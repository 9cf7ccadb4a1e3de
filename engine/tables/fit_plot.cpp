#include "engine/tables/fit_plot.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "engine/report/axis_strip.h"
#include "engine/report/plot_axis.h"
#include "engine/report/plot_print.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/fit_plot_parts.h"

namespace korvelan {

FitKind fit_kind(const ControlVariables& cv) {
    if (cv.mn_flag == 'Y') return FitKind::MeanSquare;
    return cv.standardized_fit_label == " LOG" ? FitKind::Log : FitKind::Standardized;
}

FitKindLines fit_kind_lines(const ControlVariables& cv, FitKind kind) {
    switch (kind) {
        case FitKind::MeanSquare:
            return {"MNSQ", 1.0f, 2.0f, 1.0f};
        case FitKind::Log:
            return {" LOG", -0.3f, 0.3f, 0.3f};
        case FitKind::Standardized:
            break;
    }
    return {cv.standardized_fit_label, -2.0f, 2.0f, 2.0f};
}

FitPlotRange find_fit_plot_range(const Run& run, int slot_a, int slot_b) {
    const auto& slots = run.arrays.summary;
    const SummarySlot& a = slots[static_cast<std::size_t>(slot_a)];
    const SummarySlot& b = slots[static_cast<std::size_t>(slot_b)];
    const FitKind kind = fit_kind(run.cv);
    const float least = kind == FitKind::MeanSquare ? 0.5f : kind == FitKind::Log ? -0.5f : -3.0f;
    const float most = kind == FitKind::MeanSquare ? 1.5f : kind == FitKind::Log ? 0.5f : 3.0f;
    FitPlotRange r;
    r.low = std::min({a.minimum, b.minimum, least});
    r.high = std::max({a.maximum, b.maximum, most});
    r.high = std::min(std::ceil(r.high), 10.0f);
    r.low = std::max(std::floor(r.low), -10.0f);
    return r;
}

int fit_plot_rows(const Run& run, float range) {
    const int available = run.cv.page_length > 0 ? std::min(run.cv.page_length - 16, 40) : 40;
    auto rows_with = [&](int most_per_unit) {
        const int n = std::min(std::max(static_cast<int>(available / range), 1), most_per_unit);
        return std::min(static_cast<int>(n * range), available);
    };
    int rows = rows_with(4);
    if (rows < 20) rows = rows_with(5);
    return std::max(rows, 1);
}

FitValues entry_fit_values(const Run& run, bool items, int e) {
    const AnalysisArrays& a = run.arrays;
    if (run.cv.mn_flag == 'N')
        return {array_value(items ? a.item_infit_zstd : a.person_infit_zstd, e),
                array_value(items ? a.item_outfit_zstd : a.person_outfit_zstd, e)};
    return {array_value(items ? a.item_infit_mnsq : a.person_infit_mnsq, e),
            array_value(items ? a.item_outfit_mnsq : a.person_outfit_mnsq, e)};
}

void merge_plot_line_character(char& cell, char drawn) {
    static constexpr std::string_view kClasses = "\x13 -|\x10\x11+";
    static constexpr std::string_view kCrossings =
        "-+\x10\x13++|\x13\x11+\x10\x13\x10\x13\x13\x13\x11\x13\x11\x13++\x13\x13+";
    const std::size_t at = kClasses.find(cell), with = kClasses.find(drawn);
    const int a = at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
    const int b = with == std::string_view::npos ? 0 : static_cast<int>(with) + 1;
    if (drawn == '.') {
        if (cell == ' ') cell = drawn;
        return;
    }
    if (a <= 1 || a == b || b == 2) return;
    if (a == 2 || b == 1)
        cell = drawn;
    else if (b > 0)
        cell = kCrossings[static_cast<std::size_t>(5 * a + b - 17 - 1)];
}

namespace {

constexpr int kBorder = 8;  // the left border; cell 0 stands in the next position
// The I5 tick labels of the measure axis need a blank before them when they fill their five
// columns, as the other plots of the measure axis have them.
constexpr int kMeasureLabelSpacing = 6;

}  // namespace

std::string log_row_mean_square(int row, int rows, float scale, float low) {
    if (row == rows) return "MNSQ";
    const float x = static_cast<float>(nint(10.0 * std::exp(row / scale + low))) * 0.1f;
    if (x > 0.0f && x < 10.0f && nint((std::log(x) - low) * scale) == row) return fmt_f(x, 4, 1);
    return {};
}

void write_fit_plot_row(ReportContext& ctx, int rows, int row, const std::string& left,
                        const std::string& right, bool tick) {
    const int width = ctx.axis.plot_width;
    const char edge = tick ? box::kCross : box::kVertical;
    const int title = rows - row;
    ReportLineBuffer& line = ctx.run.rep.line;
    line.clear();
    // The axis word down the margin, a character a line.
    put_title_and_row_label(line, ctx.grid, title + 1, 3, left);
    line.c[kBorder - 1] = edge;
    auto& cells = ctx.grid.cells[static_cast<std::size_t>(row)];
    line.put(kBorder + 1, std::string_view(cells.data(), static_cast<std::size_t>(width + 1)));
    line.c[static_cast<std::size_t>(kBorder + width + 1)] = edge;
    line.put(kBorder + width + 3, right);
    write_report_line(ctx.run);
}

namespace {

std::string row_label(FitKind kind, int row, float scale, float low, int rows, std::string& left) {
    left = kind == FitKind::Log ? log_row_mean_square(row, rows, scale, low) : std::string();
    if (nint(nint(row / scale) * scale) != row) return {};
    const std::string right = fmt_i(nint(row / scale + low), 4);
    if (kind != FitKind::Log) left = right;
    return right;
}

void write_plot_rows(ReportContext& ctx, FitKind kind, const FitPlotRange& range, int rows,
                     float scale) {
    for (int row = rows; row >= 0; --row) {
        std::string left;
        const std::string right = row_label(kind, row, scale, range.low, rows, left);
        write_fit_plot_row(ctx, rows, row, left, right, !right.empty());
    }
}

void write_labels(Run& run, const PlotAxis& axis) {
    run.rep.line.clear();
    put_axis_labels(run.rep.line, axis, kBorder + 1, 0.0f);
    write_report_line(run);
}

void write_border(Run& run, const PlotAxis& axis, char left, char right) {
    run.rep.line.clear();
    put_axis_border(run.rep.line, axis, kBorder, left, box::kHorizontal, right);
    write_report_line(run);
}

}  // namespace

bool fit_plot_labels_fit(Run& run, const PlotAxis& axis, int spacing) {
    if (axis.tick_count >= 1 && axis.columns_per_tick >= spacing) return true;
    const TableRequest& request = run.rep.request;
    show_plot_format_failure(run, std::string(trim(int_to_text_left(request.table))) + "." +
                                      std::string(trim(int_to_text_left(run.rep.sub_table_counter + 1))));
    return false;
}

void write_fit_plot(ReportContext& ctx, const FitPlotRange& range, bool outfit) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    const bool items = ctx.side == ReportSide::Items;
    const FitKind kind = fit_kind(run.cv);
    const FitKindLines lines = fit_kind_lines(run.cv, kind);
    PlotAxis& axis = ctx.axis;
    axis.plot_width = 67;
    axis.columns_per_tick = 6;
    scale_plot_axis(axis, run.rep.request);
    if (!fit_plot_labels_fit(run, axis, kMeasureLabelSpacing)) return;
    write_table_heading(run, 1);
    const float span = std::max(range.high - range.low, 1.0f);
    const int rows = fit_plot_rows(run, span);
    const float scale = static_cast<float>(rows) / span;
    const std::string word(trim(items ? run.cv.item_word : run.cv.person_word));
    centre_plot_title(ctx.grid, word + " " + (outfit ? "OUTFIT" : "INFIT") + " " + std::string(trim(lines.label)), rows);

    const int width = axis.plot_width;
    blank_plot_cells(ctx.grid, 0, rows, kPlotColumns - 1);
    const std::vector<float>& measures = items ? a.item_measure : a.person_measure;
    place_listed_entries(ctx, width, rows, [&](int e) {
        const FitValues v = entry_fit_values(run, items, e);
        const float y = outfit ? v.outfit : v.infit;
        return std::pair{plot_column(axis, array_value(measures, e)), nint((y - range.low) * scale)};
    });
    const int reference = plot_column(axis, run.cv.umean);
    if (reference >= 0 && reference <= width)
        for (int row = rows; row >= 0; --row) {
            char& cell = ctx.grid.cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(reference)];
            if (cell == ' ') cell = '|';
        }
    const int count = static_cast<int>((lines.end - lines.start + lines.step) / lines.step);
    for (int k = 0; k < count; ++k) {
        const int row = nint((lines.start + k * lines.step - range.low) * scale);
        if (row <= 0 || row >= rows) continue;
        for (int c = 0; c <= width; ++c) {
            char& cell = ctx.grid.cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(c)];
            if (cell == ' ') cell = '-';
        }
    }

    write_labels(run, axis);
    write_border(run, axis, box::kDownRight, box::kDownLeft);
    write_plot_rows(ctx, kind, range, rows, scale);
    write_border(run, axis, box::kUpRight, box::kUpLeft);
    write_labels(run, axis);
    run.rep.line.clear();
    run.rep.line.put(35, word + " MEASURE");
    write_report_line(run);
    blank_plot_cells(ctx.grid, 0, rows, kPlotColumns - 1);

    const AxisStripEntries other = items
        ? AxisStripEntries{a.person_measure, a.person_status, a.persons, 'P'}
        : AxisStripEntries{a.item_measure, a.item_status, a.items, 'I'};
    write_axis_distribution_counts(run, axis, other, items ? run.cv.person_plural : run.cv.item_plural,
                                   kBorder + 1, width);
}

}  // namespace korvelan

#include "engine/tables/empirical_curves.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/axis_strip.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/tables/curve_plots.h"
#include "engine/tables/response_cells.h"

namespace korvelan {

namespace {

// The counts of one item: by interval, the responses of each category 0..top and their total.
struct EmpiricalCounts {
    int top = 0;
    int intervals = 0;
    std::vector<float> by_category;  // interval x (top + 1) + k
    std::vector<float> total;        // by interval
    float missing = 0.0f;
};

// Columns between the middles of two intervals on the scaled axis: half a tick, at least 1.
int interval_columns(const PlotAxis& axis) {
    return std::max(axis.columns_per_tick / 2, 1);
}

// Interval n is centred on column n x width and takes the columns nearest to it.
int interval_of(const PlotAxis& axis, int column) {
    const int width = interval_columns(axis);
    return (column + width / 2) / width;
}

bool plotted_item(const AnalysisArrays& a, int i) {
    return item_status_of(a, i) >= status::kMeasured && array_value(a.item_group, i) >= 1 &&
           array_value(a.group_top_category, array_value(a.item_group, i)) >= 1;
}

std::vector<EmpiricalCounts> empty_counts(const ReportContext& ctx) {
    const AnalysisArrays& a = ctx.run.arrays;
    const int intervals = interval_of(ctx.axis, ctx.axis.plot_width) + 1;
    std::vector<EmpiricalCounts> counts(static_cast<std::size_t>(std::max(a.items, 0)) + 1);
    for (int i = 1; i <= a.items; ++i) {
        if (!plotted_item(a, i)) continue;
        EmpiricalCounts& c = counts[static_cast<std::size_t>(i)];
        c.top = a.group_top_category[a.item_group[i]];
        c.intervals = intervals;
        c.by_category.assign(static_cast<std::size_t>(intervals * (c.top + 1)), 0.0f);
        c.total.assign(static_cast<std::size_t>(intervals), 0.0f);
    }
    return counts;
}

void count_responses(ReportContext& ctx, std::vector<EmpiricalCounts>& counts) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    WorkFiles files = run_work_files(run);
    std::vector<std::uint8_t> scores(static_cast<std::size_t>(std::max(a.items, 1)), kMissingScore);
    for (int p = 1; p <= a.persons; ++p) {
        show_progress_bar(run, p, a.persons);
        if (person_status_of(a, p) < status::kExtremeMinimum) continue;
        const float w = run.input.person_weights_present ? person_weight(a, p) : 1.0f;
        if (w <= 0.0f) continue;
        read_person_scores_record(run, files, p, scores);
        for (int i = 1; i <= a.items; ++i) {
            if (!plotted_item(a, i)) continue;
            EmpiricalCounts& c = counts[static_cast<std::size_t>(i)];
            const int k = recoded_category(a, a.item_group[i], scores[static_cast<std::size_t>(i - 1)]);
            if (k < 0 || k > c.top) {
                c.missing += w;
                continue;
            }
            const int column = std::clamp(plot_column(ctx.axis, a.person_measure[p] - a.item_measure[i]), 0,
                                          ctx.axis.plot_width);
            const int n = interval_of(ctx.axis, column);
            c.total[static_cast<std::size_t>(n)] += w;
            c.by_category[static_cast<std::size_t>(n * (c.top + 1) + k)] += w;
        }
    }
}

// The responses of each interval as digits stacked at its middle column, the units last.
std::vector<std::string> count_strips(const EmpiricalCounts& c, const PlotAxis& axis) {
    std::vector<std::int64_t> bins(static_cast<std::size_t>(axis.plot_width) + 1, 0);
    const int width = interval_columns(axis);
    for (int n = 0; n < c.intervals; ++n) {
        const std::size_t column = static_cast<std::size_t>(std::min(n * width, axis.plot_width));
        bins[column] += std::max(nint(c.total[static_cast<std::size_t>(n)]), 0);
    }
    return stacked_count_digits(bins);
}

void fill_item_plot(ReportContext& ctx, const EmpiricalCounts& c, int g) {
    const CurveSeries model = column_curves(ctx, g);
    const std::vector<char> symbols = category_symbols(ctx.run.arrays, g);
    for (int n = 0; n < model.points; ++n)
        for (int k = 0; k <= c.top; ++k) {
            const int row = plot_row(model.probability_at(n, k), 1.0f, kProbabilityRows);
            if (row > 0) ctx.grid.cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(n)] = '.';
        }
    const int width = interval_columns(ctx.axis);
    for (int n = 0; n < c.intervals; ++n) {
        const float total = c.total[static_cast<std::size_t>(n)];
        if (total <= 0.0f) continue;
        const int column = std::min(n * width, ctx.axis.plot_width);
        for (int k = 0; k <= c.top; ++k) {
            const float share = c.by_category[static_cast<std::size_t>(n * (c.top + 1) + k)] / total;
            if (share <= 0.0f) continue;
            char& cell = ctx.grid.cells[static_cast<std::size_t>(plot_row(share, 1.0f, kProbabilityRows))]
                                       [static_cast<std::size_t>(column)];
            if (cell == '.') cell = ' ';
            merge_flag_character(cell, symbols[static_cast<std::size_t>(k)]);
        }
    }
}

void write_item_curves(ReportContext& ctx, WorkFiles& files, int i, const EmpiricalCounts& c) {
    Run& run = ctx.run;
    const int g = run.arrays.item_group[i];
    write_table_heading(run, 1);
    std::string label;
    read_item_label_record(run, files, i, label);
    run.rep.line.clear();
    run.rep.line.put(2, std::string(trim(run.cv.item_word)) + " " + std::string(trim(int_to_text_left(i))) +
                            "  " + std::string(trim_right(label)));
    write_report_line(run);
    write_category_label_key(run, g, i);
    fill_item_plot(ctx, c, g);
    CurvePlot plot;
    plot.title = "EMPIRICAL FREQUENCIES AND MODEL CATEGORY PROBABILITIES";
    plot.y_title = "PROBABILITY OF RESPONSE";
    plot.strip_word = "COUNT";
    plot.strip_above = count_strips(c, ctx.axis);
    plot.strip = plot.strip_above.back();
    plot.strip_above.pop_back();
    print_curve_plot(ctx, plot);
    float counted = 0.0f;
    for (float t : c.total) counted += t;
    run.rep.line.clear();
    run.rep.line.put(3, "RESPONSES: " + std::string(trim(int_to_text_left(nint(counted)))) +
                            "  MISSING: " + std::string(trim(int_to_text_left(nint(c.missing)))));
    write_report_line(run);
}

}  // namespace

void write_empirical_curves(ReportContext& ctx) {
    Run& run = ctx.run;
    const std::string table = std::string(trim(int_to_text_left(ctx.request.table)));
    if (!set_relative_measure_axis(ctx)) return;
    run.host->write_text_window_line(msg::kCountingEmpiricalFrequencies + table);
    std::vector<EmpiricalCounts> counts;
    try {
        counts = empty_counts(ctx);
    } catch (const std::bad_alloc&) {
        show_message_line(run, msg::kNotEnoughMemoryForTable);
        return;
    }
    count_responses(ctx, counts);
    run.host->write_text_window_line(msg::kWritingFrequencyPlots + table);
    WorkFiles files = run_work_files(run);
    run.rep.sub_table_counter = 0;
    for (int i = 1; i <= run.arrays.items; ++i)
        if (plotted_item(run.arrays, i)) write_item_curves(ctx, files, i, counts[static_cast<std::size_t>(i)]);
}

}  // namespace korvelan

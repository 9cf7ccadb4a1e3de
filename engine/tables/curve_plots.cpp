#include "engine/tables/curve_plots.h"

#include <algorithm>
#include <cmath>

#include "engine/estimation/estimation_common.h"
#include "engine/input/response_scoring.h"
#include "engine/report/category_labels.h"
#include "engine/report/plot_print.h"
#include "engine/report/plot_range.h"
#include "engine/report/scale_orientation.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// User units per logit along the reported scale: |USCALE=| with the orientation of the scale, so
// that under a negative USCALE= the curves run the other way like the measures.
float user_units_per_logit(const Run& run) {
    const float u = std::fabs(run.cv.uscale);
    return (u > 0.0f ? u : 1.0f) * scale_orientation(run.cv);
}

}  // namespace

bool set_relative_measure_axis(ReportContext& ctx) {
    Run& run = ctx.run;
    AnalysisArrays& a = run.arrays;
    PlotAxis& axis = ctx.axis;
    TableRequest request = ctx.request;
    request.table = 21;
    find_plot_measure_range(axis, run.cv, request, plot_range_sources(a, a.category_score_point_measure));
    const float step = axis.axis_step;
    const float from_mean = std::max(run.cv.umean - axis.lowest_measure, axis.highest_measure - run.cv.umean);
    const float half = std::max(std::ceil(from_mean / step), 1.0f) * step;
    auto scale = [&](float end) {
        axis.lowest_measure = -end;
        axis.highest_measure = end;
        axis.plot_width = 60;
        axis.columns_per_tick = 6;
        scale_plot_axis(axis, ctx.request);
    };
    scale(half);
    // Labels on multiples of the tick: the ends move out to whole ticks and the axis is scaled
    // again.
    const float tick = axis.units_per_tick;
    if (tick > 0.0f && std::fmod(half, tick) != 0.0f) scale(std::ceil(half / tick) * tick);
    if (axis_labels_fit(axis)) return true;
    show_plot_format_failure(run, std::string(trim(int_to_text_left(ctx.request.table))));
    return false;
}

CurveGroup curve_group(const AnalysisArrays& a, int g) {
    const int f = a.group_first_slot[g];
    const int top = a.group_top_category[g];
    const std::size_t n = static_cast<std::size_t>(std::max(top, 0)) + 1;
    CurveGroup c;
    c.top = top;
    c.model = array_value(a.group_model, g, 'R');
    c.steps = std::span<const float>(a.step_calibration).subspan(static_cast<std::size_t>(f), n);
    c.status = std::span<const std::int32_t>(a.category_status).subspan(static_cast<std::size_t>(f), n);
    return c;
}

CurveSeries column_curves(const ReportContext& ctx, int g) {
    return compute_curve_series(curve_group(ctx.run.arrays, g), ctx.axis.lowest_measure,
                                   ctx.axis.units_per_column, ctx.axis.plot_width + 1,
                                   user_units_per_logit(ctx.run));
}

std::vector<char> category_symbols(const AnalysisArrays& a, int g) {
    const int f = a.group_first_slot[g];
    const int top = std::max(a.group_top_category[g], 0);
    std::vector<std::int32_t> values;
    for (int k = 0; k <= top; ++k) values.push_back(array_value(a.category_value, f + k));
    std::vector<char> symbols;
    for (std::int32_t v : values)
        symbols.push_back(get_category_plot_symbol(values, static_cast<int>(values.size()), v));
    return symbols;
}

void write_category_label_key(Run& run, int g, int item) {
    const AnalysisArrays& a = run.arrays;
    const std::vector<char> symbols = category_symbols(a, g);
    const int f = array_value(a.group_first_slot, g);
    const bool by_code = !trim(run.cv.clfile).empty();
    for (int k = 0; k <= std::max(array_value(a.group_top_category, g), 0); ++k) {
        const int value = array_value(a.category_value, f + k);
        ReportLineBuffer& line = run.rep.line;
        line.clear();
        line.put(kFirstCellPosition, std::string(1, symbols[static_cast<std::size_t>(k)]));
        bool labelled = read_category_label(run, line, value, g, a.item_group);
        const int code = by_code && !labelled ? find_code_for_category(run, value, item) : 0;
        if (code > 0) labelled = read_item_category_label(run, code, item, g, line);
        if (labelled) write_report_line(run);
    }
}

int plot_row(float value, float maximum, int rows) {
    if (maximum <= 0.0f) return 0;
    return std::clamp(nint(value * static_cast<float>(rows) / maximum), 0, rows);
}

void print_curve_plot(ReportContext& ctx, const CurvePlot& plot) {
    Run& run = ctx.run;
    write_blank_report_line(run);
    break_page_if_needed(run, run.rep.page_line_counter + plot.rows + 8 +
                                  static_cast<int>(plot.strip_above.size()));
    run.rep.line.clear();
    run.rep.line.put(kFirstCellPosition, plot.title);
    write_report_line(run);
    centre_plot_title(ctx.grid, plot.y_title, plot.rows + 3);
    ctx.grid.x_title = std::string(trim(run.cv.person_word)) + " [MINUS] " +
                       std::string(trim(run.cv.item_word)) + " MEASURE";
    float y_maximum = plot.y_maximum;
    print_character_plot(run, ctx.grid, ctx.axis, plot.rows, y_maximum, ctx.axis.plot_width,
                         plot.y_offset, 0, 0.0f);
    for (const std::string& strip : plot.strip_above) {
        run.rep.line.clear();
        run.rep.line.put(kFirstCellPosition, strip);
        write_report_line(run);
    }
    run.rep.line.clear();
    run.rep.line.put(3, plot.strip_word);
    run.rep.line.put(kFirstCellPosition, plot.strip);
    write_report_line(run);
}

}  // namespace korvelan

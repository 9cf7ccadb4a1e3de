#include "engine/tables/score_table.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/weighted_sums.h"
#include "engine/report/axis_strip.h"
#include "engine/report/plot_print.h"
#include "engine/report/plot_range.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"
#include "engine/tables/score_table_parts.h"

namespace korvelan {

namespace {

constexpr int kOgiveWidth = 60;
constexpr int kStripLabelColumn = 10;

ScoreRange item_score_range(const AnalysisArrays& a) {
    double top = 0.0, low = 0.0;
    for (int i = 1; i <= a.items; ++i) {
        if (array_value(a.item_status, i, status::kDeleted) <= 0) continue;
        const int g = a.item_group[i];
        const double w = item_weight(a, i);
        top += w * a.group_top_category[g];
        low += w * array_value(a.category_value, a.group_first_slot[g]);
    }
    return {weighted_score_nint(top), weighted_score_nint(low), static_cast<float>(top)};
}

// The ogive's height: at most 62 rows (and the page less 10, at least 10), a whole number of
// scores per row.
int ogive_height(const Run& run, int range) {
    int h = std::min(range, 62);
    if (run.cv.page_length != 0) h = std::min(std::max(run.cv.page_length - 10, 10), h);
    h = std::max(h, 1);
    int d = 1;
    while (range / d > h) ++d;
    return std::max(range / d, 1);
}

// The measure axis of the ogive: from the lowest to the highest extreme measure (or UMEAN= and
// the plot half-range), in whole units of 1, 10 or 100.
void set_ogive_axis(const Run& run, PlotAxis& axis, float m0, float mr) {
    float low = std::min(m0, mr), high = std::max(m0, mr);
    if (run.cv.xa_range != 0.0f) {
        low = run.cv.umean - run.cv.xa_range;
        high = run.cv.umean + run.cv.xa_range;
    }
    const float u = high - low >= 500.0f ? 100.0f : high - low > 50.0f ? 10.0f : 1.0f;
    low = axis_floor(low / u);
    high = std::max(axis_ceil(high / u), low + 1.0f);
    axis.lowest_measure = low * u;
    axis.highest_measure = high * u;
    axis.axis_step = u;
    axis.plot_width = kOgiveWidth;
    axis.columns_per_tick = 6;
    scale_plot_axis(axis, run.rep.request);
}

std::string number_text(float x) {
    return std::string(trim(real_to_text_left(x, "(F8.3)")));
}

// How to rescale: measures from 0 to 100, or measures matching the raw scores.
void write_advice(Run& run, const ScoreRange& r, float m0, float mr) {
    const float scale = run.cv.uscale == 0.0f ? 1.0f : run.cv.uscale;
    const float l0 = (m0 - run.cv.umean) / scale, lr = (mr - run.cv.umean) / scale;
    if (lr == l0) return;
    float s = 100.0f / (lr - l0);
    float o = 50.0f - (lr + l0) * s / 2.0f;
    write_report_text(run, " TO SET MEASURE RANGE AS 0-100, UMEAN=" + number_text(o) +
                               " USCALE=" + number_text(s));
    s = static_cast<float>(r.range) / (lr - l0);
    o = static_cast<float>(r.range) * 0.5f + static_cast<float>(r.base) - (lr + l0) * s / 2.0f;
    write_report_text(run, " TO SET MEASURE RANGE TO MATCH RAW SCORE RANGE, UMEAN=" +
                               number_text(o) + " USCALE=" + number_text(s));
}

void write_ogive(ReportContext& ctx, const ScoreRange& r, int height) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    if (run.cv.page_length == 0 || run.rep.page_line_counter + 7 + height <= run.cv.page_length)
        write_blank_report_line(run);
    else
        write_table_heading(run, 1);
    run.rep.line.clear();
    run.rep.line.put(10, "RAW SCORE-MEASURE OGIVE FOR COMPLETE TEST");
    write_report_line(run);
    centre_plot_title(ctx.grid, "EXPECTED SCORE", height + 4);
    ctx.grid.x_title = "MEASURE";
    float y_maximum = static_cast<float>(r.range);
    print_character_plot(run, ctx.grid, ctx.axis, height, y_maximum, ctx.axis.plot_width,
                         static_cast<float>(r.base), 0, 0.0f);
    const int width = ctx.axis.plot_width;
    write_axis_distribution_counts(run, ctx.axis, {a.person_measure, a.person_status, a.persons, 'P'},
                                   run.cv.person_plural, kStripLabelColumn, width);
    write_axis_distribution_counts(run, ctx.axis, {a.item_measure, a.item_status, a.items, 'I'},
                                   run.cv.item_plural, kStripLabelColumn, width);
}

}  // namespace

void write_score_table(ReportContext& ctx) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    const ScoreRange r = item_score_range(a);
    if (r.range <= 0) return;
    const std::string table = std::string(trim(int_to_text_left(run.rep.request.table)));
    run.host->write_text_window_line(msg::kCalculatingScores + table);
    run.rep.line.clear();
    run.rep.line.put(23, "TABLE OF MEASURES ON COMPLETE TEST");
    write_report_line(run);

    const int height = ogive_height(run, r.range);
    const ScoreSearchScale scale = score_search_scale(run, true);
    ScoreEntryList items = score_item_list(score_search_items(run), scale);
    auto search = [&](int k, float start) {
        return find_person_measure_for_score(start, score_row_target(k, r.range, r.maximum),
                                             r.maximum, items, scale);
    };
    const float item_mean = a.estimation.item_mean_measure;
    const ScoreMeasure m0 = search(0, item_mean - 3.0f * a.estimation.item_sd_measure);
    const ScoreMeasure mr = search(r.range, 2.0f * item_mean - m0.measure);
    set_ogive_axis(run, ctx.axis, m0.measure, mr.measure);
    blank_plot_cells(ctx.grid, 0, kPlotRows - 1, kPlotColumns - 1);
    auto mark = [&](int k, float measure, char flag) {
        const int column = std::clamp(plot_column(ctx.axis, measure), 0, ctx.axis.plot_width);
        const int row = std::clamp(nint(static_cast<double>(height) * k / r.range), 0, height);
        merge_flag_character(ctx.grid.cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)], flag);
    };
    ScoreMeasures measures = write_score_grid(run, r, m0, mr, item_mean, search, mark);
    write_advice(run, r, m0.measure, mr.measure);
    write_ogive(ctx, r, height);
    write_score_norms(ctx, r, std::move(measures));
}

}  // namespace korvelan

#include "engine/tables/probability_curves.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/estimation/category_curves.h"
#include "engine/tables/curve_plots.h"

namespace korvelan {

namespace {

// The category each strip shows at a column: the most probable one (the first of equals), the one
// nearest the expected score, and the first whose cumulative probability reaches .5.
int modal_category(const CurveSeries& c, int point) {
    int best = 0;
    for (int k = 1; k <= c.top; ++k)
        if (c.probability_at(point, k) > c.probability_at(point, best)) best = k;
    return best;
}

int mean_category(const CurveSeries& c, int point) {
    const float e = c.expected[static_cast<std::size_t>(point)];
    return std::clamp(static_cast<int>(std::floor(e + 0.5f)), 0, std::max(c.top, 0));
}

int median_category(const CurveSeries& c, int point) {
    for (int k = 0; k < c.top; ++k)
        if (c.cumulative_at(point, k) >= 0.5f) return k;
    return std::max(c.top, 0);
}

// Rows of the ogive: a whole number of rows per score point, about 20 rows in all.
int ogive_rows(int top) {
    if (top >= 60) return 60;
    return top * std::max(1, 20 / top);
}

void put_point(PlotGrid& grid, int row, int column, char symbol) {
    merge_flag_character(grid.cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)], symbol);
}

template <typename Choose>
std::string strip_of(const CurveSeries& c, const std::vector<char>& symbols, Choose choose) {
    std::string strip;
    for (int n = 0; n < c.points; ++n) strip += symbols[static_cast<std::size_t>(choose(c, n))];
    return strip;
}

void probability_plot(ReportContext& ctx, const CurveSeries& c, const std::vector<char>& symbols) {
    for (int n = 0; n < c.points; ++n)
        for (int k = 0; k <= c.top; ++k) {
            const int row = plot_row(c.probability_at(n, k), 1.0f, kProbabilityRows);
            if (row > 0) put_point(ctx.grid, row, n, symbols[static_cast<std::size_t>(k)]);
        }
    CurvePlot plot;
    plot.title = c.top == 1 ? "DICHOTOMOUS CURVES"
                            : "CATEGORY PROBABILITIES: MODES - Step measures at intersections";
    plot.y_title = "PROBABILITY OF RESPONSE";
    plot.strip_word = "MODE";
    plot.strip = strip_of(c, symbols, modal_category);
    print_curve_plot(ctx, plot);
}

void ogive_plot(ReportContext& ctx, const CurveSeries& c, const std::vector<char>& symbols, float bottom) {
    const int rows = ogive_rows(c.top);
    const float top = static_cast<float>(c.top);
    for (int n = 0; n < c.points; ++n)
        put_point(ctx.grid, plot_row(c.expected[static_cast<std::size_t>(n)], top, rows), n,
                  symbols[static_cast<std::size_t>(mean_category(c, n))]);
    CurvePlot plot;
    plot.title = "EXPECTED SCORE OGIVE: MEANS";
    plot.y_title = "EXPECTED SCORE";
    plot.rows = rows;
    plot.y_maximum = top;
    plot.y_offset = bottom;
    plot.strip_word = "MEAN";
    plot.strip = strip_of(c, symbols, mean_category);
    print_curve_plot(ctx, plot);
}

void cumulative_plot(ReportContext& ctx, const CurveSeries& c, const std::vector<char>& symbols) {
    for (int n = 0; n < c.points; ++n)
        for (int k = 0; k < c.top; ++k) {
            const int row = plot_row(c.cumulative_at(n, k), 1.0f, kProbabilityRows);
            if (row > 0 && row < kProbabilityRows) put_point(ctx.grid, row, n, symbols[static_cast<std::size_t>(k)]);
        }
    CurvePlot plot;
    plot.title = "THURSTONE THRESHOLDS: MEDIANS - Cumulative probabilities";
    plot.y_title = "CUMULATIVE PROBABILITY";
    plot.strip_word = "MEDIAN";
    plot.strip = strip_of(c, symbols, median_category);
    print_curve_plot(ctx, plot);
}

}  // namespace

void write_probability_curves(ReportContext& ctx, int g) {
    const AnalysisArrays& a = ctx.run.arrays;
    const std::string& curves = ctx.run.cv.curves;
    auto chosen = [&](std::size_t n) { return n < curves.size() && curves[n] == '1'; };
    if (!chosen(0) && !chosen(1) && !chosen(2)) return;
    if (array_value(a.group_top_category, g) < 1 || !curves_computed(curve_group(a, g))) return;
    if (!set_relative_measure_axis(ctx)) return;
    const CurveSeries c = column_curves(ctx, g);
    const std::vector<char> symbols = category_symbols(a, g);
    const float bottom = static_cast<float>(array_value(a.category_value, a.group_first_slot[g]));
    if (chosen(0)) probability_plot(ctx, c, symbols);
    if (chosen(1)) ogive_plot(ctx, c, symbols, bottom);
    if (chosen(2)) cumulative_plot(ctx, c, symbols);
}

}  // namespace korvelan

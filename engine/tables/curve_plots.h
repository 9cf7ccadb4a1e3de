// What the probability curves (Tables 3 from 3.2, and 21) and the empirical curves (Table 29)
// share: the measure axis relative to the item, the model curves of a group at every column of
// it, the category symbols, and the printing of one titled plot with a strip line under it.
#pragma once

#include <string>
#include <vector>

#include "engine/estimation/category_curves.h"
#include "engine/report/report_context.h"

namespace korvelan {

// Rows of a probability plot (0 .. 1 in steps of .05).
inline constexpr int kProbabilityRows = 20;
// Report position of the first plot column (the printer puts cell 0 there).
inline constexpr int kFirstCellPosition = 10;

// Sets ctx.axis to the measures relative to the item: the half-width of the range of Tables 3
// and 21 (symmetric about UMEAN=) on both sides of 0, widened to whole ticks, over 60 columns
// with ticks at least 6 apart. False, with the format failure message, when the tick labels do
// not fit.
bool set_relative_measure_axis(ReportContext& ctx);

// Group g with its step calibrations and category statuses.
CurveGroup curve_group(const AnalysisArrays& a, int g);

// The model curves of group g at columns 0..plot_width of the scaled axis.
CurveSeries column_curves(const ReportContext& ctx, int g);

// The plot symbol of each category k = 0..top of group g, from the category values.
std::vector<char> category_symbols(const AnalysisArrays& a, int g);

// The key of the plot symbols of group g: for each category with a label (CFILE=, or CLFILE=
// for the response code of the category on `item`), its symbol at the first plot column and
// the label after it, as the structure Tables show them; nothing for a category without one.
void write_category_label_key(Run& run, int g, int item);

// The row of a value on a plot of `rows` rows over 0 .. maximum.
int plot_row(float value, float maximum, int rows);

// One plot of the filled grid: a blank line, the title at position 10, the plot (rows R, y
// maximum, y offset) titled "<person> [MINUS] <item> MEASURE", then the strip: the lines of
// strip_above from the first plot column, then `strip_word` at position 3 and the strip
// characters from the first plot column. Page break first when the R + 8 lines and those of
// strip_above do not fit.
struct CurvePlot {
    std::string title;
    std::string y_title;
    int rows = kProbabilityRows;
    float y_maximum = 1.0f;
    float y_offset = 0.0f;
    std::string strip_word;
    std::vector<std::string> strip_above;
    std::string strip;
};
void print_curve_plot(ReportContext& ctx, const CurvePlot& plot);

}  // namespace korvelan

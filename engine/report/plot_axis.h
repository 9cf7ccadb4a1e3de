// The horizontal measure axis of a character plot: its range, scaling to round ticks on whole
// columns, the measure-to-column conversion, and the tick label and border lines drawn from it.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/run/numtext.h"
#include "engine/run/run.h"

namespace korvelan {

inline constexpr int kPlotLastColumn = 70;  // plot_width stays at or below it

// The measure axis of the plot being built (user units). The range search or the caller sets
// lowest_measure, highest_measure and axis_step; the caller sets plot_width (the largest usable
// column) and columns_per_tick (the smallest tick spacing); scale_plot_axis fills the rest.
struct PlotAxis {
    float lowest_measure = 0.0f;   // measure at column 0
    float highest_measure = 0.0f;  // measure at column plot_width after scaling
    float axis_step = 1.0f;        // 1, 10 or 100: the labels are multiples of it
    float extent = 0.0f;           // the range in axis steps, as the range search left it
    std::int32_t plot_width = 60;
    std::int32_t columns_per_tick = 6;
    std::int32_t tick_count = 0;  // tick intervals
    float units_per_tick = 0.0f;
    float axis_range = 0.0f;  // tick_count x units_per_tick
    float columns_per_unit = 0.0f;
    float units_per_column = 0.0f;
};

// scale_plot_axis: fits whole steps per tick and whole columns per tick into plot_width from
// lowest_measure to highest_measure (raised to the last tick). Option letter 4 of the request
// with a positive selector 4 sets the smallest tick spacing; every spacing stays 1..plot_width.
void scale_plot_axis(PlotAxis& axis, const TableRequest& request);

// The column of a measure, NINT((measure - lowest_measure) x columns_per_unit), not bounded.
int plot_column(const PlotAxis& axis, float measure);

// Whether five-character tick labels fit between the ticks of the scaled axis: at least one
// tick and six columns per tick (a smaller spacing comes only from request selector 4).
bool axis_labels_fit(const PlotAxis& axis);

// The " TABLE <table_text> COULD NOT BE FORMATTED TO YOUR SPECIFICATIONS" message line of a
// Table whose axis labels do not fit.
void show_plot_format_failure(Run& run, std::string_view table_text);

// The tick labels under the axis: value k = NINT(ANINT((lowest_measure + x_offset + k x
// units_per_tick) / axis_step) x axis_step) as I5, the first ending at line position
// first_label_end, each next one columns_per_tick further; for k = 0 up to
// truncate((highest_measure - lowest_measure + 0.001 + units_per_tick) / units_per_tick) - 1,
// which is ticks + 1 labels on a scaled axis.
void put_axis_labels(ReportLineBuffer& line, const PlotAxis& axis, int first_label_end,
                     float x_offset);

// Whether a lowest tick label written left-justified from line position `from` would reach the
// text of the next label, right-justified in its field of `next_field.size()` columns from
// position `at`, with no blank between them. The label that gives way is then left out whole.
bool tick_labels_touch(std::string_view lowest, int from, std::string_view next_field, int at);

// A border line of the plot: the corner at line position `position`, then "┼" and for each
// tick columns_per_tick - 1 rule characters and "┼", then the closing corner.
void put_axis_border(ReportLineBuffer& line, const PlotAxis& axis, int position, char left,
                     char rule, char right);

}  // namespace korvelan

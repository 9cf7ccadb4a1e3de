#include "engine/report/plot_axis.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr int kLabelWidth = 5;

// Measure units per step of the axis: the magnitude of axis_step, 1 when it is 0.
float axis_unit(const PlotAxis& axis) {
    const float s = std::fabs(axis.axis_step);
    return s > 0.0f && std::isfinite(s) ? s : 1.0f;
}

// The smallest tick spacing: the caller's, or request selector 4 (truncated) when option
// letter 4 is set and the selector is positive; bounded to 1..plot_width so that at least one
// tick fits.
int requested_columns_per_tick(const PlotAxis& axis, const TableRequest& request) {
    int c = axis.columns_per_tick;
    const float s = request.selectors[3];
    if (request.letters[3] != ' ' && s > 0.0f)
        c = static_cast<int>(std::min(s, static_cast<float>(kPlotLastColumn)));
    return std::clamp(c, 1, axis.plot_width);
}

}  // namespace

void scale_plot_axis(PlotAxis& axis, const TableRequest& request) {
    const float step = axis_unit(axis);
    axis.plot_width = std::clamp(axis.plot_width, 1, kPlotLastColumn);
    float r = (axis.highest_measure - axis.lowest_measure) / step;
    if (!(r > 1.0f) || !std::isfinite(r)) r = 1.0f;
    const int most_ticks = axis.plot_width / requested_columns_per_tick(axis, request);
    // Whole steps per tick, rounded up.
    float u = r / static_cast<float>(most_ticks);
    if (u <= 1.0f) u = 1.0f;
    if (u != std::trunc(u)) u = std::trunc(u) + 1.0f;
    const float ticks = std::max((r + u - 1.0f) / u, 1.0f);
    axis.tick_count = std::min(static_cast<int>(ticks), most_ticks);
    axis.columns_per_tick = axis.plot_width / axis.tick_count;
    axis.plot_width = axis.columns_per_tick * axis.tick_count;
    axis.units_per_tick = u * step;
    axis.axis_range = static_cast<float>(axis.tick_count) * axis.units_per_tick;
    axis.highest_measure = axis.lowest_measure + axis.axis_range;
    axis.columns_per_unit = static_cast<float>(axis.plot_width) / axis.axis_range;
    axis.units_per_column = 1.0f / axis.columns_per_unit;
}

int plot_column(const PlotAxis& axis, float measure) {
    return nint(static_cast<double>((measure - axis.lowest_measure) * axis.columns_per_unit));
}

bool axis_labels_fit(const PlotAxis& axis) {
    return axis.tick_count >= 1 && axis.columns_per_tick - kLabelWidth >= 1;
}

void show_plot_format_failure(Run& run, std::string_view table_text) {
    show_message_line(run, msg::kPlotTable + std::string(trim(table_text)) + msg::kPlotNotFormatted);
}

void put_axis_labels(ReportLineBuffer& line, const PlotAxis& axis, int first_label_end,
                     float x_offset) {
    const float step = axis_unit(axis);
    const float span = axis.highest_measure - axis.lowest_measure + 0.001f + axis.units_per_tick;
    if (!(axis.units_per_tick > 0.0f) || !std::isfinite(span)) return;
    const int n = static_cast<int>(
        std::clamp(span / axis.units_per_tick, 0.0f, static_cast<float>(kPlotLastColumn + 1)));
    float offset = 0.0f;  // summed in single precision, tick by tick
    int end = first_label_end;
    for (int k = 0; k < n; ++k) {
        const float steps = std::round((axis.lowest_measure + x_offset + offset) / step);
        line.put(end - kLabelWidth + 1,
                 fmt_i(nint(static_cast<double>(steps * step)), kLabelWidth));
        offset += axis.units_per_tick;
        end += axis.columns_per_tick;
    }
}

void put_axis_border(ReportLineBuffer& line, const PlotAxis& axis, int position, char left,
                     char rule, char right) {
    std::string border(1, left);
    border += box::kCross;
    for (int t = 0; t < axis.tick_count; ++t) {
        border.append(static_cast<std::size_t>(std::max(axis.columns_per_tick - 1, 0)), rule);
        border += box::kCross;
    }
    border += right;
    line.put(position, border);
}

bool tick_labels_touch(std::string_view lowest, int from, std::string_view next_field, int at) {
    const std::string_view next = trim_left(next_field);
    if (trim(next).empty() || trim(lowest).empty()) return false;
    const int next_start = at + static_cast<int>(next_field.size() - next.size());
    return next_start <= from + static_cast<int>(trim(lowest).size());
}

}  // namespace korvelan

#include "engine/tables/measure_axis_lines.h"

#include <algorithm>
#include <cmath>

#include "engine/input/response_scoring.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

float axis_unit(const PlotAxis& axis) {
    const float s = std::fabs(axis.axis_step);
    return s > 0.0f && std::isfinite(s) ? s : 1.0f;
}

std::string label_at(const PlotAxis& axis, float x) {
    const float step = axis_unit(axis);
    return fmt_i(nint(static_cast<double>(std::round((x + axis.lowest_measure) / step) * step)), 5);
}

}  // namespace

std::string axis_label_line(const PlotAxis& axis, bool lowest_label_wins) {
    ReportLineBuffer line;
    const std::string lowest(trim(label_at(axis, 0.0f)));
    const int n = axis.units_per_tick > 0.0f
                      ? static_cast<int>((axis.axis_range + 0.001f) / axis.units_per_tick)
                      : 0;
    float x = 0.0f;  // summed in single precision, tick by tick
    std::string first;  // the first tick's label
    for (int k = 1; k <= std::min(n, kPlotLastColumn); ++k) {
        x += axis.units_per_tick;
        const std::string label = label_at(axis, x);
        if (k == 1) first = label;
        line.put(k * axis.columns_per_tick + 2 - 4, label);
    }
    const bool touch = tick_labels_touch(lowest, 2, first, axis.columns_per_tick - 2);
    if (touch && lowest_label_wins) line.put(axis.columns_per_tick - 2, std::string(first.size(), ' '));
    if (!touch || lowest_label_wins) line.put(2, lowest);
    return std::string(line.view(1, std::max(line.length(), 1)));
}

std::string axis_rule_line(const PlotAxis& axis, const std::string& item_word) {
    std::string rule = " ";
    rule += box::kVerticalRight;
    for (int t = 0; t < axis.tick_count; ++t) {
        rule.append(static_cast<std::size_t>(std::max(axis.columns_per_tick - 1, 0)), box::kHorizontal);
        rule += box::kCross;
    }
    const std::size_t last = static_cast<std::size_t>(axis.plot_width + 2 - 1);
    if (last < rule.size()) rule[last] = box::kVerticalLeft;
    return rule + "  NUM   " + std::string(trim(item_word));
}

std::string code_text(const ControlVariables& cv, int k) {
    return std::string(trim(code_field(cv, k)));
}

std::string category_code_text(const Run& run, int value, int item) {
    const int c = find_code_for_category(run, value, item);
    std::string text = c < 1 ? std::string(1, static_cast<char>('0' + (value % 10 + 10) % 10))
                             : code_text(run.cv, c);
    const std::string_view alphabet = trim_right(run.cv.alphabet);
    if (!trim(alphabet).empty()) {
        const int n = parse_digit_string(text);
        if (n >= 0 && n < static_cast<int>(alphabet.size()))
            text = std::string(1, alphabet[static_cast<std::size_t>(n)]);
    }
    return text;
}

}  // namespace korvelan

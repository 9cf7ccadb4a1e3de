#include "engine/tables/variable_map_rows.h"

#include <algorithm>
#include <cmath>

#include "engine/run/report_line.h"

namespace korvelan {

int saturated_rows(float rows) {
    constexpr float kFarRows = 268435456.0f;  // 2^28
    if (!(rows >= -kFarRows)) return -268435456;  // far below, or not a number
    if (rows > kFarRows) return 268435456;
    return nint(rows);
}

int unbounded_map_row(const MapAxis& axis, float measure) {
    return saturated_rows((measure - axis.lower) * axis.rows_per_unit);
}

int entry_map_row(const MapAxis& axis, int status, float measure) {
    if (status == status::kExtremeMaximum) return axis.top;
    if (status == status::kExtremeMinimum) return 0;
    if (status < status::kExtremeMinimum) return -1;
    return std::clamp(unbounded_map_row(axis, measure), 0, axis.top);
}

int map_tick_value(const MapAxis& axis, int row) {
    const float value = static_cast<float>(row) * axis.units_per_row + axis.lower;
    return nint(std::round(value / axis.step) * axis.step);
}

bool is_map_tick_row(const MapAxis& axis, int row) {
    return unbounded_map_row(axis, static_cast<float>(map_tick_value(axis, row))) == row;
}

bool carries_map_tick(const MapAxis& axis, int row) {
    return row == axis.top || row == 0 || is_map_tick_row(axis, row);
}

char map_marker(const MapAxis& axis, int row, const MapSpread& spread) {
    const auto at = [&](double offset) {
        return unbounded_map_row(axis, static_cast<float>(spread.mean + offset)) == row;
    };
    char marker = ' ';
    if (at(2.0 * spread.sd) || at(-2.0 * spread.sd)) marker = 'T';
    if (at(spread.sd) || at(-spread.sd)) marker = 'S';
    if (at(0.0)) marker = 'M';
    return marker;
}

float entry_weight(const std::vector<float>& weights, int n) {
    return weights.empty() ? 1.0f : array_value(weights, n, 1.0f);
}

int nearest_even(double x) {
    return static_cast<int>(std::nearbyint(x));
}

int map_entries_per_symbol(int width, double largest, bool requested, float request_value,
                           int control_minimum) {
    int p = std::max(1, nearest_even((width + largest - 1.0) / width));
    if (requested && request_value >= 1.0f) return std::max(nearest_even(request_value), p);
    return std::max(p, control_minimum);
}

void write_symbol_key_line(Run& run, int per_symbol, const std::string& word,
                           const std::string& plural) {
    std::string text = "EACH '#' IN THE " + std::string(trim(word)) + " COLUMN IS";
    append_table_integer(text, per_symbol, 4);
    text += " " + std::string(trim(plural)) + ";" + " EACH '.' IS 1";
    if (per_symbol >= 3) {
        text += " TO";
        append_table_integer(text, per_symbol - 1, 4);
    }
    run.rep.line.clear();
    run.rep.line.put(2, text);
    write_report_line(run);
}

}  // namespace korvelan

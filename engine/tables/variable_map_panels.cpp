#include "engine/tables/variable_map_panels.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr int kWidePanel = 29;    // the panels of 1.1
constexpr int kNarrowPanel = 13;  // the panels of 1.4
// Request option letters 5 and 6 with their selectors: persons and items per symbol.
constexpr std::size_t kPersonsPerSymbol = 4;
constexpr std::size_t kItemsPerSymbol = 5;

struct Symbols {
    int persons = 1;
    int items = 1;
};

Symbols symbols_for(const Run& run, const MapTallies& t, int width) {
    const TableRequest& r = run.rep.request;
    return {map_entries_per_symbol(width, t.largest_person_weight,
                                   r.letters[kPersonsPerSymbol] != ' ',
                                   r.selectors[kPersonsPerSymbol], run.cv.t1p),
            map_entries_per_symbol(width, t.largest_item_weight, r.letters[kItemsPerSymbol] != ' ',
                                   r.selectors[kItemsPerSymbol], run.cv.t1i)};
}

char symbol_of(int per_symbol) {
    return per_symbol == 1 ? 'X' : '#';
}

double row_value(const std::vector<double>& v, int row) {
    return v[static_cast<std::size_t>(row)];
}

// A panel that grows leftwards from the centre: the symbols end at panel column width, with
// "." just left of them when they do not add up to the weighted count.
std::string left_panel(double weight, int per_symbol, int width) {
    std::string panel(static_cast<std::size_t>(width), ' ');
    const int n = std::clamp(nearest_even(weight / per_symbol), 0, width);
    for (int k = width - n; k < width; ++k) panel[static_cast<std::size_t>(k)] = symbol_of(per_symbol);
    if (n * per_symbol != weight && n < width) panel[static_cast<std::size_t>(width - n - 1)] = '.';
    return panel;
}

// A panel that grows rightwards from the centre. With one item per symbol the last d symbols
// become "D" (the dichotomous items among polytomous ones); with more, "." follows symbols that
// do not add up to the weighted count.
std::string right_panel(double weight, int per_symbol, int width, double dichotomous) {
    std::string panel(static_cast<std::size_t>(width), ' ');
    const int n = std::clamp(nearest_even(weight / per_symbol), 0, width);
    for (int k = 0; k < n; ++k) panel[static_cast<std::size_t>(k)] = symbol_of(per_symbol);
    if (per_symbol == 1) {
        const int d = std::clamp(static_cast<int>(dichotomous), 0, n);
        for (int k = n - d; k < n; ++k) panel[static_cast<std::size_t>(k)] = 'D';
    } else if (n * per_symbol != weight && n < width) {
        panel[static_cast<std::size_t>(n)] = '.';
    }
    return panel;
}

std::string rule(int n) {
    return std::string(static_cast<std::size_t>(n), box::kHorizontal);
}

void write_map_of_line(Run& run) {
    run.rep.line.clear();
    run.rep.line.put(9, "MAP OF " + std::string(trim(run.cv.person_plural)) + " AND " +
                            std::string(trim(run.cv.item_plural)));
    write_report_line(run);
}

void write_key_lines(Run& run, const Symbols& s) {
    if (s.persons > 1)
        write_symbol_key_line(run, s.persons, run.cv.person_word, run.cv.person_plural);
    if (s.items > 1) write_symbol_key_line(run, s.items, run.cv.item_word, run.cv.item_plural);
}

// Starts a row line: the tick value (I5) in columns 2-6 and again from right_column on the rows
// that carry it. Returns whether the row does.
bool start_row_line(Run& run, const MapAxis& axis, int row, int right_column) {
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    const bool tick = carries_map_tick(axis, row);
    if (tick) {
        const std::string value = fmt_i(map_tick_value(axis, row), 5);
        l.put(2, value);
        l.put(right_column, value);
    }
    return tick;
}

// ---- 1.1 ----------------------------------------------------------------------------------

void write_two_panel_border(Run& run, bool top) {
    const bool more_on_top = run.cv.uscale > 0.0f;
    const bool more = top ? more_on_top : !(run.cv.uscale >= 0.0f);
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    l.put(4, more ? "<more>" : "<less>");
    l.put(11, rule(21));
    l.put(33, pad_right(run.cv.person_plural, 8));
    l.put(41, std::string{box::kHorizontal, box::kCross, box::kHorizontal, ' '});
    l.put(45, pad_right(run.cv.item_plural, 8));
    l.put(53, rule(18));
    l.put(71, more ? "--- <rare>" : "<frequent>");
    write_report_line(run);
}

void write_two_panel_row(Run& run, const MapAxis& axis, const MapTallies& t, const Symbols& s,
                         int row) {
    ReportLineBuffer& l = run.rep.line;
    const bool tick = start_row_line(run, axis, row, 74);
    l.put(11, left_panel(row_value(t.person_weight, row), s.persons, kWidePanel));
    l.put(41, std::string{map_marker(axis, row, t.persons), tick ? box::kCross : box::kVertical,
                          map_marker(axis, row, t.items)});
    l.put(45, right_panel(row_value(t.item_weight, row), s.items, kWidePanel,
                          row_value(t.dichotomous, row)));
    write_report_line(run);
}

// ---- 1.4 ----------------------------------------------------------------------------------

void write_threshold_panel_border(Run& run, bool top) {
    const bool more = top ? run.cv.uscale > 0.0f : !(run.cv.uscale >= 0.0f);
    const std::string cross{box::kHorizontal, box::kCross, box::kHorizontal};
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    l.put(4, more ? "<more>" : "<less>");
    l.put(11, rule(62));
    l.put(17, pad_right(run.cv.person_plural, 7));
    l.put(24, cross);
    l.put(27, pad_right(run.cv.item_plural, 7));
    l.put(40, cross);
    l.put(43, pad_right(run.cv.item_plural, 7));
    l.put(56, cross);
    l.put(59, pad_right(run.cv.item_plural, 7));
    l.put(73, more ? "--- <rare>" : "<frequ>");
    write_report_line(run);
}

void write_threshold_panel_row(Run& run, const MapAxis& axis, const MapTallies& t,
                               const Symbols& s, int row) {
    ReportLineBuffer& l = run.rep.line;
    const bool tick = start_row_line(run, axis, row, 72);
    const std::string centre{' ', tick ? box::kCross : box::kVertical, ' '};
    l.put(11, left_panel(row_value(t.person_weight, row), s.persons, kNarrowPanel));
    l.put(24, centre);
    l.put(27, right_panel(row_value(t.lowest, row), s.items, kNarrowPanel, 0.0));
    l.put(40, centre);
    l.put(43, right_panel(row_value(t.item_weight, row), s.items, kNarrowPanel,
                          row_value(t.dichotomous, row)));
    l.put(56, centre);
    l.put(59, right_panel(row_value(t.highest, row), s.items, kNarrowPanel, 0.0));
    write_report_line(run);
}

// The heading, the "MAP OF" line, the column line, the borders around the rows and the key
// lines of a symbol map whose panels are `width` wide.
template <typename ColumnLine, typename Border, typename RowLine>
void write_symbol_map(Run& run, const MapAxis& axis, const MapTallies& t, int width,
                      ColumnLine column_line, Border border, RowLine row_line) {
    const Symbols s = symbols_for(run, t, width);
    write_table_heading(run, 1);
    write_map_of_line(run);
    run.rep.line.clear();
    column_line(run.rep.line);
    write_report_line(run);
    border(run, true);
    for (int row = axis.top; row >= 0; --row) row_line(run, axis, t, s, row);
    border(run, false);
    write_key_lines(run, s);
}

}  // namespace

void write_two_panel_map(Run& run, const MapAxis& axis, const MapTallies& tallies) {
    const auto column_line = [](ReportLineBuffer& l) {
        l.put(2, "MEASURE");
        l.put(42, std::string(1, box::kVertical));
        l.put(74, "MEASURE");
    };
    write_symbol_map(run, axis, tallies, kWidePanel, column_line, write_two_panel_border,
                     write_two_panel_row);
}

void write_threshold_panel_map(Run& run, const MapAxis& axis, const MapTallies& tallies) {
    const auto column_line = [](ReportLineBuffer& l) {
        const std::string bar(1, box::kVertical);
        l.put(3, "MEASURE");
        l.put(25, bar + " BOTTOM P=50%");
        l.put(41, bar + " CALIBRATION");
        l.put(57, bar + " TOP P=50%");
        l.put(72, "MEASURE");
    };
    write_symbol_map(run, axis, tallies, kNarrowPanel, column_line, write_threshold_panel_border,
                     write_threshold_panel_row);
}

}  // namespace korvelan

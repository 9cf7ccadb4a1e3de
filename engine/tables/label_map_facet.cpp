// The labelled map of one side (1.2, 12.2, 1.12, 12.12, 1.3, 16.3): for each row of the axis the
// labels of its entries, as many per line as fit and continuation lines after them, with the
// other side's weighted count as symbols left of the centre line.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/report/scale_orientation.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/label_map.h"
#include "engine/tables/label_map_frame.h"
#include "engine/tables/label_map_labels.h"

namespace korvelan {

namespace {

// Request option letters 6 and 7 with their selectors: persons per symbol beside labelled
// items, items per symbol beside labelled persons.
constexpr std::size_t kPersonsPerSymbol = 5;
constexpr std::size_t kItemsPerSymbol = 6;

template <typename T>
T row_value(const std::vector<T>& v, int row) {
    return v[static_cast<std::size_t>(row)];
}

int first_printed_row(const LabelledFrame& f) {
    const MapAxis& a = f.axis;
    const float value = static_cast<float>(f.highest) * a.units_per_row + a.lower;
    float t = static_cast<float>(nint(std::round(value / a.step) * a.step));
    while (unbounded_map_row(a, t) < f.highest) {
        // Beyond the whole numbers a float holds (a huge UMEAN=) adding one moves nothing.
        const float next = t + 1.0f;
        if (next == t) break;
        t = next;
    }
    return std::min(a.top, unbounded_map_row(a, t));
}

// The mirror of first_printed_row: from the value of the lowest used row, rounded to the step,
// down by whole units until the row reaches Lo.
int last_printed_row(const LabelledFrame& f) {
    const MapAxis& a = f.axis;
    const float value = static_cast<float>(f.lowest) * a.units_per_row + a.lower;
    float t = static_cast<float>(nint(std::round(value / a.step) * a.step));
    while (unbounded_map_row(a, t) > f.lowest) {
        const float next = t - 1.0f;
        if (next == t) break;
        t = next;
    }
    return std::max(0, unbounded_map_row(a, t));
}

int tick_row_at_or_above(const LabelledFrame& f, int row) {
    while (row < f.axis.top && !is_map_tick_row(f.axis, row)) ++row;
    return row;
}

double per_symbol(const Run& run, const LabelledFrame& f) {
    const TableRequest& r = run.rep.request;
    const int p = std::max(1, (f.largest_weight + f.field - 1) / f.field);
    const std::size_t option = f.labelled == ReportSide::Items ? kPersonsPerSymbol : kItemsPerSymbol;
    const double s = r.letters[option] != ' ' && r.selectors[option] >= 1.0f
                         ? r.selectors[option]
                         : (f.labelled == ReportSide::Items ? run.cv.t1p : run.cv.t1i);
    return std::max(s, static_cast<double>(p));
}

// The row of a listed entry in the ordinary kinds; -1 for status -2 and below.
int listed_entry_row(const Run& run, const LabelledFrame& f, int e) {
    const AnalysisArrays& a = run.arrays;
    const bool persons = f.labelled == ReportSide::Persons;
    return entry_map_row(f.axis,
                         array_value(persons ? a.person_status : a.item_status, e, status::kDeleted),
                         array_value(persons ? a.person_measure : a.item_measure, e));
}

void set_label_widths(const Run& run, LabelledFrame& f) {
    const int room = run.cv.line_width - 10 - f.field;
    int w = f.base_width;
    if (run.rep.request.table == 1) w = std::min(w, std::max(1, room / f.largest_count - 2));
    f.label_width = std::clamp(w, 1, 99);
    f.per_line = std::max(1, room / (f.label_width + 2));
}

// Writes the lines of one row that holds labelled entries, n labels a line; a row whose entries
// all have blank labels writes nothing.
void write_label_row(ReportContext& ctx, const LabelledFrame& f, MapLabelReader& labels, int row) {
    Run& run = ctx.run;
    EntryOrder& order = ctx.order(f.labelled);
    const int n = std::clamp(order.count, 0, static_cast<std::int32_t>(order.entries.size()));
    std::vector<std::string> cells;
    bool first_line = true;
    const auto flush = [&] {
        break_page_if_needed(run, run.rep.page_line_counter + 3);
        if (first_line) {
            put_labelled_row_start(run, f, row);
        } else {
            run.rep.line.clear();
        }
        put_label_cells(run, f, cells);
        write_report_line(run);
        cells.clear();
        first_line = false;
    };
    for (int k = 0; k < n; ++k) {
        std::int32_t& e = order.entries[static_cast<std::size_t>(k)];
        if (e <= 0) continue;
        const int at = listed_entry_row(run, f, e);
        if (at < 0) {
            e = 0;
            continue;
        }
        if (at != row) continue;
        const std::string label = labels.read(e);
        if (label.empty()) continue;
        cells.push_back(map_label_cell(label, f.label_width));
        if (static_cast<int>(cells.size()) == f.per_line) flush();
    }
    if (!cells.empty()) flush();
}

void write_ordinary_map(ReportContext& ctx, LabelledFrame& f) {
    Run& run = ctx.run;
    write_table_heading(run, 1);
    write_labelled_title(run, f);
    run.rep.line.clear();
    run.rep.line.put(f.field + 3, labelled_end_text(run, f, true));
    write_report_line(run);
    MapLabelReader labels(run, f.labelled);
    for (int row = f.reversed ? f.mirrored_top : f.first; row >= 0; --row) {
        if (row_value(f.labelled_count(), row) < 1) {
            const int projected = run.rep.page_line_counter + 4;
            if (run.cv.page_length > 0 && projected > run.cv.page_length && row < f.lowest) return;
            break_page_if_needed(run, projected);
            put_labelled_row_start(run, f, row);
            write_report_line(run);
        } else {
            write_label_row(ctx, f, labels, row);
        }
        if (f.reversed ? row <= f.mirrored_bottom : row <= f.lowest && is_map_tick_row(f.axis, row)) break;
    }
    write_labelled_map_end(run, f);
}

LabelledKind kind_of_next_heading(const Run& run) {
    const int shown = run.rep.sub_table_counter + 1;
    if (shown == 5) return LabelledKind::ExpectedScoreZones;
    if (shown == 6) return LabelledKind::ThurstoneThresholds;
    return shown >= 9 ? LabelledKind::Reflected : LabelledKind::Ordinary;
}

}  // namespace

void find_labelled_rows(Run& run, LabelledFrame& f, int extra_high, int extra_low) {
    const bool with_labels = !f.threshold_map();
    f.highest = 0;
    f.lowest = f.axis.top;
    int largest_weight = 0, largest_count = 0;
    for (int row = f.axis.top; row >= 0; --row) {
        const double weight = row_value(f.counted_weight(), row);
        const int count = row_value(f.labelled_count(), row);
        if (!(weight > 0.0 || (with_labels && count > 0))) continue;
        f.highest = std::max(f.highest, row);
        f.lowest = std::min(f.lowest, row);
        largest_weight = std::max(largest_weight, static_cast<int>(weight));
        largest_count = std::max(largest_count, count);
    }
    if (extra_high >= 0) {
        f.highest = std::max(f.highest, extra_high);
        f.lowest = std::min(f.lowest, extra_low);
    }
    f.largest_weight = std::max(largest_weight, 1);
    f.largest_count = std::max(largest_count, 1);
    f.first = first_printed_row(f);
    f.reversed = scale_orientation(run.cv) < 0.0f;
    f.mirrored_top = f.threshold_map() ? f.axis.top : tick_row_at_or_above(f, f.highest);
    f.mirrored_bottom = last_printed_row(f);
    f.field = std::max(7, std::min({13, run.cv.line_width / 4, f.largest_weight}));
    f.per_symbol = per_symbol(run, f);
}

void put_labelled_row_start(Run& run, const LabelledFrame& f, int row) {
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    const bool tick = carries_map_tick(f.axis, row);
    if (tick) l.put(2, fmt_i(map_tick_value(f.axis, row), 5));
    const double weight = row_value(f.counted_weight(), row);
    const int k = std::clamp(static_cast<int>(weight / f.per_symbol), 0, f.field);
    std::string field(static_cast<std::size_t>(f.field), ' ');
    const char symbol = f.per_symbol == 1.0 ? 'X' : '#';
    for (int j = f.field - k; j < f.field; ++j) field[static_cast<std::size_t>(j)] = symbol;
    if (k * f.per_symbol != weight && k < f.field)
        field[static_cast<std::size_t>(f.field - k - 1)] = '.';
    l.put(8, field);
    const char centre = tick ? box::kCross : box::kVertical;
    l.put(f.field + 8, f.doubled() ? std::string{' ', ' ', centre, centre, ' ', ' '}
                                   : std::string{' ', ' ', centre, ' ', ' '});
    l.put(f.field + 9, std::string(1, map_marker(f.axis, row, f.tallies.persons)));
    l.put(f.field + (f.doubled() ? 12 : 11), std::string(1, map_marker(f.axis, row, f.tallies.items)));
}

void put_label_cells(Run& run, const LabelledFrame& f, const std::vector<std::string>& cells) {
    int column = f.label_column();
    for (const std::string& cell : cells) {
        run.rep.line.put(column, cell);
        column += f.label_width + 2;
    }
}

std::string labelled_end_text(const Run& run, const LabelledFrame& f, bool top) {
    const bool positive = run.cv.uscale > 0.0f;
    const bool upper = top == positive;  // the text of the high end of the measures
    if (f.labelled == ReportSide::Persons)
        return upper ? " <rare>\x11<more> " : "<frequ>\x11<less> ";
    if (f.doubled()) return upper ? " <more>\x11\x11<frequ>" : " <less>\x11\x11<rare> ";
    return upper ? " <more>\x11<rare> " : " <less>\x11<frequ>";
}

void write_labelled_title(Run& run, const LabelledFrame& f) {
    const bool items = f.labelled == ReportSide::Items;
    std::string text = std::string(trim(items ? run.cv.person_plural : run.cv.item_plural)) +
                       " MAP OF " + std::string(trim(items ? run.cv.item_plural : run.cv.person_plural));
    if (f.kind == LabelledKind::ExpectedScoreZones) text += " - Expected score zones";
    if (f.kind == LabelledKind::ThurstoneThresholds) text += " - Thurstone thresholds";
    run.rep.line.clear();
    run.rep.line.put(9, text);
    write_report_line(run);
}

void write_labelled_map_end(Run& run, const LabelledFrame& f) {
    run.rep.line.clear();
    run.rep.line.put(f.field + 3, labelled_end_text(run, f, false));
    write_report_line(run);
    if (f.per_symbol <= 1.0) return;
    run.rep.line.clear();
    run.rep.line.put(3, "EACH '#' IS " +
                                std::string(trim(int_to_text_left(static_cast<std::int64_t>(f.per_symbol)))) + ".");
    write_report_line(run);
}

void write_labelled_map(ReportContext& ctx, const MapAxis& axis, const MapTallies& tallies) {
    LabelledFrame f{axis, tallies};
    f.labelled = ctx.side;
    f.kind = kind_of_next_heading(ctx.run);
    f.base_width = MapLabelReader(ctx.run, f.labelled).width();
    if (f.threshold_map()) {
        write_threshold_map(ctx, f);
        return;
    }
    find_labelled_rows(ctx.run, f, -1, -1);
    set_label_widths(ctx.run, f);
    write_ordinary_map(ctx, f);
}

}  // namespace korvelan

// The threshold maps 12.5 (measures at the expected score points) and 12.6 (Thurstone
// thresholds): one column per category value above the lowest, headed by the category's label;
// each item's label stands in the column of a category at the row of its threshold, ended by
// "." and the category value on the first line of the row.
#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "engine/input/response_scoring.h"
#include "engine/report/category_labels.h"
#include "engine/report/plot_axis.h"
#include "engine/report/scale_orientation.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/tables/label_map_frame.h"
#include "engine/tables/label_map_labels.h"

namespace korvelan {

namespace {

// The category values of the groups as columns, and each listed item's row per column.
struct ThresholdColumns {
    int top_value = 0;           // V
    int columns = 0;             // K
    std::vector<int> column_of;  // by category value 0..V: 0 the lowest, 1..K, -1 unused
    std::vector<int> rows;       // entry k of the list, column i at k x (K + 1) + i; -1 none
    int highest = -1, lowest = -1;
    const char* problem = nullptr;  // a consistency failure, shown once the heading is written
    bool no_memory = false;
    std::size_t bytes = 0;

    int& row(int k, int i) { return rows[static_cast<std::size_t>(k * (columns + 1) + i)]; }
    int column(int value) const {
        return value >= 0 && value <= top_value ? column_of[static_cast<std::size_t>(value)] : -1;
    }
};

template <typename T>
T at(const std::vector<T>& v, int n) {
    return array_value(v, n);
}

int group_slot_value(const AnalysisArrays& a, int g, int j) {
    return at(a.category_value, at(a.group_first_slot, g) + j);
}

// V and the columns of the marked category values; false when the map ends after its heading.
bool number_columns(const AnalysisArrays& a, ThresholdColumns& c) {
    for (int g = 1; g <= a.groups; ++g)
        c.top_value = std::max(c.top_value, group_slot_value(a, g, at(a.group_top_category, g)));
    if (c.top_value <= 0) return false;
    std::vector<bool> marked(static_cast<std::size_t>(c.top_value) + 1, false);
    for (int g = 1; g <= a.groups; ++g)
        for (int j = 0; j <= at(a.group_top_category, g); ++j) {
            const int v = group_slot_value(a, g, j);
            if (v < 0 || v > c.top_value) {
                c.problem = "NAMMAP: OUT OF RANGE";
                return false;
            }
            marked[static_cast<std::size_t>(v)] = true;
        }
    c.column_of.assign(marked.size(), -1);
    int next = 0;
    for (std::size_t v = 0; v < marked.size(); ++v)
        if (marked[v]) c.column_of[v] = next++;
    c.columns = next - 1;
    return c.columns >= 2;
}

// Gives each step of each listed item whose status passes the test the row row_of(k, e, slot)
// in its category's column; false, with the problem set, when a category has no column.
template <typename Takes, typename RowOf>
bool place_steps(const ReportContext& ctx, ThresholdColumns& c, const char* problem, Takes takes,
                 RowOf row_of) {
    const AnalysisArrays& a = ctx.run.arrays;
    const EntryOrder& order = ctx.items;
    for (int k = 0; k < order.count; ++k) {
        const int e = order.entries[static_cast<std::size_t>(k)];
        if (e <= 0 || !takes(at(a.item_status, e))) continue;
        const int g = at(a.item_group, e), first = at(a.group_first_slot, g);
        for (int j = 1; j <= at(a.group_top_category, g); ++j) {
            const int i = c.column(at(a.category_value, first + j));
            if (i < 1) {
                c.problem = problem;
                return false;
            }
            c.row(k, i) = row_of(e, first + j);
        }
    }
    return true;
}

// The rows of the thresholds of the measured listed items, bounded to the axis.
bool place_measured_thresholds(const ReportContext& ctx, const LabelledFrame& f,
                               ThresholdColumns& c) {
    const AnalysisArrays& a = ctx.run.arrays;
    const std::vector<float>& points = f.kind == LabelledKind::ExpectedScoreZones
                                           ? a.category_half_point_measure
                                           : a.category_thurstone_threshold;
    return place_steps(
        ctx, c, msg::kThresholdPlacingProblem, [](int s) { return s >= status::kMeasured; },
        [&](int e, int slot) {
            const float m = category_point_measure(ctx.run.cv, at(a.item_measure, e), at(points, slot));
            const int r = std::clamp(unbounded_map_row(f.axis, m), 0, f.axis.top);
            c.highest = std::max(c.highest, r);
            c.lowest = c.lowest < 0 ? r : std::min(c.lowest, r);
            return r;
        });
}

// Extreme items stand at the first printed row (extreme maximum) or the lowest used row.
bool place_extreme_items(const ReportContext& ctx, const LabelledFrame& f, ThresholdColumns& c) {
    const AnalysisArrays& a = ctx.run.arrays;
    return place_steps(
        ctx, c, msg::kExtremePlacingProblem,
        [](int s) { return s == status::kExtremeMaximum || s == status::kExtremeMinimum; },
        [&](int e, int) {
            return at(a.item_status, e) == status::kExtremeMaximum ? f.first : f.lowest;
        });
}

// The columns and rows; entries of status -2 and below leave the list.
bool prepare_columns(ReportContext& ctx, const LabelledFrame& f, ThresholdColumns& c) {
    EntryOrder& order = ctx.items;
    order.count = std::clamp(order.count, 0, static_cast<std::int32_t>(order.entries.size()));
    for (int k = 0; k < order.count; ++k) {
        std::int32_t& e = order.entries[static_cast<std::size_t>(k)];
        if (e > 0 && array_value(ctx.run.arrays.item_status, e, status::kDeleted) < -1) e = 0;
    }
    if (!number_columns(ctx.run.arrays, c)) return false;
    c.bytes = static_cast<std::size_t>(order.count + 1) * static_cast<std::size_t>(c.columns + 1) *
              sizeof(int);
    try {
        c.rows.assign(static_cast<std::size_t>(order.count) * static_cast<std::size_t>(c.columns + 1), -1);
    } catch (const std::bad_alloc&) {
        c.no_memory = true;
        return false;
    }
    return place_measured_thresholds(ctx, f, c);
}

// The lowest-numbered item of the group with status 1 or above; 0 when none.
int group_item(const AnalysisArrays& a, int g) {
    for (int i = 1; i <= a.items; ++i)
        if (at(a.item_group, i) == g && at(a.item_status, i) >= status::kMeasured) return i;
    return 0;
}

bool group_has_value(const AnalysisArrays& a, int g, int value) {
    for (int j = 1; j <= at(a.group_top_category, g); ++j)
        if (group_slot_value(a, g, j) == value) return true;
    return false;
}

// The label of category value after the "." at the column's position: CFILE= first, else the
// CLFILE= label of the category's response code, from the first group that has one.
void put_column_label(Run& run, int value) {
    const AnalysisArrays& a = run.arrays;
    for (int g = 1; g <= a.groups; ++g) {
        const int item = group_item(a, g);
        if (item == 0 || !group_has_value(a, g, value)) continue;
        if (read_category_label(run, run.rep.line, value, g, a.item_group)) return;
        if (trim(run.cv.clfile).empty()) continue;
        const int code = std::abs(find_code_for_category(run, value, item));
        if (read_item_category_label(run, code, item, g, run.rep.line)) return;
    }
}

void write_column_heading_line(Run& run, const LabelledFrame& f, const ThresholdColumns& c) {
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    l.put(f.field + 3, labelled_end_text(run, f, true));
    for (int value = 0; value <= c.top_value; ++value) {
        const int i = c.column(value);
        if (i < 1) continue;
        const int dot = f.field + 11 + (f.label_width + 2) * (i - 1);
        if (dot > ReportLineBuffer::kWidth) break;
        l.put(dot, std::string(static_cast<std::size_t>(ReportLineBuffer::kWidth - dot + 1), ' '));
        l.put(dot, ".");
        put_column_label(run, value);
        l.put(dot, " ");
    }
    write_report_line(run);
}

// The cell of an item: its label (X when blank) cut to w, ending in "." and the category value
// on the first line of a row, in blanks on later lines.
std::string threshold_cell(MapLabelReader& labels, int e, int width, int value, bool first_line) {
    std::string label = labels.read(e);
    if (label.empty()) label = "X";
    std::string cell = map_label_cell(label, width);
    const std::string suffix = "." + std::string(trim(int_to_text_left(value)));
    const std::size_t n = std::min(suffix.size(), cell.size());
    cell.replace(cell.size() - n, n, first_line ? suffix.substr(suffix.size() - n) : std::string(n, ' '));
    return cell;
}

// The lines of one row: until every threshold at or above it is drawn, each column taking one
// item per line.
void write_threshold_row(ReportContext& ctx, const LabelledFrame& f, ThresholdColumns& c,
                         MapLabelReader& labels, int row) {
    Run& run = ctx.run;
    const EntryOrder& order = ctx.items;
    bool first_line = true, more = true;
    while (more) {
        more = false;
        std::vector<std::string> cells;
        for (int k = 0; k < order.count; ++k) {
            const int e = order.entries[static_cast<std::size_t>(k)];
            if (e <= 0) continue;
            for (int value = 1; value <= c.top_value; ++value) {
                const int i = c.column(value);
                if (i < 1 || c.row(k, i) < row) continue;
                if (static_cast<int>(cells.size()) < i) cells.resize(static_cast<std::size_t>(i));
                std::string& cell = cells[static_cast<std::size_t>(i - 1)];
                if (!cell.empty()) {
                    more = true;
                    continue;
                }
                cell = threshold_cell(labels, e, f.label_width, value, first_line);
                c.row(k, i) = -1;
            }
        }
        for (std::string& cell : cells)
            if (cell.empty()) cell = map_label_cell("", f.label_width);
        if (first_line)
            put_labelled_row_start(run, f, row);
        else
            run.rep.line.clear();
        put_label_cells(run, f, cells);
        write_report_line(run);
        first_line = false;
    }
}

int digits(int n) {
    return static_cast<int>(std::to_string(n).size());
}

}  // namespace

void write_threshold_map(ReportContext& ctx, LabelledFrame& f) {
    Run& run = ctx.run;
    ThresholdColumns c;
    const bool drawn = prepare_columns(ctx, f, c);
    find_labelled_rows(run, f, c.highest, c.lowest);
    if (drawn) {
        const int k = c.columns;
        f.label_width = std::min({f.base_width + digits(k) + 1, 1000 / k, (484 - f.field) / k - 2});
        if (f.label_width < 1) {
            // The columns cannot fit the report line even one character wide.
            show_plot_format_failure(run, std::to_string(run.rep.request.table) + "." +
                                              std::to_string(run.rep.sub_table_counter + 1));
            return;
        }
    }
    write_table_heading(run, 1);
    if (c.no_memory) {
        show_message_line(run, std::string(trim(int_to_text_left(static_cast<std::int64_t>(c.bytes)))) +
                                   msg::kBytesNotAvailable + msg::kTableNotProduced);
        write_report_text(run, std::string(msg::kNotEnoughMemoryFor) + msg::kTableWord);
    }
    if (c.problem) show_message_line(run, c.problem);
    if (!drawn) return;
    if (!place_extreme_items(ctx, f, c)) {
        show_message_line(run, c.problem);
        return;
    }
    write_labelled_title(run, f);
    write_column_heading_line(run, f, c);
    MapLabelReader labels(run, ReportSide::Items);
    // From the first printed row down to the bottom of the axis, or under a negative USCALE= the
    // mirror: from the top of the axis down to the row that mirrors the first.
    const int from = f.reversed ? f.mirrored_top : f.first, to = f.reversed ? f.mirrored_bottom : 0;
    for (int row = from; row >= to; --row) write_threshold_row(ctx, f, c, labels, row);
    write_labelled_map_end(run, f);
}

}  // namespace korvelan

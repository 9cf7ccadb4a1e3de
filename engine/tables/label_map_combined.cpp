// The combined label map (1.0, 1.10): one report line per axis row, the labels of the row's
// persons packed right-aligned against the centre line and those of its items packed after it.
// Labels and the gaps between them shrink until the fullest rows fit 69 columns.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/label_map.h"
#include "engine/tables/label_map_labels.h"

namespace korvelan {

namespace {

constexpr int kCombinedWidth = 69;

// The widths of the map: label widths, gaps and the counts of the fullest rows of each side.
struct CombinedPlan {
    int person_width = 1, item_width = 1;
    int person_gap = 2, item_gap = 2;
    int persons = 1, items = 1;  // P and I
    int highest = 0, lowest = 0;  // the used rows
    bool any = false;
    int person_side() const { return (person_width + person_gap) * persons - person_gap; }
    int item_side() const { return (item_width + item_gap) * items - item_gap; }
    bool fits() const { return person_side() + item_side() <= kCombinedWidth; }
};

int row_count(const std::vector<int>& v, int row) {
    return v[static_cast<std::size_t>(row)];
}

// One pass of the shrinking: the first change that applies.
void shrink_once(CombinedPlan& p, int person_start, int item_start) {
    if (p.items < p.persons && p.person_gap == 2) {
        p.person_gap = 1;
    } else if (p.item_gap == 2) {
        p.item_gap = 1;
    } else if (p.person_gap == 2) {
        p.person_gap = 1;
    } else if (p.item_width < p.person_width) {
        --p.person_width;
        if (p.items < p.persons) p.item_width = item_start;
    } else if (p.person_width < p.item_width) {
        --p.item_width;
        if (p.persons < p.items) p.person_width = person_start;
    } else if (p.items < p.persons) {
        p.item_width = item_start;
        --p.person_width;
    } else if (p.persons < p.items) {
        --p.item_width;
        p.person_width = person_start;
    } else {
        --p.person_width;
    }
}

CombinedPlan plan_combined_map(Run& run, const MapAxis& axis, const MapTallies& t) {
    CombinedPlan p;
    for (int row = axis.top; row >= 0; --row) {
        const int np = row_count(t.person_count, row), ni = row_count(t.item_count, row);
        if (np <= 0 && ni <= 0) continue;
        if (!p.any) p.highest = row;
        p.lowest = row;
        p.any = true;
        p.persons = std::max(p.persons, np);
        p.items = std::max(p.items, ni);
    }
    const int person_start = MapLabelReader(run, ReportSide::Persons).width();
    const int item_start = MapLabelReader(run, ReportSide::Items).width();
    p.person_width = person_start;
    p.item_width = item_start;
    // Each pass changes a gap or a width; the widths only fall over the passes, so the bound
    // on the passes is never reached.
    for (int pass = 0; pass < 4 * (person_start + item_start + 4) && !p.fits() &&
                       p.person_width > 1 && p.item_width > 1;
         ++pass)
        shrink_once(p, person_start, item_start);
    return p;
}

// The labels of the listed entries whose row is at or above this one (any remaining one on the
// lowest used row), at most `room` of them, cut to the width and packed with the gap. Taken
// entries, and those with no row, become 0 in the list.
std::string gather_row_labels(ReportContext& ctx, ReportSide side, MapLabelReader& labels,
                              const MapAxis& axis, int row, bool last_row, int room, int width,
                              int gap) {
    const AnalysisArrays& a = ctx.run.arrays;
    const bool persons = side == ReportSide::Persons;
    EntryOrder& order = ctx.order(side);
    std::string packed;
    int taken = 0;
    const int n = std::clamp(order.count, 0, static_cast<std::int32_t>(order.entries.size()));
    for (int k = 0; k < n && taken < room; ++k) {
        std::int32_t& e = order.entries[static_cast<std::size_t>(k)];
        if (e <= 0) continue;
        const int status = array_value(persons ? a.person_status : a.item_status, e,
                                       status::kDeleted);
        const int at = entry_map_row(axis, status,
                                     array_value(persons ? a.person_measure : a.item_measure, e));
        if (at < 0) {
            e = 0;
            continue;
        }
        if (at < row && !last_row) continue;
        std::string label = labels.read(e);
        if (label.empty()) label = "X";
        if (taken > 0) packed += std::string(static_cast<std::size_t>(gap), ' ');
        packed += map_label_cell(label, width);
        ++taken;
        e = 0;
    }
    return packed;
}

void write_end_text(Run& run, int column, const char* text) {
    run.rep.line.clear();
    run.rep.line.put(column, text);
    write_report_line(run);
}

struct EndTexts {
    const char* top;
    const char* bottom;
};

EndTexts end_texts(bool reflected, bool positive_scale) {
    if (!reflected)
        return positive_scale ? EndTexts{"<more>\x11<rare> ", "<less>\x11<frequ>"}
                              : EndTexts{"<less>\x11<frequ>", "<more>\x11<rare> "};
    return positive_scale ? EndTexts{"<more>\x11\x11<frequ>", "<less>\x11\x11<rare> "}
                          : EndTexts{"<less>\x11\x11<rare> ", "<more>\x11\x11<frequ>"};
}

struct CombinedLabels {
    MapLabelReader persons, items;
};

void write_combined_row(ReportContext& ctx, CombinedLabels& labels, const MapAxis& axis,
                        const MapTallies& t, const CombinedPlan& p, bool reflected, int row) {
    Run& run = ctx.run;
    const int side = std::max(p.person_side(), 1);
    const bool tick = carries_map_tick(axis, row);
    const bool last = row == p.lowest;
    const std::string persons =
        gather_row_labels(ctx, ReportSide::Persons, labels.persons, axis, row, last,
                          last ? p.persons : row_count(t.person_count, row), p.person_width,
                          p.person_gap);
    const std::string items =
        gather_row_labels(ctx, ReportSide::Items, labels.items, axis, row, last,
                          last ? p.items : row_count(t.item_count, row), p.item_width, p.item_gap);
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    if (tick) l.put(2, fmt_i(map_tick_value(axis, row), 5));
    const char centre = tick ? box::kCross : box::kVertical;
    l.put(side + 8, reflected ? std::string{' ', ' ', centre, centre, ' ', ' '}
                              : std::string{' ', ' ', centre, ' ', ' '});
    l.put(side + 9, std::string(1, map_marker(axis, row, t.persons)));
    l.put(side + (reflected ? 12 : 11), std::string(1, map_marker(axis, row, t.items)));
    l.put(side + 8 - static_cast<int>(display_width(persons)), persons);
    l.put(side + (reflected ? 14 : 13), items);
    write_report_line(run);
}

}  // namespace

bool combined_label_map_fits(Run& run, const MapAxis& axis, const MapTallies& tallies) {
    const CombinedPlan p = plan_combined_map(run, axis, tallies);
    return p.any && p.fits();
}

void write_combined_label_map(ReportContext& ctx, const MapAxis& axis, const MapTallies& tallies,
                              bool reflected) {
    Run& run = ctx.run;
    const CombinedPlan p = plan_combined_map(run, axis, tallies);
    if (!p.any || !p.fits()) return;
    int first = p.highest;
    while (first < axis.top && !is_map_tick_row(axis, first)) ++first;
    const int side = std::max(p.person_side(), 1);
    const EndTexts ends = end_texts(reflected, run.cv.uscale > 0.0f);

    write_table_heading(run, 1);
    run.rep.line.clear();
    run.rep.line.put(std::max(side, 2), std::string(trim(run.cv.person_plural)) + " -MAP- " +
                                            std::string(trim(run.cv.item_plural)));
    write_report_line(run);
    write_end_text(run, side + 4, ends.top);
    CombinedLabels labels{MapLabelReader(run, ReportSide::Persons),
                          MapLabelReader(run, ReportSide::Items)};
    for (int row = first; row >= 0; --row) {
        write_combined_row(ctx, labels, axis, tallies, p, reflected, row);
        if (row <= p.lowest && carries_map_tick(axis, row)) break;
    }
    write_end_text(run, side + 4, ends.bottom);
}

}  // namespace korvelan

#include "engine/tables/variable_map.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/estimation/weighted_sums.h"
#include "engine/report/entry_sort.h"
#include "engine/report/plot_range.h"
#include "engine/report/scale_orientation.h"
#include "engine/tables/label_map.h"
#include "engine/tables/variable_map_panels.h"
#include "engine/tables/variable_map_rows.h"

namespace korvelan {

namespace {

constexpr std::size_t kRowsPerUnitOption = 3;  // option letter 4 / selector 4

// The rows of the axis: 62 without paging (or with rows per unit requested), else 10 per
// 10 lines of the page beyond 11; whole rows per step; at least one row.
MapAxis map_axis(const Run& run, const PlotAxis& range) {
    const TableRequest& r = run.rep.request;
    const bool rows_requested = r.letters[kRowsPerUnitOption] != ' ';
    int top = kMapMaxRows;
    if (run.cv.page_length != 0 && !rows_requested) {
        int k = (run.cv.page_length - 11) / 10;
        if (k < 2) k = 1;
        top = std::min(10 * k, kMapMaxRows);
    }
    const float extent = std::max(range.extent, 1.0f);
    const int per_step = std::max(1, nearest_even(top / extent));
    top = std::min(top, nearest_even(per_step * extent));
    const float width = range.highest_measure - range.lowest_measure;
    if (rows_requested && r.selectors[kRowsPerUnitOption] > 0.0f)
        top = std::min(kMapMaxRows, nearest_even(width * r.selectors[kRowsPerUnitOption]));
    MapAxis axis;
    axis.top = std::max(top, 1);
    axis.lower = range.lowest_measure;
    axis.step = range.axis_step;
    axis.rows_per_unit = static_cast<float>(axis.top) / width;
    axis.units_per_row = 1.0f / axis.rows_per_unit;
    return axis;
}

struct SpreadSums {
    double weight = 0.0, sum = 0.0, squares = 0.0;
    void add(float measure, float w) {
        weight += w;
        sum += w * measure;
        squares += w * measure * measure;
    }
    MapSpread spread() const {
        MapSpread s;
        if (weight <= 0.0) return s;
        s.mean = sum / weight;
        s.sd = std::sqrt(std::max(0.0, (squares - s.mean * s.mean * weight) / std::max(weight, 1.0)));
        return s;
    }
};

void add_weight(std::vector<double>& tally, int row, float w) {
    if (w > 0.0f) tally[static_cast<std::size_t>(row)] += w;
}

// One entry on its row: its count, its weight and, when measured, its measure in the sums.
struct PlacedEntry {
    int status = 0;
    float measure = 0.0f, weight = 0.0f;
    int row = -1;  // -1: not placed
};

PlacedEntry place_entry(const MapAxis& axis, int status, float measure, float weight,
                        std::vector<int>& count, std::vector<double>& weighted, SpreadSums& sums) {
    PlacedEntry p{status, measure, weight, entry_map_row(axis, status, measure)};
    if (p.row < 0) return p;
    ++count[static_cast<std::size_t>(p.row)];
    add_weight(weighted, p.row, weight);
    if (status >= status::kMeasured && weight > 0.0f) sums.add(measure, weight);
    return p;
}

void tally_persons(const Run& run, const MapAxis& axis, MapTallies& t) {
    const AnalysisArrays& a = run.arrays;
    SpreadSums sums;
    for (int n = 1; n <= a.persons; ++n)
        place_entry(axis, array_value(a.person_status, n, status::kDeleted),
                    array_value(a.person_measure, n), entry_weight(a.person_weights, n),
                    t.person_count, t.person_weight, sums);
    t.persons = sums.spread();
}

void tally_items(const Run& run, const MapAxis& axis, std::span<const float> thresholds,
                 MapTallies& t) {
    const AnalysisArrays& a = run.arrays;
    const auto threshold = [&](int slot) {
        return slot >= 0 && static_cast<std::size_t>(slot) < thresholds.size()
                   ? thresholds[static_cast<std::size_t>(slot)]
                   : 0.0f;
    };
    SpreadSums sums;
    for (int i = 1; i <= a.items; ++i) {
        const PlacedEntry p = place_entry(axis, array_value(a.item_status, i, status::kDeleted),
                                          array_value(a.item_measure, i),
                                          entry_weight(a.item_weights, i), t.item_count,
                                          t.item_weight, sums);
        if (p.row < 0) continue;
        const int row = p.row, s = p.status;
        const float m = p.measure, w = p.weight;
        const int g = array_value(a.item_group, i);
        const int top = array_value(a.group_top_category, g);
        if (top < 2 && t.polytomous) {
            add_weight(t.dichotomous, row, w);
            continue;
        }
        int low = row, high = row;
        if (s >= status::kMeasured) {
            const int first = array_value(a.group_first_slot, g);
            const int at = unbounded_map_row(axis, m);
            // The rows of the thresholds relative to the item's row, on the reported scale.
            const auto offset = [&](int slot) {
                return saturated_rows(category_point_measure(run.cv, 0.0f, threshold(slot)) *
                                      axis.rows_per_unit);
            };
            low = std::clamp(offset(first + 1) + at, 0, axis.top);
            high = std::clamp(offset(first + top) + at, 0, axis.top);
        }
        add_weight(t.lowest, low, w);
        add_weight(t.highest, high, w);
    }
    t.items = sums.spread();
}

// Weighted counts are drawn as whole numbers, rounded up.
double round_up(std::vector<double>& tally) {
    double largest = 0.0;
    for (double& v : tally) largest = std::max(largest, v = static_cast<double>(drawn_count(v)));
    return largest;
}

MapTallies map_tallies(const Run& run, const MapAxis& axis, std::span<const float> thresholds) {
    const std::size_t rows = static_cast<std::size_t>(axis.top) + 1;
    MapTallies t;
    t.person_count.assign(rows, 0);
    t.item_count.assign(rows, 0);
    for (std::vector<double>* v :
         {&t.person_weight, &t.item_weight, &t.lowest, &t.highest, &t.dichotomous})
        v->assign(rows, 0.0);
    for (int g = 1; g <= run.arrays.groups; ++g)
        if (array_value(run.arrays.group_top_category, g) >= 2) t.polytomous = true;
    tally_persons(run, axis, t);
    tally_items(run, axis, thresholds, t);
    t.largest_person_weight = round_up(t.person_weight);
    const double items = round_up(t.item_weight);
    t.largest_item_weight = std::max({items, round_up(t.lowest), round_up(t.highest)});
    round_up(t.dichotomous);
    return t;
}

// A side's list in label order for the map about to be written; the map consumes it.
void sort_for_map(ReportContext& ctx, ReportSide side) {
    Run& run = ctx.run;
    AnalysisArrays& a = run.arrays;
    const bool items = side == ReportSide::Items;
    sort_entries_by_label_for_table(run, side, ctx.order(side), items ? a.items : a.persons,
                                    items ? a.item_status : a.person_status,
                                    items ? run.cv.iso : run.cv.pso,
                                    run.rep.sub_table_counter + 1, ctx.request);
    ctx.sort_letter(side) = ' ';
}

void labelled_map(ReportContext& ctx, ReportSide side, const MapAxis& axis, const MapTallies& t) {
    const ReportSide table_side = ctx.side;
    ctx.side = side;
    sort_for_map(ctx, side);
    write_labelled_map(ctx, axis, t);
    ctx.side = table_side;
}

void combined_map(ReportContext& ctx, const MapAxis& axis, const MapTallies& t) {
    // The fit depends on the row counts only: a map that cannot fit needs no sorted lists.
    if (!combined_label_map_fits(ctx.run, axis, t)) return;
    const bool reflected = ctx.run.rep.sub_table_counter >= 9;
    const ReportSide table_side = ctx.side;
    ctx.side = ReportSide::Items;
    sort_for_map(ctx, ReportSide::Items);
    ctx.side = ReportSide::Persons;
    sort_for_map(ctx, ReportSide::Persons);
    ctx.side = table_side;
    write_combined_label_map(ctx, axis, t, reflected);
}

double largest(const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
}

}  // namespace

void write_variable_map(ReportContext& ctx, std::span<const float> thresholds) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    find_plot_measure_range(ctx.axis, run.cv, ctx.request, plot_range_sources(a, thresholds));
    const MapAxis axis = map_axis(run, ctx.axis);
    const MapTallies t = map_tallies(run, axis, thresholds);

    const TableRequest& r = ctx.request;
    const int table = r.table;
    const bool all = r.letters[0] == ' ';
    const auto given = [&](float s) { return all || r.selectors[0] == s; };
    int& counter = run.rep.sub_table_counter;
    const auto number = [&](int n) {
        if (counter < 9) counter = n;
    };
    if (table == 1 && (r.selectors[0] == 0.0f ||
                       (all && largest(t.person_weight) + largest(t.item_weight) <= 35.0)))
        combined_map(ctx, axis, t);
    if (table == 1 && given(1.0f)) {
        number(0);
        write_two_panel_map(run, axis, t);
    }
    if ((table == 1 || table == 12) && given(2.0f)) {
        number(1);
        labelled_map(ctx, ReportSide::Items, axis, t);
    }
    if (table == 12 && t.polytomous && given(5.0f)) {
        counter = 4;
        labelled_map(ctx, ReportSide::Items, axis, t);
    }
    if (table == 12 && t.polytomous && given(6.0f)) {
        counter = 5;
        labelled_map(ctx, ReportSide::Items, axis, t);
    }
    if ((table == 1 || table == 16) && given(3.0f)) {
        number(2);
        labelled_map(ctx, ReportSide::Persons, axis, t);
    }
    if (table == 1 && t.polytomous && given(4.0f)) {
        counter = 3;
        write_threshold_panel_map(run, axis, t);
    }
}

}  // namespace korvelan

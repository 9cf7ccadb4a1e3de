// The measure range of a plot or map axis for one Table: the measured persons and items (with
// their rating-scale thresholds in the Tables that show them), or the plot half-range, or the
// limits a request names; rounded outwards to whole steps of 1, 10 or 100 user units.
#pragma once

#include <cstdint>
#include <span>

#include "engine/report/plot_axis.h"
#include "engine/run/run.h"

namespace korvelan {

// What the range is found from: 1-based arrays (element 0 unused), measures in user units, the
// thresholds per category slot relative to their item's measure as stored (placed on the
// reported scale by category_point_measure).
struct PlotRangeSources {
    std::span<const std::int8_t> person_status;
    std::span<const float> person_measure;
    std::span<const std::int8_t> item_status;
    std::span<const float> item_measure;
    std::span<const float> thresholds;
    std::span<const std::int32_t> group_first_slot;
    std::span<const std::int32_t> group_top_category;
    std::span<const std::int32_t> item_group;
    std::int32_t persons = 0;
    std::int32_t items = 0;
};

// The whole steps of an axis below and above a measure (in steps: measure / step). A measure
// within a ten-thousandth of a step of a whole one counts as on it, so that the reported scale
// and its mirror (UMEAN= 50, USCALE= 10 and -10, whose measures round differently in the last
// bit) reach the same ticks.
float axis_floor(float steps);
float axis_ceil(float steps);

// The run's persons, items and groups with the given threshold array.
PlotRangeSources plot_range_sources(const AnalysisArrays& arrays,
                                    std::span<const float> thresholds);

// find_plot_measure_range: sets lowest_measure, highest_measure, axis_step and extent (in steps)
// for Table request.table: UMEAN= -/+ the plot half-range "XA" when it is set, else the span of
// the entries with status 1 or above (items with their lowest and highest threshold in Tables 1,
// 2, 3, 7, 12, 16-19 and 21; no items in Table 24, no persons in Table 23), symmetric about
// UMEAN= for Tables 3 and 21; request selectors 2 and 3 replace either end when their option
// letters are set. A range with no entry is UMEAN= itself; a zero-width one gains a step each way.
void find_plot_measure_range(PlotAxis& axis, const ControlVariables& cv,
                             const TableRequest& request, const PlotRangeSources& sources);

}  // namespace korvelan

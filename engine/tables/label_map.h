// The variable maps that show entries by their labels on the axis of the map call:
// - the combined map (1.0, and 1.10 with the items reflected): person labels left of the centre
//   line, item labels right of it, left out when the fullest rows do not fit 69 columns;
// - the labelled map of one side (1.2, 12.2, 1.12, 12.12 items; 1.3, 16.3 persons), with the
//   other side as a column of symbols;
// - the threshold maps 12.5 and 12.6: each item's label at the rows of its thresholds, one
//   column per category value.
// Each takes the side's list in label order and consumes it: entries it has drawn or dropped
// become 0. Extreme entries stand on the top row (extreme maximum) and row 0 (extreme minimum),
// as the tallies count them.
#pragma once

#include "engine/report/report_context.h"
#include "engine/tables/variable_map_rows.h"

namespace korvelan {

// Whether the combined map of these tallies fits the line; when it does not, nothing is
// written and the lists need no sorting.
bool combined_label_map_fits(Run& run, const MapAxis& axis, const MapTallies& tallies);
// Writes the combined map (heading included), or nothing when it does not fit. reflected: the
// doubled centre line of 1.10.
void write_combined_label_map(ReportContext& ctx, const MapAxis& axis, const MapTallies& tallies,
                              bool reflected);

// Writes the labelled map of one side (ctx.side), of the kind the sub-table counter gives once
// the heading has counted it: 5 and 6 the threshold maps, 9 or more the reflected item map.
void write_labelled_map(ReportContext& ctx, const MapAxis& axis, const MapTallies& tallies);

}  // namespace korvelan

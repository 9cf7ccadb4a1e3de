// Table 22: the Guttman scalogram. Persons as rows, most able at the top, items as columns,
// easiest on the left, each cell the scored response: 22.1 plain, 22.2 with every response
// outside the expected-score zone of its category shown as a letter ("0" as "@", "1" as "A").
#pragma once

#include <string>

#include "engine/report/report_context.h"

namespace korvelan {

// Items per block: what the line width leaves after the person columns, in cells of w
// characters, at least 1 and never wider than the 400-character cell line.
int scalogram_block_items(int line_width, int cell_width);

// Whether a response in category x (0..top) stands outside its zone at the measure difference
// (person - item in user units, turned by oriented_difference to the orientation of the points),
// given the half-point boundaries of the item's group from its
// first slot: below the boundary of x (x above 0) or above that of x + 1 (x below top). A
// difference equal to a boundary is in the zone.
bool outside_expected_zone(const std::vector<float>& half_points, int first_slot, int top, int x,
                           float difference);

// Writes 22.1 and 22.2, sorting the items by measure ("m") and the persons by measure ("M")
// unless their lists already stand so; extreme entries are shown, dropped and deleted ones not.
void write_guttman_scalogram(ReportContext& ctx);

}  // namespace korvelan

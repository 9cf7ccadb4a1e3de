// The symbol maps of Table 1: the two-panel map of persons and items (1.1) and the four-panel
// map of persons, lowest thresholds, item measures and highest thresholds (1.4). Each symbol
// stands for one or more entries of its panel's side; the heading is written here.
#pragma once

#include "engine/tables/variable_map_rows.h"

namespace korvelan {

void write_two_panel_map(Run& run, const MapAxis& axis, const MapTallies& tallies);
void write_threshold_panel_map(Run& run, const MapAxis& axis, const MapTallies& tallies);

}  // namespace korvelan

// The variable maps of Tables 1, 12 and 16: persons and items on one vertical measure axis.
// One call finds the plot range and the axis, counts every side per row with the weighted
// means and S.D.s, and writes the sub-tables its request selects, in their fixed order:
// 1.0 (combined labels), 1.1 (two panels), 1.2 / 12.2 (item labels), 12.5, 12.6 (threshold
// maps), 1.3 / 16.3 (person labels), 1.4 (four panels). With the sub-table counter at 9 or more
// the reflected forms (1.10, 1.12, 12.12) keep the number the caller set.
#pragma once

#include <span>

#include "engine/report/report_context.h"

namespace korvelan {

// thresholds: per category slot, relative to the item (user units): the Thurstone thresholds
// for Table 1 and the reflected maps, the measures at the expected score points k - 0.5 for
// Tables 12 and 16. The labelled sides' lists are sorted by label and consumed: their sort
// letters are left blank.
void write_variable_map(ReportContext& ctx, std::span<const float> thresholds);

}  // namespace korvelan

// Table 20, the score tables: every raw score on the complete test with its measure and S.E.
// (20.1: the three-column grid, the rescaling advice, the raw score-measure ogive with the
// person and item strips; 20.2: the sample norms and score frequencies), and, for one
// rating-scale group, the item measure of every item score on the non-extreme persons (20.3).
#pragma once

#include "engine/report/report_context.h"

namespace korvelan {

// write_score_table: sub-tables 20.1 and 20.2, under the heading the caller wrote; nothing more
// when the test has no score above its lowest.
void write_score_table(ReportContext& ctx);

// write_item_score_table: the item score grid of the first group (in group order) with a
// measured item and a score range over the measured persons; nothing when there is none.
void write_item_score_table(ReportContext& ctx);

}  // namespace korvelan

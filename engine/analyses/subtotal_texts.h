// The report lines of the subtotal Tables: the group table and the summary block of a group.
#pragma once

#include <vector>

#include "engine/analyses/class_codes.h"
#include "engine/analyses/subtotal_cells.h"
#include "engine/report/report_context.h"

namespace korvelan {

// The table of every group in row order, then the UMEAN= and USCALE= line and a blank line.
void write_subtotal_group_table(Run& run, ReportSide side, const LabelCodeTable& groups,
                                const std::vector<SubtotalGroup>& stats, const std::vector<int>& order);
// The 80-column summary block of group g (1-based).
void write_subtotal_summary_block(Run& run, ReportSide side, const LabelCodeTable& groups,
                                  const std::vector<SubtotalGroup>& stats, int g);

}  // namespace korvelan

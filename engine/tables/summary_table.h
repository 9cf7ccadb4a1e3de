// Table 3.1, the summary statistics of the measured entries: for persons and then for items,
// the mean, S.D., maximum and minimum of score, count, measure, error and fit over the measured
// entries that are not extreme; their separation and reliability (real and model), the S.E. of
// the mean measure, the same with the extreme entries included, the counts of extreme, lacking,
// beyond-capacity and deleted entries, the share of valid responses and the user scaling.
#pragma once

#include "engine/report/report_context.h"

namespace korvelan {

// Writes the whole sub-table under its heading (run.rep.request.table and the sub-table counter
// as the caller set them). Every statistic comes from the summary slots the fit pass filled;
// this routine counts statuses, derives the separation values and lays out the lines.
void write_measure_summary_table(ReportContext& ctx);

}  // namespace korvelan

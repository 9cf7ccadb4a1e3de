// Sub-table 1 of the per-entry statistics Tables: Tables 6 (persons) and 10 (items) in misfit
// order, 13 to 15, 25 and 26 (items) and 17 to 19 (persons) in measure, entry, label,
// displacement and correlation order. One boxed row per entry of the side's list, the MEAN and
// S.D. rows and the closing rule.
#pragma once

#include "engine/report/report_context.h"

namespace korvelan {

// Writes the sub-table of ctx.side with the order word ctx.fit_key, walking the side's list as
// the caller sorted it. In misfit order (a key containing "FIT") it leaves out the well-fitting
// middle of a long list, letters the first and last 26 rows, and copies the first rows of the
// run's own Tables to the summary work file. Entries it leaves out, and deleted ones, become
// negative in the list, so that the later writers of the request skip them; negative entries
// are skipped here too.
void write_entry_statistics_table(ReportContext& ctx);

}  // namespace korvelan

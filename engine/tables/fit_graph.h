// Sub-table 2 of the per-entry statistics Tables: one line of bar graph per entry of the side's
// list, a strip locating its measure and two strips locating its infit and outfit mean-squares
// on a scale from 0 to 2 with two control marks.
#pragma once

#include "engine/report/report_context.h"

namespace korvelan {

// Writes the fit graph of ctx.side in the order of ctx.fit_key, walking the side's list as the
// earlier sub-tables of the request left it. The control marks are selectors 2 and 3 of the
// request when their option letters are set and they lie in 0..1 and 1..2 (else .7 and 1.3).
// In misfit order the well-fitting middle of a long list is left out and marked by an "OMIT"
// line, and the rows at both ends carry the reference letters of the statistics table.
void write_fit_graph(ReportContext& ctx);

}  // namespace korvelan

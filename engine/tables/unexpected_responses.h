// Sub-tables 4 and 5 of Tables 6 (persons) and 10 (items): grids of responses, one row per entry
// of the side and one column per entry of the other side with the most unexpected responses,
// each cell "." for an expected response and the response itself for an unexpected one.
#pragma once

#include "engine/report/report_context.h"

namespace korvelan {

// Writes sub-table 4 ("MOST MISFITTING RESPONSE STRINGS": the first 26 entries of the side's
// fit order as rows) when ctx.misfit_listing_mode is 1, else sub-table 5 ("MOST UNEXPECTED
// RESPONSES": the side's most unexpected entries as rows, by measure). The columns are the other
// side's most unexpected entries by measure. Neither list of the run is changed.
void write_unexpected_response_grid(ReportContext& ctx);

}  // namespace korvelan

// Sub-table 3 of the item statistics Tables (10, 13, 14, 15, 25 and 26): the category, option and
// distractor frequencies. For every item of the list, one row per response code given to it:
// the code, its score value, how often it was given and what percentage that is, the average
// measure of the persons who gave it with the standard error of that mean and a "*" when a code
// of lower score value is given by persons as able or abler, the code's outfit mean-square, and
// the code's label from CLFILE= (or the category's from CFILE=); then the responses scored
// missing, one row per code.
#pragma once

#include "engine/report/report_context.h"

namespace korvelan {

// Writes the sub-table in the order of ctx.fit_key, walking the item list as the earlier
// sub-tables of the request left it; OSORT= orders the codes within an item (and becomes "S"
// when it is none of "SVUCAMD"). In misfit order the well-fitting middle of a long list is left
// out and the rows at both ends carry the reference letters of the statistics table. Items left
// out, and deleted ones, become negative in the list. When the memory for the figures is not
// available the sub-table is the heading and " NOT ENOUGH MEMORY FOR TABLE".
void write_option_frequency_table(ReportContext& ctx);

}  // namespace korvelan

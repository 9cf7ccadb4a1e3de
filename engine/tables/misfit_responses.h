// Tables 7.1 (persons) and 11 (items): the poorly fitting entries of a side, each with its
// measure and fit line and then every one of its responses in the other side's entry order,
// rows of responses with the standardized residuals of the unexpected ones under them.
#pragma once

#include "engine/report/report_context.h"

namespace korvelan {

// How many responses a row holds and how wide each cell is: two columns while the highest
// category value is below 10, else three; (line width - 22) div 23 (or 33) tens of cells, five
// more when the rest passes 10 (or 15); at least 5.
struct ResponseRowLayout {
    int cell_width = 2;
    int per_row = 25;
};
ResponseRowLayout response_row_layout(int line_width, int top_value);

// The letter of position i of a fit-ordered list of n: "A".."Z" for the first 26 positions,
// "a" for the last and up from there for the 26 before it, blank between.
char misfitting_response_letter(int i, int n);

// Writes the Table of ctx.side from its list in fit order. Entries are taken by the absolute
// value of their number, so entries an earlier Table of the run left out of its own listing are
// listed here all the same; only measured and anchored entries whose infit or outfit reaches the
// limit (1 + FITP= x .1 on mean-squares, FITP= itself on standardized values under MNSQ=N) are.
void write_misfitting_responses_table(ReportContext& ctx);

}  // namespace korvelan

// Table 29: for each measured item, in entry order, the empirical frequencies of its categories
// by interval of the measure relative to the item, against the model probability curves of its
// group. One sub-table per item (29.1, 29.2, ...): the item line, then the plot (model curves
// drawn with ".", the observed share of each category seen in an interval with the category's
// symbol at the interval's middle column), the COUNT strip (the responses of each interval as
// digits stacked at its middle column, the units on the line of the word COUNT) and the line of counted and missing responses. Interval n is centred on
// column n x half a tick. The persons counted are the measured and extreme ones, with their
// weights under PWEIGHT=; a missing or unusable response is counted as missing.
#pragma once

#include "engine/report/report_context.h"

namespace korvelan {

void write_empirical_curves(ReportContext& ctx);

}  // namespace korvelan

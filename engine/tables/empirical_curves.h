// Table 29: for each measured item, in entry order, the empirical frequencies of its categories
// by interval of the measure relative to the item, against the model probability curves of its
// group. One sub-table per item (29.1, 29.2, ...): the item line, then the plot (model curves
// drawn with ".", the observed share of each category seen in an interval with the category's
// symbol at the interval's middle column), the COUNT strip (the responses of each interval from
// its middle column) and the line of counted and missing responses. Interval n is centred on
// column n x half a tick. The persons
// counted are the measured and extreme ones, with their weights under PWEIGHT=; a missing or
// unusable response is counted as missing.
#pragma once

#include <vector>

#include "engine/report/report_context.h"

namespace korvelan {

// The counts of one item: by interval, the responses of each category 0..top and their total.
struct EmpiricalCounts {
    int top = 0;
    int intervals = 0;
    std::vector<float> by_category;  // interval x (top + 1) + k
    std::vector<float> total;        // by interval
    float missing = 0.0f;
};

// Columns between the middles of two intervals on the scaled axis: half a tick, at least 1.
int interval_columns(const PlotAxis& axis);

void write_empirical_curves(ReportContext& ctx);

}  // namespace korvelan

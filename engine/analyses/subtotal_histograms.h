// The histogram sub-table of a subtotal specification: the measures of each group counted in
// the columns of a 60-column measure axis, in four kinds of column values.
#pragma once

#include <vector>

#include "engine/analyses/class_codes.h"
#include "engine/analyses/subtotal_cells.h"
#include "engine/report/report_context.h"

namespace korvelan {

// One group's column values of one kind, with the mean and S.D. their markers show (in plot
// columns).
struct HistogramKind {
    std::vector<double> values;  // columns 0..W, raised to whole numbers
    double mean = 0, sd = 0;
};

// The column values of every kind for each group (group 1 the whole sample): kinds[g - 1][k - 1].
// columns_per_unit, low: the axis; width: W.
std::vector<std::vector<HistogramKind>> histogram_kinds(const std::vector<SubtotalEntry>& entries, int groups,
                                                        double low, double columns_per_unit, int width,
                                                        bool weighted);

// The sub-table: its heading, then the histograms of each group in row order.
void write_subtotal_histograms(ReportContext& ctx, const LabelCodeTable& groups,
                               const std::vector<SubtotalEntry>& entries, const std::vector<int>& order);

}  // namespace korvelan

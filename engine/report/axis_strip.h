// The distribution strip under a horizontal measure axis: how many entries stand at each column,
// as stacked digits (one line per power of ten), then a line marking the mean ("M") and one and
// two standard deviations ("S", "T") either side of it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/report/plot_axis.h"
#include "engine/run/run.h"

namespace korvelan {

inline constexpr int kAxisStripLastColumn = 100;

// The entries of one side: 1-based arrays (element 0 unused), measures in user units. The side
// letter "P" weights persons by the person weights, any other letter items by the item weights
// (weight 1 when the side has none).
struct AxisStripEntries {
    std::span<const float> measures;
    std::span<const std::int8_t> status;
    std::int32_t count = 0;
    char side = 'P';
};

// The counts per axis column 0..width (weights summed, then rounded up) and the weighted sums of
// the entries placed at their measures.
struct AxisDistribution {
    std::vector<std::int64_t> bins;
    double weight_sum = 0.0;
    double weighted_sum = 0.0;
    double weighted_squares = 0.0;
};

// Counts the entries with status -1 or above and a positive weight over columns 0..width (at
// most 100) of the axis, setting columns_per_unit to width / (highest - lowest measure). Outside
// Table 20 extreme maximums count in the last column and extreme minimums in the first, and only
// the others enter the sums; in Table 20 every entry stands at its measure.
AxisDistribution tally_axis_distribution(const Run& run, PlotAxis& axis,
                                         const AxisStripEntries& entries, int width);

// Counts as stacked digits, one strip per power of ten from the highest down, each count's
// digits in its own column (blank above its first digit; a count of 0 stays blank).
std::vector<std::string> stacked_count_digits(std::vector<std::int64_t> bins);

// write_axis_distribution_counts: a blank line, the stacked count digits, then (when some entry
// was placed at its measure) the "T S M S T" line. In Table 2 the strip starts in column 2 and
// the trimmed label stands at label_column on the units line; in other Tables the strip starts
// at label_column and the label's first 6 characters stand in column 2 of the units line.
void write_axis_distribution_counts(Run& run, PlotAxis& axis, const AxisStripEntries& entries,
                                    std::string_view label, int label_column, int width);

}  // namespace korvelan

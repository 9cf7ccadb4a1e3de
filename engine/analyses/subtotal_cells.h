// The numerics of the subtotal Tables: running weighted statistics per group, the medians, and
// the merging of the non-extreme and extreme cells, apart from the lines that report them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/run/entry_statistics.h"

namespace korvelan {

// Running weighted statistics of one value; mean_square holds the S.D. once the group is
// finished.
struct SubtotalCell {
    double weight = 0, mean = 0, mean_square = 0, minimum = 0, maximum = 0;
    double sd() const { return mean_square; }
};

// Slots of the statistic cells.
namespace slot {
inline constexpr int kScore = 1, kCount = 2, kMeasure = 3, kError = 4, kInfit = 5, kInfitZ = 6,
                     kOutfit = 7, kOutfitZ = 8, kRealError = 17, kAllMeasures = 19, kAllErrors = 20,
                     kAllRealErrors = 21;
}  // namespace slot

struct SubtotalGroup {
    double non_extreme = 0, extreme_maximum = 0, extreme_minimum = 0, lacking = 0, deleted = 0;
    double median = 0;
    std::array<SubtotalCell, 25> slots{};  // slots[1..24]
    const SubtotalCell& at(int s) const { return slots[static_cast<std::size_t>(s)]; }
    double count() const { return non_extreme + extreme_maximum + extreme_minimum; }
};

// One entry of the subtotalled side.
struct SubtotalEntry {
    int status = 0;
    double weight = 1;  // 1.0 when the side has no weights
    int group = 0;      // 0: only in the whole sample
    EntryStatistics values;
};

void accumulate_weighted_cell(SubtotalCell& cell, double x, double w);
// Adds an entry to a group's counters and cells by its status; a weight of 0 or less counts
// nowhere.
void accumulate_subtotal_entry(SubtotalGroup& group, const SubtotalEntry& entry);
// The medians of every group (group 1 the whole sample) from the entries in measure order,
// highest first (0-based indexes into entries); weighted: the side has weights.
void find_group_medians(std::vector<SubtotalGroup>& groups, const std::vector<SubtotalEntry>& entries,
                        const std::vector<std::size_t>& measure_order, bool weighted);
// Merges the extreme cells with the non-extreme ones and turns every mean of squares into the
// S.D.
void finish_subtotal_group(SubtotalGroup& group);
// The entries' indexes ordered by measure, highest first (ties in entry order).
std::vector<std::size_t> measure_order_of(const std::vector<SubtotalEntry>& entries);

}  // namespace korvelan

// The Weights on Reports dialog: which persons and items the reports show by their weights.
// The choice of a side is 1 include all with their weights, 2 exclude weight 0, 3 report only
// weight 0, 4 report all with weight 1. Leaving entries out lowers their status by 10 (the
// reports then take them as deselected); a choice undoes the one before it first.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

namespace weight_choice {
inline constexpr int kAll = 1, kExcludeZero = 2, kOnlyZero = 3, kReweightOne = 4;
}

// The entries of one side and what the choice changes: statuses and weights of entries 1..n
// (element 0 unused; a missing weight counts as 1), the choice in force and whether the reports
// use the weights.
struct WeightedSide {
    std::vector<std::int8_t>& status;
    const std::vector<float>& weights;
    std::int32_t& choice;
    bool& weights_in_effect;
};

WeightedSide person_weight_side(Run& run);
WeightedSide item_weight_side(Run& run);

// The choice OK gives a side: 1 when the side has no weights (PWEIGHT= or IWEIGHT= blank), else
// the ticked radio 1 to 3, and 4 when none of those is ticked.
int weight_choice_of(bool side_weighted, int ticked);

// Changes the side to the new choice when it differs from the one in force.
void apply_weight_choice(WeightedSide side, int new_choice);

}  // namespace korvelan

#include "shell/dialogs/weight_choice.h"

#include "engine/run/analysis_arrays.h"

namespace korvelan {

namespace {

constexpr int kDeselectStep = 10;

// Adds the step to the status of every entry whose weight is (zero_weights) or is not 0.
void shift_status(WeightedSide& side, bool zero_weights, int step) {
    for (std::size_t n = 1; n < side.status.size(); ++n) {
        const bool zero = array_value(side.weights, static_cast<std::int64_t>(n), 1.0f) == 0.0f;
        if (zero == zero_weights) side.status[n] = static_cast<std::int8_t>(side.status[n] + step);
    }
}

}  // namespace

WeightedSide person_weight_side(Run& run) {
    return {run.arrays.person_status, run.arrays.person_weights, run.input.person_weight_report,
            run.input.person_weights_present};
}

WeightedSide item_weight_side(Run& run) {
    return {run.arrays.item_status, run.arrays.item_weights, run.input.item_weight_report,
            run.input.item_weights_present};
}

int weight_choice_of(bool side_weighted, int ticked) {
    if (!side_weighted) return weight_choice::kAll;
    return ticked >= weight_choice::kAll && ticked <= weight_choice::kOnlyZero ? ticked
                                                                                : weight_choice::kReweightOne;
}

void apply_weight_choice(WeightedSide side, int new_choice) {
    if (new_choice == side.choice) return;
    if (side.choice == weight_choice::kExcludeZero) shift_status(side, true, kDeselectStep);
    if (side.choice == weight_choice::kOnlyZero) shift_status(side, false, kDeselectStep);
    side.weights_in_effect = true;
    if (new_choice == weight_choice::kExcludeZero) shift_status(side, true, -kDeselectStep);
    if (new_choice == weight_choice::kOnlyZero) {
        shift_status(side, false, -kDeselectStep);
        side.weights_in_effect = false;
    }
    if (new_choice == weight_choice::kReweightOne) side.weights_in_effect = false;
    side.choice = new_choice;
}

}  // namespace korvelan

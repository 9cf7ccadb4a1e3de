// Fit statistics: one pass over the persons with the measures held fixed gives every person's
// and item's raw score, count, standard error, infit and outfit mean-squares with their
// standardized forms, displacement and point-measure correlation, the category statistics, the
// standardized residuals (work file ZUU, when something of the run may read it) and the summary
// slots; then the measures, standard errors and displacements are converted once from logits to
// user units.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/estimation/estimation_observer.h"
#include "engine/estimation/estimation_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// The standardized-residual line and the progress go to the observer.
void compute_fit_statistics(Run& run, const EstimationSettings& settings,
                            EstimationObserver& observer);

// The per-item, per-slot and per-group sums of the fit pass (one set per chunk of persons;
// combined in chunk order). Indices into one item's block of sums:
namespace fit_sum {
enum Item {
    kScore, kMaximum, kCount, kRaw, kExpected, kInformation, kExpectedBelow,  // s > 0
    kKurtosisRatio, kExcess, kResidualSquares, kStandardizedSquares,           // s > 0 and t > 0
    kComponentCount, kComponentSum, kComponentSquares,                         // unweighted
    kPairW, kPairX, kPairY, kPairXX, kPairYY, kPairXY,                          // point-measure
    kLargestZ, kLargestZPerson,                                                 // unexpectedness
    kItemSums
};
enum Slot {
    kExpectedCount, kExpectedDifference, kStepInformation, kVariance, kVarianceOverInformation,
    kObservedResidualSquares, kObservedStandardizedSquares, kObservedDifference, kCountFirst,
    kCountSecond, kSlotSums
};
enum Group { kMissingWeight, kMissingDifference, kGroupSums };
}  // namespace fit_sum

// What the item side of the fit phase needs from the person pass.
struct FitSums {
    std::vector<double> item;   // (NI + 1) x kItemSums
    std::vector<double> slot;   // (C + 1) x kSlotSums
    std::vector<double> group;  // (G + 1) x kGroupSums
    double z_weight = 0.0, z_sum = 0.0, z_squares = 0.0;  // weighted standardized residuals
    double component_count = 0.0, component_sum = 0.0, component_squares = 0.0, unexplained = 0.0;
    std::vector<float> person_largest_z;  // per person, 0 when below 2
    bool person_displacement_zero = false;
    float person_largest_displacement = 0.0f;
};

// The item results, category statistics, summary slots and unexpectedness lists from the sums.
void finish_fit_statistics(Run& run, const EstimationSettings& settings, FitSums& sums,
                           EstimationObserver& observer);

// Ranks the entries whose largest |standardized residual| is 2 or more: larger values first;
// among equal values the entry that reached it later (larger order key) first; at most 50.
std::vector<std::int32_t> most_unexpected(const std::vector<float>& largest,
                                          const std::vector<double>& order_key);

// The user-decimals text of a value with a 0 put before a bare decimal point, as the text of
// zero is formed ("0.00" rather than ".00"); compared with the text of zero.
bool shows_as_zero(double value, int decimals);

}  // namespace korvelan

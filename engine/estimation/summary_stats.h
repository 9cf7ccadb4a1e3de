// Weighted summaries of measures and fit values (the slots of the summary of measures), and the
// separation and reliability computed from a spread of measures and their standard errors.
#pragma once

#include "engine/run/analysis_arrays.h"

namespace korvelan {

// One summary slot: weighted count, sum and sum of squares of the values given so far, their
// minimum and maximum; finish_summary_slot adds the weighted mean and population S.D.

// Adds value with the given weight; a weight of 0 or below adds nothing.
void accumulate_summary_slot(SummarySlot& slot, float value, float weight);
// Adds the count, sum and sum of squares of another slot ("slot += other").
void add_summary_slot(SummarySlot& slot, const SummarySlot& other);
// mean = sum / count and sd = sqrt(max(sum of squares / count - mean^2, 0)) when the count is
// positive; otherwise both stay as they are.
void finish_summary_slot(SummarySlot& slot);

struct SeparationReliability {
    float rmse = 0.0f;
    float adjusted_sd = 0.0f;
    float separation = 0.0f;
    float reliability = 0.0f;
};

// From the S.D. (a) and mean (b) of the standard errors and the S.D. of the measures:
// RMSE = sqrt(a^2 + b^2), the root mean square of the errors; true variance = sd^2 - RMSE^2; when
// it, sd and RMSE are all positive: adjusted S.D. = sqrt(true variance), separation = adjusted
// S.D. / RMSE, reliability = true variance / sd^2; otherwise those three are 0 (RMSE is kept).
SeparationReliability compute_separation_reliability(float a, float b, float sd);

}  // namespace korvelan

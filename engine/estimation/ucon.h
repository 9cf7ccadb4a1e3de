// UCON: joint maximum-likelihood iterations from the PROX start values. Each iteration makes one
// pass over the persons with the measures and steps at the start of the iteration; persons move
// after their own pass, items and steps after the whole pass, each by a damped secant step on the
// log-odds of its expected score (steps: of the expected category counts). One row of the
// iteration report per iteration.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/estimation/estimation_observer.h"
#include "engine/estimation/estimation_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// The UCON iterations until convergence, the iteration limit or "Finish iterating"; the box,
// its rows and the progress go to the observer. With a negative limit no iteration runs (the
// box is only closed).
PhaseOutcome run_ucon_iterations(Run& run, const EstimationSettings& settings,
                                 EstimationObserver& observer);

// The least converged values of one iteration.
struct LeastConverged {
    double person_residual = 0.0;
    std::int32_t person = 0;
    double item_residual = 0.0;
    std::int32_t item = 0;
    float logit_change = 0.0f;
    double category_residual = 0.0;
    std::int32_t category = 0;  // category value of the least converged category
    float step_change = 0.0f;
};

// The step update of one UCON iteration from the expected and the working observed count of
// every category slot (indexed like the slot arrays): per group, the scaled difference of the
// expected and observed log-odds of adjacent categories (chains: of the two sides of each step),
// then the pivot or the centring of the free steps. previous_step receives each slot's step
// before the update.
void update_ucon_steps(AnalysisArrays& a, const std::vector<double>& expected,
                       const std::vector<double>& observed, std::vector<float>& previous_step,
                       LeastConverged& least);

// STBIAS=/PAIRED= factors of the person and item measures (both 1 unless one of them is "Y").
void set_bias_factors(AnalysisArrays& a, const EstimationSettings& settings);

}  // namespace korvelan

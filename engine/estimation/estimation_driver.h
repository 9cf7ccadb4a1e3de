// The estimation driver: after data input, anchors, weights and step files are in place, it runs
// PROX, UCON, the fit statistics, the expected-score points and the summary of measures, then
// saves the report so far and ends the run.
#pragma once

#include "engine/estimation/estimation_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// The estimation phases on run.arrays, in order; "Finish iterating" ends only the phase in which
// it was chosen. Leaves the summary of measures in ZRR. Returns normally unless a phase stops
// the run (then RunStopped is thrown through it).
void estimate_measures(Run& run, const EstimationSettings& settings);

// estimate_measures, then the end of the run: the report so far is saved to ZFR (unless
// "Finish iterating" was chosen after UCON), a page-break line, the summary shown on screen, and
// stop_analysis_and_idle. Never returns: throws RunStopped to the analysis driver.
[[noreturn]] void run_estimation_and_output(Run& run, const EstimationSettings& settings);

}  // namespace korvelan

// The estimation: after data input, anchors, weights and step files are in place, PROX (again
// after trimming when observations were dropped), the connectivity check, UCON, the fit
// statistics and the expected-score points, all on run.arrays.
#pragma once

#include "engine/estimation/estimation_observer.h"
#include "engine/estimation/estimation_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// The estimation phases in order; "Finish iterating" ends only the phase in which it was
// chosen. The rows, lines and progress of every phase go to the observer. Returns how PROX and
// UCON ended, unless a phase stops the run (then RunStopped is thrown through it).
EstimationOutcome estimate_measures(Run& run, const EstimationSettings& settings,
                                    EstimationObserver& observer);

}  // namespace korvelan

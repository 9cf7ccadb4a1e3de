// The summary of measures: a framed box with a block for the persons and one for the items
// (means and S.D.s of score, count, measure, error and fit, the real RMSE, adjusted S.D.,
// separation and reliability), written to the work file ZRR, which the run end shows on screen;
// and the one-line separation note the Tables read.
#pragma once

#include "engine/estimation/estimation_settings.h"
#include "engine/run/run.h"

namespace korvelan {

void write_measure_summary(Run& run, const EstimationSettings& settings);

}  // namespace korvelan

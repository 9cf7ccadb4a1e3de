// The estimation and the end of the run: after the estimation the summary of measures, the
// output files, the report saved and started again for the Tables, the summary on screen and
// the end-of-run listing; then the run ends.
#pragma once

#include "engine/estimation/estimation_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// estimate_measures with the report as its observer, the summary of measures in ZRR, then the
// end of the run: the output files, the report so far saved to ZFR and the Tables of TABLES= and
// TFILE= in a report that starts again (all skipped when "Finish iterating" was chosen after
// UCON), a page-break line, the summary shown on screen, the listing and stop_analysis_and_idle. Never returns: throws RunStopped to the analysis
// driver.
[[noreturn]] void run_estimation_and_output(Run& run, const EstimationSettings& settings);

}  // namespace korvelan

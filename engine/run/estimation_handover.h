// The hand-over from the analysis driver to the estimation.
#pragma once

#include "engine/run/run.h"

namespace korvelan {

// Runs the estimation and the output of the run with the analysis arrays the driver set up,
// and ends the run; never returns.
[[noreturn]] void hand_over_to_estimation(Run& run);

}  // namespace korvelan

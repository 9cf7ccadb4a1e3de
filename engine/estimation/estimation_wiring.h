// The estimation's view of the run's control values.
#pragma once

#include "engine/estimation/estimation_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// Fills the estimation settings from the (checked) control variables of the run.
EstimationSettings estimation_settings_from_controls(const Run& run);

}  // namespace korvelan

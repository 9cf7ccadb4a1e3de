// The output-file writers' view of the run's control values.
#pragma once

#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// Fills the output settings from the control variables of the run.
OutputSettings output_settings_from_controls(const Run& run);

}  // namespace korvelan

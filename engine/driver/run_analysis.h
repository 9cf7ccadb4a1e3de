// The analysis driver: one run from the run start to the run end.
#pragma once

#include "engine/run/run.h"

namespace korvelan {

// Runs one analysis. Returns the process exit status: 0 when measures were constructed,
// 1 when the run failed. The report is complete and closed on return; work files remain
// until delete_work_files_at_exit.
int run_analysis(Run& run);

}  // namespace korvelan

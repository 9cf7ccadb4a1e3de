// The report banner: the framed program box at the top of the report, the Table 0 heading and
// the title block.
#pragma once

#include "engine/run/run.h"

namespace korvelan {

void write_report_banner(Run& run);

}  // namespace korvelan

// Reading of the control instructions.
#pragma once

#include "engine/run/run.h"

namespace korvelan {

// Reads the control instructions from unit 3 up to "&END", then the instructions given on the
// command line and typed at the console; every line read is copied to the ZIN work file.
void read_control_file(Run& run, int pass);

}  // namespace korvelan

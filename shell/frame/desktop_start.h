// The start of the desktop program: the application and the frame, the settings read (or
// constructed, shown in the window), the start-up menu entries, then the analysis of the
// command line's control file or of the names typed at the prompts.
#pragma once

#include <string>
#include <vector>

namespace korvelan {

// Runs the desktop program until its window closes; the exit status of the run.
int run_desktop(int argc, char** argv, const std::vector<std::string>& engine_args);

}  // namespace korvelan

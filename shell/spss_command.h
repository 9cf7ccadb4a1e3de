// The SPSS conversion from the command line:
//   korvelan --spss-select DATA.sav SELECTION   list the variables in a selection file
//   korvelan --spss-control SELECTION OUTPUT    control-and-data file from an edited selection
//   korvelan --spss-tab DATA.sav OUTPUT         tab-separated text of all variables and cases
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace korvelan {

// Runs the conversion the arguments ask for and gives the exit status (0 done, 1 a problem,
// 2 a wrong command line); nothing when the arguments are not an SPSS command.
std::optional<int> run_spss_command(const std::vector<std::string>& args, std::ostream& out);

}  // namespace korvelan

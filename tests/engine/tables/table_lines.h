// Small readers the Table tests share: a Table's lines without the heading line that holds the
// date and the report path, and the step calibrations of an SFILE=.
#pragma once

#include <string>
#include <vector>

namespace korvelan::testing {

std::vector<std::string> without_heading_line(std::vector<std::string> block);

// The step calibration of each category of an SFILE=, category 0 first.
std::vector<double> step_file(const std::string& path);

}  // namespace korvelan::testing

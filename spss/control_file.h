// The control-and-data file made from a variable-selection file: control instructions, item
// labels and one data record per case of the .sav file that the selection file names.
#pragma once

#include <string>
#include <vector>

#include "spss/outcome.h"

namespace korvelan::spss {

// The variable names of the section under the first "!" line whose upper-cased text contains
// `marker`, skipping the line at skip_line (the .sav file's line, whose path may contain the
// word). False when there is no such marker line.
bool section_names(const std::vector<std::string>& lines, const std::string& marker, int skip_line,
                   std::vector<std::string>& names);

// The CODES line or lines for the item width.
std::vector<std::string> codes_lines(int xwide);

// Writes the control-and-data file for the selection file.
Outcome build_control_file_from_spss_selection(const std::string& selection_path,
                                               const std::string& output_path);

}  // namespace korvelan::spss

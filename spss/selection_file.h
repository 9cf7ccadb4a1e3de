// The variable-selection file: every variable of a .sav file listed under a section that is
// ignored, for the user to move lines under the person-label and item-response markers.
#pragma once

#include <string>

#include "spss/outcome.h"
#include "spss/spss_file.h"

namespace korvelan::spss {

// The format text shown for a print format: "F8.2", "Datetime20", "E10.3", "Unknown5.0".
std::string print_format_text(int code, int width, int decimals);

// One variable line: the name padded to 10 characters (a longer name is kept whole), "; ", the
// format text padded and cut to 10 characters, then the label, and after it the values the
// variable declares missing ("Missing values: 8, 97 THRU 99", "'n/a'").
std::string selection_variable_line(const std::string& name, const std::string& format_text,
                                    const std::string& label, const std::string& missing_text = "");

// The declared missing values as a list: "8, 97 THRU 99, LO THRU 0", strings quoted ('n/a').
std::string missing_values_text(const SpssFile::MissingValues& missing);

// Writes the selection file for the .sav file. A blank sav_path (no file chosen) writes nothing.
Outcome write_spss_selection_file(const std::string& sav_path, const std::string& selection_path);

}  // namespace korvelan::spss

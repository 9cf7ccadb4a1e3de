// All variables and cases of a .sav file as tab-separated text for a spreadsheet.
#pragma once

#include <string>

#include "spss/outcome.h"

namespace korvelan::spss {

// The text of a numeric value: "." for missing or too large, "0" for tiny, else the value with
// eight decimals less its trailing zeros. Numbers up to about 1E51 are written in full.
std::string tab_number_text(double value, double low, double high);

// Writes the tab-separated file. A blank sav_path (no file chosen) writes nothing.
Outcome convert_spss_to_tab_text(const std::string& sav_path, const std::string& output_path);

}  // namespace korvelan::spss

// The chart's data as tab-separated text for the clipboard: a heading line "X<TAB><y title>",
// one "x<TAB>y" line a row, and an empty line where one curve ends and the next begins.
#pragma once

#include <string>
#include <vector>

#include "graphs/curves.h"

namespace korvelan::graphs {

std::string chart_data_text(const std::vector<SeriesRow>& rows, const std::string& y_title);

// The rows split into curves at the separator rows (negative y).
std::vector<std::vector<SeriesRow>> split_curves(const std::vector<SeriesRow>& rows);

}  // namespace korvelan::graphs

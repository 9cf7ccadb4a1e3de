// Reading the variable maps of a report back: the rows of the symbol map and single lines.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace korvelan::testing {

// The row lines of the symbol map 1.1 between its two borders, top row first.
std::vector<std::string> symbol_map_rows(const std::vector<std::string>& block);
// The index of the first line containing the text; block.size() when none does.
std::size_t line_with(const std::vector<std::string>& block, const std::string& text);
// The last line that is not blank (a Table ends in a blank line).
std::string last_line(const std::vector<std::string>& block);

}  // namespace korvelan::testing

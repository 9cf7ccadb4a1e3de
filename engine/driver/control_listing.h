// The end-of-run listing: the response codes and the per-item scoring and grouping settings in
// effect, in control-instruction form, shown in the Input/Output window so they can be copied
// into a control file; then the deleted items as an in-line IDFILE= list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

// The lines of "KEYWORD = value", continued with "+" lines when the value would pass the
// 501-column line.
std::vector<std::string> listing_lines(std::string_view keyword, std::string_view value);
void write_control_variable_listing(Run& run);

}  // namespace korvelan

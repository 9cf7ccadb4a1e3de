// The Request Subtables dialog's OK: a typed "Table.Subtable" request served after the run.
#pragma once

#include <string>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// The request text as the Table parser reads it: at most 80 characters, blanked from its first
// NUL, ";" (a comment) or '"' on.
std::string subtable_request_line(std::string_view text);

// Parses the text into the request; true for Tables 1 to 40, the ones served. Otherwise the
// request is left empty.
bool parse_subtable_request(std::string_view text, TableRequest& request);

// Parses the text into the run's Table request and, for Tables 1 to 40, serves it with the result
// menus grayed meanwhile: the first heading opens no page, and the label and work-record files
// are closed afterwards. Any other text does nothing (the request is left empty). True when a
// Table was served.
bool serve_subtable_request(Run& run, std::string_view text);

}  // namespace korvelan

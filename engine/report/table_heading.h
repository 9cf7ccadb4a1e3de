// Table headings and page breaks shared by every report Table.
#pragma once

#include "engine/run/run.h"

namespace korvelan {

// Writes the heading block of the current Table (run.rep.request.table, SubTableCounter + 1)
// followed by the given number of blank lines.
void write_table_heading(Run& run, int blank_lines_after);
// Starts a new page when a page length is set and the projected line count exceeds it.
void break_page_if_needed(Run& run, int projected_line_count);

}  // namespace korvelan

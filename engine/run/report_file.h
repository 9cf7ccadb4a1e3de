// The report output file while the run writes it. A plain file is written aside and replaces the
// earlier report only when the run closes it whole; a pipe, a terminal or a device is never read
// back: its first part is kept in a work file, and the report goes there once, in order.
#pragma once

#include <string>

#include "engine/run/run.h"

namespace korvelan {

// Opens the report on its unit. Sets and returns run.rs.io_status.
int open_report_file(Run& run, const std::string& path);

// Reads the report so far back (for its copy): rewinds it. 0 or an error.
int rewind_report_file(Run& run);

// After the report so far was read back: empties it (its copy is saved), or, when keep is set,
// goes on writing at its end. A report held in its work file goes to its own file now, with
// what it holds when keep is set. Sets and returns run.rs.io_status.
int restart_report_file(Run& run, bool keep);

// Closes the report: a held report goes to its own file first, a plain one replaces the earlier
// report. 0, or the error that lost it.
int close_report_file(Run& run);

}  // namespace korvelan

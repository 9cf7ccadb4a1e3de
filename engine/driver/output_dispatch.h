// The output dispatcher: serves one request for report output, a numbered Table (with its
// sub-tables) or, after the run, an output file. During the run a Table goes into the report
// output file; after it, into a Table file of its own that is added to the Edit menu and opened
// in the text editor. The writers of each Table stand in the Table registry.
#pragma once

#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// Serves run.rep.request: the frame of the request (work files, Table file, "  Processing
// Table " line), the registry entry of the Table, and the reset of the request at its end.
void dispatch_output_request(Run& run);

// The Tables the control file asks for at the end of the run: every Table marked in TABLES=,
// then, when TFILE= is set (TABLES= is then cleared), every Table of the list in its order.
void write_tables_of_run(Run& run);

// After the run, the Table of run.rep.request: the first heading opens no page; the label,
// name and work-record files are closed afterwards.
void serve_table_request_after_run(Run& run);

// After the run, one Table as the Output Tables menu asks for it: "t", "t.s" or "t.s.u"; the
// first heading opens no page; the label, name and work-record files are closed afterwards.
void request_table_after_run(Run& run, std::string_view request_text);

// After the run, the output file of a one-letter request code (the Output Files menu).
void request_output_file_after_run(Run& run, char code);

}  // namespace korvelan

// The frame of every Table request: the work files re-opened at its start, the Table file of a
// request after the run (name, clash rule, creation, Edit-menu entry, editor), and the reset of
// the request at its end. The dispatcher calls these around the writers of a Table.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

// Opens the person and item work files (ZJJ, ZMM, ZNN, ZPP, ZQQ) as existing files: every one
// when reopen is set (an open unit is closed first), else only those not open; opened receives
// the units opened here. False after the failure line of the first that cannot be opened.
bool open_run_work_files(Run& run, bool reopen, std::vector<int>* opened = nullptr);

// Start of every request: "Finish iterating" cleared, full headings, the entry lists of both
// sides made positive again (an entry left out counts only within its own request), and the work
// files re-opened. False when a work file cannot be opened: no Table, no file.
bool begin_output_request(Run& run);

// The name of the Table file of Table t after the run: two digits of t + 100 and "-", or the
// clash code ("41-" to "99-", then "100" to "999"), then the run id and "kv.txt".
std::string table_file_name(const Run& run, int table, int clash);

// After the run: the first free Table file name of Table t in the output directory, created
// through the host as its one open file and added to the Edit menu ("Edit Table t="). Nothing,
// after the problem line, when it cannot be created or no name is free.
std::optional<std::string> create_table_file(Run& run, int table);

// End of a Table request: after the run the Table file is closed and, when it is not empty,
// opened in the editor; always the option letters and selectors are reset and "Finish
// iterating" is cleared.
void end_table_request(Run& run, const std::optional<std::string>& table_file);

// An Edit-menu entry: label + path, or label + "=" + the rest of the path when the path lies in
// the temporary directory.
void add_edit_menu_entry(Run& run, std::string_view label, std::string_view path);

}  // namespace korvelan

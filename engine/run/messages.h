// The message line, the file-error reporter and the end of a run.
#pragma once

#include <string>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// One line in the Input/Output window (at most 1024 characters, trailing blanks cut); in batch
// mode also in the report output file while it is open.
void show_message_line(Run& run, std::string_view text);

// Text of the file-error table for a status and mode letter ("I", "O", "R", "W").
std::string file_error_text(int status, char mode);
// The "PROBLEM: <text> (<code>): for file: <name> in mode <letter>" line for the current status.
std::string file_error_line(int status, std::string_view file_name, char mode);
void report_file_error(Run& run, std::string_view file_name, char mode);
// report_file_error for an output file; while the run goes on, the line is also kept for its end.
void report_output_file_error(Run& run, std::string_view file_name, char mode);
// Where a line of a file was read, for the message about it: " in " + keyword + path + " line " +
// number (" in MFORMS=mf.txt line 3"; the control file has no keyword: " in ctl.txt line 3").
std::string line_place(std::string_view keyword, std::string_view path, std::int64_t line);
// Shows a line about an output file that is not written; while the run goes on, keeps it too.
void note_output_file_failure(Run& run, std::string_view line);
[[noreturn]] void fail_on_file_error(Run& run, std::string_view file_name, char mode);
// " Writing <path> failed: <why>" for a write that failed with the status: a full disk (or
// quota) is named by the folder of the path ("no space left on the disk of <folder>"). With mode
// 'R', " Reading <path> failed: <why>" for a read.
std::string write_failure_line(int status, std::string_view path, char mode = 'W');
// The file-error line of a write to the file known as file_name, then the line naming its path
// and the disk; marks the run failed and stops it.
[[noreturn]] void fail_on_write_error(Run& run, std::string_view file_name, std::string_view path);
// Shows the text, then stops as fail_on_file_error does; a write (mode 'W') as
// fail_on_write_error does, with path (the name when empty) for the file's path; a read (mode
// 'R') given a path names it the same way.
[[noreturn]] void stop_with_file_error(Run& run, std::string_view text, std::string_view file_name,
                                       char mode, std::string_view path = {});

// Ends the run: the report end pages (run.report_end), the closing message, the report closed;
// then the idle loop of the host; never returns (throws RunStopped to the driver).
[[noreturn]] void stop_analysis_and_idle(Run& run);
// Marks the run as failed and stops it.
[[noreturn]] void stop_run_as_failed(Run& run);
// Shows the message line, marks the run failed and stops it.
[[noreturn]] void fatal_message(Run& run, std::string_view text);
// The report is named like an input file of the run: says so, gives the report up (the file of
// its name keeps what it holds) and stops the run as failed.
[[noreturn]] void refuse_report_named_like_input(Run& run, std::string_view input);
// The run end without the idle loop; a second call does nothing.
void finish_analysis_report(Run& run);
// Closes every unit and deletes every work file and Table file of the run id.
void delete_work_files_at_exit(Run& run);
// Exit status of the process for this run: 0 success, 1 failed.
int run_exit_status(const Run& run);

}  // namespace korvelan

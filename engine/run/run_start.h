// Run start: run-wide constants, command line, control and report file names, temporary
// directory and run id.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

// The "Dec  8  8:05 2026" text of the run's local date and time.
std::string make_run_date_text(const std::tm& t);
void make_run_date_text(Run& run);
// Chooses the temporary directory (creating it; the settings' directory, else and as the fall-back
// $TMPDIR or /tmp) and claims a run id there by creating its ZIN work file exclusively; the id is the seconds clock's last three digits, or the next one that no
// work file of the directory carries. When no directory serves, shows the two lines of advice
// and stops the run.
void check_temp_directory(Run& run);
// The output directory: the folder of the report output file, a relative name taken in the
// current directory. The report name itself is not changed.
void complete_control_file_path(Run& run);
// What an argument says of batch mode: "B...=Y" (or "=y") on, another "B...=" value off, nothing
// for every other argument and for a list opened by "=*".
std::optional<bool> batch_setting_of(std::string_view arg);
// Whether the command-line arguments (up to an empty one) leave batch mode on.
bool arguments_ask_for_batch(const std::vector<std::string>& args);
// Applies the command-line arguments: file names, instructions, in-line lists, batch flag.
void apply_command_line(Run& run);
// Opens the control file (unit 3, checked then closed again) and the report output file (unit 4).
void start_run(Run& run);
// After the first reading of the instructions: the report must not replace an input file of
// the run (a file the instructions named, a file of DATA=). In batch mode such a name stops the
// run and the file keeps what it holds; at the desktop the report name is asked for again. From
// then on, an input opened under the report's name stops the run.
void check_report_against_input_files(Run& run);
// Shows a prompt and reads a typed line. In batch mode, or when no line can be typed, returns
// nullopt without waiting.
std::optional<std::string> ask_console_line(Run& run, std::string_view prompt);
// Polls the host for a "Finish iterating" request.
void pump_and_poll(Run& run);

}  // namespace korvelan

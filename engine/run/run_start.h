// Run start: run-wide constants, command line, control and report file names, temporary
// directory and run id.
#pragma once

#include <optional>
#include <string>

#include "engine/run/run.h"

namespace korvelan {

// The "Dec  8  8:05 2026" text of the run's local date and time.
std::string make_run_date_text(const std::tm& t);
void make_run_date_text(Run& run);
// Chooses the temporary directory and claims a run id by creating its ZIN work file exclusively.
void check_temp_directory(Run& run);
// Applies the command-line arguments: file names, instructions, in-line lists, batch flag.
void apply_command_line(Run& run);
// Opens the control file (unit 3, checked then closed again) and the report output file (unit 4).
void start_run(Run& run);
// Shows a prompt and reads a typed line. In batch mode, or when no line can be typed, returns
// nullopt without waiting.
std::optional<std::string> ask_console_line(Run& run, std::string_view prompt);
// Polls the host for a "Finish iterating" request.
void pump_and_poll(Run& run);

}  // namespace korvelan

// Runs the korvelan program as a user would, for end-to-end tests.
#pragma once

#include <string>
#include <vector>

namespace korvelan::testing {

struct ProgramResult {
    int exit_status = -1;
    std::string screen;  // standard output
};

// Runs the program in the folder with the arguments, TMPDIR set to temp_dir. Standard input is
// a pipe that stays open without data (a prompt that waits would hang until the timeout, and
// exit_status is then -2), or, with input_closed, a pipe closed at once (end of input).
ProgramResult run_korvelan(const std::string& folder, const std::vector<std::string>& args,
                           const std::string& temp_dir, int timeout_seconds = 60,
                           bool input_closed = false);

// Replaces run dates ("Dec  8  8:05 2026") by a fixed date of the same width, and the text
// `path` by `stand_in` (same width keeps columns).
std::string normalise_report(std::string text, const std::string& path, const std::string& stand_in);

// Compares with a golden file under tests/golden; KORVELAN_UPDATE_GOLDEN=1 rewrites it instead.
void expect_golden(const std::string& name, const std::string& actual);

}  // namespace korvelan::testing

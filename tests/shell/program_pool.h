// Runs many copies of the korvelan program side by side, each in its own folder, for the
// whole-program and machine-fault tests: a few at a time from one thread, standard input at end
// of file, each within a time limit, optionally under resource limits or without root's rights.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvelan::testing {

struct ProgramJob {
    std::string folder;    // working folder of the run
    std::vector<std::string> args;
    std::string temp_dir;  // TMPDIR of the run
    std::vector<std::string> environment;  // further "NAME=value" settings
    int timeout_seconds = 30;
    std::int64_t address_space_limit = 0;  // bytes of RLIMIT_AS; 0: no limit
    std::int64_t file_size_limit = 0;      // bytes of RLIMIT_FSIZE (as ulimit -f); 0: none
    // Run as the user "nobody" when the tests run as root, so that file permissions hold.
    bool unprivileged = false;
};

struct JobResult {
    int exit_status = -1;  // -2: killed at its time limit; -1: ended by a signal
    int signal = 0;        // the signal that ended the run, 0 when it exited
    std::string screen;    // standard output and standard error
};

// Runs every job, at most `at_once` at the same time; the results in the order of the jobs.
std::vector<JobResult> run_jobs(const std::vector<ProgramJob>& jobs, int at_once);

// Whether the test process runs as root (permissions do not stop root's writes).
bool running_as_root();
// The user id the unprivileged jobs take ("nobody").
inline constexpr unsigned kUnprivilegedId = 65534;

}  // namespace korvelan::testing

// The whole program on damaged control files: hundreds of mutants of the small control files
// run in batch mode, each in its own folder. Every run must end by itself with status 0 or 1,
// never by a signal, a sanitizer report or waiting for input; a failed run must say why; and no
// work file may be left behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/shell/control_mutator.h"
#include "tests/shell/program_pool.h"
#include "tests/support/data_sets.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kMutants = 200;  // each run of the sanitized program costs several times more
#else
constexpr int kMutants = 500;
#endif
constexpr int kAtOnce = 4;

std::string example(const std::string& name) {
    return read_file(std::string(KORVELAN_SOURCE_DIR) + "/examples/" + name);
}

// Whether the last line before the failed run's closing message tells what went wrong: not a
// line that every run shows (the file names, progress, the frame of the iteration report), but
// for a run without data its count of 0 records.
bool explains_failure(const std::string& screen) {
    static const char* const kRoutine[] = {" KORVELAN Version", " Current Directory:", " Name of control file:",
                                           " Name of report output file:", " Temporary Workfile Directory:",
                                           " Reading Control Variables", " Input in process", "Input Data Record:",
                                           "  Calculating Fit Statistics", " Output written to", "|", "+", ">"};
    const std::size_t oops = screen.rfind("\nOops! Use ");
    if (oops == std::string::npos) return false;
    std::size_t end = oops;
    while (end > 0 && (screen[end - 1] == '\n' || screen[end - 1] == '\r' || screen[end - 1] == ' ')) --end;
    const std::size_t start = screen.rfind('\n', end == 0 ? 0 : end - 1);
    const std::string line = screen.substr(start == std::string::npos ? 0 : start + 1,
                                           end - (start == std::string::npos ? 0 : start + 1));
    // The echoed names: the folders (absolute paths), the control and the report file.
    if (line.empty() || line[0] == '/' || line == "ctl.txt" || line == "out.txt") return false;
    // A run without data stops after the count of its records: that count, 0, is the reason.
    if (line.find("Records Input.") != std::string::npos) return line.compare(line.find_first_not_of(' '), 2, "0 ") == 0;
    for (const char* r : kRoutine)
        if (line.rfind(r, 0) == 0) return false;
    return true;
}

// Printable form of a mutant for the failure message.
std::string shown(const std::string& text) {
    std::string s;
    for (unsigned char c : text) {
        if (c == '\n' || (c >= 32 && c < 127)) s += static_cast<char>(c);
        else s += "\\x" + std::string(1, "0123456789abcdef"[c >> 4]) + "0123456789abcdef"[c & 15];
    }
    return s;
}

std::vector<std::string> leftovers(const std::string& folder, const std::string& temp) {
    std::vector<std::string> left;
    for (const std::string& name : list_dir(temp)) left.push_back("tmp/" + name);
    // Work files and Table files carry the run id and "kv.txt"; none may stay in the run folder.
    for (const std::string& name : list_dir(folder))
        if (name.size() == 12 && name.compare(6, 6, "kv.txt") == 0) left.push_back(name);
    return left;
}

}  // namespace

TEST(MutatedControlRuns, EveryRunEndsCleanlyAndEveryFailureSaysWhy) {
    ControlMutator mutator({dichotomous_set(""), rating_scale_set(""), class_set(""), example("tiny.txt"),
                            example("rating.txt")},
                           "ctl.txt", "out.txt", 20261209u);
    ScratchDir root;
    std::vector<std::string> mutants;
    std::vector<ProgramJob> jobs;
    for (int i = 0; i < kMutants; ++i) {
        ProgramJob job;
        job.folder = root.path + std::to_string(i) + "/";
        job.temp_dir = job.folder + "tmp/";
        std::filesystem::create_directories(job.temp_dir);
        mutants.push_back(mutator.next());
        write_file(job.folder + "ctl.txt", mutants.back());
        job.args = {"ctl.txt", "out.txt", "BATCH=Y"};
        job.timeout_seconds = 60;
        jobs.push_back(job);
    }
    const std::vector<JobResult> results = run_jobs(jobs, kAtOnce);
    int failed_runs = 0;
    for (int i = 0; i < kMutants; ++i) {
        const JobResult& r = results[static_cast<std::size_t>(i)];
        std::vector<std::string> problems;
        if (r.exit_status == -2) problems.push_back("did not end within its time limit");
        else if (r.signal != 0) problems.push_back("ended by signal " + std::to_string(r.signal));
        else if (r.exit_status != 0 && r.exit_status != 1)
            problems.push_back("exit status " + std::to_string(r.exit_status));
        if (r.screen.find("Sanitizer") != std::string::npos || r.screen.find("runtime error:") != std::string::npos)
            problems.push_back("sanitizer report");
        if (r.exit_status == 1) {
            ++failed_runs;
            if (!explains_failure(r.screen)) problems.push_back("failed without a message");
        }
        for (const std::string& name : leftovers(jobs[static_cast<std::size_t>(i)].folder,
                                                 jobs[static_cast<std::size_t>(i)].temp_dir))
            problems.push_back("left " + name);
        if (problems.empty()) continue;
        std::string all;
        for (const std::string& p : problems) all += p + "; ";
        ADD_FAILURE() << "mutant " << i << ": " << all << "\n--- control file ---\n"
                      << shown(mutants[static_cast<std::size_t>(i)]) << "--- screen (end) ---\n"
                      << r.screen.substr(r.screen.size() > 3000 ? r.screen.size() - 3000 : 0);
    }
    // The mutants must reach both ends: some runs fail, many get through to their measures.
    EXPECT_GT(failed_runs, kMutants / 10);
    EXPECT_LT(failed_runs, kMutants * 9 / 10);
}

// How the iterations of a batch run end, as a user sees it: measures that stopped at the
// iteration limit are never shown as converged ones, and a run told to finish iterating with
// Ctrl+C writes the same files as a run that was limited to the iterations it made.
#include <gtest/gtest.h>

#include "tests/shell/batch_folder.h"
#include "tests/shell/estimation_run_checks.h"
#include "tests/support/data_sets.h"

using namespace korvelan::testing;

namespace {

constexpr const char* kWarning = "WARNING: ITERATION LIMIT REACHED BEFORE CONVERGENCE. MEASURES ARE NOT CONVERGED.";
constexpr const char* kStoppedWarning =
    "WARNING: ITERATIONS STOPPED BY THE USER BEFORE CONVERGENCE. MEASURES ARE NOT CONVERGED.";
constexpr const char* kUconEnd = "+----------------------------------------------------------------------------+";

bool warns(const ProgramResult& r) { return r.screen.find(kWarning) != std::string::npos; }

// The lines of a file that are not comment or heading lines (";" in column 1).
std::vector<std::string> data_lines(const BatchFolder& f, const std::string& name) {
    std::vector<std::string> kept;
    for (const std::string& l : f.lines(name))
        if (!l.empty() && l[0] != ';') kept.push_back(l);
    return kept;
}

bool work_files_left(const BatchFolder& f) {
    for (const std::string& name : list_dir(f.temp.path))
        if (name.size() == 12 && name.compare(6, 6, "kv.txt") == 0) return true;
    return false;
}

}  // namespace

TEST(IterationEndRuns, AnIterationLimitBeforeConvergenceIsToldOnScreenAndInTheReport) {
    BatchFolder f;
    const std::string control = rating_scale_set("");
    const ProgramResult converged = f.run(control);
    ASSERT_EQ(converged.exit_status, 0) << converged.screen;
    EXPECT_FALSE(warns(converged));
    EXPECT_EQ(f.report().find(kWarning), std::string::npos);
    const std::size_t needed = convergence_rows(f.report(), "UCON").size();
    ASSERT_GT(needed, 2u);

    // Two iterations are too few: the warning follows the UCON box on screen and in the report,
    // and the run still ends with its measures.
    const ProgramResult limited = f.run(control, {"MUCON=2"});
    ASSERT_EQ(limited.exit_status, 0) << limited.screen;
    EXPECT_NE(limited.screen.find(std::string(kUconEnd) + "\n" + kWarning + "\n"), std::string::npos)
        << limited.screen;
    const std::string report = f.report();
    EXPECT_NE(report.find(std::string(kUconEnd) + "\r\n" + kWarning + "\r\n"), std::string::npos);
    EXPECT_EQ(convergence_rows(report, "UCON").size(), 2u);
    EXPECT_NE(limited.screen.find("Measures constructed"), std::string::npos);

    // A run that converges on its last permitted iteration has converged; with no iterations
    // allowed there is nothing to warn of either.
    EXPECT_FALSE(warns(f.run(control, {"MUCON=" + std::to_string(needed)})));
    EXPECT_FALSE(warns(f.run(control, {"MUCON=-1"})));
}

TEST(IterationEndRuns, CtrlCDuringUconWritesTheFilesOfARunLimitedToItsIterations) {
    // Limits of 0 are never met: only Ctrl+C ends the iterations, some rows after the second.
    BatchFolder f;
    const std::string control = rating_scale_set("PFILE=p.txt\nIFILE=i.txt\nSFILE=s.txt\n");
    write_file(f.dir.file("ctl.txt"), control);
    const ProgramResult interrupted = run_korvelan_interrupting(
        f.dir.path, {"ctl.txt", "out.txt", "LCONV=0", "RCONV=0", "BATCH=Y"}, f.temp.path, "\n|       2 ");
    ASSERT_EQ(interrupted.exit_status, 0) << interrupted.screen.substr(0, 3000);
    EXPECT_NE(interrupted.screen.find("Measures constructed"), std::string::npos);
    // The user chose to stop, but the measures are not converged: they must not pass for it, and
    // no iteration limit was reached.
    EXPECT_NE(interrupted.screen.find(kStoppedWarning), std::string::npos);
    EXPECT_FALSE(warns(interrupted));
    EXPECT_FALSE(work_files_left(f));
    const std::size_t rows = convergence_rows(f.report(), "UCON").size();
    ASSERT_GE(rows, 2u);
    const std::vector<std::string> persons = data_lines(f, "p.txt"), items = data_lines(f, "i.txt"),
                                   steps = data_lines(f, "s.txt");
    ASSERT_EQ(persons.size(), 15u);  // R07, extreme, is a comment line
    ASSERT_EQ(items.size(), 6u);
    ASSERT_FALSE(steps.empty());

    // The files hold the measures of those iterations, whole: the same run stopped by its
    // iteration limit after as many rows writes them byte for byte.
    const ProgramResult limited =
        f.run(control, {"LCONV=0", "RCONV=0", "MUCON=" + std::to_string(rows)});
    ASSERT_EQ(limited.exit_status, 0) << limited.screen;
    EXPECT_EQ(convergence_rows(f.report(), "UCON").size(), rows);
    EXPECT_EQ(data_lines(f, "p.txt"), persons);
    EXPECT_EQ(data_lines(f, "i.txt"), items);
    EXPECT_EQ(data_lines(f, "s.txt"), steps);
}

// "Finish iterating" asked for at a given phase of a whole run: what the run says and how it ends.
#include <gtest/gtest.h>

#include "engine/driver/run_analysis.h"
#include "engine/run/messages.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// The user asks to finish iterating once the screen shows a line or a prompt holding the marker.
class FinishAtHost : public TestHost {
public:
    explicit FinishAtHost(std::string marker) : marker_(std::move(marker)) {}
    bool finish_iterating_requested() override {
        if (!asked_) {
            for (const auto* shown : {&lines, &prompts})
                for (const std::string& l : *shown)
                    if (l.find(marker_) != std::string::npos) asked_ = finish = true;
        }
        return finish;
    }

private:
    std::string marker_;
    bool asked_ = false;
};

// Twenty persons on six dichotomous items, far from converged after one iteration.
const char* const kControl =
    "TITLE=Finish\nNI=6\nITEM1=1\nNAME1=8\nCODES=01\nPFILE=p.txt\nIFILE=i.txt\nLCONV=.0001\n"
    "RCONV=.001\n&END\nA\nB\nC\nD\nE\nF\nEND LABELS\n"
    "110000 a\n111000 b\n101100 c\n111100 d\n110010 e\n100000 f\n111110 g\n011000 h\n"
    "110100 i\n101010 j\n111010 k\n010100 l\n110001 m\n001100 n\n111001 o\n100100 p\n"
    "011110 q\n110110 r\n101000 s\n111101 t\n";

struct FinishRun {
    ScratchDir dir, temp;
    CwdGuard cwd;
    FinishAtHost host;
    korvelan::Run run;
    int status = -1;
    FinishRun(const std::string& marker, bool batch, const std::string& instructions = "") : host(marker) {
        run.host = &host;
        host.settings.temp_directory = temp.path;
        write_file(dir.file("ctl.txt"), instructions + kControl);
        write_file(dir.file("p.txt"), "earlier\r\n");
        write_file(dir.file("r.txt"), "earlier\r\n");
        write_file(dir.file("out.txt"), "earlier\r\n");
        run.args = {dir.file("ctl.txt"), dir.file("out.txt")};
        if (batch) run.args.push_back("BATCH=Y");
        status = run_analysis(run);
    }
    ~FinishRun() { delete_work_files_at_exit(run); }
};

constexpr const char* kNotConverged =
    "WARNING: ITERATION LIMIT REACHED BEFORE CONVERGENCE. MEASURES ARE NOT CONVERGED.";
constexpr const char* kStoppedNotConverged =
    "WARNING: ITERATIONS STOPPED BY THE USER BEFORE CONVERGENCE. MEASURES ARE NOT CONVERGED.";

}  // namespace

TEST(FinishIteratingRuns, DuringTheFitStatisticsTheFilesNotWrittenAreNamedAndABatchRunFails) {
    FinishRun r("  Calculating Fit Statistics", true);
    EXPECT_EQ(r.status, 1);
    const std::string screen = r.host.screen();
    const std::string why = "PROBLEM: FIT STATISTICS NOT FINISHED (FINISH ITERATING), FILE NOT WRITTEN: ";
    EXPECT_NE(screen.find(" OUTPUT FILES NOT WRITTEN IN FULL:\n" + why + "PFILE=p.txt\n" + why + "IFILE=i.txt\n"),
              std::string::npos)
        << screen;
    EXPECT_EQ(screen.find("Measures constructed"), std::string::npos);
    // The earlier file is not taken for this run's, and the report says it too.
    EXPECT_EQ(read_file(r.dir.file("p.txt")), "earlier\r\n");
    EXPECT_FALSE(file_exists(r.dir.file("i.txt")));
    EXPECT_NE(read_file(r.dir.file("out.txt")).find(why + "IFILE=i.txt"), std::string::npos);
    // Stopped after the estimation converged: no warning.
    EXPECT_EQ(screen.find(kNotConverged), std::string::npos);
}

TEST(FinishIteratingRuns, DuringTheDataInputTheRunEndsSayingSoAndTheEarlierReportStays) {
    FinishRun r(" Input in process", true);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.host.shows("DATA INPUT STOPPED BY THE USER (Ctrl+C): THE RUN ENDS; THE EARLIER REPORT IS KEPT"))
        << r.host.screen();
    EXPECT_EQ(read_file(r.dir.file("out.txt")), "earlier\r\n");
    EXPECT_EQ(read_file(r.dir.file("p.txt")), "earlier\r\n");
    EXPECT_FALSE(r.host.shows(" Output written to"));
}

TEST(FinishIteratingRuns, DuringTheDataInputTheResponseFileIsKeptOrNamedWhenFinished) {
    constexpr const char* kStopped = "DATA INPUT STOPPED BY THE USER (Ctrl+C): THE RUN ENDS; THE EARLIER REPORT IS KEPT";
    {
        // Asked for while the records are read: the response file is not written.
        FinishRun r(" Input in process", true, "RFILE=r.txt\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.host.shows(std::string(kStopped) + "\n")) << r.host.screen();
        EXPECT_EQ(read_file(r.dir.file("r.txt")), "earlier\r\n");
    }
    // Asked for while it is written: it is whole, and the ending names it under its last line.
    FinishRun r(" Writing Response File", true, "RFILE=r.txt\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.host.shows(std::string(kStopped) + "\nOops! Use \"Edit\" menu to make corrections, then restart\n"
                             " RUN FAILED: IT FINISHED THESE FILES: " + r.dir.file("r.txt") +
                             "; EVERY OTHER REPORT AND OUTPUT FILE IS AS IT WAS BEFORE IT"))
        << r.host.screen();
    EXPECT_NE(read_file(r.dir.file("r.txt")), "earlier\r\n");
    EXPECT_EQ(read_file(r.dir.file("out.txt")), "earlier\r\n");
}

TEST(FinishIteratingRuns, OutsideBatchModeTheFilesAreNamedButTheRunGoesOn) {
    FinishRun r("  Calculating Fit Statistics", false);
    EXPECT_EQ(r.status, 0) << r.host.screen();
    EXPECT_TRUE(r.host.shows("FILE NOT WRITTEN: PFILE=p.txt"));
}

TEST(FinishIteratingRuns, AStopBeforeTheConvergenceLimitsWarnsThatTheMeasuresAreNotConverged) {
    // The first estimation row is shown: the user stops at once.
    FinishRun r("|    UCON", true);
    const std::string screen = r.host.screen();
    // The user stopped it: no iteration limit was reached.
    EXPECT_NE(screen.find(kStoppedNotConverged), std::string::npos) << screen;
    EXPECT_NE(read_file(r.dir.file("out.txt")).find(kStoppedNotConverged), std::string::npos);
    EXPECT_EQ(screen.find(kNotConverged), std::string::npos);
}

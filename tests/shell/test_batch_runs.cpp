// End-to-end runs of the korvelan program in batch mode.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {
struct BatchFixture : ::testing::Test {
    ScratchDir dir;
    ScratchDir temp;
    void copy_example(const std::string& name) {
        write_file(dir.file(name), read_file(std::string(KORVELAN_SOURCE_DIR) + "/examples/" + name));
    }
    std::string report(const std::string& name) {
        return normalise_report(read_file(dir.file(name)), dir.path, "/tmp/kvtestXXXXXX/");
    }
    bool work_files_left() {
        auto names = list_dir(temp.path);
        return std::any_of(names.begin(), names.end(),
                           [](const std::string& n) { return n.size() == 12 && n.substr(6) == "kv.txt"; });
    }
};
}  // namespace

TEST_F(BatchFixture, TinyExampleRunsToItsEnd) {
    copy_example("tiny.txt");
    ProgramResult r = run_korvelan(dir.path, {"tiny.txt", "tiny.out", "BATCH=Y"}, temp.path);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_EQ(r.screen.rfind(" KORVELAN Version 3.34  ", 0), 0u) << r.screen;
    EXPECT_NE(r.screen.find("Measures constructed: use \"Diagnosis\" and \"Output Tables\" menus"),
              std::string::npos)
        << r.screen;
    std::string rep = report("tiny.out");
    EXPECT_NE(rep.find("* * * *  K O R V E L A N  * * * *"), std::string::npos);
    EXPECT_NE(rep.find("-  RASCH ANALYSIS FOR ALL TWO-FACET MODELS  -"), std::string::npos);
    EXPECT_NE(rep.find("MAY 3, 2002        VERSION 3.34"), std::string::npos);
    EXPECT_NE(rep.find("\r\n       TITLE= Tiny dichotomous test\r\n"), std::string::npos);
    EXPECT_NE(rep.find("\fTABLE 0.3 "), std::string::npos);
    EXPECT_NE(rep.find("\r\n; Tiny dichotomous example: four arithmetic tasks, seven pupils\r\n"),
              std::string::npos);
    EXPECT_FALSE(work_files_left());
}

// The bundled examples are a newcomer's first runs: each report shows the maps, the summary, the
// item statistics and the score table, not only the run's banner and control lines.
TEST_F(BatchFixture, ExamplesShowTheTablesAUserReadsFirst) {
    for (const char* name : {"tiny.txt", "rating.txt", "survey.txt"}) {
        SCOPED_TRACE(name);
        copy_example(name);
        ProgramResult r = run_korvelan(dir.path, {name, "example.out", "BATCH=Y"}, temp.path);
        EXPECT_EQ(r.exit_status, 0) << r.screen;
        std::string rep = report("example.out");
        for (const char* table : {"TABLE 1.0 ", "\fTABLE 3.1 ", "\fTABLE 6.1 ", "\fTABLE 10.1 ",
                                  "\fTABLE 20.1 "})
            EXPECT_NE(rep.find(table), std::string::npos) << table;
        EXPECT_FALSE(work_files_left());
    }
    // The survey is large enough for real-looking maps: 300 respondents, each on a line of the person file
    // after its four heading lines.
    std::string persons = read_file(dir.file("survey_persons.txt"));
    EXPECT_EQ(std::count(persons.begin(), persons.end(), '\n'), 4 + 300) << persons.substr(0, 400);
}

// A scale origin far beyond the whole numbers a float holds still gives the maps and ends.
TEST_F(BatchFixture, AHugeScaleOriginDrawsTheMapsAndEnds) {
    copy_example("rating.txt");
    ProgramResult r =
        run_korvelan(dir.path, {"rating.txt", "huge.out", "BATCH=Y", "UMEAN=99999999999", "TABLES=1"},
                     temp.path, 30);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_NE(report("huge.out").find("TABLE 1.0 "), std::string::npos);
    EXPECT_FALSE(work_files_left());
}

TEST_F(BatchFixture, BatchModeWithoutReportNameStopsAtOnce) {
    copy_example("tiny.txt");
    ProgramResult r = run_korvelan(dir.path, {"tiny.txt", "BATCH=Y"}, temp.path, 20);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.screen.find("BATCH MODE REQUIRES CONTROL AND OUTFILES. CONTROL: tiny.txt  OUTPUT:"),
              std::string::npos)
        << r.screen;
    EXPECT_NE(r.screen.find("Oops! Use \"Edit\" menu to make corrections, then restart"), std::string::npos);
    EXPECT_FALSE(work_files_left());
}

TEST_F(BatchFixture, ThirdPlainArgumentIsRefused) {
    ProgramResult r = run_korvelan(dir.path, {"a.txt", "b.txt", "c.txt"}, temp.path, 20);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.screen.find(" Unknown Command on DOS prompt line: \"c.txt\""), std::string::npos);
}

TEST_F(BatchFixture, MissingControlFileIsAnInputFileProblem) {
    ProgramResult r = run_korvelan(dir.path, {"missing.txt", "out.txt", "BATCH=Y"}, temp.path, 20);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.screen.find("PROBLEM: Input File Not Found. Please specify full path. (2): for file: "
                            "missing.txt in mode I"),
              std::string::npos)
        << r.screen;
}

TEST_F(BatchFixture, WithoutBatchModeAClosedConsoleDoesNotHang) {
    ProgramResult r = run_korvelan(dir.path, {}, temp.path, 20, /*input_closed=*/true);
    EXPECT_EQ(r.exit_status, 1) << r.screen;
    EXPECT_NE(r.screen.find(" Control file name? (e.g., KCT.DAT). Press Enter for Dialog Box: "),
              std::string::npos);
    EXPECT_FALSE(work_files_left());
}

TEST_F(BatchFixture, UnwritableReportIsAnOutputFileProblem) {
    copy_example("tiny.txt");
    ProgramResult r = run_korvelan(dir.path, {"tiny.txt", "nodir/out.txt", "BATCH=Y"}, temp.path, 20);
    EXPECT_EQ(r.exit_status, 1);
    // The name as resolved in the control file's folder, not as typed.
    EXPECT_NE(r.screen.find("PROBLEM: Unusable Output File Name (2): for file: " + dir.path + "nodir/out.txt in mode O"),
              std::string::npos)
        << r.screen;
}

TEST_F(BatchFixture, ReportMatchesGoldenFile) {
    copy_example("tiny.txt");
    // The golden report is the run's frame (banner, iteration record, control lines): the
    // example's Table requests are taken out of its control file.
    std::string control = read_file(dir.file("tiny.txt"));
    const std::size_t tables = control.find("TABLES=");
    ASSERT_NE(tables, std::string::npos);
    control.erase(tables, control.find('\n', tables) + 1 - tables);
    write_file(dir.file("tiny.txt"), control);
    ProgramResult r = run_korvelan(dir.path, {"tiny.txt", "tiny.out", "BATCH=Y"}, temp.path);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    ASSERT_EQ(dir.path.size(), std::string("/tmp/kvtestXXXXXX/").size());
    expect_golden("tiny_report.txt", report("tiny.out"));
}

TEST_F(BatchFixture, ReportNamedLikeTheControlFileStopsTheRunAndLeavesTheControlFile) {
    copy_example("tiny.txt");
    const std::string control = read_file(dir.file("tiny.txt"));
    // The same name, the same file through another path, and through a link.
    ASSERT_EQ(::symlink(dir.file("tiny.txt").c_str(), dir.file("link.txt").c_str()), 0);
    for (const std::string& report :
         std::vector<std::string>{"tiny.txt", "./tiny.txt", dir.file("tiny.txt"), "link.txt"}) {
        ProgramResult r = run_korvelan(dir.path, {"tiny.txt", report, "BATCH=Y"}, temp.path, 20);
        EXPECT_EQ(r.exit_status, 1) << report << "\n" << r.screen;
        EXPECT_NE(r.screen.find("PROBLEM: REPORT FILE HAS SAME NAME AS CONTROL FILE"), std::string::npos)
            << r.screen;
        EXPECT_EQ(r.screen.find("Measures constructed"), std::string::npos) << r.screen;
        EXPECT_NE(r.screen.find("Oops! Use \"Edit\" menu to make corrections, then restart"),
                  std::string::npos);
        EXPECT_EQ(read_file(dir.file("tiny.txt")), control);
        EXPECT_FALSE(work_files_left());
    }
    auto names = list_dir(dir.path);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"link.txt", "tiny.txt"}));
}

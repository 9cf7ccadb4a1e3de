// Data input as a user meets it: the program run in batch mode on small control files.
#include <gtest/gtest.h>

#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {
struct DataRuns : ::testing::Test {
    ScratchDir dir;
    ScratchDir temp;
    ProgramResult run(const std::string& control) {
        write_file(dir.file("ctl.txt"), control);
        return run_korvelan(dir.path, {"ctl.txt", "out.txt", "BATCH=Y"}, temp.path, 30);
    }
};
}  // namespace

TEST_F(DataRuns, SevenRecordsAreCountedOnScreenAndInTheReport) {
    ProgramResult r =
        run("NI=4\nITEM1=1\nNAME1=6\n&END\nA\nB\nC\nD\nEND LABELS\n"
            "1100 a\n1000 b\n1110 c\n0100 d\n1010 e\n1101 f\n0110 g\n");
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_NE(r.screen.find("\n       7 PERSON       Records Input.\n"), std::string::npos)
        << r.screen;
    EXPECT_NE(read_file(dir.file("out.txt")).find("\r\n       7 PERSON       Records Input.\r\n"),
              std::string::npos);
}

TEST_F(DataRuns, LetterCodesWithoutAKeyFailTheRun) {
    ProgramResult r = run("NI=2\nITEM1=1\nNAME1=4\nCODES=AB\n&END\na\nb\nEND LABELS\nAB x\n");
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.screen.find("NONE OF YOUR RESPONSES ARE SCORED 1 OR ABOVE.\n"
                            "CHECK VARIABLES: CODES=, RESCOR=, NEWSCR=, KEY1=, IVALUE?=\n"),
              std::string::npos)
        << r.screen;
    EXPECT_NE(r.screen.find("Oops! Use \"Edit\" menu to make corrections, then restart"),
              std::string::npos);
}

// The program in batch mode on control files with problems: each message appears on the screen
// and in the report, and the program ends with status 1.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/test_files.h"

using korvelan::testing::read_file;
using korvelan::testing::ScratchDir;
using korvelan::testing::write_file;

namespace {

struct BatchResult {
    int status = -1;
    std::string screen;
    std::string report;
};

BatchResult run_batch(const ScratchDir& dir, const std::string& control, const std::string& extra = "") {
    write_file(dir.file("ctl.txt"), control);
    std::string command = std::string("cd '") + dir.path + "' && TMPDIR='" + dir.path + "' '" + KORVELAN_BINARY +
                          "' ctl.txt out.txt BATCH=Y " + extra + " > screen.txt 2>&1 < /dev/null";
    int raw = std::system(command.c_str());
    BatchResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.screen = read_file(dir.file("screen.txt"));
    r.report = read_file(dir.file("out.txt"));
    return r;
}

const std::string kLayout = "NI=4\nITEM1=1\nNAME1=6\n";

}  // namespace

TEST(BatchControlProblems, MessageOnScreenAndInReportAndFailedExit) {
    // A problem in an instruction line names the control file and the line; a check of the
    // values read names no line.
    struct Case {
        std::string control;
        std::string message;
        int line;
    };
    const Case cases[] = {
        {kLayout + "FOO=5\n", " UNRECOGNIZED VARIABLE (CHECK SPELLING): FOO=5.", 4},
        {kLayout + "FOO=abc\n", " NUMERIC VALUE EXPECTED: FOO=abc", 4},
        {"NI='10'\n", " NUMERIC VALUE EXPECTED: NI='10'", 1},
        {"NI=32001\n", " NUMERIC VALUE IN RANGE -32000 TO 32000 EXPECTED: NI=32001.", 1},
        {"NI=4\nCODES=01\n", " PROBLEM WITH ITEM1= 0. IT MUST BE BETWEEN 1 AND 32000", 0},
        {kLayout + "CODES=012\nXWIDE=2\n", " CODES= \"012\" HAS LENGTH OF 3. THIS DOES NOT AGREE WITH XWIDE=2", 0},
        {kLayout + "CODES=1\n", " CODES='1' IS TOO SHORT.  XWIDE=1 AND MISSNG=255", 0},
        {kLayout + "CODES=0123+\n456\n", " CONTINUATION PROBLEM: TRAILING + THEN LEADING + NOT FOUND: CODES=0123456", 4},
        {kLayout + "xyz\n", "Is a ; missing? Variable=Value expected here: xyz", 4},
        {kLayout + "FORMAT=5A1\n", " PROBLEM WITH \"FORMAT=\": MUST BEGIN WITH (\r\n FORMAT=5A1", 0},
        {kLayout + "SPFILE=missing.txt\n", "SPFILE= FAILED: SPFILE=missing.txt", 4},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        BatchResult r = run_batch(dir, c.control);
        EXPECT_EQ(r.status, 1) << c.control;
        std::string message = c.message;
        if (c.line > 0) message += " in " + dir.file("ctl.txt") + " line " + std::to_string(c.line);
        std::string on_screen = message;
        for (std::size_t p; (p = on_screen.find('\r')) != std::string::npos;) on_screen.erase(p, 1);
        EXPECT_NE(r.screen.find(on_screen + "\n"), std::string::npos) << r.screen;
        EXPECT_NE(r.report.find(message + "\r\n"), std::string::npos) << r.report;
        EXPECT_NE(r.screen.find("Oops!"), std::string::npos);
    }
}

TEST(BatchControlFiles, ValuesReachTheRunAndTable03CopiesTheLines) {
    ScratchDir dir;
    write_file(dir.file("sp.txt"), "NI=3\n");
    const std::string control =
        "; a comment line\nTITLE=From file\nSPFILE=sp.txt\nITEM1=1\nNAME1=6\nCODES=0123+\n  +456\n&end\nLabel\n"
        "L2\nL3\nEND LABELS\n012  P1\n120  P2\n201  P3\n";
    BatchResult r = run_batch(dir, control, "TITLE=Other");
    EXPECT_EQ(r.status, 0) << r.screen;
    EXPECT_NE(r.report.find("       TITLE= Other\r\n"), std::string::npos) << r.report;
    const std::string zin = "; a comment line\r\nTITLE=From file\r\nSPFILE=sp.txt\r\nNI=3\r\nITEM1=1\r\nNAME1=6\r\n"
                            "CODES=0123+\r\n  +456\r\n&end\r\nBATCH=Y\r\nTITLE=Other\r\n";
    std::size_t table = r.report.find("TABLE 0.3");
    ASSERT_NE(table, std::string::npos);
    EXPECT_NE(r.report.find(zin, table), std::string::npos) << r.report.substr(table);
}

TEST(BatchControlFiles, SpfileValueIsObeyed) {
    ScratchDir dir;
    write_file(dir.file("sp.txt"), "NI=0\n");
    BatchResult r = run_batch(dir, kLayout + "SPFILE=sp.txt\n&END\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.screen.find(" PROBLEM WITH NI= 0. IT MUST BE BETWEEN 1 AND 32000"), std::string::npos) << r.screen;
}

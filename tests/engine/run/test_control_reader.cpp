// Reading control files: continuation lines, "&END", the ZIN copy, extra instructions,
// SPFILE= files, in-line lists and the second reading of the per-item strings.
#include <gtest/gtest.h>

#include "tests/engine/run/control_test_run.h"

using namespace korvelan;
using korvelan::testing::ControlTestRun;
using korvelan::testing::file_exists;
using korvelan::testing::read_file;
using korvelan::testing::write_file;

namespace {
std::string t(const std::string& s) { return std::string(trim(s)); }
}  // namespace

TEST(ControlReader, ContinuationLinesJoin) {
    ControlTestRun r;
    ASSERT_TRUE(r.read("CODES=0123+\n  +456\nTITLE=a+\n\t+b+\n +c ; note +\n; more\nNI=2\n"));
    EXPECT_EQ(t(r.run.cv.codes), "0123456");
    EXPECT_EQ(t(r.run.cv.title), "abc");
    EXPECT_EQ(r.run.cv.ni, 2);
}

TEST(ControlReader, ContinuationWithoutLeadingPlusStops) {
    for (const char* text : {"CODES=0123+\n456\n", "CODES=0123+\nx +456\n", "CODES=0123+\n"}) {
        ControlTestRun r;
        EXPECT_FALSE(r.read(text)) << text;
        EXPECT_TRUE(r.host.shows(" CONTINUATION PROBLEM: TRAILING + THEN LEADING + NOT FOUND: CODES=0123"));
        EXPECT_TRUE(r.run.rs.run_failed);
    }
}

TEST(ControlReader, EndInAnyCaseStopsBeforeLabelsAndData) {
    ControlTestRun r;
    ASSERT_TRUE(r.read("NI=3\n&end\nnot an instruction\n"));
    std::string next;
    ASSERT_EQ(read_unit_line(r.run, unit::kControl, next), 0);
    EXPECT_EQ(next, "not an instruction");
}

TEST(ControlReader, ZinHoldsEveryLineAsRead) {
    ControlTestRun r;
    r.run.rs.command_instructions = {"BATCH=Y", "TITLE=Other"};
    const std::string text =
        "; heading comment\r\nTITLE=Mine   \r\nCODES=01+\r\n  +23 ; joined\r\nIAFILE=*\r\n1 1.5 ; c\r\n*\r\n&END\r\nLabel\r\n";
    ASSERT_TRUE(r.read(text));
    EXPECT_EQ(r.zin(), (std::vector<std::string>{"; heading comment", "TITLE=Mine", "CODES=01+", "  +23 ; joined",
                                                 "IAFILE=*", "1 1.5 ; c", "*", "&END", "BATCH=Y",
                                                 "TITLE=Other"}));
    EXPECT_FALSE(unit_is_open(r.run, unit::kControlCopy));
}

TEST(ControlReader, ExtraInstructionsOverrideTheFile) {
    ControlTestRun r;
    r.run.rs.command_instructions = {"NI=9", "TITLE=Other"};
    ASSERT_TRUE(r.read("NI=4\nTITLE=Mine\n&END\n"));
    EXPECT_EQ(r.run.cv.ni, 9);
    EXPECT_EQ(t(r.run.cv.title), "Other");

    ControlTestRun typed;
    typed.run.rs.extra_specifications = "NI=7   ITEM1=3";
    ASSERT_TRUE(typed.read("NI=4\n"));
    EXPECT_EQ(typed.run.cv.ni, 7);
    EXPECT_EQ(typed.run.cv.item1, 3);
}

TEST(ControlReader, LastLineWithoutLineEndIsReadAndFilesStayUnchanged) {
    ControlTestRun r;
    write_file(r.dir.file("sp.txt"), "ITEM1=2");
    write_file(r.dir.file("del.txt"), "3");
    ASSERT_TRUE(r.read("SPFILE=sp.txt\nIDFILE=del.txt\nNI=5"));
    EXPECT_EQ(r.run.cv.ni, 5);
    EXPECT_EQ(r.run.cv.item1, 2);
    EXPECT_EQ(read_file(r.run.rs.control_file), "SPFILE=sp.txt\nIDFILE=del.txt\nNI=5");
    EXPECT_EQ(read_file(r.dir.file("sp.txt")), "ITEM1=2");
    EXPECT_EQ(read_file(r.dir.file("del.txt")), "3");
    EXPECT_TRUE(r.host.prompts.empty());
}

TEST(ControlReader, MissingNamedFileIsReportedButNotFatal) {
    ControlTestRun r;
    ASSERT_TRUE(r.read("IAFILE=nothere.txt\nIWEIGHT=$S1W2\nNI=2\n"));
    EXPECT_TRUE(r.host.shows("for file: nothere.txt in mode I"));
    EXPECT_EQ(t(r.run.cv.iweight), "$S1W2");
    EXPECT_EQ(r.run.cv.ni, 2);
}

TEST(SpFile, NestedFilesReturnToTheirCaller) {
    ControlTestRun r;
    write_file(r.dir.file("one.txt"), "NI=3\nSPFILE=two.txt\nITEM1=4\n");
    write_file(r.dir.file("two.txt"), "NAME1=5\n&END\nNAME1=99\n");
    ASSERT_TRUE(r.read("SPFILE=one.txt\nXWIDE=2\n&END\n"));
    EXPECT_EQ(r.run.cv.ni, 3);
    EXPECT_EQ(r.run.cv.name1, 5);
    EXPECT_EQ(r.run.cv.item1, 4);
    EXPECT_EQ(r.run.cv.xwide, 2);
    EXPECT_EQ(r.host.menus.at(0), "Edit Supplemental Control SPFILE=one.txt");
    EXPECT_EQ(r.zin(), (std::vector<std::string>{"SPFILE=one.txt", "NI=3", "SPFILE=two.txt", "NAME1=5", "&END",
                                                 "ITEM1=4", "XWIDE=2", "&END"}));
}

TEST(SpFile, MissingSelfIncludingAndTooDeepFilesStop) {
    {
        ControlTestRun r;
        EXPECT_FALSE(r.read("SPFILE=missing.txt\n"));
        EXPECT_EQ(r.host.lines.at(1), "SPFILE= FAILED: SPFILE=missing.txt in " + r.run.rs.control_file + " line 1");
        EXPECT_TRUE(r.host.shows("for file: missing.txt in mode I"));
    }
    {
        ControlTestRun r;
        write_file(r.dir.file("a.txt"), "SPFILE=b.txt\n");
        write_file(r.dir.file("b.txt"), "SPFILE=a.txt\n");
        EXPECT_FALSE(r.read("SPFILE=a.txt\n"));
        EXPECT_TRUE(r.host.shows(" SPFILE= FILE INCLUDES ITSELF: a.txt"));
    }
    {
        ControlTestRun r;
        for (int i = 0; i < 12; ++i)
            write_file(r.dir.file("s" + std::to_string(i)), "SPFILE=s" + std::to_string(i + 1) + "\n");
        EXPECT_FALSE(r.read("SPFILE=s0\n"));
        EXPECT_TRUE(r.host.shows(" SPFILE= FILES NESTED MORE THAN 10 DEEP"));
        EXPECT_TRUE(r.run.rs.run_failed);
    }
}

TEST(ControlReader, ProblemsNameTheFileAndTheFirstLineOfTheInstruction) {
    struct Case {
        const char* text;
        const char* message;
        const char* file;  // empty: the control file
        int line;
    };
    const Case cases[] = {
        {"NI=2\nIAFILE=*\n1 2\n", " NO LINE WITH * FOUND MATCHING IAFILE  ", "", 2},
        {"NI=3\nSPFILE=sp.txt\nNI=4\n", "Is a ; missing? Variable=Value expected here: xyz", "SPFILE=sp.txt", 3},
        {"SPFILE=nested.txt\n", "SPFILE= FAILED: SPFILE=missing.txt", "SPFILE=nested.txt", 2},
    };
    for (const Case& c : cases) {
        ControlTestRun r;
        write_file(r.dir.file("sp.txt"), "CODES=01\n\nxyz\n");
        write_file(r.dir.file("nested.txt"), "NI=2\nSPFILE=missing.txt\n");
        EXPECT_FALSE(r.read(c.text)) << c.text;
        const std::string file = *c.file ? c.file : r.run.rs.control_file;
        EXPECT_TRUE(r.host.shows(c.message + (" in " + file) + " line " + std::to_string(c.line) + "\n"))
            << r.host.screen();
    }
    // A typed or command-line instruction has no place.
    ControlTestRun typed;
    typed.run.rs.command_instructions = {"FOO=abc"};
    EXPECT_FALSE(typed.read("NI=2\n"));
    EXPECT_TRUE(typed.host.shows(" NUMERIC VALUE EXPECTED: FOO=abc\n")) << typed.host.screen();
}

TEST(InlineList, LinesAreCopiedToAScratchFile) {
    ControlTestRun r;
    ASSERT_TRUE(r.read("IAFILE=*\n1 1.5 ; first\n\n\t2\t3\n*\nPAFILE=*\n*\nNI=1\n"));
    const std::string path = r.dir.file("ZIA001kv.txt");
    EXPECT_EQ(t(r.run.cv.iafile), path);
    EXPECT_EQ(read_file(path), "1 1.5\r\n 2 3\r\n");
    EXPECT_EQ(t(r.run.cv.pafile), "");  // a list without lines makes no file
    EXPECT_FALSE(file_exists(r.dir.file("ZPA001kv.txt")));
    EXPECT_EQ(r.run.cv.ni, 1);
}

TEST(InlineList, UnclosedListStops) {
    for (const char* text : {"IAFILE=*\n1 2\n", "IAFILE=*\n1 2\n&END\n"}) {
        ControlTestRun r;
        EXPECT_FALSE(r.read(text));
        EXPECT_TRUE(r.host.shows(" NO LINE WITH * FOUND MATCHING IAFILE"));
    }
}

TEST(InlineList, CommandLineListEndsWithTheArguments) {
    ControlTestRun r;
    r.run.rs.command_instructions = {"IDFILE=*", "3", "5-7"};
    ASSERT_TRUE(r.read("NI=9\n"));
    EXPECT_EQ(read_file(r.dir.file("ZID001kv.txt")), "3\r\n5-7\r\n");
}

TEST(SecondReading, FillsPerItemStringsOnly) {
    ControlTestRun r;
    const std::string text =
        "NI=4\nXWIDE=1\nCODES=ABCD\nKEY1=ABCDEF\nKEY2=DC\nIVALUEA=01\nIVALUEB=10\nIVALUEA=1\n"
        "GROUPS=aabb\nIREFER=xyzw\nIAFILE=*\n1 2\n*\n&END\n";
    ASSERT_TRUE(r.read(text));
    r.run.cv.categs = 4;
    r.run.cv.ni = 4;
    EXPECT_EQ(r.run.cv.key_count, 2);
    EXPECT_EQ(r.run.cv.ivalue_rows, 3);
    ItemDefinitionStrings s;
    s.answer_keys.assign(1, std::string(4, ' '));  // only one key row is allocated here
    s.key_scores.assign(1, -1);
    ASSERT_EQ(rewind_unit(r.run, unit::kControl), 0);
    r.run.cv.iafile = "kept";
    read_control_file(r.run, ReadPass::Second, &s);
    EXPECT_EQ(s.answer_keys[0], "ABCD");
    EXPECT_EQ(s.key_scores[0], 1);
    EXPECT_EQ(s.ivalue_rows, (std::vector<std::string>{"A1***", "B10**"}));
    EXPECT_EQ(s.groups, "aabb");
    EXPECT_EQ(s.irefer, "XYZW");
    EXPECT_EQ(s.models, "");  // MODELS= not given per item
    EXPECT_EQ(r.run.cv.iafile, "kept");
    EXPECT_EQ(r.run.cv.key_count, 2);
}

TEST(SecondReading, IgnoresValuesThatFailOnlyInTheFirst) {
    ControlTestRun r;
    ASSERT_TRUE(r.read("NI=4\n&END\n"));
    write_file(r.run.rs.control_file, "NI=abc\nFOO=bar\n&END\n");
    open_unit(r.run, unit::kControl, r.run.rs.control_file, OpenMode::Read);
    ItemDefinitionStrings s;
    read_control_file(r.run, ReadPass::Second, &s);
    EXPECT_EQ(r.run.cv.ni, 4);
    EXPECT_FALSE(r.run.rs.run_failed);
}

// Data input as a user meets it: the program run in batch mode on small control files, its
// results read back from the screen, the report and the PFILE= and IFILE= files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/shell/measure_file.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

struct DataRuns : ::testing::Test {
    ScratchDir dir;
    ScratchDir temp;
    ProgramResult run(const std::string& control, const std::string& name = "ctl.txt") {
        write_file(dir.file(name), control);
        return run_korvelan(dir.path, {name, "out.txt", "BATCH=Y"}, temp.path, 30);
    }
    std::string report() { return read_file(dir.file("out.txt")); }
    std::vector<MeasureRecord> rows(const std::string& file) {
        return read_measure_file(dir.file(file));
    }
    static bool has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

// Four items, labels A to D, persons from column 6.
const std::string kFourItems = "NI=4\nITEM1=1\nNAME1=6\n";
const std::string kFourLabels = "&END\nA\nB\nC\nD\nEND LABELS\n";

}  // namespace

TEST_F(DataRuns, SevenRecordsAreCountedOnScreenAndInTheReport) {
    ProgramResult r =
        run(kFourItems + kFourLabels + "1100 a\n1000 b\n1110 c\n0100 d\n1010 e\n1101 f\n0110 g\n");
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_TRUE(has(r.screen, "\n       7 PERSON       Records Input.\n")) << r.screen;
    EXPECT_TRUE(has(report(), "\r\n       7 PERSON       Records Input.\r\n"));
}

TEST_F(DataRuns, OnlyBlankRecordsAreNoRecordsAndAFailedRun) {
    ProgramResult r = run(kFourItems + kFourLabels + "\n      \n\n");
    EXPECT_EQ(r.exit_status, 1) << r.screen;
    EXPECT_TRUE(has(r.screen, "\n       0 PERSON       Records Input.\n")) << r.screen;
    EXPECT_TRUE(has(report(), "\r\n       0 PERSON       Records Input.\r\n"));
    EXPECT_TRUE(has(r.screen, "Oops! Use \"Edit\" menu to make corrections, then restart"));
    EXPECT_FALSE(has(r.screen, "CONVERGENCE TABLE"));
}

TEST_F(DataRuns, LetterCodesWithoutAKeyFailTheRun) {
    ProgramResult r = run("NI=2\nITEM1=1\nNAME1=4\nCODES=AB\n&END\na\nb\nEND LABELS\nAB x\n");
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_TRUE(has(r.screen,
                    "NONE OF YOUR RESPONSES ARE SCORED 1 OR ABOVE.\n"
                    "CHECK VARIABLES: CODES=, RESCOR=, NEWSCR=, KEY1=, IVALUE?=\n"))
        << r.screen;
    EXPECT_TRUE(has(r.screen, "Oops! Use \"Edit\" menu to make corrections, then restart"));
    EXPECT_FALSE(has(r.screen, "Records Input."));  // stopped before any record was read
}

// Five labels for seven items, in the control file and in an ILFILE= file: a warning, the run
// goes on, and items 6 and 7 carry their number labels in IFILE=.
TEST_F(DataRuns, TooFewItemLabelsWarnAndTheRestAreNumbered) {
    const std::string data = "1100110 Ann\n1000100 Bob\n1110111 Cid\n0100011 Dee\n1010101 Eve\n";
    const std::string head = "NI=7\nITEM1=1\nNAME1=9\nIFILE=items.txt\n";
    const std::vector<std::string> names{"A", "B", "C", "D", "E", "I0006", "I0007"};
    auto item_names = [&] {
        std::vector<std::string> n;
        for (const MeasureRecord& row : rows("items.txt")) n.push_back(row.label);
        return n;
    };

    ProgramResult in_control = run(head + "&END\nA\nB\nC\nD\nE\nEND LABELS\n" + data);
    EXPECT_EQ(in_control.exit_status, 0) << in_control.screen;
    EXPECT_TRUE(has(in_control.screen, "\nOops!  Item labels = 5, but NI=7\n"))
        << in_control.screen;
    EXPECT_EQ(item_names(), names);

    write_file(dir.file("labels.txt"), "A\nB ; second\n\nC\nD\nE\n");
    ProgramResult in_file = run(head + "ILFILE=labels.txt\n&END\nEND LABELS\n" + data);
    EXPECT_EQ(in_file.exit_status, 0) << in_file.screen;
    EXPECT_TRUE(has(in_file.screen, "\n WRONG NUMBER OF ITEM LABELS. FOUND IN FILE =5, but NI=7\n"))
        << in_file.screen;
    EXPECT_FALSE(has(in_file.screen, "Oops!  Item labels"));
    EXPECT_EQ(item_names(), names);

    // Labels from ILFILE= still need the "END LABELS" line of the control file.
    ProgramResult no_end = run(head + "ILFILE=labels.txt\n&END\n" + data);
    EXPECT_EQ(no_end.exit_status, 1);
    EXPECT_TRUE(has(no_end.screen, "Please put \"END LABELS\" after \"&END\".\n")) << no_end.screen;
}

TEST_F(DataRuns, BlankPersonLabelsBecomeTheirNumbers) {
    ProgramResult r =
        run(kFourItems + "PFILE=persons.txt\n" + kFourLabels + "1100\n1000 Bob\n0110     \n0100\n");
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    std::vector<std::string> names;
    for (const MeasureRecord& row : rows("persons.txt")) names.push_back(row.label);
    EXPECT_EQ(names, (std::vector<std::string>{"00001P", "Bob", "00003P", "00004P"}));
}

// PSELECT=A* keeps the other records counted, written and listed, but not measured: the measures
// of the A persons are those of a run on their records alone.
TEST_F(DataRuns, PersonSelectionMeasuresOnlyTheMatchingLabels) {
    ProgramResult alone = run(kFourItems + "PFILE=alone.txt\n" + kFourLabels +
                              "1100 Ann\n1010 Abe\n0110 Amy\n1000 Al\n");
    ASSERT_EQ(alone.exit_status, 0) << alone.screen;

    ProgramResult r = run(kFourItems + "PFILE=persons.txt\nPSELECT=A*\n" + kFourLabels +
                          "1100 Ann\n1111 Bob\n1010 Abe\n0000 Cid\n0110 Amy\n0101 Dee\n"
                          "1000 Al\n1101 aXe\n");
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_TRUE(has(r.screen, "\n       8 PERSON       Records Input.\n")) << r.screen;
    const std::vector<MeasureRecord> all = rows("persons.txt");
    const std::vector<MeasureRecord> selected = rows("alone.txt");
    ASSERT_EQ(all.size(), 8u);
    ASSERT_EQ(selected.size(), 4u);
    std::size_t k = 0;
    for (const MeasureRecord& row : all) {
        if (row.label[0] != 'A') {  // the match is case-sensitive: aXe is not selected
            EXPECT_TRUE(row.commented) << row.label;
            EXPECT_EQ(row.status, -3) << row.label;
            EXPECT_EQ(row.count, 0) << row.label;
            continue;
        }
        ASSERT_LT(k, selected.size());
        EXPECT_EQ(row.label, selected[k].label);
        EXPECT_EQ(row.status, selected[k].status) << row.label;
        EXPECT_EQ(row.measure, selected[k].measure) << row.label;
        EXPECT_EQ(row.error, selected[k].error) << row.label;
        ++k;
    }
    EXPECT_EQ(k, 4u);
}

// With the comma as delimiter NAME1= and ITEM1= count fields; an empty field is a missing
// response, and a field in double quotes keeps its comma. DELIMITER=, would be a blank value
// (a final comma is dropped from a value), so the comma is given in quotes.
TEST_F(DataRuns, CommaDelimitedEmptyFieldIsAMissingResponse) {
    ProgramResult r =
        run("NI=4\nITEM1=1\nNAME1=5\nDELIMITER=\",\"\nPFILE=persons.txt\n" + kFourLabels +
            "1,0,,1,Ann\n1,0,1,0,Bob\n0,1,1,0,\"Cid,Jr\"\n0,1,0,1,Dee\n"
            "1,1,0,0,Eve\n");
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    const std::vector<MeasureRecord> p = rows("persons.txt");
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0].count, 3);
    EXPECT_EQ(p[0].score, 2);
    for (std::size_t k = 1; k < 5; ++k) EXPECT_EQ(p[k].count, 4) << k;
    EXPECT_EQ(p[2].label, "Cid,Jr");
}

// KEY1= with the codes ABCD: a response equal to the key scores 1, any other code 0, a response
// that is no code is missing. An IVALUEA= row shorter than CODES= leaves the codes beyond it
// missing.
TEST_F(DataRuns, AnswerKeyAndValueRowsScoreTheResponses) {
    ProgramResult keyed =
        run(kFourItems + "CODES=ABCD\nKEY1=CABD\nPFILE=persons.txt\n" + kFourLabels +
            "CABD Ann\nCBAA Bob\nDDBD Cid\nAACD Dee\nCA x Eve\nBBBB Fay\n");
    ASSERT_EQ(keyed.exit_status, 0) << keyed.screen;
    const std::vector<MeasureRecord> p = rows("persons.txt");
    ASSERT_EQ(p.size(), 6u);
    const std::vector<double> score{4, 1, 2, 2, 2, 1};
    const std::vector<double> count{4, 4, 4, 4, 2, 4};
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(p[k].score, score[k]) << p[k].label;
        EXPECT_EQ(p[k].count, count[k]) << p[k].label;
    }

    ProgramResult valued = run(kFourItems +
                               "CODES=ABC\nIREFER=AAAA\nIVALUEA=10\n"
                               "PFILE=persons.txt\n" +
                               kFourLabels + "ABCA Ann\nAACB Bob\nBBBA Cid\nCCAB Dee\n");
    ASSERT_EQ(valued.exit_status, 0) << valued.screen;
    const std::vector<MeasureRecord> v = rows("persons.txt");
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].score, 2);  // A scores 1, B 0, C is missing
    EXPECT_EQ(v[0].count, 3);
    EXPECT_EQ(v[1].count, 3);
    EXPECT_EQ(v[2].score, 1);
    EXPECT_EQ(v[2].count, 4);
    EXPECT_EQ(v[3].count, 2);
}

// Data input end to end in the test process: hand-made data sets read into the work files and
// read back through their readers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/analysis_run.h"

using namespace korvelan;
using namespace korvelan::testing;
using Rows = std::vector<std::vector<int>>;

namespace {

constexpr int M = 255;  // missing

std::string control(const std::vector<std::string>& instructions,
                    const std::vector<std::string>& labels, const std::vector<std::string>& data) {
    std::vector<std::string> all = instructions;
    all.push_back("&END");
    all.insert(all.end(), labels.begin(), labels.end());
    all.push_back("END LABELS");
    all.insert(all.end(), data.begin(), data.end());
    return lines(all);
}

const std::vector<std::string> kFourLabels = {"Add", "Subtract", "Multiply", "Divide"};

}  // namespace

// ---- record layouts --------------------------------------------------------------------------

TEST(DataInput, FixedColumnsGiveCodesScoresAndLabels) {
    AnalysisRun a;
    a.analyse(control({"NI=4", "ITEM1=1", "NAME1=6", "NAMLEN=8", "CODES=01"}, kFourLabels,
                      {"1100 Ann", "10 1 Bob", "", "1201 Cid"}));
    EXPECT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{1, 1, 0, 0}, {1, 0, M, 1}, {1, M, 0, 1}}));
    EXPECT_EQ(a.codes(), (Rows{{2, 2, 1, 1}, {2, 1, 0, 2}, {2, 0, 1, 2}}));
    EXPECT_EQ(a.person_label(2), "Bob");
    EXPECT_EQ(a.item_label(3), "Multiply");
    // The blank record is neither a person nor counted.
    EXPECT_TRUE(a.shows("\n       3 PERSON       Records Input.\n"));
    EXPECT_NE(a.report().find("\r\n       3 PERSON       Records Input.\r\n"), std::string::npos);
    // First-record echo: heading, ruler, record and the column markers.
    EXPECT_TRUE(a.shows("Input Data Record:\n12345678\n--------\n1100 Ann\n^I ^N^P\n"))
        << a.host.screen();
}

// The ruler and the markers of the echo stand over and under the columns they name as the screen
// shows them: a wide character of a name before the items takes two screen columns, an accented
// one one; FORMAT= echoes keep the responses after such a label.
TEST(DataInput, EchoMarkersStandUnderTheirColumnsAfterWideAndAccentedNames) {
    AnalysisRun wide;
    wide.analyse(control({"NI=4", "ITEM1=5", "NAME1=1", "NAMLEN=4", "CODES=01"}, kFourLabels,
                         {"\u738b\u5c0f  1100", "Bob 0110"}));
    ASSERT_EQ(wide.exit_status, 0) << wide.host.screen();
    // The ruler numbers the record's character columns, each over its character.
    EXPECT_TRUE(wide.shows("\n1 2 345678\n----------\n\u738b\u5c0f  1100\n^P    ^I ^N\n"))
        << wide.host.screen();
    AnalysisRun formatted;
    formatted.analyse(control({"NI=3", "ITEM1=4", "NAME1=1", "NAMLEN=3", "FORMAT=(3A1,3(1X,A1))",
                               "CODES=01"},
                              {"a", "b", "c"}, {"Zo\u00eb 1 0 1", "Bob 0 1 1"}));
    ASSERT_EQ(formatted.exit_status, 0) << formatted.host.screen();
    EXPECT_TRUE(formatted.shows("\nZo\u00eb101\n^P ^I^N\n")) << formatted.host.screen();
}

TEST(DataInput, FormatFieldsAreReadAtRunTime) {
    AnalysisRun a;
    a.analyse(control({"NI=4", "ITEM1=1", "NAME1=5", "NAMLEN=3", "FORMAT=(4(A1,1X),3A1)"},
                      kFourLabels, {"1 1 0 0 Ann", "0 1 x 1 Bob"}));
    EXPECT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{1, 1, 0, 0}, {0, 1, M, 1}}));
    EXPECT_EQ(a.person_label(1), "Ann");
    EXPECT_TRUE(a.shows("Input Data Record after FORMAT=:\n")) << a.host.screen();
    EXPECT_TRUE(a.shows("\n1100Ann\n"));
}

TEST(DataInput, FormatWithItemsAfterTheLabelMovesWholeFields) {
    AnalysisRun a;
    write_file(a.dir.file("data.txt"), "Ann 1 0 1\nBob 0 0 1\n");
    a.analyse(control({"NI=3", "ITEM1=4", "NAME1=1", "NAMLEN=3", "XWIDE=1", "FORMAT=(3A1,3(1X,A1))",
                       "DATA=data.txt"},
                      {"a", "b", "c"}, {}));
    EXPECT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{1, 0, 1}, {0, 0, 1}}));
    EXPECT_EQ(a.person_label(2), "Bob");
    // A DATA= file shows its first line as it stands before FORMAT= is applied.
    EXPECT_TRUE(a.shows("Input Data Record before FORMAT=:\n")) << a.host.screen();
    EXPECT_TRUE(a.shows("\nAnn 1 0 1\n"));
}

TEST(DataInput, CommaDelimitedEmptyFieldIsAMissingResponse) {
    AnalysisRun a;
    a.analyse(control({"NI=4", "ITEM1=1", "NAME1=5", "NAMLEN=10", "DELIMITER=\",\""}, kFourLabels,
                      {"1,0,,1,Ann", "\"0\",1,1,0,\"Bob, Jr\""}));
    EXPECT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{1, 0, M, 1}, {0, 1, 1, 0}}));
    EXPECT_EQ(a.person_label(2), "Bob, Jr");
    // The delimited echo: responses then the label, markers over the response columns.
    EXPECT_TRUE(a.shows("\n10 1Ann\n^I ^^P\n")) << a.host.screen();
}

TEST(DataInput, WideCodesAreLeftAdjustedBeforeTheLookup) {
    AnalysisRun a;
    a.analyse(control({"NI=3", "ITEM1=1", "NAME1=8", "NAMLEN=2", "XWIDE=2", "CODES=\" 1 2 3\""},
                      {"a", "b", "c"}, {" 13 03 P1", "2 1 3 P2"}));
    EXPECT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{1, 3, M}, {2, 1, 3}}));
}

// ---- scoring
// --------------------------------------------------------------------------------------

TEST(DataInput, AnswerKeyScoresMatchesOneAndOthersZero) {
    AnalysisRun a;
    a.analyse(control({"NI=4", "ITEM1=1", "NAME1=6", "CODES=ABCD", "KEY1=CABD"}, kFourLabels,
                      {"CABD P1", "ABCD P2", "D  A P3"}));
    EXPECT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{1, 1, 1, 1}, {0, 0, 0, 1}, {0, M, M, 0}}));
}

TEST(DataInput, SecondKeyScoresItsNumberAndTheFirstMatchingKeyWins) {
    AnalysisRun a;
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=4", "CODES=ABC", "KEY1=AB", "KEY2=CB"}, {"a", "b"},
                      {"AB P1", "CC P2", "BA P3"}));
    EXPECT_EQ(a.scores(), (Rows{{1, 1}, {2, 0}, {0, 0}}));
}

TEST(DataInput, KeyRecordInDataLayoutAfterEnd) {
    AnalysisRun a;
    a.analyse(lines({"NI=2", "ITEM1=3", "NAME1=1", "NAMLEN=2", "CODES=AB", "KEYF=1", "KEYSCR=3",
                     "&END", "xxBA", "a", "b", "END LABELS", "P1BA", "P2AB"}));
    EXPECT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_TRUE(a.shows(" KEY1 processed in data format"));
    EXPECT_EQ(a.scores(), (Rows{{3, 3}, {0, 0}}));
}

TEST(DataInput, NewScoresApplyToTheItemsMarkedForRescoring) {
    AnalysisRun a;
    a.analyse(control({"NI=4", "ITEM1=1", "NAME1=6", "CODES=0123", "NEWSCR=3210", "RESCORE=1y0n"},
                      kFourLabels, {"0011 P1", "3210 P2"}));
    EXPECT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{3, 3, 1, 1}, {0, 1, 1, 0}}));
}

TEST(DataInput, IvalueRowPaddedWithStarsScoresPaddedCodesMissing) {
    AnalysisRun a;
    a.analyse(control(
        {"NI=4", "ITEM1=1", "NAME1=6", "CODES=ABC", "IREFER=abAB", "IVALUEA=012", "IVALUEB=2"},
        kFourLabels, {"ABCA P1", "CCBB P2"}));
    EXPECT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{0, M, 2, 2}, {2, M, 1, M}}));
}

TEST(DataInput, CodesThatNeverScoreOneStopTheRun) {
    AnalysisRun a;
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=4", "CODES=AB"}, {"a", "b"}, {"AB P1"}));
    EXPECT_EQ(a.exit_status, 1);
    EXPECT_TRUE(
        a.shows("NONE OF YOUR RESPONSES ARE SCORED 1 OR ABOVE.\n"
                "CHECK VARIABLES: CODES=, RESCOR=, NEWSCR=, KEY1=, IVALUE?=\n"))
        << a.host.screen();
    EXPECT_FALSE(a.shows("Records Input."));
}

TEST(DataInput, GroupsLayOutCategorySlotsFromTheirTopScores) {
    AnalysisRun a;
    a.analyse(control({"NI=4", "ITEM1=1", "NAME1=6", "CODES=0123", "GROUPS=2211", "IREFER=AABB",
                       "IVALUEA=0123", "IVALUEB=0122"},
                      kFourLabels, {"0123 P1", "3210 P2"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    const AnalysisArrays& arr = a.run.arrays;
    EXPECT_EQ(arr.groups, 2);
    EXPECT_EQ(arr.item_group, (std::vector<std::int32_t>{1, 2, 2, 1, 1}));
    EXPECT_EQ(arr.group_top_value[1], 2);
    EXPECT_EQ(arr.group_top_value[2], 3);
    EXPECT_EQ(arr.group_first_slot[1], 1);
    EXPECT_EQ(arr.group_first_slot[2], 4);
    EXPECT_EQ(arr.slots, 7);
    EXPECT_EQ(arr.top_value, 3);
    EXPECT_EQ(a.scores(), (Rows{{0, 1, 2, 2}, {3, 2, 1, 0}}));
}

// ---- persons
// ---------------------------------------------------------------------------------------

TEST(DataInput, PersonSelectionKeepsEveryRecordCountedAndCleansRejectedRecords) {
    AnalysisRun a;
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=4", "PSELECT=A*"}, {"a", "b"},
                      {"10 Ann", "01 Bob", "11 Al", "00 Bea"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_TRUE(a.shows("       4 PERSON       Records Input."));
    EXPECT_EQ(a.person_statuses(), (std::vector<int>{1, -3, 1, -3}));
    // A rejected person's records hold its own codes as read and only missing scores, never the
    // bytes of the person before it.
    EXPECT_EQ(a.codes()[1], (std::vector<int>{1, 2}));
    EXPECT_EQ(a.codes()[3], (std::vector<int>{1, 1}));
    EXPECT_EQ(a.scores(), (Rows{{1, 0}, {M, M}, {1, 1}, {M, M}}));
    EXPECT_EQ(a.person_label(2), "Bob");
}

// 4000 persons of 1100 items are scored in two blocks, on the worker threads: each person's
// scores are its own whichever block and thread scored it, rejected persons' are missing.
TEST(DataInput, ManyPersonsAreScoredInBlocksEachIntoItsOwnRecord) {
    const int ni = 1100, np = 4000;
    std::string key(ni, 'A');
    for (int i = 0; i < ni; ++i) key[i] = "ABCD"[i % 4];
    std::vector<std::string> data, labels;
    for (int i = 1; i <= ni; ++i) labels.push_back("Q" + std::to_string(i));
    auto response = [](int p, int i) { return (p * 7 + i * 13) % 11 == 0 ? ' ' : "ABCD"[(p * 5 + i * 3) % 4]; };
    for (int p = 1; p <= np; ++p) {
        std::string record(ni, ' ');
        for (int i = 0; i < ni; ++i) record[i] = response(p, i);
        data.push_back(record + (p % 7 == 2 ? " B" : " A") + std::to_string(p));
    }
    AnalysisRun a;
    a.analyse(control({"NI=" + std::to_string(ni), "ITEM1=1", "NAME1=" + std::to_string(ni + 2),
                       "CODES=ABCD", "KEY1=" + key, "PSELECT=A*"},
                      labels, data));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    const Rows scores = a.scores();
    ASSERT_EQ(scores.size(), static_cast<std::size_t>(np));
    for (int p = 1; p <= np; ++p)
        for (int i = 0; i < ni; ++i) {
            const char r = response(p, i);
            const int expected = p % 7 == 2 || r == ' ' ? M : r == key[i] ? 1 : 0;
            ASSERT_EQ(scores[p - 1][i], expected) << "person " << p << " item " << i + 1;
        }
}

TEST(DataInput, NumberLabelsBeyondNinetyNineThousandNineHundredNinetyNineKeepEveryDigit) {
    AnalysisRun a;
    std::string data = "NI=1\nITEM1=1\nNAME1=3\nNAMLEN=8\nILFILE=labels.txt\n&END\nEND LABELS\n";
    for (int p = 0; p < 100001; ++p) data += p % 2 ? "1\n" : "0\n";
    write_file(a.dir.file("labels.txt"), "only\n");
    a.analyse(data);
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.person_label(99999), "99999P");
    EXPECT_EQ(a.person_label(100000), "100000P");
    EXPECT_EQ(a.person_label(100001), "100001P");
}

TEST(DataInput, OnlyBlankRecordsFailTheRun) {
    AnalysisRun a;
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=4"}, {"a", "b"}, {"", "   "}));
    EXPECT_EQ(a.exit_status, 1);
    EXPECT_TRUE(a.shows("\n       0 PERSON       Records Input.\n"));
    EXPECT_NE(a.report().find("       0 PERSON       Records Input."), std::string::npos);
}

TEST(DataInput, DataFilesJoinedByPlusContinueThePersonNumbers) {
    AnalysisRun a;
    write_file(a.dir.file("one.txt"), "10 A\n01 B\n");
    write_file(a.dir.file("two.txt"),
               "11\n\x1a"
               "00 never\n");
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=4", "DATA=one.txt + two.txt"}, {"a", "b"}, {}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{1, 0}, {0, 1}, {1, 1}}));
    EXPECT_EQ(a.person_label(3), "00003P");
    EXPECT_TRUE(a.shows("Opening: one.txt\n"));
    EXPECT_TRUE(a.shows("Opening: two.txt\n"));
    EXPECT_EQ(a.host.menus.size() >= 2, true);
}

TEST(DataInput, MissingDataFileStopsTheRun) {
    AnalysisRun a;
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=4", "DATA=none.txt"}, {"a", "b"}, {}));
    EXPECT_EQ(a.exit_status, 1);
    EXPECT_TRUE(a.shows(" UNABLE TO OPEN DATA= FILE: none.txt\n"));
}

// ---- item labels
// ------------------------------------------------------------------------------------

TEST(DataInput, TooFewLabelsWarnAndTheRestAreNumbered) {
    AnalysisRun a;
    a.analyse(control({"NI=7", "ITEM1=1", "NAME1=9"}, {"L1", "L2 ; second", "", "L3", "L4", "L5"},
                      {"1010101 P1", "0101010 P2"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_TRUE(a.shows("Oops!  Item labels = 5, but NI=7\n"));
    EXPECT_EQ(a.item_label(2), "L2");
    EXPECT_EQ(a.item_label(6), "I0006");
    EXPECT_EQ(a.item_label(7), "I0007");
    EXPECT_EQ(a.run.cv.itlen, 5);
}

TEST(DataInput, LabelFileWithTooFewLinesIsReported) {
    AnalysisRun a;
    write_file(a.dir.file("items.txt"), "one\ntwo\nthree\nfour\nfive\n");
    a.analyse(control({"NI=7", "ITEM1=1", "NAME1=9", "ILFILE=items.txt"}, {}, {"1010101 P1"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_TRUE(a.shows(" WRONG NUMBER OF ITEM LABELS. FOUND IN FILE =5, but NI=7\n"));
    EXPECT_EQ(a.item_label(5), "five");
    EXPECT_EQ(a.item_label(7), "I0007");
}

TEST(DataInput, LabelFileNeedsEndLabelsInTheControlFile) {
    AnalysisRun a;
    write_file(a.dir.file("items.txt"), "one\ntwo\n");
    a.analyse(lines({"NI=2", "ITEM1=1", "NAME1=4", "ILFILE=items.txt", "&END", "10 P1"}));
    EXPECT_EQ(a.exit_status, 1);
    EXPECT_TRUE(a.shows("Please put \"END LABELS\" after \"&END\".\n")) << a.host.screen();
}

TEST(DataInput, LabelsEndOnEndNamesInAnyCaseAndSpacing) {
    AnalysisRun a;
    a.analyse(lines(
        {"NI=2", "ITEM1=1", "NAME1=4", "&END", "first", "second", "  end   names ", "10 P1"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.item_label(2), "second");
    EXPECT_EQ(a.scores(), (Rows{{1, 0}}));
}

TEST(DataInput, ItemSelectionDeletesItemsWhoseLabelsDoNotMatch) {
    AnalysisRun a;
    a.analyse(
        control({"NI=3", "ITEM1=1", "NAME1=5", "ISELECT=A*"}, {"A1", "B2", "A3"}, {"101 P1"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.run.arrays.item_status[2], -3);
    EXPECT_EQ(a.scores()[0][0], 1);
    EXPECT_EQ(a.scores()[0][2], 1);
    EXPECT_EQ(a.codes()[0][1], 1);  // a deleted item is coded as read, never scored
    EXPECT_EQ(a.scores()[0][1], M);
}

// ---- limits of the record line
// -----------------------------------------------------------------------

TEST(DataInput, EchoAndMarkerLinesStopAtColumnFiveHundred) {
    AnalysisRun a;
    std::string record = "P1" + std::string(597, ' ') + "10";
    a.analyse(control({"NI=2", "ITEM1=600", "NAME1=1", "NAMLEN=2"}, {"a", "b"}, {record}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{1, 0}}));
    EXPECT_TRUE(a.shows("\n" + std::string(500, '-') + "\n"));
    EXPECT_TRUE(a.shows("\n^P\n")) << a.host.screen();
}

TEST(DataInput, LabelColumnsBeyondTheRecordReadAsBlanks) {
    AnalysisRun a;
    std::string record = "10" + std::string(31987, ' ') + "ABCDEFGHIJK";
    ASSERT_EQ(record.size(), 32000u);
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=31990", "NAMLEN=30"}, {"a", "b"}, {record, "01"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.person_label(1), "ABCDEFGHIJK");
    EXPECT_EQ(a.person_label(2), "00002P");
}

TEST(DataInput, PersonWeightColumnsBecomeAWorkFile) {
    AnalysisRun a;
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=4", "NAMLEN=3", "PWEIGHT=$S8W3"}, {"a", "b"},
                      {"10 Ann 2.5", "01 Bob", "11 Cy  0.5"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    const std::string path(trim(a.run.cv.pweight));
    EXPECT_EQ(path, work_file_path(a.run, "ZPW"));
    EXPECT_EQ(read_file(path), "1 2.5\r\n3 0.5\r\n");
    EXPECT_TRUE(a.shows("\n^IN^P  ^W\n")) << a.host.screen();
}

TEST(DataInput, GroupsOfWideCodesHoldEveryColumnOfEveryItem) {
    AnalysisRun a;
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=12", "NAMLEN=2", "XWIDE=5",
                       "CODES=\"    0    1    2\"", "GROUPS=\"    2    1\""},
                      {"a", "b"}, {"    2    1 P1", "0    2     P2"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.run.arrays.strings.groups, "21");
    EXPECT_EQ(a.run.arrays.groups, 2);
    EXPECT_EQ(a.scores(), (Rows{{2, 1}, {0, 2}}));
}

TEST(DataInput, ItemAnchorColumnSelectionIsKeptWhole) {
    AnalysisRun a;
    const std::string selection = std::string(22, '+') + std::string(22, ' ') + "$S1W4";
    a.analyse(control({"NI=3", "ITEM1=1", "NAME1=5", "IAFILE=" + selection},
                      {"1.25 A", "     B", "2.50 C"}, {"101 P1"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    const std::string path(trim(a.run.cv.iafile));
    EXPECT_EQ(path, work_file_path(a.run, "ZIA"));
    EXPECT_EQ(read_file(path), "1 1.25\r\n3 2.50\r\n");
    EXPECT_EQ(a.run.input.item_anchor_selection, selection);
}

TEST(DataInput, ControlCharacterInAResponseIsReportedOncePerRun) {
    AnalysisRun a;
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=4"}, {"a", "b"}, {"1\t P1", "\t\t P2"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_TRUE(a.shows(" NON-ASCII DATA CODE FOR PERSON: 1, ITEM: 2, DECIMAL= 9\n"));
    EXPECT_EQ(a.host.screen().find("NON-ASCII"), a.host.screen().rfind("NON-ASCII"));
    EXPECT_EQ(a.scores(), (Rows{{1, M}, {M, M}}));
}

TEST(DataInput, FormatThatCannotReadTheDataStopsAtTheFirstRecord) {
    AnalysisRun a;
    a.analyse(control({"NI=2", "ITEM1=1", "NAME1=3", "FORMAT=(2A1,Q)"}, {"a", "b"}, {"10P1"}));
    EXPECT_EQ(a.exit_status, 1);
    EXPECT_TRUE(
        a.shows(" ERROR IN DATA AT PERSON: 1.  CHECK DATA AND RUN AGAIN.\n"
                "PROBLEM: (FORMAT=) Unknown or missing character (6989): for file: "))
        << a.host.screen();
}

// ---- transformations between the reading and the scoring
// -------------------------------------------

TEST(DataInput, MformsReformattedRecordsAreTheData) {
    AnalysisRun a;
    write_file(a.dir.file("two.txt"), "ANN       10\nANN       01\nBOB       11\nBOB       00\n");
    write_file(a.dir.file("mf.txt"), "D=two.txt\nL=2\nP1-3=1:1\nI1-2=1:11\nI3-4=2:11\n");
    a.analyse(
        control({"NI=4", "ITEM1=11", "NAME1=1", "NAMLEN=3", "MFORMS=mf.txt"}, kFourLabels, {}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{1, 0, 0, 1}, {1, 1, 0, 0}}));
    EXPECT_EQ(a.person_label(2), "BOB");
}

TEST(DataInput, EditedCodesAreScored) {
    AnalysisRun a;
    write_file(a.dir.file("ed.txt"), "1 2 0\n2 1-2 1\n");
    a.analyse(
        control({"NI=2", "ITEM1=1", "NAME1=4", "EDFILE=ed.txt"}, {"a", "b"}, {"11 P1", "00 P2"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.scores(), (Rows{{1, 0}, {1, 1}}));
}

TEST(DataInput, KeyMadeFromTheMostFrequentCodesScoresTheData) {
    AnalysisRun a;
    a.analyse(control({"NI=4", "ITEM1=1", "NAME1=6", "CODES=ABCD", "MAKEKEY=Y"}, kFourLabels,
                      {"ABCD P1", "ABCA P2", "BBCA P3"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_TRUE(a.shows("MAKEKEY=  constructed.  See Table 0.3 in Report Output File."));
    EXPECT_EQ(a.scores(), (Rows{{1, 1, 1, 0}, {1, 1, 1, 1}, {0, 1, 1, 1}}));
    EXPECT_EQ(a.run.arrays.top_value, 1);
    EXPECT_NE(a.report().find("KEY1=\"ABCA\""), std::string::npos);
}

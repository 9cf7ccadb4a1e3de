// The variable-selection file written for a .sav file: the fixed lines, one line per variable
// with its format text and label, full-length names, and what a cancelled or failed open leaves.
#include <gtest/gtest.h>

#include <cmath>

#include "spss/selection_file.h"
#include "spss/spss_file.h"
#include "tests/spss/sav_writer.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;
using namespace korvelan::spss;

TEST(SpssSelectionFile, ListsEveryVariableWithItsFormatAndLabel) {
    ScratchDir dir;
    const std::string sav = dir.file("exam.sav");
    ASSERT_TRUE(write_sav(sav,
                          {{"q1", false, "F2.0", "First question"},
                           {"stamp", false, "DATETIME20", ""},
                           {"score", false, "E10.3", "Score"},
                           {"name", true, "", "Pupil"},
                           {"interview_date_of_the_first_visit", false, "DATE11", "First visit"}},
                          {{1.0, 13166064000.0, 2.5, std::string("Ann"), 13166064000.0},
                           {2.0, NAN, 1.0, std::string("Bo"), NAN},
                           {0.0, 0.0, 0.0, std::string(""), 0.0}}));
    const std::string zsp = dir.file("ZSP1kv.txt");
    EXPECT_EQ(write_spss_selection_file(sav + "  ", zsp).kind, OutcomeKind::Done);
    EXPECT_EQ(read_file(zsp),
              "; Move SPSS variables under \"!Person Label Variables\"\r\n"
              "; and \"!Item Response Variables\"\r\n"
              "; SPSS variables can be placed in both sections.\r\n"
              ";      Numeric variables are truncated to integers.\r\n"
              ";      XWIDE= is set according to the biggest item response value.\r\n"
              "; \"Save\" when completed\r\n"
              "\r\n"
              "! SPSS File (do not delete this line): " + sav + "\r\n"
              ";      Number of Cases: 3\r\n"
              ";      Number of SPSS Variables: 5\r\n"
              "\r\n"
              "! Person Label Variables. (Do not delete this line)\r\n"
              "\r\n"
              "! Item Response Variables. (Do not delete this line)\r\n"
              "\r\n"
              "!Other SPSS Variables (ignored)\r\n"
              ";Variable   Format    Label\r\n"
              "q1        ; F2.0      First question\r\n"
              "stamp     ; Datetime20\r\n"
              "score     ; E10.3     Score\r\n"
              "name      ; A3        Pupil\r\n"
              "interview_date_of_the_first_visit; Date11    First visit\r\n");
}

TEST(SpssSelectionFile, FormatTextsFollowTheCodes) {
    EXPECT_EQ(print_format_text(22, 20, 0), "Datetime20.0");  // the variable line cuts it to 10
    EXPECT_EQ(print_format_text(17, 10, 2), "E10.3");
    EXPECT_EQ(print_format_text(5, 8, 2), "F8.2");
    EXPECT_EQ(print_format_text(1, 12, 0), "A12");
    EXPECT_EQ(print_format_text(35, 6, 1), "Ccc6.1");
    EXPECT_EQ(print_format_text(0, 5, 1), "Unknown5.1");
    // A format text longer than 10 characters is cut; a label follows at column 23.
    EXPECT_EQ(selection_variable_line("t", "Datetime20.3", "When"), "t         ; Datetime20When");
    // Names are padded by screen columns, so that the ";" column lines up in an editor: a CJK
    // character takes two, an accented letter one.
    EXPECT_EQ(selection_variable_line("変数", "F8.2", "x"), "変数      ; F8.2      x");
    EXPECT_EQ(selection_variable_line("Größe", "F8.2", "x"), "Größe     ; F8.2      x");
}

TEST(SpssSelectionFile, CancelAndAFailedOpenKeepTheOldFileAndAWholeFileReplacesIt) {
    ScratchDir dir;
    const std::string zsp = dir.file("ZSP1kv.txt");
    write_file(zsp, "old\r\n");
    EXPECT_EQ(write_spss_selection_file("   ", zsp).kind, OutcomeKind::Cancelled);
    EXPECT_EQ(read_file(zsp), "old\r\n");

    // A hand-edited selection is not lost to a .sav file that cannot be read.
    write_file(dir.file("bad.sav"), "this is no SPSS file at all");
    const Outcome o = write_spss_selection_file(dir.file("bad.sav"), zsp);
    EXPECT_EQ(o.kind, OutcomeKind::Problem);
    EXPECT_EQ(o.message.rfind("Cannot open file: " + dir.file("bad.sav") + " ", 0), 0u) << o.message;
    EXPECT_EQ(read_file(zsp), "old\r\n");
    EXPECT_EQ(write_spss_selection_file(dir.file("missing.sav"), zsp).kind, OutcomeKind::Problem);
    EXPECT_EQ(read_file(zsp), "old\r\n");

    const std::string sav = dir.file("a.sav");
    ASSERT_TRUE(write_sav(sav, {{"q1", false, "F2.0", "First question"}}, {{1.0}}));
    EXPECT_EQ(write_spss_selection_file(sav, dir.file("no/such/dir/ZSP.txt")).kind, OutcomeKind::WorkFileFailure);
    EXPECT_EQ(write_spss_selection_file(sav, zsp).kind, OutcomeKind::Done);
    EXPECT_NE(read_file(zsp).find("q1        ; F2.0"), std::string::npos);
    EXPECT_EQ(list_dir(dir.path).size(), 3u) << "no file written aside is left";
}

// The list reads only the dictionary: the number of cases comes from the header, no value is
// held, and a file whose data are cut short is still listed (its conversion tells the damage).
TEST(SpssSelectionFile, OnlyTheDictionaryIsRead) {
    ScratchDir dir;
    const std::string sav = dir.file("many.sav");
    std::vector<std::vector<SavCell>> cases;
    for (int c = 0; c < 2000; ++c) cases.push_back({static_cast<double>(c % 3), std::string("person")});
    ASSERT_TRUE(write_sav(sav, {{"q1", false, "F2.0", ""}, {"who", true, "", "Name\tof\nperson"}}, cases));
    SpssFile file;
    ASSERT_EQ(file.open(sav, true), 0);
    long count = 0;
    EXPECT_EQ(file.case_count(count), 0);
    EXPECT_EQ(count, 2000);
    EXPECT_NE(file.read_next_case(), 0);

    const std::string bytes = read_file(sav);
    write_file(dir.file("cut.sav"), bytes.substr(0, bytes.size() - 4000));
    const std::string zsp = dir.file("ZSP1kv.txt");
    ASSERT_EQ(write_spss_selection_file(dir.file("cut.sav"), zsp).kind, OutcomeKind::Done);
    const std::string text = read_file(zsp);
    EXPECT_NE(text.find(";      Number of Cases: 2000\r\n"), std::string::npos);
    // A label's control characters are blanks: the variable keeps one line.
    EXPECT_NE(text.find("who       ; A6        Name of person\r\n"), std::string::npos) << text;
}

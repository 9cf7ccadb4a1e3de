// Tab-separated text of a .sav file: the heading lines, the number texts, blank strings, large
// numbers in full, a file without cases, and files that are no .sav file.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "spss/spss_file.h"
#include "spss/tab_text.h"
#include "tests/spss/sav_writer.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;
using namespace korvelan::spss;

namespace {
const std::string kFirstLine = "To transfer to EXCEL: \"Select all\", \"Copy\", then in EXCEL \"Paste\"\r\n";
}

TEST(SpssTabText, WritesNamesAndValuesSeparatedByTabs) {
    ScratchDir dir;
    const std::string sav = dir.file("t.sav");
    ASSERT_TRUE(write_sav(sav, {{"response", false, "F8.2", ""}, {"note", true, "", ""}, {"born", false, "DATE11", ""}},
                          {{3.0, std::string("  left"), 13166064000.0},
                           {2.5, std::string("   "), -1.125},
                           {-1.125, std::string("x"), 1.0e-9},
                           {NAN, std::string("y"), 0.25},
                           {100.0, std::string(""), -0.25}}));
    const std::string zsx = dir.file("ZSX1kv.txt");
    ASSERT_EQ(convert_spss_to_tab_text(sav, zsx).kind, OutcomeKind::Done);
    EXPECT_EQ(read_file(zsx), kFirstLine +
                                  "response            \tnote                \tborn                \t\r\n"
                                  "3\tleft\t13166064000\t\r\n"
                                  "2.5\t\t-1.125\t\r\n"
                                  "-1.125\tx\t0\t\r\n"
                                  ".\ty\t0.25\t\r\n"
                                  "100\t\t-0.25\t\r\n");
}

// A line break or tab inside a text is a blank: every case stays one line of as many fields.
TEST(SpssTabText, ControlCharactersInTextsAreBlanks) {
    ScratchDir dir;
    const std::string sav = dir.file("c.sav");
    ASSERT_TRUE(write_sav(sav, {{"note", true, "", ""}, {"n", false, "F2.0", ""}},
                          {{std::string("Note:\n22\rcall\r\nback"), 1.0},
                           {std::string("\ta\tb\x1f"), 2.0}}));
    ASSERT_EQ(convert_spss_to_tab_text(sav, dir.file("out.txt")).kind, OutcomeKind::Done);
    EXPECT_EQ(read_file(dir.file("out.txt")), kFirstLine +
                                                   "note                \tn                   \t\r\n"
                                                   "Note: 22 call  back\t1\t\r\n"
                                                   "a b\t2\t\r\n");
}

// A file in code page 819 (ISO-8859-1), which ReadStat does not know by number, is read in the
// character set its encoding record names or, without that record, its code page; a character
// set that no converter knows is refused in words.
TEST(SpssTabText, CodePagesTheLibraryDoesNotKnowByNumber) {
    ScratchDir dir;
    const std::string bytes = read_file(std::string(KORVELAN_SOURCE_DIR) + "/tests/spss/fixtures/strings_latin1.sav");
    const std::size_t name = bytes.find("ISO-8859-1");
    ASSERT_NE(name, std::string::npos);
    ASSERT_EQ(bytes[name - 12], 20);  // the subtype of the encoding record
    write_file(dir.file("named.sav"), bytes);
    std::string unnamed = bytes;
    unnamed[name - 12] = 99;  // a record of a kind the readers skip: only the code page is left
    write_file(dir.file("unnamed.sav"), unnamed);
    std::string unknown = bytes;
    unknown.replace(name, 10, "NO-SUCH-CS");
    write_file(dir.file("unknown.sav"), unknown);

    ASSERT_EQ(convert_spss_to_tab_text(dir.file("named.sav"), dir.file("named.txt")).kind, OutcomeKind::Done);
    const std::string text = read_file(dir.file("named.txt"));
    EXPECT_NE(text.find("\r\nJ\xC3\xBCrgen\t1\t"), std::string::npos) << text;
    const Outcome o = convert_spss_to_tab_text(dir.file("unnamed.sav"), dir.file("unnamed.txt"));
    ASSERT_EQ(o.kind, OutcomeKind::Done) << o.message;
    EXPECT_EQ(read_file(dir.file("unnamed.txt")), text);
    const Outcome refused = convert_spss_to_tab_text(dir.file("unknown.sav"), dir.file("unknown.txt"));
    EXPECT_EQ(refused.kind, OutcomeKind::Problem);
    EXPECT_NE(refused.message.find(" (File has an unsupported character set)"), std::string::npos) << refused.message;
}

TEST(SpssTabText, NumberTexts) {
    double low = 0, high = 0;
    SpssFile::limits(low, high);
    EXPECT_EQ(tab_number_text(12.5, low, high), "12.5");
    EXPECT_EQ(tab_number_text(0.0, low, high), "0");
    EXPECT_EQ(tab_number_text(-1.0e-9, low, high), "-0");
    EXPECT_EQ(tab_number_text(kSystemMissing, low, high), ".");
    EXPECT_TRUE(is_system_missing(-DBL_MAX));
    EXPECT_FALSE(is_system_missing(-1.0e308));
    // Beyond the 32-bit range numbers are written in full, with the same eight-decimal rounding.
    EXPECT_EQ(tab_number_text(2147483648.5, low, high), "2147483648.5");
    EXPECT_EQ(tab_number_text(-98765432101.25, low, high), "-98765432101.25");
    EXPECT_EQ(tab_number_text(1.0e20, low, high), "100000000000000000000");
    // 51 digits and eight decimals fill the 60 columns; a number wider than that is missing.
    EXPECT_EQ(tab_number_text(1.0e50, low, high).size(), 51u);
    EXPECT_EQ(tab_number_text(2.0e51, low, high), ".");
    EXPECT_EQ(tab_number_text(-1.0e50, low, high), ".");
    EXPECT_EQ(tab_number_text(1.0e300, low, high), ".");
}

// Every case's text and number come back in its own line: texts of every length up to the
// variable's width, empty ones, and numbers between them, over many cases.
TEST(SpssTabText, ManyCasesOfTextsOfEveryLength) {
    ScratchDir dir;
    const std::string sav = dir.file("w.sav");
    std::vector<std::vector<SavCell>> cases;
    std::string expected = kFirstLine + "n                   \twide                \tshort               \t\r\n";
    for (int c = 0; c < 600; ++c) {
        const std::string wide(static_cast<std::size_t>(c % 301), static_cast<char>('a' + c % 26));
        const std::string shrt = c % 3 == 0 ? "" : std::to_string(c);
        cases.push_back({static_cast<double>(c) / 4, wide, shrt});
        expected += tab_number_text(c / 4.0, 0, 1e300) + "\t" + wide + "\t" + shrt + "\t\r\n";
    }
    ASSERT_TRUE(write_sav(sav, {{"n", false, "F8.2", ""}, {"wide", true, "", ""}, {"short", true, "", ""}}, cases));
    ASSERT_EQ(convert_spss_to_tab_text(sav, dir.file("out.txt")).kind, OutcomeKind::Done);
    EXPECT_EQ(read_file(dir.file("out.txt")), expected);
}

TEST(SpssTabText, NoCasesGiveTheTwoHeadingLines) {
    ScratchDir dir;
    const std::string sav = dir.file("empty.sav");
    ASSERT_TRUE(write_sav(sav, {{"abcdefgh", false, "F1.0", ""}}, {}));
    ASSERT_EQ(convert_spss_to_tab_text(sav, dir.file("out.txt")).kind, OutcomeKind::Done);
    EXPECT_EQ(read_file(dir.file("out.txt")), kFirstLine + "abcdefgh            \t\r\n");
}

TEST(SpssTabText, CorruptAndTruncatedFilesGiveAMessage) {
    ScratchDir dir;
    const std::string sav = dir.file("t.sav");
    ASSERT_TRUE(write_sav(sav, {{"a", false, "F2.0", ""}, {"b", true, "", ""}},
                          {{1.0, std::string("one")}, {2.0, std::string("two")}, {3.0, std::string("three")}}));
    const std::string bytes = read_file(sav);
    for (std::size_t cut : {std::size_t{0}, std::size_t{4}, std::size_t{100}, bytes.size() / 2, bytes.size() - 5}) {
        write_file(dir.file("cut.sav"), bytes.substr(0, cut));
        const Outcome o = convert_spss_to_tab_text(dir.file("cut.sav"), dir.file("out.txt"));
        EXPECT_EQ(o.kind, OutcomeKind::Problem) << cut;
        EXPECT_EQ(o.message.rfind("Cannot open file: " + dir.file("cut.sav"), 0), 0u) << o.message;
    }
    std::string garbled = bytes;
    for (std::size_t i = 60; i < garbled.size(); i += 7) garbled[i] = static_cast<char>(0xFF);
    write_file(dir.file("garbled.sav"), garbled);
    EXPECT_EQ(convert_spss_to_tab_text(dir.file("garbled.sav"), dir.file("out.txt")).kind, OutcomeKind::Problem);
    EXPECT_EQ(convert_spss_to_tab_text(dir.file("missing.sav"), dir.file("out.txt")).kind, OutcomeKind::Problem);
}

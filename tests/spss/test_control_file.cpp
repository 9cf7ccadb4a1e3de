// The control-and-data file made from an edited selection file: the control lines, the CODES
// lists by item width, the value texts of items and labels, the record columns, full-length
// names, paths that contain the marker words, and the messages of a selection that fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "spss/control_file.h"
#include "spss/control_layout.h"
#include "spss/selection_file.h"
#include "tests/spss/sav_writer.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;
using namespace korvelan::spss;

namespace {

const std::string kPersonMarker = "! Person Label Variables. (Do not delete this line)\r\n";
const std::string kItemMarker = "! Item Response Variables. (Do not delete this line)\r\n";

// The selection file written for the .sav file, with the names moved under the two markers.
std::string selection_for(const ScratchDir& dir, const std::string& sav, const std::vector<std::string>& persons,
                          const std::vector<std::string>& items, const std::string& indent = "  ") {
    const std::string zsp = dir.file("ZSP1kv.txt");
    EXPECT_EQ(write_spss_selection_file(sav, zsp).kind, OutcomeKind::Done);
    std::string text = read_file(zsp);
    auto insert = [&](const std::string& marker, const std::vector<std::string>& names) {
        std::string lines;
        for (const std::string& n : names) lines += indent + n + "  ; moved\r\n";
        text.insert(text.find(marker) + marker.size(), lines);
    };
    insert(kPersonMarker, persons);
    insert(kItemMarker, items);
    write_file(zsp, text);
    return zsp;
}

struct Built {
    Outcome outcome;
    std::vector<std::string> lines;
};

Built build(const ScratchDir& dir, const std::string& zsp) {
    Built b;
    b.outcome = build_control_file_from_spss_selection(zsp, dir.file("ZSW1kv.txt"));
    if (b.outcome.kind == OutcomeKind::Done) b.lines = crlf_lines(read_file(dir.file("ZSW1kv.txt")));
    return b;
}

std::vector<std::string> from(const std::vector<std::string>& lines, const std::string& first) {
    auto it = std::find(lines.begin(), lines.end(), first);
    return {it == lines.end() ? lines.end() : it + 1, lines.end()};
}

}  // namespace

TEST(SpssControlFile, SingleDigitItemsAndALabel) {
    ScratchDir dir;
    const std::string sav = dir.file("a.sav");
    ASSERT_TRUE(write_sav(sav, {{"q1", false, "F1.0", ""}, {"q2", false, "", ""}, {"q3", false, "", ""},
                                {"pupil", true, "", ""}},
                          {{1.0, 0.4, 7.9, std::string("Anna")},
                           {300.0, -1.0, NAN, std::string("Bo")},
                           {9.0, 0.0, 2.0, std::string("  Cy")}}));
    const Built b = build(dir, selection_for(dir, sav, {"pupil"}, {"q1", "q2", "q3"}));
    ASSERT_EQ(b.outcome.kind, OutcomeKind::Done) << b.outcome.message;
    EXPECT_EQ(b.lines, (std::vector<std::string>{
                           "; Save this file as your Korvelan control and data file", "&INST",
                           "Title=\"" + sav + "\"", "ITEM1=1", "NI=3", "XWIDE = 1", "CODES = 0123456789",
                           "; SPSS Cases processed = 3", "NAME1 = 5", "; Person Label variables",
                           "; pupil    5-8", "NAMLEN = 4", "&END", "q1       ; Item 1", "q2       ; Item 2",
                           "q3       ; Item 3", "END NAMES",
                           // 0.4 is 0 and 7.9 is 7; 300 and -1 are no item values; the string
                           // with leading blanks is left-adjusted in its field.
                           "107 Anna 1", "... Bo   2", "902 Cy   3"}));
}

// String values are written left-adjusted in fields as wide as their widest left-adjusted text,
// with control characters as blanks: a right-aligned code " 4" is the code 4, a label with
// leading blanks keeps its letters, and a line break or tab inside a value neither ends the
// record nor moves a field. Selection lines indented with tabs select like unindented ones.
TEST(SpssControlFile, StringsAreLeftAdjustedWithControlCharactersAsBlanks) {
    ScratchDir dir;
    const std::string sav = dir.file("s.sav");
    ASSERT_TRUE(write_sav(sav, {{"s1", true, "", ""}, {"q2", false, "F1.0", ""}, {"note", true, "", ""}},
                          {{std::string(" 4"), 1.0, std::string("Note:\n22 call")},
                           {std::string("3"), 2.0, std::string("\tTab\rCR")},
                           {std::string("  "), 0.0, std::string("  Ann\x01")}}));
    const Built b = build(dir, selection_for(dir, sav, {"note"}, {"s1", "q2"}));
    ASSERT_EQ(b.outcome.kind, OutcomeKind::Done) << b.outcome.message;
    EXPECT_EQ(from(b.lines, "; Person Label variables"),
              (std::vector<std::string>{"; note     4-16", "NAMLEN = 13", "&END", "s1       ; Item 1",
                                        "q2       ; Item 2", "END NAMES", "41 Note: 22 call 1",
                                        "32 Tab CR        2", " 0 Ann           3"}));

    for (const std::string indent : {"\t", " \t ", "\t\t"}) {
        const Built tabbed = build(dir, selection_for(dir, sav, {"note"}, {"s1", "q2"}, indent));
        ASSERT_EQ(tabbed.outcome.kind, OutcomeKind::Done) << tabbed.outcome.message;
        EXPECT_EQ(tabbed.lines, b.lines);
    }
}

TEST(SpssControlFile, ItemWidthSetsTheCodesAndNumbersKeepTheirDigits) {
    ScratchDir dir;
    const std::string sav = dir.file("b.sav");
    // A 40-character person variable and a date whose seconds exceed the 32-bit range.
    const std::string long_name = "household_income_bracket_at_first_visits";
    ASSERT_EQ(long_name.size(), 40u);
    ASSERT_TRUE(write_sav(sav, {{"item_one", false, "F2.0", ""}, {long_name, false, "F4.0", ""},
                                {"born", false, "DATE11", ""}},
                          {{12.0, 300.0, 13166064000.0}, {3.0, -1.0, -98765432101.7}, {NAN, -0.5, NAN}}));
    const Built b = build(dir, selection_for(dir, sav, {long_name, "born"}, {"item_one"}));
    ASSERT_EQ(b.outcome.kind, OutcomeKind::Done) << b.outcome.message;
    const std::vector<std::string> codes(b.lines.begin() + 6, b.lines.begin() + 10);
    EXPECT_EQ(b.lines[5], "XWIDE = 2");
    EXPECT_EQ(codes[0], "CODES = \" 0 1 2 3 4 5 6 7 8 91011121314151617181920212223242526272829+");
    EXPECT_EQ(codes[1], "+303132333435363738394041424344454647484950515253545556575859+");
    EXPECT_EQ(codes[3], "+90919293949596979899\"");
    EXPECT_EQ(codes[0].size(), 70u);
    EXPECT_EQ(codes[1].size(), 62u);
    EXPECT_EQ(codes[2].size(), 62u);
    EXPECT_EQ(codes[3].size(), 22u);
    EXPECT_EQ(b.lines[10], "; SPSS Cases processed = 3");
    EXPECT_EQ(b.lines[11], "NAME1 = 4");
    EXPECT_EQ(from(b.lines, "; Person Label variables"),
              (std::vector<std::string>{"; " + long_name + " 4-6", "; born     7-18", "NAMLEN = 15", "&END",
                                        "item_one ; Item 1", "END NAMES",
                                        // Fields follow each other without a gap; labels keep
                                        // 300, -1 and -0, and the dates all their digits.
                                        "12 30013166064000  1", "3  -1 -98765432101 2", ".  -0 .            3"}));
}

// A person-label number keeps all its digits while its one-decimal text fits 60 columns; one
// wider than that is missing, like a system-missing value, and widens nothing.
TEST(SpssControlFile, NumbersTooWideForAnyFieldAreMissing) {
    EXPECT_EQ(truncated_number_text(1.0e57).size(), 58u);
    EXPECT_EQ(truncated_number_text(2.0e58), ".");
    EXPECT_EQ(truncated_number_text(-1.0e57), ".");
    EXPECT_EQ(truncated_number_text(-2147483648.0), "-2147483648");
    ScratchDir dir;
    const std::string sav = dir.file("e.sav");
    ASSERT_TRUE(write_sav(sav, {{"q", false, "F1.0", ""}, {"huge", false, "F8.0", ""}},
                          {{1.0, 1.0e59}, {2.0, 12.0}, {3.0, -1.0e300}}));
    const Built b = build(dir, selection_for(dir, sav, {"huge"}, {"q"}));
    ASSERT_EQ(b.outcome.kind, OutcomeKind::Done) << b.outcome.message;
    EXPECT_EQ(from(b.lines, "; Person Label variables"),
              (std::vector<std::string>{"; huge     3-4", "NAMLEN = 2", "&END", "q        ; Item 1", "END NAMES",
                                        "1 .  1", "2 12 2", "3 .  3"}));
}

TEST(SpssControlFile, WideItemsAskForCodesAndNoCasesGiveTheControlPart) {
    ScratchDir dir;
    const std::string sav = dir.file("c.sav");
    ASSERT_TRUE(write_sav(sav, {{"x", false, "", ""}}, {{255.0}, {4.0}}));
    const Built b = build(dir, selection_for(dir, sav, {}, {"x", "X"}));
    ASSERT_EQ(b.outcome.kind, OutcomeKind::Done);
    EXPECT_EQ(b.lines[6], "CODES =    ; Please supply your values here");
    // The name in another letter case is the same variable.
    EXPECT_EQ(from(b.lines, "END NAMES"), (std::vector<std::string>{"255255 1", "4  4   2"}));

    ASSERT_TRUE(write_sav(dir.file("none.sav"), {{"x", false, "", ""}}, {}));
    const Built none = build(dir, selection_for(dir, dir.file("none.sav"), {}, {"x"}));
    ASSERT_EQ(none.outcome.kind, OutcomeKind::Done);
    EXPECT_EQ(none.lines[7], "; SPSS Cases processed = 0");
    EXPECT_EQ(none.lines.back(), "END NAMES");
}

TEST(SpssControlFile, PathsWithTheMarkerWordsAreNoMarkers) {
    ScratchDir dir;
    std::filesystem::create_directories(dir.file("items"));
    const std::string sav = dir.file("items/person.sav");
    ASSERT_TRUE(write_sav(sav, {{"q", false, "", ""}, {"who", true, "", ""}},
                          {{1.0, std::string("Ann")}, {0.0, std::string("Bo")}}));
    const Built b = build(dir, selection_for(dir, sav, {"who"}, {"q"}));
    ASSERT_EQ(b.outcome.kind, OutcomeKind::Done) << b.outcome.message;
    EXPECT_EQ(b.lines[4], "NI=1");
    EXPECT_EQ(from(b.lines, "END NAMES"), (std::vector<std::string>{"1 Ann 1", "0 Bo  2"}));
}

TEST(SpssControlFile, SelectionProblems) {
    ScratchDir dir;
    const std::string sav = dir.file("d.sav");
    ASSERT_TRUE(write_sav(sav, {{"q", false, "", ""}}, {{1.0}}));
    std::string zsp = selection_for(dir, sav, {}, {"q", "nosuch"});
    Built b = build(dir, zsp);
    EXPECT_EQ(b.outcome.kind, OutcomeKind::Problem);
    EXPECT_EQ(b.outcome.message, "Unknown SPSS item variable name: nosuch");
    EXPECT_TRUE(b.outcome.edit_selection_file);

    zsp = selection_for(dir, sav, {"nobody"}, {"q"});
    EXPECT_EQ(build(dir, zsp).outcome.message, "Unknown SPSS person variable name: nobody");

    zsp = selection_for(dir, sav, {}, {});
    EXPECT_EQ(build(dir, zsp).outcome.message, "No SPSS variables selected");

    std::string text = read_file(zsp);
    text.erase(text.find("! SPSS File"), text.find("\r\n", text.find("! SPSS File")) + 2 - text.find("! SPSS File"));
    write_file(zsp, text);
    EXPECT_EQ(build(dir, zsp).outcome.message, "\"! SPSS FILE:\" not found.");

    write_file(zsp, "! SPSS File (do not delete this line): " + sav + "\r\n! Person\r\n");
    EXPECT_EQ(build(dir, zsp).outcome.message, "\"! ITEM VARIABLES:\" not found.");
    write_file(zsp, "! SPSS File (do not delete this line): " + sav + "\r\n! Item\r\nq\r\n");
    EXPECT_EQ(build(dir, zsp).outcome.message, "\"! PERSON VARIABLES:\" not found.");

    write_file(dir.file("bad.sav"), std::string(300, '\x01'));
    write_file(zsp, "! SPSS File (do not delete this line): " + dir.file("bad.sav") + "\r\n");
    const std::string message = build(dir, zsp).outcome.message;
    EXPECT_EQ(message.rfind("Cannot open file: " + dir.file("bad.sav"), 0), 0u) << message;
    // The status and what it means in words.
    EXPECT_EQ(message.substr(0, message.find(" (")), "Cannot open file: " + dir.file("bad.sav") + "         5");
    EXPECT_EQ(message.substr(message.find(" (")), " (Invalid file, or file has unsupported features)");
}

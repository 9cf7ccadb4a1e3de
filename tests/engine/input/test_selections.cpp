#include <gtest/gtest.h>

#include <string>

#include "engine/input/selections.h"
#include "tests/support/test_host.h"

using namespace korvelan;
namespace pm = korvelan::pattern_match;

namespace {

struct SelectionTest : ::testing::Test {
    korvelan::testing::TestHost host;
    korvelan::Run run;
    SelectedText out;
    SelectionTest() { run.host = &host; }

    std::string label(std::string_view selection, std::string_view source) {
        EXPECT_TRUE(select_label_fields(run, selection, "DIF", source, out)) << host.screen();
        return std::string(out.text());
    }
    // The one message line an invalid selection gives, with an empty result.
    std::string error(std::string_view selection) {
        host.lines.clear();
        out.count = 7;
        EXPECT_FALSE(select_label_fields(run, selection, "DIF", "ABCDE", out));
        EXPECT_EQ(out.count, 0);
        EXPECT_EQ(std::string(out.c.data(), 5), "     ");
        EXPECT_EQ(host.lines.size(), 1u);
        return host.lines.empty() ? "" : host.lines.back();
    }
};

}  // namespace

TEST(SelectionPattern, StarQuestionMarkAndPrefix) {
    EXPECT_EQ(match_selection_pattern("A*", "ABC"), pm::kStoppedAtStar);
    EXPECT_EQ(match_selection_pattern("A*", "A"), pm::kStoppedAtStar);
    EXPECT_EQ(match_selection_pattern("A*", "BA"), pm::kCharacterDiffered);
    EXPECT_EQ(match_selection_pattern("AB", "ABC"), pm::kPatternUsedUp);
    EXPECT_EQ(match_selection_pattern("??1", "XY1Z"), pm::kPatternUsedUp);
    EXPECT_EQ(match_selection_pattern("??1", "XY"), pm::kLabelEnded);
    EXPECT_EQ(match_selection_pattern("ab", "AB"), pm::kCharacterDiffered);  // case-sensitive
    EXPECT_EQ(match_selection_pattern("", "AB"), pm::kPatternUsedUp);
}

TEST(SelectionPattern, CharacterSets) {
    EXPECT_EQ(match_selection_pattern("{A-C}*", "B7"), pm::kStoppedAtStar);
    EXPECT_EQ(match_selection_pattern("{A-C}*", "D7"), pm::kNotInSet);
    EXPECT_EQ(match_selection_pattern("{C-A}*", "B7"), pm::kStoppedAtStar);
    EXPECT_EQ(match_selection_pattern("{C-A}*", "D7"), pm::kNotInSet);
    EXPECT_EQ(match_selection_pattern("{MF}?3", "F13"), pm::kPatternUsedUp);
    EXPECT_EQ(match_selection_pattern("{A-C}", "C"), pm::kPatternUsedUp);  // both ends included
    EXPECT_EQ(match_selection_pattern("{--}", "-"), pm::kPatternUsedUp);
    EXPECT_EQ(match_selection_pattern("{A-C}", ""), pm::kLabelEnded);
}

TEST(SelectionPattern, UnclosedSetMatchesNothing) {
    EXPECT_EQ(match_selection_pattern("{AB", "A"), pm::kNotInSet);
    EXPECT_EQ(match_selection_pattern("X{A-", "XA"), pm::kNotInSet);
}

TEST(SelectionPattern, LabelIsCutToItsLengthAndTrimmed) {
    EXPECT_TRUE(is_selected(match_label_selection("  A*  ", "  ABC  xyz", 5)));
    EXPECT_EQ(match_label_selection("ABCX", "ABC  X", 4), pm::kLabelEnded);
    EXPECT_EQ(match_label_selection("ABC", "AB", 30), pm::kLabelEnded);
}

TEST_F(SelectionTest, ColumnElementsAndJoins) {
    EXPECT_EQ(label("$S1W2", "ABCDE"), "AB");
    EXPECT_EQ(out.count, 2);
    EXPECT_EQ(out.first_column, 1);
    EXPECT_EQ(label("$S2E4", "ABCDE"), "BCD");
    EXPECT_EQ(label("$S3W1+$S1W1", "ABCDE"), "CA");
    EXPECT_EQ(out.first_column, 3);
    EXPECT_EQ(label("$s1w2", "ABCDE"), "AB");
}

TEST_F(SelectionTest, LiteralsKeepTheirCase) {
    EXPECT_EQ(label("$S1W1'-'$S3W1", "ABCDE"), "A-C");
    EXPECT_EQ(label("\"x\"$S2W1", "ABCDE"), "xB");
    EXPECT_EQ(label("a$S2W1 b", "ABCDE"), "aBb");
    EXPECT_EQ(label("$S1W1\"a +$\"", "ABCDE"), "Aa +$");
}

TEST_F(SelectionTest, InvalidSelectionsReportAndSelectNothing) {
    EXPECT_EQ(error("$S0W2"), "$S.. NOT NUMERIC in: DIF=$S0W2");
    EXPECT_EQ(error("$S2X3"), "$S..E or $S..W only in: DIF=$S2X3");
    EXPECT_EQ(error("$S5E3"), "$S..E.. NOT VALID in: DIF=$S5E3");
    EXPECT_EQ(error("$S5W0"), "$S..W.. NOT VALID in: DIF=$S5W0");
    EXPECT_EQ(error("$S1W2'abc"), "Unexpected ending to: DIF=$S1W2'abc");
    EXPECT_EQ(error("$X3"), "UNKNOWN $X in: DIF=$X3");
    EXPECT_EQ(error("$S3"), "$S..E or $S..W only in: DIF=$S3");
    EXPECT_EQ(error("ABC"), "No $S..W. or $S..E.. : DIF=ABC");
}

TEST_F(SelectionTest, RecordSelectionAcceptsLiteralsAlone) {
    EXPECT_TRUE(select_record_fields(run, "ABC", "PWEIGHT", "12345", out));
    EXPECT_EQ(out.text(), "ABC");
    EXPECT_EQ(out.first_column, 0);
    EXPECT_TRUE(host.lines.empty());
}

TEST_F(SelectionTest, ColumnsBeyondTheSourceAreBlanks) {
    EXPECT_EQ(label("$S4W4", "ABCDE"), "DE  ");
    EXPECT_EQ(label("$S99999999999W3", "ABCDE"), "   ");
}

// A column is a character; a byte outside any UTF-8 character is one.
TEST_F(SelectionTest, ColumnsAreCharacters) {
    EXPECT_EQ(label("$S1W1", "\u6570\u636e"), "\u6570");
    EXPECT_EQ(label("$S1W2", "A\u00e9B"), "A\u00e9");
    EXPECT_EQ(label("$S2W1", "\u6570\u636e"), "\u636e");
    EXPECT_EQ(label("$S2W1+$S3W1+$S4W1", "\u00e9x\u636e"), "x\u636e ");
    EXPECT_EQ(label("$S2W2",
                    "A\xe9"
                    "BC"),
              "\xe9"
              "B");
}

TEST_F(SelectionTest, SelectedTextIsCutAt256) {
    std::string source(400, 'x');
    EXPECT_EQ(label("$S1W300", source).size(), 256u);
    EXPECT_EQ(label("$S1W256'tail'", source).size(), 256u);
    // A huge width ends at the cut instead of walking every column.
    EXPECT_EQ(label("$S1E999999999", source).size(), 256u);
}

TEST_F(SelectionTest, ParsedSelectionIsKeptWholeAndReused) {
    // Longer than 40 characters: every element still counts.
    const std::string selection = "$S1W1+$S2W1+$S3W1+$S4W1+$S5W1+$S6W1+$S7W1+$S8W1";
    FieldSelection parsed;
    ASSERT_TRUE(parse_field_selection(run, selection, "IWEIGHT", SelectionUse::Label, parsed));
    apply_field_selection(parsed, "ABCDEFGH", out);
    EXPECT_EQ(out.text(), "ABCDEFGH");
    apply_field_selection(parsed, "12", out);
    EXPECT_EQ(out.text(), "12      ");
}

TEST_F(SelectionTest, DelimitedFieldsByNumber) {
    DelimitedFields fields;
    std::string record = "Ann  , 1 ,, 2.5 ,x";
    std::string name;
    split_delimited_record(record, DelimitedLayout{',', 1, 10, 2, 4, 1}, name, fields);
    ASSERT_TRUE(select_delimited_fields(run, "$S4W1", "PWEIGHT", fields, out));
    EXPECT_EQ(out.text(), "2.5");
    EXPECT_EQ(out.first_column, 4);
    ASSERT_TRUE(select_delimited_fields(run, "$S1E3'/'$S9W5", "PAFILE", fields, out));
    EXPECT_EQ(out.text(), "Ann1/");  // the empty field and fields beyond the record add nothing
    ASSERT_TRUE(select_delimited_fields(run, "'w'", "PWEIGHT", fields, out));
    EXPECT_EQ(out.text(), "w");
}

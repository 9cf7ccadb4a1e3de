#include <gtest/gtest.h>

#include "engine/report/category_labels.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
// Eight items: 1 to 4 in group 1, 5 to 8 in group 2.
struct LabelFixture : ::testing::Test {
    ScratchDir dir;
    korvelan::Run run;
    void SetUp() override {
        run.cv.ni = 8;
        run.arrays.item_group = {0, 1, 1, 1, 1, 2, 2, 2, 2};
        run.cv.codes = "A B 10";
        run.cv.xwide = 2;
    }
    std::string category(int value, int group) {
        return category_label_text(run, value, group, run.arrays.item_group);
    }
    std::string code(int index, int item, int group, std::size_t width = 30) {
        std::string text = pad_right("10", width);
        read_item_category_label(run, index, item, group, text);
        return std::string(trim_right(text));
    }
};
}  // namespace

TEST_F(LabelFixture, CategoryLabelsByValueAndByItemOfTheGroup) {
    run.cv.cfile = dir.file("cats.txt");
    write_file(run.cv.cfile,
               "1 Plain first\r\n"
               "\r\n"
               "7+1 Item seven one\r\n"
               "  1, Plain   second ; a note\r\n"
               "2,Agree;note\n"
               "4\tTabbed\r\n"
               "+3 Leading plus\r\n"
               "3+ Trailing plus\r\n"
               "9+3 Item outside the data\r\n"
               "3x Not a number\r\n");
    // The item line ends the reading for the group of item 7; other groups take the later plain.
    EXPECT_EQ(category(1, 2), "Item seven one");
    EXPECT_EQ(category(1, 1), "Plain   second");
    EXPECT_EQ(category(2, 1), "Agree");
    EXPECT_EQ(category(4, 2), "Tabbed");
    EXPECT_EQ(category(3, 1), "");
    EXPECT_EQ(category(3, 2), "");

    // On the report line: one blank after the last non-blank character; no label, no change.
    ReportLineBuffer& line = run.rep.line;
    line.put(2, "   1  CAT");
    EXPECT_TRUE(read_category_label(run, line, 1, 2, run.arrays.item_group));
    EXPECT_EQ(line.view(1, line.length()), "    1  CAT Item seven one");
    EXPECT_FALSE(read_category_label(run, line, 3, 2, run.arrays.item_group));
    EXPECT_EQ(line.length(), 25);
}

TEST_F(LabelFixture, CodeLabelsOwnItemBeforeSameGroupBeforePlain) {
    run.cv.clfile = dir.file("codes.txt");
    write_file(run.cv.clfile,
               "'10' Ten plain\r\n"
               "4+'10' Ten same group\r\n"
               "10 Ten later plain\r\n"
               "6+'10 unclosed\r\n"
               "2+10 Ten own item\r\n"
               "2+10\r\n"
               "+10 No item\r\n"
               "x+10 Bad item\r\n"
               "\x93" "B\x94 Bee curly\r\n"
               "A Ay plain\r\n"
               "1+A Ay item one\r\n");
    EXPECT_EQ(code(3, 2, 1), "10 Ten own item");
    EXPECT_EQ(code(3, 3, 1), "10 Ten same group");
    EXPECT_EQ(code(3, 6, 2), "10 Ten plain");
    EXPECT_EQ(code(2, 6, 2), "10 Bee curly");
    EXPECT_EQ(code(1, 1, 1), "10 Ay item one");
    EXPECT_EQ(code(1, 5, 2), "10 Ay plain");
    // The label is cut at the width of the text.
    EXPECT_EQ(code(3, 2, 1, 8), "10 Ten o");

    ReportLineBuffer line;
    line.put(2, "B");
    EXPECT_TRUE(read_item_category_label(run, 2, 1, 1, line));
    EXPECT_EQ(line.view(1, line.length()), " B Bee curly");
}

TEST(QuotedField, ClosingQuoteOrNone) {
    int start = 1, end = -1;
    find_quoted_field("'AB' x", start, end);
    EXPECT_EQ(std::pair(start, end), std::pair(1, 4));
    start = 3;
    find_quoted_field("7+\"AB' x", start, end);  // no second '"': the first quote of any kind
    EXPECT_EQ(std::pair(start, end), std::pair(3, 6));
    start = 1;
    find_quoted_field("'' x", start, end);
    EXPECT_EQ(std::pair(start, end), std::pair(0, 0));
    start = 1;
    find_quoted_field("'AB x", start, end);
    EXPECT_EQ(std::pair(start, end), std::pair(0, 0));
    start = 1;
    find_quoted_field("AB' x", start, end);
    EXPECT_EQ(std::pair(start, end), std::pair(1, 0));
}

TEST_F(LabelFixture, MissingFileIsTriedOnceAndKeepsItsName) {
    const std::string cats = dir.file("later_cats.txt");
    const std::string codes = dir.file("later_codes.txt");
    run.cv.cfile = cats;
    run.cv.clfile = codes;
    // A negative category and code index 0 never look for a file.
    EXPECT_EQ(category(-1, 1), "");
    EXPECT_EQ(code(0, 1, 1), "10");
    EXPECT_FALSE(run.rep.category_labels_unavailable);
    EXPECT_FALSE(run.rep.code_labels_unavailable);

    EXPECT_EQ(category(1, 1), "");
    EXPECT_EQ(code(1, 1, 1), "10");
    EXPECT_TRUE(run.rep.category_labels_unavailable);
    EXPECT_TRUE(run.rep.code_labels_unavailable);
    EXPECT_EQ(run.cv.cfile, cats);
    EXPECT_EQ(run.cv.clfile, codes);

    write_file(cats, "1 One\r\n");
    write_file(codes, "A Ay\r\n");
    EXPECT_EQ(category(1, 1), "");
    EXPECT_EQ(code(1, 1, 1), "10");
}

#include <gtest/gtest.h>

#include <string>

#include "engine/input/delimited_records.h"

using namespace korvelan;

namespace {

struct Split {
    std::string record;
    std::string label;
    DelimitedFields fields;
    // Splits the record; returns the response columns.
    std::string operator()(std::string text, const DelimitedLayout& layout) {
        record = text;
        record.resize(200, ' ');  // the record line is a fixed-width text
        split_delimited_record(record, layout, label, fields);
        return record.substr(0, static_cast<std::size_t>(layout.ni * layout.xwide));
    }
    std::string name(std::size_t n) const { return label.substr(0, n); }
};

DelimitedLayout layout(char delimiter, int name1, int namlen, int item1, int ni, int xwide = 1) {
    return DelimitedLayout{delimiter, name1, namlen, item1, ni, xwide};
}

}  // namespace

TEST(SplitDelimited, EmptyFieldIsAMissingResponse) {
    Split split;
    EXPECT_EQ(split("1,0,,1", layout(',', 5, 4, 1, 4)), "10 1");
    EXPECT_EQ(split.fields.count(), 4);
    EXPECT_EQ(split.name(4), "    ");
    // The separator letter Y and a trailing separator.
    EXPECT_EQ(split("1,0,1,", layout('Y', 9, 4, 1, 4)), "101 ");
}

TEST(SplitDelimited, BlankRunsAreOneSeparator) {
    Split split;
    EXPECT_EQ(split("1  0 1", layout('B', 9, 4, 1, 3)), "101");
    EXPECT_EQ(split.fields.count(), 3);
}

TEST(SplitDelimited, TabsAndLabelField) {
    Split split;
    EXPECT_EQ(split("Fred Smith\t 1\t2\t3", layout('T', 1, 6, 2, 3)), "123");
    EXPECT_EQ(split.label, "Fred S");
    // NAMLEN= counts characters.
    split("Zo\u00e9x\t1\t2\t3", layout('T', 1, 3, 2, 3));
    EXPECT_EQ(split.name(5), "Zo\u00e9 ");
    split("P\u6570\u636eab\t1\t2\t3", layout('T', 1, 4, 2, 3));
    EXPECT_EQ(split.name(8), "P\u6570\u636ea");
}

TEST(SplitDelimited, DoubleQuotedFieldKeepsItsSeparators) {
    Split split;
    EXPECT_EQ(split("\"a,b\",1", layout('Y', 1, 5, 2, 1)), "1");
    EXPECT_EQ(split.name(5), "a,b  ");
}

TEST(SplitDelimited, ApostrophesDoNotProtectSeparators) {
    Split split;
    EXPECT_EQ(split("'a,b',1", layout('Y', 1, 5, 2, 1)), "b");
    EXPECT_EQ(split.name(5), "'a   ");
    // Enclosing apostrophes around a field without a separator inside are removed.
    EXPECT_EQ(split("'ab',1", layout('Y', 1, 5, 2, 1)), "1");
    EXPECT_EQ(split.name(5), "ab   ");
}

TEST(SplitDelimited, CommaOpensAFieldUnderTheBlankSeparator) {
    Split split;
    EXPECT_EQ(split(",a b, 1", layout('B', 1, 8, 2, 1)), "1");
    EXPECT_EQ(split.name(8), ",a b,   ");
}

TEST(SplitDelimited, ResponsesAreCutOrPaddedToTheWidth) {
    Split split;
    EXPECT_EQ(split("123;4;;56", layout(';', 9, 4, 1, 4, 2)), "124   56");
    EXPECT_EQ(split.fields.field(1), "123");
    EXPECT_EQ(split.fields.field(9), "");
}

TEST(SplitDelimited, EarlierResponsesDoNotSurviveInTheRecordLine) {
    Split split;
    split("1,1,1,1", layout(',', 9, 4, 1, 4));
    EXPECT_EQ(split("0", layout(',', 9, 4, 1, 4)), "0   ");
}

TEST(SplitDelimited, BlankRecordHasNoFields) {
    Split split;
    EXPECT_EQ(split("", layout(',', 1, 3, 2, 2)), "  ");
    EXPECT_EQ(split.fields.count(), 0);
}

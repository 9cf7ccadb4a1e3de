#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/input/record_format.h"
#include "tests/support/test_host.h"

using namespace korvelan;
namespace fe = korvelan::format_error;

namespace {

struct Lines : RecordLineSource {
    std::vector<std::string> lines;
    std::size_t next = 0;
    int fail_with = 0;  // an error the source gives after its lines
    explicit Lines(std::vector<std::string> l) : lines(std::move(l)) {}
    int next_line(std::string_view& line) override {
        if (next >= lines.size()) return fail_with ? fail_with : -1;
        line = lines[next++];
        return 0;
    }
};

int compile(std::string_view text) {
    RecordFormat f;
    return compile_record_format(text, f);
}

// Reads one record of count fields of width characters; the status goes to *status.
std::string read(std::string_view format, Lines& lines, int width, int count,
                 int* status = nullptr) {
    RecordFormat f;
    int st = compile_record_format(format, f);
    EXPECT_EQ(st, 0) << format;
    std::string out(static_cast<std::size_t>(width * count), '#');
    st = read_formatted_record(f, lines, width, count, out.data());
    if (status)
        *status = st;
    else
        EXPECT_EQ(st, 0) << format;
    return out;
}

}  // namespace

TEST(FormatCompile, ErrorCodes) {
    EXPECT_EQ(compile("(5A1,2(T3,A2)/,TL2,TR3,3X,A)"), 0);
    EXPECT_EQ(compile("  5A1)"), fe::kMustStartWithParen);
    EXPECT_EQ(compile("(A1"), fe::kNotEnoughClose);
    EXPECT_EQ(compile("(A1,(A1)"), fe::kNotEnoughClose);
    EXPECT_EQ(compile(std::string(17, '(') + std::string(17, ')')), fe::kTooDeep);
    EXPECT_EQ(compile(std::string(16, '(') + "A" + std::string(16, ')')), 0);
    EXPECT_EQ(compile("(0A1)"), fe::kRepeatNotPositive);
    EXPECT_EQ(compile("(0(A1))"), fe::kRepeatNotPositive);
    EXPECT_EQ(compile("(2*3A1)"), fe::kMultipleRepeat);
    EXPECT_EQ(compile("(7Q)"), fe::kInvalidNumber);
    EXPECT_EQ(compile("(T2Z)"), fe::kIntegerExpected);
    EXPECT_EQ(compile("(A1A1)"), fe::kIntegerExpected);
    EXPECT_EQ(compile("(AA)"), fe::kUnknownCharacter);
    EXPECT_EQ(compile("(A1/A1:1PF5.1,2(A1)/)"), 0);
    EXPECT_EQ(compile("(TZ)"), fe::kIntegerExpected);
    EXPECT_EQ(compile("(0X,A1)"), fe::kPositiveRequired);
    EXPECT_EQ(compile("(A0)"), fe::kPositiveRequired);
    EXPECT_EQ(compile("(T0,A1)"), fe::kPositiveRequired);
    EXPECT_EQ(compile("(X,A1)"), fe::kIntegerBeforeX);
    EXPECT_EQ(compile("(3T5,A1)"), fe::kInvalidRepeat);
    EXPECT_EQ(compile("(BQ,A1)"), fe::kBNotNOrZ);
    EXPECT_EQ(compile("(BN,A1,F5)"), fe::kDecimalPointNeeded);
    EXPECT_EQ(compile("(A1,F5.2,E10.3E2,I3.2,L1)"), 0);
    EXPECT_EQ(compile("(A1,'x')"), fe::kUnknownCharacter);
    EXPECT_EQ(compile("(32767A1)"), fe::kValueTooLarge);
    EXPECT_EQ(compile("(32766A1) trailing text is ignored"), 0);
}

TEST(FormatRead, AFieldsSkipsAndTabs) {
    Lines lines({"ABCDEFGHIJ"});
    EXPECT_EQ(read("(2X,3A1,T1,A1,TR2,A1,TL3,A1)", lines, 1, 6), "CDEADB");
}

TEST(FormatRead, FieldWidthsAgainstItemWidth) {
    Lines lines({"ABCDEFGHIJ"});
    // A3 into a 2-character field keeps the rightmost 2; A1 is blank-padded; A takes the width.
    EXPECT_EQ(read("(A3,A1,A)", lines, 2, 3), "BCD EF");
}

TEST(FormatRead, ColumnsBeyondTheLineAreBlank) {
    Lines lines({"AB"});
    EXPECT_EQ(read("(A1,T30,2A1)", lines, 1, 3), "A  ");
}

TEST(FormatRead, RepeatsAndNestedGroups) {
    Lines lines({"ABCDEFGHIJKL"});
    EXPECT_EQ(read("(2(A1,1X,2(A1)),A1)", lines, 1, 7), "ACDEGHI");
}

TEST(FormatRead, SlashMakesARecordSpanLines) {
    Lines lines({"AB", "CD", "EF", "GH"});
    EXPECT_EQ(read("(2A1/2A1)", lines, 1, 4), "ABCD");
    EXPECT_EQ(read("(2A1/2A1)", lines, 1, 4), "EFGH");
}

TEST(FormatRead, TrailingSlashSkipsALineWithoutSpoilingTheLastRecord) {
    Lines lines({"AB", "skip", "CD"});
    EXPECT_EQ(read("(2A1/)", lines, 1, 2), "AB");
    EXPECT_EQ(read("(2A1/)", lines, 1, 2), "CD");  // the source ends at the skipped line
    int status = 0;
    read("(2A1/)", lines, 1, 2, &status);
    EXPECT_EQ(status, -1);
}

TEST(FormatRead, FormatUsedUpRestartsAtTheLastGroupOnANewLine) {
    Lines lines({"XAB", "CD", "EF"});
    EXPECT_EQ(read("(A1,(2A1))", lines, 1, 5), "XABCD");
    Lines whole({"AB", "CD"});
    EXPECT_EQ(read("(2A1)", whole, 1, 4), "ABCD");
}

TEST(FormatRead, EndOfSourceInsideARecord) {
    Lines lines({"AB"});
    int status = 0;
    read("(2A1/2A1)", lines, 1, 4, &status);
    EXPECT_EQ(status, -1);
    Lines failing({"AB"});
    failing.fail_with = 30;
    read("(2A1/2A1)", failing, 1, 4, &status);
    EXPECT_EQ(status, 30);
}

TEST(FormatRead, NonTextFieldWithFieldsLeftIsAnError) {
    Lines lines({"12345", "12345"});
    int status = 0;
    read("(I3,2A1)", lines, 1, 2, &status);
    EXPECT_EQ(status, fe::kNotAField);
    // After the last field the format stops before a non-text field.
    EXPECT_EQ(read("(2A1,I3)", lines, 1, 2), "12");
}

TEST(FormatRead, FormatWithoutTextFieldsDoesNotLoop) {
    Lines lines({"AB", "CD", "EF"});
    int status = 0;
    read("(2X)", lines, 1, 2, &status);
    EXPECT_EQ(status, fe::kNotAField);
}

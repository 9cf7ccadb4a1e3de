#include <gtest/gtest.h>

#include "engine/input/response_scoring.h"

using namespace korvelan;

namespace {

constexpr int M = 255;

struct Scoring : ::testing::Test {
    korvelan::Run run;
    void SetUp() override {
        run.cv.ni = 4;
        run.cv.xwide = 1;
        run.cv.codes = "01";
        run.cv.categs = 2;
        run.cv.missing = 255;
        run.cv.alphabet = "";
        run.cv.new_scores = "";
        run.cv.rescore_mode = 0;
        run.cv.irefer_mode = 0;
    }
    void codes(const std::string& c, int xwide = 1) {
        run.cv.codes = c;
        run.cv.xwide = xwide;
        run.cv.categs = static_cast<int>(c.size()) / xwide;
    }
    int code_of(const std::string& response) { return find_response_code(run.cv, response); }
    int score(int code, int item = 1) { return score_response(run, code, item); }
};

}  // namespace

TEST_F(Scoring, DefaultCodesScoreTheirDigitsAndOtherResponsesAreMissing) {
    EXPECT_EQ(score(code_of("0")), 0);
    EXPECT_EQ(score(code_of("1")), 1);
    EXPECT_EQ(code_of("2"), 0);
    EXPECT_EQ(score(code_of("2")), M);
    run.cv.missing = 0;
    EXPECT_EQ(score(code_of("2")), 0);
}

TEST_F(Scoring, WideResponsesAreLeftAdjustedAndRepeatedCodesGiveTheirLastNumber) {
    codes("1 2 1 ", 2);
    EXPECT_EQ(code_of(" 1"), 3);
    EXPECT_EQ(code_of("1 "), 3);
    EXPECT_EQ(code_of("2 "), 2);
    EXPECT_EQ(code_of("12"), 0);
    // One-column codes listed twice give their first number.
    codes("0010");
    EXPECT_EQ(code_of("0"), 1);
    EXPECT_EQ(code_of("1"), 3);
}

TEST_F(Scoring, WideCodesReadAsNumbersUpTo255) {
    codes("1201A 300", 3);
    EXPECT_EQ(score(1), 120);
    EXPECT_EQ(score(2), M);  // a letter among the digits
    EXPECT_EQ(score(3), M);  // 300 is above 255
    codes("1 12", 2);
    EXPECT_EQ(score(2), 12);
}

TEST_F(Scoring, AlphabetGivesEachLetterItsPosition) {
    codes("ABCD");
    run.cv.alphabet = "ABC   ";
    EXPECT_EQ(score(1), 0);
    EXPECT_EQ(score(3), 2);
    EXPECT_EQ(score(4), M);
}

TEST_F(Scoring, KeysScoreTheFirstMatchingKeyAndIgnoreKeysNeverGiven) {
    codes("ABCD");
    run.input.scoring_flag = true;
    auto& s = run.arrays.strings;
    s.answer_keys = {"CABD", "AAAA", "CCCC"};
    s.key_scores = {1, -1, 3};
    EXPECT_EQ(score(3, 1), 1);  // C: key 1 and key 3 both match
    EXPECT_EQ(score(1, 1), 0);  // A: only the key never given matches
    EXPECT_EQ(score(3, 2), 3);
    EXPECT_EQ(score(0, 2), M);  // not a code
    EXPECT_EQ(find_code_for_category(run, 1, 1), 3);
    EXPECT_EQ(find_code_for_category(run, 0, 1), 1);
    EXPECT_EQ(find_code_for_category(run, 7, 1), 0);
}

TEST_F(Scoring, RescoredItemsAloneAreKeyScored) {
    codes("0123");
    run.input.scoring_flag = true;
    run.cv.rescore_mode = 1;
    auto& s = run.arrays.strings;
    s.rescore = "1000";
    s.answer_keys = {"3333"};
    s.key_scores = {1};
    EXPECT_EQ(score(4, 1), 1);
    EXPECT_EQ(score(3, 1), 0);
    EXPECT_EQ(score(3, 2), 2);  // not rescored: the code's own digit
}

TEST_F(Scoring, NewScoresShorterThanTheCodesLeaveTheRestMissing) {
    codes("0123");
    run.input.scoring_flag = true;
    run.cv.rescore_mode = 2;
    run.cv.new_scores = "32";
    EXPECT_EQ(score(1), 3);
    EXPECT_EQ(score(2), 2);
    EXPECT_EQ(score(3), M);
}

TEST_F(Scoring, IreferLetterChoosesTheIvalueRow) {
    codes("ABC");
    run.input.scoring_flag = true;
    run.cv.irefer_mode = 1;
    auto& s = run.arrays.strings;
    s.irefer = "ABC ";
    s.ivalue_rows = {"A210", "B1**"};
    EXPECT_EQ(score(1, 1), 2);
    EXPECT_EQ(score(2, 2), M);  // padded with "*"
    EXPECT_EQ(score(1, 3), M);  // no row C: the code itself, a letter, is missing
    run.cv.alphabet = "ABC";
    EXPECT_EQ(score(3, 3), 2);
}

TEST_F(Scoring, FastLookupsAgreeWithTheScoringRoutines) {
    codes("A1 b");
    run.input.scoring_flag = true;
    run.arrays.strings.answer_keys = {"1Ab "};
    run.arrays.strings.key_scores = {2};
    ResponseCoder coder(run.cv);
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        ASSERT_EQ(coder.code(&c), find_response_code(run.cv, std::string_view(&c, 1))) << b;
    }
    ScoreTable table(run);
    for (int i = 1; i <= 4; ++i)
        for (int c = 0; c <= 255; ++c)
            ASSERT_EQ(table.score(static_cast<std::uint8_t>(c), i), c <= 4 ? score(c, i) : M)
                << i << " " << c;
}

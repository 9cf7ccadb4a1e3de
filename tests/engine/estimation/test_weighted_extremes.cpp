// Weights never change which entries are extreme: whole runs of one data set with persons and
// items at the top and the bottom, unweighted and under a grid of decimal item weights and
// decimal person weights, and the rounding of weighted sums at their ends and at whole numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/estimation/weighted_sums.h"
#include "tests/engine/tables/summary_fixture.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// Twelve persons on seven items coded 0-5. Item F is answered 0 and item G 5 by everyone; once
// they are set aside Ann (5 on A-E) is at the top and Bob (0 on A-E) at the bottom. Cal answers 5
// on A-D and 0 on E, and keeps them measured. Weights are given as "1 .3" lines: iweights for
// items, pweights for persons.
std::string extremes_set(const std::string& iweights, const std::string& pweights) {
    std::string text = "TITLE=Ends\nNI=7\nITEM1=1\nNAME1=9\nNAMLEN=3\nCODES=012345\nMUCON=200\n";
    if (!iweights.empty()) text += "IWEIGHT=*\n" + iweights + "*\n";
    if (!pweights.empty()) text += "PWEIGHT=*\n" + pweights + "*\n";
    text += "&END\nA\nB\nC\nD\nE\nF\nG\nEND LABELS\n";
    const char* rows[] = {"5555505 Ann", "0000005 Bob", "5555005 Cal", "1234305 Dee", "4321505 Eve", "2314405 Fay",
                          "3452205 Gus", "1423105 Hal", "3541305 Ida", "2134505 Jon", "5243005 Kim", "0413505 Lee"};
    for (const char* r : rows) text += std::string(r) + "\n";
    return text;
}

struct Outcome {
    std::vector<int> persons, items;
    bool subsets = false, converged = true;
};

Outcome outcome_of(const std::string& iweights, const std::string& pweights) {
    SummaryRun run(extremes_set(iweights, pweights));
    Outcome o;
    EXPECT_EQ(run.exit_status, 0) << iweights << pweights;
    const AnalysisArrays& a = run.run.arrays;
    for (int p = 1; p <= a.persons; ++p) o.persons.push_back(a.person_status[static_cast<std::size_t>(p)]);
    for (int i = 1; i <= a.items; ++i) o.items.push_back(a.item_status[static_cast<std::size_t>(i)]);
    o.subsets = run.shows("SUBSETS");
    o.converged = !run.shows(" WARNING: ITERATION LIMIT REACHED BEFORE CONVERGENCE. MEASURES ARE NOT CONVERGED.");
    return o;
}

}  // namespace

TEST(WeightedExtremes, TheSameEntriesAreExtremeUnderEveryGridOfWeights) {
    const Outcome plain = outcome_of("", "");
    // Ann and Bob extreme (maximum, minimum), F extreme hard and G extreme easy, the rest measured.
    ASSERT_EQ(plain.persons, (std::vector<int>{0, -1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    ASSERT_EQ(plain.items, (std::vector<int>{1, 1, 1, 1, 1, 0, -1}));
    ASSERT_FALSE(plain.subsets);
    ASSERT_TRUE(plain.converged);
    const std::vector<std::string> grid{".1", ".3", ".7", "1.1", "2.2", "3.3"};
    int runs = 0;
    for (const std::string& first : grid)
        for (const std::string& second : grid) {
            // Item weights on A and B (in Ann's and Bob's scores), person weights on Ann and Cal
            // (in the score of the easy item G and of item E).
            const Outcome by_items = outcome_of("1 " + first + "\n2 " + second + "\n", "");
            const Outcome by_persons = outcome_of("", "1 " + first + "\n3 " + second + "\n");
            for (const Outcome* o : {&by_items, &by_persons}) {
                const std::string weights = (o == &by_items ? "items " : "persons ") + first + " " + second;
                EXPECT_EQ(o->persons, plain.persons) << weights;
                EXPECT_EQ(o->items, plain.items) << weights;
                EXPECT_FALSE(o->subsets) << weights;
                EXPECT_TRUE(o->converged) << weights;
            }
            ++runs;
        }
    EXPECT_EQ(runs, 36);
}

TEST(WeightedSums, EndsAndWholeNumbersInDecimalCountAsReached) {
    // 5 x (.3 + 2.2 + 1 + 1 + 1) = 27.5: the sum of float products in any order is the top.
    const float w[] = {0.3f, 2.2f, 1.0f, 1.0f, 1.0f};
    double score = 0.0, maximum = 0.0;
    for (float x : w) score += 5.0 * x;
    for (int k = 4; k >= 0; --k) maximum += static_cast<double>(5.0f * w[k]);
    EXPECT_EQ(reachable_score_end(score, maximum), ScoreEnd::kHighest);
    EXPECT_EQ(reachable_score_end(maximum - 0.3 * 0.3f, maximum), ScoreEnd::kBetween);
    EXPECT_EQ(reachable_score_end(0.0, maximum), ScoreEnd::kLowest);
    EXPECT_EQ(reachable_score_end(0.1f, maximum), ScoreEnd::kBetween);
    // Whole-number sums stay apart at any size, and so do sums of weights of .001.
    EXPECT_EQ(reachable_score_end(999999.0, 1000000.0), ScoreEnd::kBetween);
    EXPECT_EQ(reachable_score_end(1.0, 1000000.0), ScoreEnd::kBetween);
    EXPECT_EQ(reachable_score_end(99.999, 100.0), ScoreEnd::kBetween);

    // .7 is held below .7: 5 x .7 is 3.5 in decimal, so 4 rows of scores, not 3.
    EXPECT_EQ(weighted_score_nint(5.0 * static_cast<double>(0.7f)), 4);
    EXPECT_EQ(weighted_score_nint(3.4999), 3);
    EXPECT_EQ(weighted_score_nint(48.6), 49);
    EXPECT_EQ(weighted_score_nint(-2.5), -3);

    // .1 x 10 + 7 is 8, drawn as 8; a true fraction is still rounded up.
    double count = 7.0;
    for (int k = 0; k < 10; ++k) count += 0.1f;
    EXPECT_EQ(drawn_count(count), 8);
    EXPECT_EQ(drawn_count(0.3f + 1.7f), 2);
    EXPECT_EQ(drawn_count(8.1), 9);
    EXPECT_EQ(drawn_count(0.25), 1);
    EXPECT_EQ(drawn_count(0.0), 0);
    EXPECT_EQ(drawn_count(1234567.0), 1234567);
    EXPECT_EQ(drawn_count(1234567.2), 1234568);
}

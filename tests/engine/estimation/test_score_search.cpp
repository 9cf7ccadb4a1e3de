// The score-to-measure search against the expected-score equation solved here on its own:
// dichotomous persons and items in closed form, a rating scale from its step calibrations; the
// extreme scores, the chain models, user scaling, weights, the iteration cap and values that
// are not finite.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/estimation/score_search.h"

using namespace korvelan;

namespace {

// Items in one group (top category `top`, model `model`) with steps 0, -1, 0, 1, ... (slot 0
// unused), at the given measures (element 0 unused).
struct Items {
    std::vector<std::int8_t> status;
    std::vector<float> measures, weights;
    std::vector<std::int32_t> item_group;
    std::vector<float> steps;
    std::vector<std::int32_t> category_status;
    std::int32_t top = 1, first = 1;
    char model = 'R';

    Items(std::vector<float> m, int t, char mo) : measures(std::move(m)), top(t), model(mo) {
        const int n = static_cast<int>(measures.size()) - 1;
        status.assign(static_cast<std::size_t>(n) + 1, 1);
        item_group.assign(static_cast<std::size_t>(n) + 1, 1);
        steps.assign(static_cast<std::size_t>(top) + 2, 0.0f);
        for (int k = 1; k <= top; ++k) steps[static_cast<std::size_t>(k) + 1] = top == 1 ? 0.0f : k - 1.0f - (top - 1) / 2.0f;
        category_status.assign(static_cast<std::size_t>(top) + 2, 1);
    }
    ScoreSearchItems items() const {
        ScoreSearchItems s;
        s.side = {status, measures, weights, static_cast<std::int32_t>(measures.size()) - 1};
        s.item_group = item_group;
        s.groups = RatingScaleGroups{1, &top, &first, &model};
        s.steps = steps.data();
        s.category_status = category_status.data();
        return s;
    }
    CategoryModel group() const {
        return CategoryModel{top, model, steps.data() + first, category_status.data() + first};
    }
    // Expected score and information of a person at logit b (rating-scale formulas).
    double expected(double b, double& information) const {
        double e = 0, e2 = 0;
        information = 0;
        for (std::size_t i = 1; i < measures.size(); ++i) {
            if (status[i] <= 0) continue;
            std::vector<double> p(static_cast<std::size_t>(top) + 1, 1.0);
            double sum = 1, cumulative = 0;
            for (int k = 1; k <= top; ++k) {
                cumulative += b - measures[i] - steps[static_cast<std::size_t>(k) + 1];
                p[static_cast<std::size_t>(k)] = std::exp(cumulative);
                sum += p[static_cast<std::size_t>(k)];
            }
            double x = 0, x2 = 0;
            for (int k = 0; k <= top; ++k) x += k * p[static_cast<std::size_t>(k)] / sum, x2 += k * k * p[static_cast<std::size_t>(k)] / sum;
            const double w = weights.empty() ? 1.0 : weights[i];
            e += w * x, e2 += w * x2, information += w * (x2 - x * x);
        }
        return e;
    }
    // The logit whose expected score is the target, by bisection.
    double solve(double target) const {
        double lo = -30, hi = 30, info = 0;
        for (int k = 0; k < 200; ++k) {
            const double mid = (lo + hi) / 2;
            (expected(mid, info) < target ? lo : hi) = mid;
        }
        return (lo + hi) / 2;
    }
};

}  // namespace

TEST(ScoreSearch, PersonMeasuresSolveTheExpectedScoreEquation) {
    for (int top : {1, 3}) {
        Items t({0, -1.5f, -0.5f, 0.0f, 0.7f, 2.0f}, top, 'R');
        const int maximum = 5 * top;
        float start = 0.0f;
        for (int score = 0; score <= maximum; ++score) {
            const ScoreMeasure m = find_person_measure_for_score(start, static_cast<float>(score),
                                                                 static_cast<float>(maximum), t.items(), {});
            const double target = std::min(std::max(score, 0) * 1.0, maximum - 0.3);
            const double expected = t.solve(std::max(target, 0.3));
            double information = 0;
            t.expected(expected, information);
            EXPECT_TRUE(m.converged) << top << " " << score;
            EXPECT_NEAR(m.measure, expected, 0.002) << top << " " << score;
            EXPECT_NEAR(m.standard_error, 1.0 / std::sqrt(information), 0.002) << top << " " << score;
            EXPECT_NEAR(m.information, information, 0.002 * information + 1e-4);
            start = m.measure;
        }
    }
}

TEST(ScoreSearch, UserScalingAndWeightsAndPairing) {
    Items t({0, 50.0f - 10.0f, 50.0f, 50.0f + 10.0f}, 1, 'R');
    t.weights = {0, 2.0f, 1.0f, 0.5f};
    ScoreSearchScale scale;
    scale.umean = 50.0f, scale.uscale = 10.0f;
    const ScoreMeasure m = find_person_measure_for_score(50.0f, 2.0f, 3.5f, t.items(), scale);
    // In logits the items stand at -1, 0 and 1, weighted 2, 1 and 0.5.
    Items logits({0, -1.0f, 0.0f, 1.0f}, 1, 'R');
    logits.weights = t.weights;
    double information = 0;
    const double b = logits.solve(2.0);
    logits.expected(b, information);
    EXPECT_NEAR(m.measure, 50.0 + 10.0 * b, 0.02);
    EXPECT_NEAR(m.standard_error, 10.0 / std::sqrt(information), 0.02);
    scale.paired = true;
    const ScoreMeasure paired = find_person_measure_for_score(50.0f, 2.0f, 3.5f, t.items(), scale);
    EXPECT_NEAR(paired.standard_error, 1.4142 * m.standard_error, 1e-4);
    EXPECT_NEAR(paired.information, 0.5 * m.information, 1e-4);
}

TEST(ScoreSearch, ItemMeasuresSolveTheExpectedScoreEquation) {
    // Persons at these measures against one dichotomous item: score s means s of them succeed.
    const std::vector<float> persons = {0, -2.0f, -1.0f, 0.0f, 0.5f, 1.0f, 3.0f};
    const std::vector<std::int8_t> status = {0, 1, 1, 1, 1, 1, 1};
    const ScoreSearchSide side{status, persons, {}, 6};
    Items t({0, 0.0f}, 1, 'R');
    float start = 0.0f;
    for (int score = 0; score <= 6; ++score) {
        const ScoreMeasure m = find_item_measure_for_score(start, score, 6, side, t.group(), {});
        const double target = std::min(std::max(score * 1.0, 0.3), 5.7);
        double lo = -30, hi = 30;
        auto expected = [&](double d) {
            double e = 0;
            for (int n = 1; n <= 6; ++n) e += 1 / (1 + std::exp(d - persons[static_cast<std::size_t>(n)]));
            return e;
        };
        for (int k = 0; k < 200; ++k) {
            const double mid = (lo + hi) / 2;
            (expected(mid) > target ? lo : hi) = mid;
        }
        EXPECT_TRUE(m.converged) << score;
        // The item search stops within 0.01 of the target score.
        EXPECT_NEAR(m.measure, (lo + hi) / 2, 0.02) << score;
        start = m.measure;
    }
}

TEST(ScoreSearch, ChainModelsConvergeAtEveryScoreIncludingTheExtremes) {
    for (char model : {'S', 'F'}) {
        Items t({0, -1.0f, 0.0f, 0.5f, 1.5f}, 3, model);
        // The chains' expected score rises with the measure, so each higher score has a higher
        // measure, and every search ends converged.
        float previous = -1e9f;
        for (int score = 0; score <= 12; ++score) {
            const ScoreMeasure m = find_person_measure_for_score(0.0f, static_cast<float>(score), 12.0f, t.items(), {});
            EXPECT_TRUE(m.converged) << model << " " << score;
            EXPECT_TRUE(std::isfinite(m.measure) && std::isfinite(m.standard_error));
            EXPECT_LT(m.iterations, kScoreSearchIterationCap);
            EXPECT_GT(m.measure, previous) << model << " " << score;
            previous = m.measure;
        }
        const std::vector<float> persons = {0, -1.0f, 0.0f, 1.0f, 2.0f};
        const std::vector<std::int8_t> status = {0, 1, 1, 1, 1};
        const ScoreSearchSide side{status, persons, {}, 4};
        for (int score : {0, 6, 12}) {
            const ScoreMeasure m = find_item_measure_for_score(0.0f, score, 12, side, t.group(), {});
            EXPECT_TRUE(m.converged) << model << " item " << score;
        }
    }
}

TEST(ScoreSearch, TheCapAndValuesThatAreNotFiniteEndTheSearch) {
    Items t({0, -1.0f, 0.0f, 1.0f}, 1, 'R');
    ScoreSearchScale capped;
    capped.iteration_cap = 3;
    // From 40 logits away the walk of one logit per iteration cannot arrive in three.
    const ScoreMeasure m = find_person_measure_for_score(40.0f, 1.5f, 3.0f, t.items(), capped);
    EXPECT_FALSE(m.converged);
    EXPECT_EQ(m.iterations, 3);
    EXPECT_FLOAT_EQ(m.measure, 37.0f);
    const ScoreMeasure free = find_person_measure_for_score(40.0f, 1.5f, 3.0f, t.items(), {});
    EXPECT_TRUE(free.converged);
    EXPECT_NEAR(free.measure, 0.0, 0.002);

    Items broken({0, -1.0f, std::numeric_limits<float>::quiet_NaN(), 1.0f}, 1, 'R');
    const ScoreMeasure n = find_person_measure_for_score(0.0f, 1.5f, 3.0f, broken.items(), {});
    EXPECT_FALSE(n.converged);
    EXPECT_LE(n.iterations, 1);
    EXPECT_TRUE(std::isfinite(n.measure));
}

// A long test sums its items in blocks, on worker threads when there are several: every
// measure must be the same bit for bit at any thread count, and still solve the equation (an
// item lost or counted twice at a block's edge would move it). Items alike are counted once
// with their number: a test where every difficulty comes four times must solve it too.
TEST(ScoreSearch, LongTestsGiveTheSameMeasuresAtAnyThreadCount) {
    const int n = 2 * kScoreEntryBlock + 123;
    for (int repeats : {1, 4}) {
        std::vector<float> measures{0.0f};
        for (int i = 0; i < n; ++i) measures.push_back(-3.0f + 6.0f * static_cast<float>(i / repeats) / n);
        Items t(measures, 1, 'R');
        std::vector<std::vector<float>> found;
        for (int threads : {1, 3, 8}) {
            ScoreEntryList list = score_item_list(t.items(), {}, threads);
            EXPECT_EQ(list.blocks, repeats == 1 ? 3 : 1);
            std::vector<float> chain;
            float start = 0.0f;
            // Enough searches for the pace to try both ways of summing more than once.
            for (int score = 1; score < n; score += 13) {
                const ScoreMeasure m = find_person_measure_for_score(start, static_cast<float>(score),
                                                                     static_cast<float>(n), list, {});
                chain.push_back(m.measure);
                chain.push_back(m.standard_error);
                start = m.measure;
            }
            found.push_back(chain);
        }
        EXPECT_EQ(found[0], found[1]);
        EXPECT_EQ(found[0], found[2]);
        for (int score : {1, 1000, 3000, 4200}) {
            const std::size_t row = static_cast<std::size_t>((score - 1) / 13) * 2;
            EXPECT_NEAR(found[0][row], t.solve(static_cast<double>((score - 1) / 13 * 13 + 1)), 0.0005)
                << repeats << " " << score;
        }
    }
}

// The persons of an item search are gathered the same way: a sample where every person comes
// three times is, to the last bit, the same sample with a weight of 3 on each person; and a
// sample of distinct persons spread over several blocks gives the same measures at any thread
// count.
TEST(ScoreSearch, PersonsAlikeCountLikeWeightsAndThreadsChangeNoItemMeasure) {
    const std::vector<float> few = {0, -2.0f, -1.0f, 0.0f, 0.5f, 1.0f, 3.0f};
    std::vector<float> tripled{0}, weights(few.size(), 3.0f);
    for (std::size_t n = 1; n < few.size(); ++n) tripled.insert(tripled.end(), 3, few[n]);
    const std::vector<std::int8_t> status_few(few.size(), 1), status_tripled(tripled.size(), 1);
    Items t({0, 0.0f}, 1, 'R');
    ScoreEntryList weighted = score_person_list({status_few, few, weights, 6}, t.group(), {});
    ScoreEntryList repeated = score_person_list({status_tripled, tripled, {}, 18}, t.group(), {});
    ASSERT_EQ(repeated.kinds.size(), 6u);
    for (int score = 0; score <= 18; ++score) {
        const ScoreMeasure a = find_item_measure_for_score(0.0f, score, 18, weighted, {});
        const ScoreMeasure b = find_item_measure_for_score(0.0f, score, 18, repeated, {});
        EXPECT_EQ(a.measure, b.measure) << score;
        EXPECT_EQ(a.standard_error, b.standard_error) << score;
    }

    std::vector<float> many{0};
    for (int n = 0; n < kScoreEntryBlock + 500; ++n) many.push_back(-4.0f + 8.0f * static_cast<float>(n) / kScoreEntryBlock);
    const std::vector<std::int8_t> status_many(many.size(), 1);
    const int count = static_cast<int>(many.size()) - 1;
    std::vector<float> at[2];
    for (int threads : {1, 8}) {
        ScoreEntryList list = score_person_list({status_many, many, {}, count}, t.group(), {}, threads);
        EXPECT_EQ(list.blocks, 2);
        float start = 0.0f;
        for (int score = 1; score < count; score += 97) {
            start = find_item_measure_for_score(start, score, count, list, {}).measure;
            at[threads == 8].push_back(start);
        }
    }
    EXPECT_EQ(at[0], at[1]);
}

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/estimation/prox.h"
#include "tests/engine/estimation/estimation_fixture.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

int base(int s) { return s > 8 ? s - 16 : s; }

// Three measured persons and one with every item right, on three items; without the extreme
// person no other entry becomes extreme.
DataSet small() {
    DataSet d;
    d.x = {{1, 0, 0}, {1, 1, 0}, {0, 1, 1}, {1, 1, 1}};
    return d;
}

std::vector<std::string> rows(EstimationRun& e) {
    std::vector<std::string> r;
    for (const std::string& l : crlf_lines(e.report()))
        if (l.size() > 9 && l[0] == '|' && l[9] >= '0' && l[9] <= '9') r.push_back(l);
    return r;
}

}  // namespace

// ---- Category numbering ----------------------------------------------------------------------

TEST(ProxCategories, DeletedCategoriesLeaveTheNumberingAtTheStart) {
    AnalysisArrays a;
    a.groups = 2, a.slots = 6;
    a.group_top_value = {0, 3, 1};
    a.group_top_category = {0, -1, -1};
    a.group_first_slot = {0, 1, 5};
    a.category_status = {0, 1, -1, 1, 1, 1, -1};
    a.step_calibration = {0, 0.0f, 0.5f, 1.5f, 2.5f, 0.0f, 0.0f};
    a.category_recoded.assign(7, 9);
    a.category_value.assign(7, 9);
    renumber_categories_at_start(a);
    // Group 1: value 1 is deleted, values 2 and 3 become numbers 1 and 2 with their steps.
    EXPECT_EQ(a.category_recoded, (std::vector<std::int32_t>{9, 0, -3, 1, 2, -4, -3}));
    EXPECT_EQ(a.category_value[1], 0);
    EXPECT_EQ(a.category_value[2], 2);
    EXPECT_EQ(a.category_value[3], 3);
    EXPECT_EQ(a.step_calibration[2], 1.5f);
    EXPECT_EQ(a.step_calibration[3], 2.5f);
    EXPECT_EQ(a.group_top_category[1], 2);
    // Group 2 keeps one category: no scale.
    EXPECT_EQ(a.group_top_category[2], -1);
}

TEST(ProxCategories, UnusedBottomCategoryIsDroppedAndStepsSumToZero) {
    EstimationRun e;
    DataSet d;
    d.x = {{1, 2, 3}, {2, 2, 1}, {3, 1, 2}, {2, 3, 3}, {1, 1, 2}};
    d.tops = {3};  // scores 1-3 only: category 0 is never used
    e.load(d);
    estimate_prox(e.run, e.settings, e.observer);
    const AnalysisArrays& a = e.run.arrays;
    EXPECT_EQ(a.category_recoded[1], -4);
    EXPECT_EQ(a.category_recoded[2], 0);
    EXPECT_EQ(a.category_recoded[4], 2);
    EXPECT_EQ(a.group_top_category[1], 2);
    EXPECT_EQ(a.category_value[1], 1);  // number 0 stands for the value 1
    EXPECT_NEAR(a.step_calibration[2] + a.step_calibration[3], 0.0, 1e-6);
    // The empty bottom slot is left out from the start: both rows count the three categories.
    const std::vector<std::string> r = rows(e);
    ASSERT_GE(r.size(), 2u);
    EXPECT_EQ(r[0].substr(27, 6), "     3");
    EXPECT_EQ(r[1].substr(27, 6), "     3");
}

TEST(ProxCategories, UnobservedMiddleCategoryIsKeptOrDropped) {
    DataSet d;
    d.x = {{0, 2, 2}, {2, 0, 0}, {2, 2, 0}, {0, 0, 2}, {2, 0, 2}};
    d.tops = {2};
    for (char keep : {'Y', 'N'}) {
        EstimationRun e;
        e.settings.keep_unobserved_steps = keep;
        e.load(d);
        estimate_prox(e.run, e.settings, e.observer);
        const AnalysisArrays& a = e.run.arrays;
        if (keep == 'Y') {
            EXPECT_EQ(a.group_top_category[1], 2);
            EXPECT_EQ(a.category_status[2], 0);  // kept, with probability 0
            EXPECT_EQ(a.category_recoded[3], 2);
        } else {
            EXPECT_EQ(a.group_top_category[1], 1);
            EXPECT_EQ(a.category_recoded[2], -4);
            EXPECT_EQ(a.category_recoded[3], 1);
            EXPECT_EQ(a.step_calibration[2], 0.0f);  // a dichotomy: its one step is 0
        }
    }
}

// ---- Extreme ranges ------------------------------------------------------------------------

TEST(ProxExtremes, ListsKeepTheFiveMostExtremeValues) {
    float high[6], low[6];
    int nh = 0, nl = 0;
    for (float v : {3.0f, 1.0f, 4.0f, 1.0f, 5.0f, 9.0f, 2.0f, 6.0f}) {
        insert_extreme_value(nh, v, high, true, 10);
        insert_extreme_value(nl, v, low, false, 10);
    }
    ASSERT_EQ(nh, 5);
    EXPECT_EQ(std::vector<float>(high, high + 5), (std::vector<float>{9, 6, 5, 4, 3}));
    EXPECT_EQ(std::vector<float>(low, low + 5), (std::vector<float>{1, 1, 2, 3, 4}));
    EXPECT_FLOAT_EQ(extreme_range(high, low, nh, 8), 16.0f / 5.0f);  // (8 + 5 + 3 + 1 - 1) / 5
    EXPECT_EQ(extreme_range(high, low, nh, 5), 0.0f);               // the lists hold everyone
}

// ---- Classification and the first iteration ----------------------------------------------

TEST(ProxIteration, FirstRowFromTheNormalApproximation) {
    // All measures start at 0, so every spread is 0 and each estimate is a plain log-odds:
    // persons ln(1/2), ln(2/1), ln(2/1); items from all four persons (the extreme person still
    // counts in the first pass) ln(1/3), ln(1/3), ln(2/2). Walking the items from the last, the
    // largest change is item 2's 0 - ln(1/3) (item 1's equal one does not replace it); after
    // centring the items are -0.3662, -0.3662, 0.7324. With three items the range lists hold two
    // values: persons (1.3863 + 0) / 2, items (1.0986 + 0) / 2.
    EstimationRun e;
    e.load(small());
    estimate_prox(e.run, e.settings, e.observer);
    const std::vector<std::string> r = rows(e);
    ASSERT_GE(r.size(), 3u);
    EXPECT_EQ(r[0], "|        1        4       3     2        .69     .55        1.0986           |");
    EXPECT_EQ(r[1].substr(0, 33), "|        2        3       3     2");
    const AnalysisArrays& a = e.run.arrays;
    EXPECT_EQ(base(a.person_status[4]), 0);
    EXPECT_EQ(a.estimation.active_persons, 3);
    EXPECT_EQ(a.estimation.reestimate_flag, 1);
    EXPECT_EQ(e.run.rep.persons_analysed, 3);  // for the Table headings
    EXPECT_EQ(e.run.rep.categories, 2);
}

TEST(ProxIteration, ExtremeCodesFollowTheDirectionOfTheScale) {
    DataSet d = small();
    d.x.push_back({0, 0, 0});
    for (float uscale : {1.0f, -1.0f}) {
        EstimationRun e;
        e.settings.uscale = uscale;
        e.load(d);
        estimate_prox(e.run, e.settings, e.observer);
        EXPECT_EQ(base(e.run.arrays.person_status[4]), uscale > 0 ? 0 : -1);
        EXPECT_EQ(base(e.run.arrays.person_status[5]), uscale > 0 ? -1 : 0);
    }
}

TEST(ProxIteration, PersonsWithoutUsableResponsesAreDropped) {
    DataSet d = small();
    d.x.push_back({-1, -1, -1});
    EstimationRun e;
    e.load(d);
    e.run.arrays.person_status[4] = 0;  // already extreme: becomes inestimable
    estimate_prox(e.run, e.settings, e.observer);
    EXPECT_EQ(base(e.run.arrays.person_status[5]), -2);
    EXPECT_EQ(base(e.run.arrays.person_status[4]), 0);  // it has responses
    const float* record = &e.run.arrays.person_record_image[4 * 7];
    EXPECT_EQ(std::vector<float>(record, record + 7), std::vector<float>(7, 0.0f));
}

TEST(ProxIteration, CompleteResponsesCarryTheMarkAndMissingOnesDoNot) {
    DataSet d = small();
    d.x[0][2] = -1;
    EstimationRun e;
    e.load(d);
    estimate_prox(e.run, e.settings, e.observer);
    EXPECT_EQ(e.run.arrays.person_status[1], 1);
    EXPECT_EQ(e.run.arrays.person_status[2], 17);
    // A success chain anywhere takes the mark away from everyone.
    EstimationRun s;
    DataSet chain;
    chain.x = {{0, 1, 2}, {1, 2, 0}, {2, 1, 1}, {1, 0, 2}};
    chain.models = "S";
    s.load(chain);
    estimate_prox(s.run, s.settings, s.observer);
    for (int p = 1; p <= 4; ++p) EXPECT_LE(s.run.arrays.person_status[p], 8) << p;
}

TEST(ProxIteration, WorkRecordHoldsCountsScoresAndClampedModelScore) {
    EstimationRun e;
    e.settings.extreme_score_adjustment = 0.3f;
    e.load(small());
    estimate_prox(e.run, e.settings, e.observer);
    // Person 2: two of three right. Person 4 (extreme): 3 of 3, model score kept at 3 - 0.3.
    const float* p2 = &e.run.arrays.person_record_image[1 * 7];
    EXPECT_EQ(p2[0], 3.0f);
    EXPECT_EQ(p2[1], 2.0f);
    EXPECT_EQ(p2[2], 3.0f);
    EXPECT_EQ(p2[3], 3.0f);
    EXPECT_EQ(p2[4], 2.0f);
    const float* p4 = &e.run.arrays.person_record_image[3 * 7];
    EXPECT_FLOAT_EQ(p4[4], 2.7f);
}

// ---- Stop rule ---------------------------------------------------------------------------

TEST(ProxStop, LimitOfOneStillRunsTheFirstPhaseAndTheClosingIteration) {
    // Iteration 1 finds the extreme person, iteration 2 changes nothing and ends the first
    // phase, iteration 3 is the closing one.
    EstimationRun e;
    e.settings.prox_limit = 1;
    e.load(small());
    estimate_prox(e.run, e.settings, e.observer);
    EXPECT_EQ(rows(e).size(), 3u);
}

TEST(ProxStop, NoLimitInBatchModeEndsWhenTheRangesSettle) {
    EstimationRun e;
    e.settings.prox_limit = 0;
    e.load(small());
    estimate_prox(e.run, e.settings, e.observer);
    EXPECT_GE(rows(e).size(), 3u);
    EXPECT_LT(rows(e).size(), 50u);
}

TEST(ProxStop, NoLimitInteractiveEndsOnFinishIterating) {
    EstimationRun e;
    e.run.rs.batch = false;
    e.host.finish = true;
    e.settings.prox_limit = 0;
    e.load(small());
    estimate_prox(e.run, e.settings, e.observer);
    EXPECT_EQ(rows(e).size(), 3u);
}

TEST(ProxStop, NothingLeftToMeasureStopsTheRun) {
    EstimationRun e;
    DataSet d;
    d.x = {{1, 1}, {1, 1}, {1, 1}};
    e.load(d);
    EXPECT_THROW(estimate_prox(e.run, e.settings, e.observer), RunStopped);
    EXPECT_TRUE(e.host.shows("No Non-Extreme Persons or Items, see RFILE="));
    EXPECT_TRUE(e.run.rs.run_failed);
}

// ---- Origin ------------------------------------------------------------------------------

TEST(ProxOrigin, ItemsOrPersonsAreCentred) {
    for (char items_side : {'Y', 'N'}) {
        EstimationRun e;
        e.settings.origin_on_items = items_side;
        DataSet d = small();
        d.x.push_back({1, 0, 1});
        e.load(d);
        estimate_prox(e.run, e.settings, e.observer);
        const AnalysisArrays& a = e.run.arrays;
        double items = 0.0, persons = 0.0;
        int np = 0;
        for (int i = 1; i <= 3; ++i) items += a.item_measure[i];
        for (int p = 1; p <= a.persons; ++p)
            if (base(a.person_status[p]) == 1) persons += a.person_measure[p], ++np;
        EXPECT_NEAR(items_side == 'Y' ? items / 3 : persons / np, 0.0, 1e-6) << items_side;
    }
}

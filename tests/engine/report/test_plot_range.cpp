#include <gtest/gtest.h>

#include <vector>

#include "engine/report/plot_range.h"

using namespace korvelan;

namespace {

struct Range {
    float low, high, step, extent;
    bool operator==(const Range&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Range& r) {
    return o << r.low << ".." << r.high << " step " << r.step << " extent " << r.extent;
}

// Three measured persons and an extreme one; a dichotomous item at 0.5 and a rating-scale item
// at 1.0 whose category slots 3-6 hold the thresholds relative to it.
struct PlotRange : ::testing::Test {
    ControlVariables cv;
    AnalysisArrays a;
    std::vector<float> thresholds{0.0f, 0.0f, 0.0f, -4.0f, -2.0f, 0.5f, 3.0f};
    void SetUp() override {
        a.persons = 4;
        a.person_measure = {0.0f, -1.2f, 0.4f, 2.6f, 9.0f};
        a.person_status = {0, 1, 1, 2, 0};
        a.items = 2;
        a.item_measure = {0.0f, 0.5f, 1.0f};
        a.item_status = {0, 1, 1};
        a.item_group = {0, 1, 2};
        a.group_first_slot = {0, 1, 3};
        a.group_top_category = {0, 1, 3};
    }
    Range find(int table, const TableRequest& given = {}) {
        TableRequest request = given;
        request.table = table;
        PlotAxis axis;
        find_plot_measure_range(axis, cv, request, plot_range_sources(a, thresholds));
        return {axis.lowest_measure, axis.highest_measure, axis.axis_step, axis.extent};
    }
    void persons_at(std::vector<float> measures) {
        a.persons = static_cast<int>(measures.size());
        measures.insert(measures.begin(), 0.0f);
        a.person_measure = measures;
        a.person_status.assign(measures.size(), 1);
        a.items = 0;
    }
};

TableRequest limits(char letter2, float s2, char letter3, float s3) {
    TableRequest r;
    r.letters[1] = letter2;
    r.selectors[1] = s2;
    r.letters[2] = letter3;
    r.selectors[2] = s3;
    return r;
}

}  // namespace

TEST_F(PlotRange, ThresholdSpansByTable) {
    // Table 1: the item spans 1 - 2 to 1 + 3 (its first step is the slot after the first).
    EXPECT_EQ(find(1), (Range{-2.0f, 4.0f, 1.0f, 6.0f}));
    EXPECT_EQ(find(12), find(1));
    // Table 2 reads the first slot itself: 1 - 4.
    EXPECT_EQ(find(2), (Range{-3.0f, 4.0f, 1.0f, 7.0f}));
    EXPECT_EQ(find(7), find(2));
    // Other Tables: the item measures only; the extreme person never counts.
    EXPECT_EQ(find(4), (Range{-2.0f, 3.0f, 1.0f, 5.0f}));
    // Table 23 leaves out the persons, Table 24 the items.
    EXPECT_EQ(find(23), (Range{0.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(find(24), (Range{-2.0f, 3.0f, 1.0f, 5.0f}));
}

TEST_F(PlotRange, CurveTablesAreSymmetricAboutUmean) {
    cv.umean = 1.0f;  // the data run from -3 to 4: 4 below and 3 above
    EXPECT_EQ(find(3), (Range{-3.0f, 5.0f, 1.0f, 8.0f}));
    EXPECT_EQ(find(21), find(3));
}

TEST_F(PlotRange, NegativeUscaleThresholdsStillSpanTheItem) {
    // With USCALE= below 0 the first step lies above the item and the top step below it.
    thresholds = {0.0f, 0.0f, 0.0f, 4.0f, 2.0f, -0.5f, -3.5f};
    EXPECT_EQ(find(1), (Range{-3.0f, 3.0f, 1.0f, 6.0f}));
}

TEST_F(PlotRange, RequestLimitsReplaceEitherEnd) {
    EXPECT_EQ(find(4, limits('U', 1.2f, 'U', -2.5f)), (Range{-3.0f, 2.0f, 1.0f, 5.0f}));
    EXPECT_EQ(find(4, limits(' ', 0.0f, 'U', 10.0f)), (Range{-2.0f, 10.0f, 1.0f, 12.0f}));
    // Unset letters leave the selectors unread.
    EXPECT_EQ(find(4, limits(' ', 7.0f, ' ', 8.0f)), find(4));
}

TEST_F(PlotRange, HalfRangeSettingOverridesTheData) {
    cv.umean = 50.0f;
    cv.xa_range = 5.0f;
    EXPECT_EQ(find(1), (Range{45.0f, 55.0f, 1.0f, 10.0f}));
    // Tables 3 and 21 keep it as it is.
    EXPECT_EQ(find(3), find(1));
}

TEST_F(PlotRange, StepOfOneTenOrHundred) {
    persons_at({0.3f, 49.9f});
    EXPECT_EQ(find(4), (Range{0.0f, 50.0f, 1.0f, 50.0f}));
    persons_at({0.0f, 50.0f});
    EXPECT_EQ(find(4), (Range{0.0f, 50.0f, 10.0f, 5.0f}));
    persons_at({-3.0f, 117.0f});
    EXPECT_EQ(find(4), (Range{-10.0f, 120.0f, 10.0f, 13.0f}));
    persons_at({-30.0f, 700.0f});
    EXPECT_EQ(find(4), (Range{-100.0f, 700.0f, 100.0f, 8.0f}));
}

TEST_F(PlotRange, ZeroWidthGainsAStepEachWay) {
    persons_at({2.0f, 2.0f});
    EXPECT_EQ(find(4), (Range{1.0f, 3.0f, 1.0f, 2.0f}));
    persons_at({2.5f});
    EXPECT_EQ(find(4), (Range{2.0f, 3.0f, 1.0f, 1.0f}));
    // Nothing measured at all: the range stands round UMEAN=.
    a.person_status.assign(a.person_status.size(), status::kDropped);
    EXPECT_EQ(find(4), (Range{-1.0f, 1.0f, 1.0f, 2.0f}));
}

// UMEAN=50 USCALE=10 and -10 give mirrored measures that round differently in their last bit
// (50 - 20.000002 is 29.999998 as a float, 50 + 20.000002 is 70): both reach the same ticks, so
// the axis of the one is the mirror of the other's.
TEST_F(PlotRange, MirroredMeasuresReachMirroredTicks) {
    persons_at({29.999998f, 61.3f});
    const Range plus = find(12);
    persons_at({38.7f, 70.0f});
    const Range minus = find(12);
    EXPECT_EQ(plus, (Range{30.0f, 62.0f, 1.0f, 32.0f}));
    EXPECT_EQ(minus.low, 100.0f - plus.high);
    EXPECT_EQ(minus.high, 100.0f - plus.low);
    EXPECT_EQ(minus.extent, plus.extent);
    EXPECT_EQ(axis_floor(2.0f), 2.0f);
    EXPECT_EQ(axis_ceil(2.0f), 2.0f);
    EXPECT_EQ(axis_floor(-0.0001f), 0.0f);
    EXPECT_EQ(axis_ceil(1.001f), 2.0f);
}

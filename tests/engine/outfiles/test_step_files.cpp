// The step files: the reported-step walk over unobserved categories, the item-step file's step
// blocks, and the range and grid of the probability-curve file.
#include <gtest/gtest.h>

#include "engine/outfiles/step_files.h"
#include "tests/engine/outfiles/outfile_data.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// One rating scale 0-3 whose category 2 was not observed, steps -1 and +1 around it; with
// extra_groups further groups of one step each.
AnalysisArrays null_middle_category(int extra_groups) {
    OutfileData d = dichotomous_data();
    AnalysisArrays& a = d.a;
    a.groups = 1 + extra_groups;
    a.group_top_category.assign(static_cast<std::size_t>(a.groups) + 1, 1);
    a.group_first_slot.assign(static_cast<std::size_t>(a.groups) + 1, 0);
    a.group_model.assign(static_cast<std::size_t>(a.groups) + 1, 'R');
    a.group_top_category[1] = 3;
    a.group_first_slot[1] = 1;
    a.step_calibration = {0, 0, -1.0f, 0, 1.0f};
    a.category_status = {0, 1, 1, 0, 1};
    a.category_value = {0, 0, 1, 2, 3};
    for (int g = 2; g <= a.groups; ++g) {
        a.group_first_slot[g] = static_cast<std::int32_t>(a.step_calibration.size());
        for (int k = 0; k < 2; ++k) {
            a.step_calibration.push_back(0);
            a.category_status.push_back(1);
            a.category_value.push_back(k);
        }
    }
    return a;
}

std::vector<float> walk(const AnalysisArrays& a, int g, float uscale, bool* bottom_null = nullptr) {
    std::vector<float> v(a.step_calibration.size(), -99.0f);
    bool null = reported_step_values(a, g, uscale, v.data());
    if (bottom_null) *bottom_null = null;
    const int f = a.group_first_slot[static_cast<std::size_t>(g)];
    return std::vector<float>(v.begin() + f, v.begin() + f + a.group_top_category[static_cast<std::size_t>(g)] + 1);
}

}  // namespace

TEST(ReportedSteps, NullCategoryInOneGroupKeepsTheSumOfTheSteps) {
    AnalysisArrays a = null_middle_category(0);
    EXPECT_EQ(walk(a, 1, 1.0f), (std::vector<float>{0.0f, -1.0f, 39.0f, -38.0f}));
    // User units: the 40 is counted in user units, whatever the sign of USCALE=.
    EXPECT_EQ(walk(a, 1, -10.0f), (std::vector<float>{0.0f, -10.0f, 390.0f, -380.0f}));
}

TEST(ReportedSteps, NullCategoryWithSeveralGroupsCarriesFortyLogits) {
    AnalysisArrays a = null_middle_category(1);
    EXPECT_EQ(walk(a, 1, 1.0f), (std::vector<float>{0.0f, -1.0f, 39.0f, -39.0f}));
    EXPECT_EQ(walk(a, 1, 10.0f), (std::vector<float>{0.0f, -10.0f, 390.0f, -390.0f}));
}

TEST(ReportedSteps, AnchoredStepTakesNoCarryAndBottomMayBeNull) {
    AnalysisArrays a = null_middle_category(0);
    a.category_status[4] = 2;
    EXPECT_EQ(walk(a, 1, 1.0f), (std::vector<float>{0.0f, -1.0f, 39.0f, 1.0f}));
    a.category_status[1] = 0;
    bool bottom_null = false;
    EXPECT_EQ(walk(a, 1, 1.0f, &bottom_null)[0], 0.0f);
    EXPECT_TRUE(bottom_null);
}

TEST(StepMeasureFile, UnobservedBottomCategoryIsNull) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.a = null_middle_category(0);
    d.a.category_status[1] = 0;
    std::vector<std::string> lines = crlf_lines(r.write(d, 'S'));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()),
              (std::vector<std::string>{"  0    NULL", "  1   -1.00", "  2   39.00", "  3  -38.00"}));
    d.s.csv = 'Y';
    lines = crlf_lines(r.write(d, 'S'));
    EXPECT_EQ(lines[2], "0,NULL");
    // The item-step file shows the null category as 0.
    d.s.csv = 'N';
    lines = crlf_lines(r.write(d, 'J'));
    EXPECT_EQ(lines[4].substr(0, 39), "     1    1    3    0   -2.33    1    1");
    EXPECT_EQ(lines[4].substr(79, 18), "    2    2   37.77");
}

TEST(ProbabilityCurveFile, RangeCoversEveryPointWithTwoUnitsToSpare) {
    OutfileData d = rating_scale_data();
    CurveRange range = probability_curve_range(d.s, d.a);
    ASSERT_TRUE(range.set);
    EXPECT_EQ(range.low, -45.0f);
    EXPECT_EQ(range.high, 46.0f);
    d.s.plot_half_range = -60.0f;  // the half-range counts by its size
    range = probability_curve_range(d.s, d.a);
    EXPECT_EQ(range.low, -59.5f);
    EXPECT_EQ(range.high, 60.5f);
    // Truncation toward zero can land inside the range; the end then moves out by 2U.
    d = dichotomous_data();
    d.a.category_score_point_measure = {0, -1.5f, 0.5f};
    range = probability_curve_range(d.s, d.a);
    EXPECT_EQ(range.low, -3.0f);
    EXPECT_EQ(range.high, 2.0f);
    d.a.category_score_point_measure = {0, -1.2f, 1.2f};
    d.s.uscale = -0.25f;
    range = probability_curve_range(d.s, d.a);
    EXPECT_EQ(range.low, -1.5f);
    EXPECT_EQ(range.high, 1.5f);
}

TEST(ProbabilityCurveFile, NoCategorySlotWritesNoFile) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.a.groups = 0;
    EXPECT_EQ(r.write(d, 'G'), "");
    EXPECT_FALSE(file_exists(r.dir.file("out.txt")));
    EXPECT_TRUE(r.host.menus.empty());
    EXPECT_TRUE(r.host.shows("Writing graph plotting file ..."));
}

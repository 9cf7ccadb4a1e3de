// A change of one instruction typed in the shell's Specification dialog, applied to a run that
// went through the whole estimation in this process: the values it transforms are the ones the
// estimation left.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/driver/run_analysis.h"
#include "engine/driver/runtime_change.h"
#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/run/file_units.h"
#include "engine/run/messages.h"
#include "tests/support/test_files.h"
#include "tests/engine/driver/finished_run.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using korvelan::testing::write_file;

namespace {

using korvelan::testing::FinishedRun;

struct AfterRun : ::testing::Test {
    FinishedRun f;
    korvelan::Run& run = f.run;
    AnalysisArrays& a = f.run.arrays;
    void SetUp() override {
        ASSERT_EQ(f.exit_status, 0) << f.host.screen();
        f.host.lines.clear();
    }
    void apply(std::string_view text) { apply_runtime_specification(run, text); }
    const SummarySlot& slot(int k) const { return a.summary[static_cast<std::size_t>(k)]; }
};

using Statuses = std::vector<std::int8_t>;
constexpr float kTolerance = 2e-5f;

}  // namespace

TEST_F(AfterRun, PersonSelectionCountsTheMatchingLabelsAndSummarisesThemAlone) {
    const std::vector<float> measure = a.person_measure;
    apply("PSELECT=A*");
    EXPECT_TRUE(f.host.shows("PERSONS SELECTED: 4\n")) << f.host.screen();
    // Ann, Abe and Al measured (1), Amy extreme maximum (0); the others deselected (1 - 10, and
    // Bea's -1 - 10).
    EXPECT_EQ(a.person_status, (Statuses{a.person_status[0], 1, 1, 0, 1, -9, -9, -11, -9, -9}));
    EXPECT_EQ(a.estimation.person_total, 4);
    EXPECT_EQ(a.estimation.active_persons, 3);
    const float mean = (measure[1] + measure[2] + measure[4]) / 3;
    EXPECT_NEAR(slot(3).mean, mean, kTolerance);
    EXPECT_NEAR(a.estimation.person_mean_measure, mean, kTolerance);
    EXPECT_NEAR(slot(19).mean, (3 * mean + measure[3]) / 4, kTolerance);
    EXPECT_FLOAT_EQ(slot(19).maximum, measure[3]);
    EXPECT_EQ(a.person_measure, measure);  // a selection moves no measure

    apply("PSELECT=*");
    EXPECT_TRUE(f.host.shows("PERSONS SELECTED: 9\n"));
    EXPECT_EQ(a.estimation.person_total, 9);
    EXPECT_EQ(a.estimation.active_persons, 7);
}

TEST_F(AfterRun, UscaleMatchesARunMadeWithThatScale) {
    const std::vector<float> measure = a.person_measure;
    const std::vector<float> error = f.person_errors();
    const std::vector<float> item_measure = a.item_measure;
    const float item_sd = slot(11).sd;
    apply("USCALE=10");
    for (std::size_t p = 1; p <= 9; ++p) {
        EXPECT_NEAR(a.person_measure[p], 10 * measure[p], 1e-4) << p;
        EXPECT_NEAR(f.person_errors()[p], 10 * error[p], 1e-4) << p;
    }
    for (std::size_t i = 1; i <= 5; ++i) EXPECT_NEAR(a.item_measure[i], 10 * item_measure[i], 1e-4);
    EXPECT_NEAR(slot(11).sd, 10 * item_sd, 1e-4);
    EXPECT_NEAR(a.estimation.item_sd_measure, 10 * item_sd, 1e-4);
    EXPECT_NEAR(a.estimation.person_mean_measure, slot(3).mean, kTolerance);

    // The same analysis with USCALE=10 from the start.
    FinishedRun scaled({"USCALE=10"});
    ASSERT_EQ(scaled.exit_status, 0);
    const std::vector<float> scaled_error = scaled.person_errors();
    for (std::size_t p = 1; p <= 9; ++p) {
        EXPECT_NEAR(a.person_measure[p], scaled.run.arrays.person_measure[p], 2e-3) << p;
        EXPECT_NEAR(f.person_errors()[p], scaled_error[p], 2e-3) << p;
    }
    for (int k : {3, 4, 11, 12, 19, 20}) {
        EXPECT_NEAR(slot(k).mean, scaled.run.arrays.summary[static_cast<std::size_t>(k)].mean, 2e-3)
            << k;
        EXPECT_NEAR(slot(k).sd, scaled.run.arrays.summary[static_cast<std::size_t>(k)].sd, 2e-3)
            << k;
    }
}

TEST_F(AfterRun, UmeanMatchesARunMadeWithThatOrigin) {
    const std::vector<float> measure = a.person_measure;
    apply("UMEAN=50");
    EXPECT_NEAR(slot(11).mean, 50.0f, 1e-4);
    EXPECT_NEAR(a.estimation.item_mean_measure, 50.0f, 1e-4);
    for (std::size_t p = 1; p <= 9; ++p) EXPECT_NEAR(a.person_measure[p], measure[p] + 50, 1e-4);

    FinishedRun moved({"UMEAN=50"});
    ASSERT_EQ(moved.exit_status, 0);
    for (std::size_t p = 1; p <= 9; ++p)
        EXPECT_NEAR(a.person_measure[p], moved.run.arrays.person_measure[p], 1e-3) << p;
    EXPECT_NEAR(slot(3).mean, moved.run.arrays.summary[3].mean, 1e-3);
    EXPECT_NEAR(a.estimation.person_mean_measure, moved.run.arrays.summary[3].mean, 1e-3);
}

TEST_F(AfterRun, NegativeUscaleTurnsTheScaleOver) {
    const std::vector<float> measure = a.person_measure;
    const Statuses before = a.person_status;
    apply("USCALE=-1");
    for (std::size_t p = 1; p <= 9; ++p) EXPECT_NEAR(a.person_measure[p], -measure[p], 1e-5);
    Statuses expected = before;
    expected[3] = -1;  // Amy, the highest measure, is now the lowest
    expected[7] = 0;   // and Bea the highest
    EXPECT_EQ(a.person_status, expected);
    EXPECT_GT(f.person_errors()[1], 0.0f);
    EXPECT_NEAR(slot(19).maximum, -measure[7], 1e-5);
    EXPECT_NEAR(slot(19).minimum, -measure[3], 1e-5);
}

TEST_F(AfterRun, StructuralVariablesAndFaultyValuesChangeNothing) {
    const Statuses statuses = a.person_status;
    const std::vector<float> measure = a.person_measure;
    const float mean = slot(3).mean;
    const int ni = run.cv.ni;
    apply("NI=9");
    EXPECT_TRUE(f.host.shows(" THIS VARIABLE CAN ONLY BE SET IN THE CONTROL FILE: NI=9\n"))
        << f.host.screen();
    apply("USCALE=abc");
    EXPECT_TRUE(f.host.shows(" NUMERIC VALUE EXPECTED: USCALE=abc\n")) << f.host.screen();
    apply("PSELECT");
    EXPECT_EQ(run.cv.ni, ni);
    EXPECT_FLOAT_EQ(run.cv.uscale, 1.0f);
    EXPECT_EQ(std::string(trim(run.cv.pselect)), "*");
    EXPECT_EQ(a.person_status, statuses);
    EXPECT_EQ(a.person_measure, measure);
    EXPECT_FLOAT_EQ(slot(3).mean, mean);
    EXPECT_FALSE(run.rs.run_failed);

    apply("USCALE=2");  // the work files still serve a later change
    EXPECT_NEAR(a.person_measure[1], 2 * measure[1], 1e-5);
}

TEST_F(AfterRun, NewItemLabelsServeTheNextItemSelection) {
    write_file(f.dir.file("labels.txt"), "Qa\nQbb ; second\n\nRc\n");
    apply("ILFILE=labels.txt");
    EXPECT_TRUE(f.host.shows(" WRONG NUMBER OF ITEM LABELS. FOUND IN FILE =3, but NI=5\n"))
        << f.host.screen();
    EXPECT_EQ(f.host.lines.back(), "ITLEN=5");
    apply("ISELECT=Q*");
    EXPECT_TRUE(f.host.shows("ITEMS SELECTED: 2\n")) << f.host.screen();
    EXPECT_EQ(a.estimation.item_total, 2);
    apply("ISELECT=I000?");  // the items without a label line carry their number labels
    EXPECT_TRUE(f.host.shows("ITEMS SELECTED: 2\n")) << f.host.screen();
    EXPECT_EQ(a.item_status[4], 1);
    EXPECT_EQ(a.item_status[1], -9);

    apply("ILFILE=missing.txt");  // a file that cannot be read leaves the labels
    EXPECT_TRUE(f.host.shows(" ITEM LABEL FILE OPEN FAILURE\n"));
    f.host.lines.clear();
    apply("ILFILE=" + f.dir.path);  // a folder opens but cannot be read
    EXPECT_NE(f.host.screen().find("PROBLEM: "), std::string::npos) << f.host.screen();
    apply("ISELECT=Qb*");
    EXPECT_TRUE(f.host.shows("ITEMS SELECTED: 1\n")) << f.host.screen();
    EXPECT_FALSE(run.rs.run_failed);
}

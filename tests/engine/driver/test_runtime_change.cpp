#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/driver/runtime_change.h"
#include "engine/estimation/score_points.h"
#include "engine/input/data_input.h"
#include "engine/run/control_checks.h"
#include "engine/run/file_units.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;

namespace {

// A finished run set up directly: six persons and four items with measures in user units,
// statuses, work records and labels, one dichotomous group, and the summary made from them.
struct RuntimeTest : ::testing::Test {
    korvelan::testing::ScratchDir dir;
    korvelan::testing::CwdGuard cwd;
    korvelan::testing::TestHost host;
    korvelan::Run run;
    AnalysisArrays& a = run.arrays;
    //                                    ANNA  BERT  ALEX  BOB   AMY   BEN (removed at input)
    std::vector<std::int8_t> person_status{0, 1, 1, 2, 0, -1, -3};
    std::vector<float> person_measure{0, 1.0f, -0.5f, 0.3f, 3.0f, -3.2f, 0.0f};
    std::vector<float> person_error{0, 0.8f, 0.7f, 0.6f, 1.8f, 1.9f, 0.0f};

    RuntimeTest() {
        if (::chdir(dir.path.c_str()) != 0) throw std::runtime_error("chdir");
        run.host = &host;
        run.rs.temp_directory = dir.path;
        run.rs.run_id = "001";
        run.rs.finished = run.rs.report_closed = true;
        run.cv.ni = 4;
        run.cv.namlen = 6;
        run.cv.itlen = 8;
        normalise_control_settings(run);
        a.persons = 6;
        a.items = 4;
        a.person_status = person_status;
        a.person_measure = person_measure;
        a.person_infit_zstd = {0, 0.9f, -0.4f, 0, 0, 0, 0};
        a.person_outfit_zstd = {0, 0.5f, -0.2f, 0, 0, 0, 0};
        //                ADD    SUB    MUL (extreme)  DIV
        a.item_status = {0, 1, 1, 0, 1};
        a.item_measure = {0, -1.0f, 0.5f, -2.5f, 0.7f};
        a.item_standard_error = {0, 0.9f, 0.85f, 1.8f, 0.95f};
        a.item_raw_score = {0, 3, 2, 5, 2};
        a.item_count = {0, 5, 5, 5, 5};
        a.item_infit_mnsq = {0, 1.2f, 0.7f, 1.0f, 1.1f};
        a.item_outfit_mnsq = {0, 1.4f, 0.6f, 1.0f, 1.0f};
        a.groups = 1;
        a.group_top_category = {0, 1};
        a.group_first_slot = {0, 1};
        a.group_model = {' ', 'R'};
        a.step_calibration = {0, 0, 0};
        a.category_status = {0, 1, 1};
        for (auto* v : {&a.category_half_point_measure, &a.category_score_point_measure,
                        &a.category_thurstone_threshold})
            v->assign(3, 0.0f);
        a.category_observed_average = {0, -0.6f, 0.9f};
        RatingScaleGroups g{1, &a.group_top_category[1], &a.group_first_slot[1], &a.group_model[1]};
        float p[2];
        compute_expected_score_points(g, a.step_calibration.data(), a.category_status.data(), {}, p,
                                      a.category_half_point_measure.data(),
                                      a.category_score_point_measure.data(),
                                      a.category_thurstone_threshold.data());

        WorkFileLayout layout{4, 6, 8, false};
        open_person_work_files(run, layout);
        WorkFiles files(layout);
        const char* names[] = {"", "ANNA", "BERT", "ALEX", "BOB", "AMY", "BEN"};
        for (std::int64_t n = 1; n <= 6; ++n) {
            write_person_name_record(run, files, n, names[n]);
            write_person_work_record(run, files, n,
                                     {4, 2, person_error[n], n == 1 ? 1.3f : 0.9f, 1.0f, 0.3f,
                                      0.05f * static_cast<float>(n)});
        }
        run.rs.item_label_record_length = 5;
        open_item_label_work_file(run, 5);
        const char* labels[] = {"", "ADD", "SUB", "MUL", "DIV"};
        for (std::int64_t i = 1; i <= 4; ++i) write_item_label_record(run, files, i, labels[i]);
        reselect_persons(run, files, false);
        reselect_items(run, files, false);
        host.lines.clear();
    }

    void apply(std::string_view text) { apply_runtime_specification(run, text); }
    const SummarySlot& slot(int k) const { return a.summary[static_cast<std::size_t>(k)]; }
    // Person p's work record, read whether or not ZQQ is open now.
    PersonWorkFields work_record(std::int64_t p) {
        const bool was_open = record_unit_is_open(run, unit::kPersonRecords);
        if (!was_open) open_record_unit(run, unit::kPersonRecords, work_file_path(run, "ZQQ"), 28);
        WorkFiles files = run_work_files(run);
        PersonWorkFields f;
        read_person_work_record(run, files, p, f);
        if (!was_open) close_record_unit(run, unit::kPersonRecords);
        return f;
    }
    // Everything a change may touch, for "nothing changed" checks.
    std::pair<std::vector<float>, std::string> snapshot() {
        const ControlVariables& cv = run.cv;
        std::vector<float> s{cv.uscale, cv.umean, static_cast<float>(cv.ni),
                             static_cast<float>(cv.key_count), static_cast<float>(cv.itlen)};
        for (const auto* v : {&a.person_status, &a.item_status})
            s.insert(s.end(), v->begin(), v->end());
        for (const auto* v : {&a.person_measure, &a.item_measure, &a.item_standard_error,
                              &a.category_score_point_measure})
            s.insert(s.end(), v->begin(), v->end());
        for (std::int64_t p = 1; p <= 6; ++p) s.push_back(work_record(p).standard_error);
        for (const SummarySlot& x : a.summary)
            s.insert(s.end(), {x.mean, x.sd, x.minimum, x.maximum});
        return {s, cv.pselect + cv.iselect + cv.ilfile + cv.title};
    }
};

using Statuses = std::vector<std::int8_t>;

}  // namespace

TEST_F(RuntimeTest, PersonSelectionsReplaceAccumulateAndFallBack) {
    run.rep.person_sort_state = 'M';
    a.estimation.person_residual_correlations_computed = true;
    apply("PSELECT=A*");
    EXPECT_TRUE(host.shows("PERSONS SELECTED: 3\n"));  // ANNA, ALEX, AMY
    EXPECT_EQ(a.person_status, (Statuses{0, 1, -9, 2, -10, -1, -3}));
    EXPECT_EQ(a.estimation.person_total, 3);
    EXPECT_EQ(a.estimation.active_persons, 2);
    EXPECT_FLOAT_EQ(slot(3).mean, 0.65f);                       // ANNA 1.0 and ALEX 0.3
    EXPECT_FLOAT_EQ(slot(19).mean, -1.9f / 3);                  // and AMY
    EXPECT_FLOAT_EQ(slot(17).maximum, 0.8f * std::sqrt(1.3f));  // real S.E.
    EXPECT_EQ(run.rep.person_sort_state, ' ');
    EXPECT_FALSE(a.estimation.person_residual_correlations_computed);

    apply("PSELECT=B*");  // every deselected person is first reinstated
    EXPECT_TRUE(host.shows("PERSONS SELECTED: 2\n"));
    EXPECT_EQ(a.person_status, (Statuses{0, -9, 1, -8, 0, -11, -3}));

    // "+" keeps earlier deselections: nobody is both B* and A*, so B* comes back.
    host.lines.clear();
    apply("+PSELECT=A*");
    EXPECT_TRUE(host.shows(" RETURN TO A PREVIOUS SELECTION ...\nPSELECT= B*\n"));
    EXPECT_EQ(host.lines.back(), "PERSONS SELECTED: 2");
    EXPECT_EQ(a.person_status, (Statuses{0, -9, 1, -8, 0, -11, -3}));

    apply("PSELECT=*");
    EXPECT_EQ(a.person_status, person_status);
    EXPECT_EQ(a.estimation.person_total, 5);
}

TEST_F(RuntimeTest, ItemSelectionMatchesItemLabels) {
    apply("ISELECT={MS}*");
    EXPECT_TRUE(host.shows("ITEMS SELECTED: 2\n"));  // SUB, and MUL (extreme)
    EXPECT_EQ(a.item_status, (Statuses{0, -9, 1, 0, -9}));
    EXPECT_EQ(a.estimation.active_items, 1);
    EXPECT_FLOAT_EQ(slot(11).mean, 0.5f);
    EXPECT_FLOAT_EQ(slot(24).mean, (0.85f + 1.8f) / 2);
}

TEST_F(RuntimeTest, UscaleRescalesMeasuresErrorsAndSummaryExactly) {
    apply("USCALE=10");
    for (std::int64_t p = 1; p <= 5; ++p) {
        EXPECT_FLOAT_EQ(a.person_measure[p], 10 * person_measure[p]);
        EXPECT_FLOAT_EQ(work_record(p).standard_error, 10 * person_error[p]);
        EXPECT_FLOAT_EQ(work_record(p).displacement, 0.5f * static_cast<float>(p));
    }
    EXPECT_FLOAT_EQ(a.item_standard_error[2], 8.5f);
    EXPECT_FLOAT_EQ(a.category_observed_average[2], 9.0f);
    EXPECT_FLOAT_EQ(a.category_score_point_measure[2], 10 * std::log(3.0f));

    // The transformed summary equals one made afresh from the rescaled values.
    std::array<SummarySlot, 25> rescaled = a.summary;
    WorkFiles files = run_work_files(run);
    reselect_persons(run, files, false);
    reselect_items(run, files, false);
    for (int k = 1; k <= 24; ++k) {
        EXPECT_NEAR(rescaled[k].mean, a.summary[k].mean, 1e-4) << k;
        EXPECT_NEAR(rescaled[k].sd, a.summary[k].sd, 1e-4) << k;
        EXPECT_NEAR(rescaled[k].minimum, a.summary[k].minimum, 1e-4) << k;
    }
    const auto before = snapshot();
    apply("USCALE=10");  // the same value again changes nothing
    EXPECT_EQ(snapshot(), before);
}

TEST_F(RuntimeTest, RescalingKeepsTheOriginAndTheZeroOfEntriesWithoutMeasures) {
    run.cv.umean = 50;
    a.person_measure[1] = 60;
    a.person_measure[2] = 50;
    apply("USCALE=2");
    EXPECT_FLOAT_EQ(a.person_measure[1], 70);
    EXPECT_FLOAT_EQ(a.person_measure[2], 50);
    EXPECT_FLOAT_EQ(a.person_measure[6], 0);
}

TEST_F(RuntimeTest, NegativeUscaleExchangesTheExtremeCodes) {
    a.person_status[2] = -9;   // BERT deselected
    a.person_status[4] = -10;  // BOB, extreme maximum, deselected
    apply("USCALE=-1");
    EXPECT_EQ(a.person_status, (Statuses{0, 1, -9, 2, -11, 0, -3}));
    EXPECT_EQ(a.item_status, (Statuses{0, 1, 1, -1, 1}));
    for (std::int64_t p = 1; p <= 5; ++p) EXPECT_FLOAT_EQ(a.person_measure[p], -person_measure[p]);
    EXPECT_FLOAT_EQ(work_record(1).standard_error, 0.8f);  // standard errors stay positive
    for (int k : {3, 11, 19, 22}) EXPECT_LE(slot(k).minimum, slot(k).maximum) << k;
    EXPECT_FLOAT_EQ(slot(3).maximum, 0.5f);  // BERT's -0.5 is now the highest
}

TEST_F(RuntimeTest, UmeanMovesEveryMeasureSoThatTheChosenMeanIsTheOrigin) {
    a.person_status[2] = -9;  // a deselected measure moves too
    const float shift = 1 - slot(11).mean;
    apply("UMEAN=1");
    for (std::int64_t p = 1; p <= 5; ++p)
        EXPECT_FLOAT_EQ(a.person_measure[p], person_measure[p] + shift);
    EXPECT_FLOAT_EQ(a.person_measure[6], 0.0f);
    EXPECT_FLOAT_EQ(a.item_measure[3], -2.5f + shift);
    EXPECT_FLOAT_EQ(slot(11).mean, 1.0f);
    EXPECT_FLOAT_EQ(slot(22).minimum, -2.5f + shift);
    const auto before = snapshot();
    apply("UMEAN=1");
    EXPECT_EQ(snapshot(), before);
    apply("UPMEAN=0");  // the origin moves to the person side
    EXPECT_NEAR(slot(3).mean, 0.0f, 1e-6);
}

TEST_F(RuntimeTest, HiOffsetRecomputesTheEndPointsAndClearsTheOptionLetters) {
    run.rep.request.letters[5] = 'X';
    apply("HIADJ=0.1");
    EXPECT_EQ(run.rep.request.letters[5], ' ');
    EXPECT_NEAR(a.category_score_point_measure[2], std::log(0.9f / 0.1f), 0.02);
}

TEST_F(RuntimeTest, FaultyOrStructuralInstructionsChangeNothing) {
    close_record_unit(run, unit::kPersonRecords);  // opened for the change, closed after it
    const auto before = snapshot();
    for (const char* text : {"USCALE=abc", "NI=5", "KEY2=0101", "CODES=012", "FOO=5", "PSELECT"}) {
        host.lines.clear();
        apply(text);
        EXPECT_EQ(snapshot(), before) << text;
        EXPECT_FALSE(record_unit_is_open(run, unit::kPersonRecords)) << text;
        EXPECT_TRUE(record_unit_is_open(run, unit::kScores)) << text;
        ASSERT_EQ(host.lines.size(), 3u) << text;  // carriage return, echo, the parser's message
        EXPECT_EQ(host.lines[1], text);
    }
    host.lines.clear();
    apply("NI=5");
    EXPECT_EQ(host.lines[2], " THIS VARIABLE CAN ONLY BE SET IN THE CONTROL FILE: NI=5");
    EXPECT_FALSE(run.rs.run_failed);
}

TEST_F(RuntimeTest, MissingWorkFileIsReportedAndNothingIsParsed) {
    close_record_unit(run, unit::kScores);
    close_record_unit(run, unit::kPersonRecords);
    std::remove(work_file_path(run, "ZQQ").c_str());
    apply("USCALE=5");
    EXPECT_EQ(host.lines,
              (std::vector<std::string>{
                  " FILE FAILURE: PERSON WORK FILE FOR FILE QQ001kv.txt ( 17), ERROR CODE:     2"}));
    EXPECT_FLOAT_EQ(run.cv.uscale, 1.0f);
    EXPECT_FALSE(record_unit_is_open(run, unit::kScores));  // reopened, then closed again
}

TEST_F(RuntimeTest, TextEndsAtNulAndAnEmptyTextDoesNothing) {
    apply(std::string_view("TITLE=New title\0USCALE=3", 24));
    EXPECT_EQ(std::string(trim(run.cv.title)), "New title");
    EXPECT_FLOAT_EQ(run.cv.uscale, 1.0f);
    host.lines.clear();
    apply(std::string_view("\0TITLE=x", 8));
    apply("   ");
    EXPECT_EQ(std::string(trim(run.cv.title)), "New title");
    EXPECT_EQ(host.lines, (std::vector<std::string>{"", ""}));
}

TEST_F(RuntimeTest, IlfileRebuildsTheItemLabelsOrLeavesThemWhenItCannot) {
    korvelan::testing::write_file(dir.file("labels.txt"), "Addition ; one\n\nSubtract\nMultiply\n");
    run.cv.item_numbering = 'Y';
    apply("ILFILE=labels.txt");
    EXPECT_TRUE(host.shows(" WRONG NUMBER OF ITEM LABELS. FOUND IN FILE =3, but NI=4\n"));
    EXPECT_EQ(host.lines.back(), "ITLEN=8");
    EXPECT_EQ(run.cv.item_numbering, 'N');
    WorkFiles files = run_work_files(run);
    std::string label;
    read_item_label_record(run, files, 4, label);
    EXPECT_EQ(std::string(trim(label)), "I0004");

    const std::string before = run.cv.ilfile;
    apply("ILFILE=missing.txt");
    EXPECT_EQ(run.cv.ilfile, before);
    EXPECT_TRUE(host.shows(" ITEM LABEL FILE OPEN FAILURE\n"));
    read_item_label_record(run, files, 1, label);
    EXPECT_EQ(std::string(trim(label)), "Addition");
}

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/engine/run/runtime_test_run.h"

using namespace korvelan;
using korvelan::testing::RuntimeTestRun;
using korvelan::testing::write_file;

namespace {

// Everything a run-time change may touch, for "nothing changed" checks.
struct Snapshot {
    std::vector<std::int8_t> person_status, item_status;
    std::vector<float> values;  // measures, S.E.s, work records, slots
    std::string pselect, iselect, ilfile, title;
    float uscale, umean;
    std::int32_t ni, key_count, itlen;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(RuntimeTestRun& r) {
    const AnalysisArrays& a = r.run.arrays;
    const ControlVariables& cv = r.run.cv;
    Snapshot s{a.person_status, a.item_status, {}, cv.pselect, cv.iselect, cv.ilfile, cv.title,
               cv.uscale, cv.umean, cv.ni, cv.key_count, cv.itlen};
    for (const auto* v : {&a.person_measure, &a.item_measure, &a.item_standard_error,
                          &a.category_score_point_measure, &a.category_observed_average})
        s.values.insert(s.values.end(), v->begin(), v->end());
    for (std::int64_t p = 1; p <= 6; ++p) {
        PersonWorkFields f = r.work_record(p);
        s.values.insert(s.values.end(), {f.field3, f.field7});
    }
    for (const SummarySlot& slot : a.summary)
        s.values.insert(s.values.end(), {slot.mean, slot.sd, slot.minimum, slot.maximum});
    return s;
}

void expect_slots_near(const SummarySlot& got, const SummarySlot& want, const char* what) {
    EXPECT_NEAR(got.mean, want.mean, 1e-4) << what;
    EXPECT_NEAR(got.sd, want.sd, 1e-4) << what;
    EXPECT_NEAR(got.minimum, want.minimum, 1e-4) << what;
    EXPECT_NEAR(got.maximum, want.maximum, 1e-4) << what;
}

}  // namespace

TEST(RuntimeSelection, PersonSelectionsReplaceAccumulateAndFallBack) {
    RuntimeTestRun r;
    auto& st = r.run.arrays.person_status;
    r.run.rep.person_sort_state = 'M';
    r.run.arrays.person_residual_correlations_computed = true;
    r.apply("PSELECT=A*");
    EXPECT_TRUE(r.host.shows("PERSONS SELECTED: 3\n"));  // ANNA, ALEX, AMY; BEN was removed at input
    EXPECT_EQ(st, (std::vector<std::int8_t>{0, 1, -9, 2, -10, -1, -3}));
    EXPECT_EQ(r.run.arrays.persons_summarised, 3);
    EXPECT_EQ(r.run.arrays.persons_not_extreme, 2);
    EXPECT_FLOAT_EQ(r.slot(3).mean, 0.65f);       // ANNA 1.0 and ALEX 0.3
    EXPECT_FLOAT_EQ(r.slot(19).mean, -1.9f / 3);  // AMY joins them
    EXPECT_EQ(r.run.rep.person_sort_state, ' ');
    EXPECT_FALSE(r.run.arrays.person_residual_correlations_computed);

    // A new selection first reinstates everyone deselected.
    r.apply("PSELECT=B*");
    EXPECT_TRUE(r.host.shows("PERSONS SELECTED: 2\n"));
    EXPECT_EQ(st, (std::vector<std::int8_t>{0, -9, 1, -8, 0, -11, -3}));

    // "+" keeps earlier deselections: nobody is both B* and A*, so B* comes back.
    r.host.lines.clear();
    r.apply("+PSELECT=A*");
    EXPECT_TRUE(r.host.shows(" RETURN TO A PREVIOUS SELECTION ...\nPSELECT= B*\n"));
    EXPECT_EQ(r.host.lines.back(), "PERSONS SELECTED: 2");
    EXPECT_EQ(std::string(trim(r.run.cv.pselect)), "B*");
    EXPECT_EQ(st, (std::vector<std::int8_t>{0, -9, 1, -8, 0, -11, -3}));

    r.apply("PSELECT=*");
    EXPECT_EQ(st, r.person_status);
    EXPECT_EQ(r.run.arrays.persons_summarised, 5);
}

TEST(RuntimeSelection, ItemSelectionMatchesLabelsAndSummarisesItems) {
    RuntimeTestRun r;
    r.apply("ISELECT={MS}*");
    EXPECT_TRUE(r.host.shows("ITEMS SELECTED: 2\n"));  // SUB and MUL (extreme)
    EXPECT_EQ(r.run.arrays.item_status, (std::vector<std::int8_t>{0, -9, 1, 0, -9}));
    EXPECT_EQ(r.run.arrays.items_not_extreme, 1);
    EXPECT_FLOAT_EQ(r.slot(11).mean, 0.5f);
    EXPECT_FLOAT_EQ(r.slot(18).mean, 0.85f);  // real S.E. with infit below 1 is the model S.E.
    EXPECT_FLOAT_EQ(r.slot(24).mean, (0.85f + 1.8f) / 2);
}

TEST(RuntimeScaling, UscaleRescalesMeasuresErrorsAndSummaryExactly) {
    RuntimeTestRun r;
    r.apply("USCALE=10");
    const AnalysisArrays& a = r.run.arrays;
    for (std::int64_t p = 1; p <= 5; ++p) {
        EXPECT_FLOAT_EQ(a.person_measure[p], 10 * r.person_measure[p]);
        EXPECT_FLOAT_EQ(r.work_record(p).field3, 10 * r.person_error[p]);
        EXPECT_FLOAT_EQ(r.work_record(p).field7, 0.5f * static_cast<float>(p));
    }
    EXPECT_FLOAT_EQ(a.item_standard_error[2], 8.5f);
    EXPECT_FLOAT_EQ(a.category_observed_average[2], 9.0f);
    EXPECT_FLOAT_EQ(a.category_thurstone_threshold[1], 0.0f);
    EXPECT_FLOAT_EQ(a.category_score_point_measure[2], 10 * std::log(3.0f));

    // The transformed summary equals one made afresh from the rescaled values.
    std::array<SummarySlot, 25> rescaled = a.summary;
    WorkFiles files = run_work_files(r.run);
    reselect_persons(r.run, files, false);
    reselect_items(r.run, files, false);
    for (int k = 1; k <= 24; ++k) expect_slots_near(rescaled[k], a.summary[k], std::to_string(k).c_str());

    // The same value again changes nothing.
    Snapshot before = snapshot(r);
    r.apply("USCALE=10");
    EXPECT_TRUE(snapshot(r) == before);
}

TEST(RuntimeScaling, RescalingKeepsTheOriginAndSparesEntriesWithoutMeasures) {
    RuntimeTestRun r;
    r.run.cv.umean = 50;
    r.run.arrays.person_measure[1] = 60;
    r.run.arrays.person_measure[2] = 50;
    r.apply("USCALE=2");
    EXPECT_FLOAT_EQ(r.run.arrays.person_measure[1], 70);
    EXPECT_FLOAT_EQ(r.run.arrays.person_measure[2], 50);
    EXPECT_FLOAT_EQ(r.run.arrays.person_measure[6], 0);  // BEN was removed at input
}

TEST(RuntimeScaling, NegativeUscaleExchangesTheExtremeCodes) {
    RuntimeTestRun r;
    r.run.arrays.person_status[2] = -9;   // BERT deselected
    r.run.arrays.person_status[4] = -10;  // BOB, extreme maximum, deselected
    r.apply("USCALE=-1");
    EXPECT_EQ(r.run.arrays.person_status, (std::vector<std::int8_t>{0, 1, -9, 2, -11, 0, -3}));
    EXPECT_EQ(r.run.arrays.item_status, (std::vector<std::int8_t>{0, 1, 1, -1, 1}));
    for (std::int64_t p = 1; p <= 5; ++p) EXPECT_FLOAT_EQ(r.run.arrays.person_measure[p], -r.person_measure[p]);
    EXPECT_FLOAT_EQ(r.work_record(1).field3, 0.8f);  // standard errors stay positive
    EXPECT_FLOAT_EQ(r.run.arrays.category_score_point_measure[2], std::log(3.0f));
    for (int k : {3, 11, 19, 22}) EXPECT_LE(r.slot(k).minimum, r.slot(k).maximum) << k;
    EXPECT_FLOAT_EQ(r.slot(3).maximum, 0.5f);  // BERT's -0.5 is now the highest
}

TEST(RuntimeScaling, UmeanMovesEveryMeasureSoThatTheChosenMeanIsTheOrigin) {
    RuntimeTestRun r;
    r.run.arrays.person_status[2] = -9;  // a deselected measure moves too
    const float m = r.slot(11).mean;
    r.apply("UMEAN=1");
    const float shift = 1 - m;
    for (std::int64_t p = 1; p <= 5; ++p)
        EXPECT_FLOAT_EQ(r.run.arrays.person_measure[p], r.person_measure[p] + shift);
    EXPECT_FLOAT_EQ(r.run.arrays.person_measure[6], 0.0f);
    EXPECT_FLOAT_EQ(r.run.arrays.item_measure[3], -2.5f + shift);
    EXPECT_FLOAT_EQ(r.slot(11).mean, 1.0f);
    EXPECT_FLOAT_EQ(r.slot(22).minimum, -2.5f + shift);

    Snapshot before = snapshot(r);
    r.apply("UMEAN=1");
    EXPECT_TRUE(snapshot(r) == before);
    r.apply("UPMEAN=0");  // the origin moves to the person side
    EXPECT_NEAR(r.slot(3).mean, 0.0f, 1e-6);
}

TEST(RuntimeChange, HiOffsetRecomputesTheEndPointsAndClearsTheOptionLetters) {
    RuntimeTestRun r;
    r.run.rep.request.letters[5] = 'X';
    r.apply("HIADJ=0.1");
    EXPECT_EQ(r.run.rep.request.letters[5], ' ');
    EXPECT_NEAR(r.run.arrays.category_score_point_measure[2], std::log(0.9f / 0.1f), 0.02);
}

TEST(RuntimeChange, FaultyOrStructuralInstructionsChangeNothing) {
    RuntimeTestRun r;
    close_record_unit(r.run, unit::kPersonRecords);  // opened for the change, closed after it
    const Snapshot before = snapshot(r);
    for (const char* text : {"USCALE=abc", "NI=5", "KEY2=0101", "CODES=012", "FOO=5", "PSELECT"}) {
        r.host.lines.clear();
        r.apply(text);
        EXPECT_TRUE(snapshot(r) == before) << text;
        EXPECT_FALSE(record_unit_is_open(r.run, unit::kPersonRecords)) << text;
        EXPECT_TRUE(record_unit_is_open(r.run, unit::kScores)) << text;
        ASSERT_EQ(r.host.lines.size(), 3u) << text;  // carriage return, echo, the parser's message
        EXPECT_EQ(r.host.lines[1], text);
    }
    EXPECT_EQ(r.host.lines[2], "Is a ; missing? Variable=Value expected here: PSELECT");
    r.host.lines.clear();
    r.apply("NI=5");
    EXPECT_EQ(r.host.lines[2], " THIS VARIABLE CAN ONLY BE SET IN THE CONTROL FILE: NI=5");
    EXPECT_FALSE(r.run.rs.run_failed);
}

TEST(RuntimeChange, MissingWorkFileIsReportedAndNothingIsParsed) {
    RuntimeTestRun r;
    close_record_unit(r.run, unit::kPersonRecords);
    std::remove(work_file_path(r.run, "ZQQ").c_str());
    close_record_unit(r.run, unit::kScores);
    r.apply("USCALE=5");
    EXPECT_EQ(r.host.lines, (std::vector<std::string>{
                                " FILE FAILURE: PERSON WORK FILE FOR FILE ZQQ001kv.txt(17), ERROR CODE:2"}));
    EXPECT_FLOAT_EQ(r.run.cv.uscale, 1.0f);
    EXPECT_EQ(r.run.arrays.person_measure, r.person_measure);
    EXPECT_FALSE(record_unit_is_open(r.run, unit::kScores));  // reopened, then closed again
}

TEST(RuntimeChange, TextEndsAtNulAndAnEmptyTextDoesNothing) {
    RuntimeTestRun r;
    r.apply(std::string_view("TITLE=New title\0USCALE=3", 24));
    EXPECT_EQ(std::string(trim(r.run.cv.title)), "New title");
    EXPECT_FLOAT_EQ(r.run.cv.uscale, 1.0f);
    r.host.lines.clear();
    const Snapshot before = snapshot(r);
    r.apply(std::string_view("\0TITLE=x", 8));
    r.apply("   ");
    EXPECT_TRUE(snapshot(r) == before);
    EXPECT_EQ(r.host.lines, (std::vector<std::string>{"", ""}));
}

TEST(RuntimeChange, IlfileRebuildsTheItemLabels) {
    RuntimeTestRun r;
    write_file(r.dir.file("labels.txt"), "Addition ; first\n\nSubtract\nMultiply\n");
    r.run.cv.item_numbering = 'Y';
    r.apply("ILFILE=labels.txt");
    EXPECT_TRUE(r.host.shows(" WRONG NUMBER OF ITEM LABELS. FOUND IN FILE =3, but NI=4\n"));
    EXPECT_EQ(r.host.lines.back(), "ITLEN=8");
    EXPECT_EQ(r.run.cv.itlen, 8);
    EXPECT_EQ(r.run.cv.item_numbering, 'N');
    WorkFiles files = run_work_files(r.run);
    std::string label;
    read_item_label_record(r.run, files, 1, label);
    EXPECT_EQ(std::string(trim(label)), "Addition");
    read_item_label_record(r.run, files, 4, label);
    EXPECT_EQ(std::string(trim(label)), "I0004");

    // A file that cannot be read leaves the labels and ILFILE= as they were.
    const std::string before = r.run.cv.ilfile;
    r.apply("ILFILE=missing.txt");
    EXPECT_EQ(r.run.cv.ilfile, before);
    EXPECT_TRUE(r.host.shows(" ITEM LABEL FILE OPEN FAILURE\n"));
    read_item_label_record(r.run, files, 1, label);
    EXPECT_EQ(std::string(trim(label)), "Addition");
}

#include <gtest/gtest.h>

#include "engine/input/anchors.h"
#include "engine/input/label_columns.h"
#include "tests/engine/input/edit_file_fixture.h"

using namespace korvelan;
using korvelan::testing::EditFileTest;

namespace {

struct Anchors : EditFileTest {
    std::vector<std::int8_t> status = std::vector<std::int8_t>(6, 1);  // N = 5
    std::vector<float> measure = std::vector<float>(6, 9.0f);
    std::string file;
    AnchorUnits units;

    void items(char question = 'N') {
        read_anchor_file(run, status, measure, 5, question, file, EntitySide::Items, "ITEM",
                         "ITEMS", units);
    }
    // The value a report shows for an entry: logit x USCALE + UMEAN, two decimals.
    std::string reported(int e) const {
        return std::string(trim(fmt_f(measure[e] * units.uscale + units.umean, 8, 2)));
    }
};

}  // namespace

TEST_F(Anchors, AnchorValuesInUserUnits) {
    file = edit_file("ia.txt", "1 1.5\n");
    items();
    EXPECT_EQ(status[1], status::kAnchored);
    EXPECT_FLOAT_EQ(measure[1], 1.5f);
    EXPECT_EQ(reported(1), "1.50");
    EXPECT_EQ(measure[2], 0.0f);  // measures start at 0
    EXPECT_EQ(status[2], status::kMeasured);

    status.assign(6, 1);
    units.umean = 50.0f;
    units.uscale = 10.0f;
    file = edit_file("ia2.txt", "1 60\n");
    items();
    EXPECT_FLOAT_EQ(measure[1], 1.0f);
    EXPECT_EQ(reported(1), "60.00");

    // Without user units the anchor scale divides: 3 at UAS 2 is 1.5 logits.
    status.assign(6, 1);
    units = AnchorUnits{50.0f, 10.0f, 'N', 2.0f};
    file = edit_file("ia3.txt", "2 3\n");
    items();
    EXPECT_FLOAT_EQ(measure[2], 1.5f);
}

TEST_F(Anchors, WhichLinesAnchorWhichEntries) {
    status[4] = status::kDeleted;
    file = edit_file("ia.txt",
                     "2 0.5 ; first\n"
                     "2 0.9\n"         // the first anchor holds
                     "\"3\", -1.25\n"  // quotes and commas are blanks
                     "4-9 2\n"         // cut at N; the deleted entry stays deleted
                     "1\n"             // no value
                     "0 3\n");
    items();
    EXPECT_FLOAT_EQ(measure[2], 0.5f);
    EXPECT_FLOAT_EQ(measure[3], -1.25f);
    EXPECT_EQ(status[4], status::kDeleted);
    EXPECT_EQ(measure[4], 0.0f);
    EXPECT_EQ(status[5], status::kAnchored);
    EXPECT_FLOAT_EQ(measure[5], 2.0f);
    EXPECT_EQ(status[1], status::kMeasured);
    EXPECT_TRUE(host.shows(" Processing ITEMS Anchors from: " + file));
    EXPECT_EQ(host.menus, std::vector<std::string>{"Edit ITEMS Anchor IAFILE=" + file});
}

TEST_F(Anchors, FileThenConsoleDialogue) {
    file = edit_file("ia.txt", "1 1\n");
    answer({"Y", "N", "3", "2.5", "9"});
    items('Y');
    EXPECT_FLOAT_EQ(measure[1], 1.0f);
    EXPECT_FLOAT_EQ(measure[3], 2.5f);
    EXPECT_EQ(status[3], status::kAnchored);
    ASSERT_EQ(host.prompts.size(), 5u);
    EXPECT_EQ(host.prompts[0], " DO YOU WANT TO ANCHOR ANY ITEMS  ? ");
    EXPECT_EQ(host.prompts[1], " DO YOU WANT TO READ THE ITEMS   TO ANCHOR FROM A FILE? ");
    EXPECT_EQ(host.prompts[2], "INPUT ITEM   TO ANCHOR (0 TO END): ");
    EXPECT_EQ(host.prompts[3], "INPUT VALUE AT WHICH TO ANCHOR ITEM  : ");
    EXPECT_TRUE(host.answers.empty());  // 9 is above N and ended the list
}

TEST_F(Anchors, DialogueNamesAFile) {
    const std::string named = edit_file("pa.txt", "2 -0.5\n");
    // A blank name asks again whether to read a file.
    answer({"y", "Y", "", "Y", named.c_str(), "N"});
    read_anchor_file(run, status, measure, 5, 'Y', file, EntitySide::Persons, "PERSON", "PERSONS",
                     units);
    EXPECT_FLOAT_EQ(measure[2], -0.5f);
    EXPECT_EQ(file, named);
    EXPECT_EQ(host.menus, std::vector<std::string>{"Edit PERSONS Anchor PAFILE=" + named});
    ASSERT_EQ(host.prompts.size(), 6u);
    EXPECT_EQ(host.prompts[2], "WHAT IS THE NAME OF THE PERSON ANCHOR FILE? ");
    EXPECT_EQ(host.prompts[3], " DO YOU WANT TO READ THE PERSONS TO ANCHOR FROM A FILE? ");
    EXPECT_EQ(host.prompts[5], " DO YOU WANT TO ANCHOR ANY PERSONS? ");
}

TEST_F(Anchors, WeightsFromAFile) {
    std::vector<float> w;
    file = edit_file("iw.txt", "3-5 2\n5-3 7\n1 0 ; zero is a weight\n2 -1\n");
    EXPECT_EQ(read_weight_file(run, w, 5, file, EntitySide::Items, "ITEMS"), 1);
    EXPECT_EQ(w, (std::vector<float>{1, 0, 1, 2, 2, 2}));
    // A negative weight is refused with a value-problem line.
    EXPECT_TRUE(host.shows("Value problem in IWEIGHT=: 2 -1   NEGATIVE WEIGHT: LINE NOT USED"));
    EXPECT_EQ(host.menus, std::vector<std::string>{"Edit ITEMS Anchor IWEIGHT=" + file});

    // Weights all 1.0 leave the flag clear; a blank name changes nothing.
    file = edit_file("pw.txt", "1-5 1.0\n");
    w.assign(3, 4.0f);
    EXPECT_EQ(read_weight_file(run, w, 5, file, EntitySide::Persons, "PERSONS"), 0);
    EXPECT_EQ(w, std::vector<float>(6, 1.0f));
    w.assign(3, 4.0f);
    EXPECT_EQ(read_weight_file(run, w, 5, "  ", EntitySide::Persons, "PERSONS"), 0);
    EXPECT_EQ(w, std::vector<float>(3, 4.0f));
}

// Records of a measure file without headings, as anchors and as weights: an entry whose status
// says it has no measure, or whose measure is stars or an empty cell, gives no value (never the
// next field's) and is counted once; an extreme entry keeps its value.
TEST_F(Anchors, MeasureRecordsWithoutAMeasureAreLeftOutAndCounted) {
    auto fixed = [](int entry, const std::string& measure, const std::string& status) {
        return "     " + std::to_string(entry) + measure + status +
               "    10.0      5.0    .50   1.00    .00   1.00    .00    .00    .50   1.00   R I" +
               std::to_string(entry) + "\n";
    };
    const std::string text =
        fixed(1, "    1.25", "  1") + fixed(2, "     .00", " -3") + fixed(3, "********", "  1") +
        "\" \",4,,1,10.0,5.0,.50,1.00,.00,1.00,.00,.00,.50,1.00,\" \",\"R\",\"I4\"\n" +
        fixed(5, "    -.75", "  0");
    file = edit_file("ia.txt", text);
    items();
    EXPECT_EQ(status, (std::vector<std::int8_t>{1, 2, 1, 1, 1, 2}));
    EXPECT_FLOAT_EQ(measure[1], 1.25f);
    EXPECT_FLOAT_EQ(measure[5], -.75f);
    EXPECT_TRUE(host.shows(" 3 ITEMS WITHOUT A MEASURE LEFT OUT OF: " + file));

    std::vector<float> w;
    EXPECT_EQ(read_weight_file(run, w, 5, file, EntitySide::Items, "ITEMS"), 1);
    EXPECT_EQ(w, (std::vector<float>{1, 1.25f, 1, 1, 1, 1}));
    const std::string extreme = fixed(5, "    -.75", "  0");
    EXPECT_TRUE(host.shows("Value problem in IWEIGHT=: " + extreme.substr(5, extreme.size() - 6) +
                           "   NEGATIVE WEIGHT"));
}

TEST_F(Anchors, PivotsFirstValuePerGroupHolds) {
    const std::vector<std::int32_t> group{0, 1, 1, 2, 2, 3};
    std::vector<float> pivot(9, 5.0f);
    std::vector<std::uint8_t> flag;
    file = edit_file("pivot.txt", "2 +1.5\n1 0.5\n0 4\n4-5 -2 ; two groups\n");
    read_pivot_file(run, group, 5, 3, pivot, flag, file);
    EXPECT_EQ(pivot, (std::vector<float>{0, 1.5f, -2, -2}));
    EXPECT_EQ(flag, (std::vector<std::uint8_t>{'N', 'Y', 'Y', 'Y'}));
    EXPECT_TRUE(host.shows(" Processing Pivots from: " + file));
    EXPECT_EQ(host.menus, std::vector<std::string>{"Edit pivot file PIVOT =" + file});

    read_pivot_file(run, group, 5, 3, pivot, flag, "");
    EXPECT_EQ(flag, (std::vector<std::uint8_t>{'N', 'N', 'N', 'N'}));
}

TEST_F(Anchors, UnreadablePivotValueEndsTheRun) {
    const std::vector<std::int32_t> group{0, 1, 1};
    std::vector<float> pivot;
    std::vector<std::uint8_t> flag;
    file = edit_file("pivot.txt", "  2 1-2\n");
    EXPECT_THROW(read_pivot_file(run, group, 2, 1, pivot, flag, file), RunStopped);
    EXPECT_TRUE(run.rs.run_failed);
    EXPECT_TRUE(host.shows("Invalid line in PIVOT= of: 2 1-2"));
    EXPECT_EQ(flag[1], 'N');
}

namespace {

struct LabelColumns : EditFileTest {
    WorkFileLayout layout{3, 10, 30, false};
    WorkFiles files{layout};
    std::vector<std::int8_t> status = std::vector<std::int8_t>(4, 1);

    void labels(std::initializer_list<const char*> texts) {
        open_item_label_work_file(run, 10);
        int i = 1;
        for (const char* t : texts) write_item_label_record(run, files, i++, t);
    }
};

}  // namespace

TEST_F(LabelColumns, AnchorColumnsBecomeAnEditFile) {
    labels({"1.5xxx", "   blank", "2.0yyy"});
    ItemLabelColumns columns;
    columns.iafile = "$S1W3";
    build_item_weight_anchor_work_files(run, files, status, columns);
    EXPECT_EQ(columns.iafile, work_file_path(run, "ZIA"));
    EXPECT_EQ(columns.anchor_selection, "$S1W3");
    EXPECT_EQ(korvelan::testing::read_file(columns.iafile), "1 1.5\r\n3 2.0\r\n");

    // The anchor reader takes it like any file, without offering it in the Edit menu.
    std::vector<float> measure(4);
    AnchorUnits units;
    read_anchor_file(run, status, measure, 3, 'N', columns.iafile, EntitySide::Items, "ITEM",
                     "ITEMS", units);
    EXPECT_EQ(status, (std::vector<std::int8_t>{1, 2, 1, 2}));
    EXPECT_FLOAT_EQ(measure[3], 2.0f);
    EXPECT_TRUE(host.menus.empty());
}

TEST_F(LabelColumns, WeightColumnsSelectionErrorsAndItemSelection) {
    labels({"A 2", "B 3", "A"});
    ItemLabelColumns columns;
    columns.iweight = "$S3W1";
    columns.iafile = "$S0W2";  // in error: stays a file name
    columns.iselect = "A*";
    build_item_weight_anchor_work_files(run, files, status, columns);
    EXPECT_EQ(columns.iafile, "$S0W2");
    EXPECT_TRUE(host.shows("$S.. NOT NUMERIC in: IAFILE=$S0W2"));
    EXPECT_EQ(korvelan::testing::read_file(columns.iweight), "1 2\r\n2 3\r\n");
    EXPECT_EQ(status, (std::vector<std::int8_t>{1, 1, status::kDeleted, 1}));

    std::vector<float> w;
    EXPECT_EQ(read_weight_file(run, w, 3, columns.iweight, EntitySide::Items, "ITEMS"), 1);
    EXPECT_EQ(w, (std::vector<float>{1, 2, 3, 1}));
}

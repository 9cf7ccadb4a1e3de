#include <gtest/gtest.h>

#include "engine/input/step_files.h"
#include "tests/engine/input/edit_file_fixture.h"

using namespace korvelan;
using korvelan::testing::EditFileTest;

namespace {

// Slots of category k of group g: first slot + k.
struct StepFiles : EditFileTest {
    std::vector<std::int32_t> item_group;
    std::vector<std::int32_t> top;
    std::vector<std::int32_t> first;
    std::vector<float> value;
    std::vector<std::int32_t> cat_status;
    StepFileSettings settings;
    std::vector<std::vector<bool>> scored;  // the values the codes score, when set

    // One group of categories 0..3 in slots 1..4.
    void one_group() {
        item_group = {0, 1, 1, 1};
        top = {0, 3};
        first = {0, 1};
        value.assign(5, 7.0f);
        cat_status.assign(5, 9);
    }
    // Items 1-6 in groups 1, 1, 2, 2, 3, 3; categories 0..2 in slots 1-3, 4-6, 7-9.
    void three_groups() {
        item_group = {0, 1, 1, 2, 2, 3, 3};
        top = {0, 2, 2, 2};
        first = {0, 1, 4, 7};
        value.assign(10, 7.0f);
        cat_status.assign(10, 9);
    }
    void read() {
        const GroupLayout layout{item_group, static_cast<std::int32_t>(item_group.size()) - 1, top,
                                 first, static_cast<std::int32_t>(top.size()) - 1,
                                 scored.empty() ? nullptr : &scored};
        read_step_files(run, value, cat_status, layout, settings);
    }
    std::string deleted() const {
        std::string s;
        for (std::size_t k = 1; k < cat_status.size(); ++k)
            if (cat_status[k] == status::kDeleted) s += std::to_string(k) + " ";
        return s;
    }
};

}  // namespace

TEST_F(StepFiles, OneGroupCommentsAndBlankLinesDeleteNothing) {
    one_group();
    settings.sdfile = edit_file("sd.txt", "2\n; drop 1\n\n3 ; top\n");
    read();
    EXPECT_EQ(deleted(), "3 4 ");
    EXPECT_EQ(cat_status[1], 1);  // category 0 untouched by the blank line
    EXPECT_EQ(value[1], 0.0f);
    EXPECT_TRUE(host.shows(settings.sdfile));
    EXPECT_EQ(host.menus, std::vector<std::string>{"Edit Step Delete SDFILE=" + settings.sdfile});
}

TEST_F(StepFiles, SeveralGroupsItemsStandForTheirGroups) {
    three_groups();
    // Items 3-5 stand for groups 2 and 3; a comment or blank line does not end the list; an
    // entry below 1 does, so the last line is not used.
    settings.sdfile = edit_file("sd.txt", "3-5 2\n; note\n\n1 1\n0 1\n2 0\n");
    read();
    EXPECT_EQ(deleted(), "2 6 9 ");
}

TEST_F(StepFiles, NegativeCategoryEndsAndTooLargeIsReported) {
    three_groups();
    settings.sdfile = edit_file("sd.txt", "1 4\n2 -1\n3 0\n");
    read();
    EXPECT_EQ(deleted(), "");
    EXPECT_TRUE(host.shows("      4 IS LARGER THAN MAXIMUM SPECIFIED CATEGORY NUMBER:      2"));
}

TEST_F(StepFiles, AnchorsOneGroup) {
    one_group();
    settings.sdfile = edit_file("sd.txt", "1\n");
    settings.safile = edit_file("sa.txt", "1 3 ; deleted: stays deleted\n2 \"1.0\"\n2 -0.5\n3\n");
    settings.units.uscale = -2.0f;
    read();
    EXPECT_EQ(cat_status[2], status::kDeleted);
    EXPECT_EQ(value[2], 0.0f);
    EXPECT_EQ(cat_status[3], status::kAnchored);
    EXPECT_FLOAT_EQ(value[3], -0.25f);  // the later line replaces; |USCALE| divides
    EXPECT_EQ(cat_status[4], 0);        // no readable value
    EXPECT_EQ(value[4], 0.0f);
    EXPECT_EQ(cat_status[1], 1);
    EXPECT_TRUE(host.shows(" Processing Step Anchors from: " + settings.safile));
}

TEST_F(StepFiles, AnchorsSeveralGroups) {
    three_groups();
    settings.units = AnchorUnits{50.0f, 10.0f, 'N', 2.0f};
    settings.safile = edit_file("sa.txt",
                                "1-3 1 3\n"    // groups 1 and 2, step 1, 3 / UAS
                                "5 3 1\n"      // above the top category
                                "9 1 1\n"      // no such item: skipped
                                "6 2 1-2\n");  // value not a number: reported, not anchored
    read();
    EXPECT_EQ(cat_status[2], status::kAnchored);
    EXPECT_FLOAT_EQ(value[2], 1.5f);
    EXPECT_FLOAT_EQ(value[5], 1.5f);
    EXPECT_EQ(cat_status[9], 1);
    EXPECT_TRUE(host.shows("      3 IS LARGER THAN MAXIMUM SPECIFIED CATEGORY NUMBER:      2"));
    EXPECT_TRUE(host.shows("Value problem in SAFILE=: 6 2 1-2"));
}

TEST_F(StepFiles, TypedDeletionsAndAnchors) {
    three_groups();
    settings.delete_switch = 'Y';
    settings.anchor_switch = 'Y';
    answer({"Y", "N", "9", "3", "1", "-1",  // item 9 is too large; item 3 is group 2
            "Y", "N", "5", "2", "150", "1", "1", "1.5", "0"});
    read();
    EXPECT_EQ(deleted(), "5 ");
    EXPECT_TRUE(host.shows("      9 IS LARGER THAN MAXIMUM SPECIFIED ITEM NUMBER:      6"));
    EXPECT_EQ(cat_status[9], status::kAnchored);
    EXPECT_FLOAT_EQ(value[9], 1.5f);  // 150 typed without a point is 1.50
    EXPECT_FLOAT_EQ(value[2], 1.5f);
    EXPECT_TRUE(host.answers.empty());
    ASSERT_EQ(host.prompts.size(), 15u);
    EXPECT_EQ(host.prompts[0], " DO YOU WANT TO DELETE ANY CATEGORIES ");
    EXPECT_EQ(host.prompts[2], "INPUT AN ITEM, REPRESENTING A GROUP (0 TO END): ");
    EXPECT_EQ(host.prompts[4], "INPUT CATEGORY TO DELETE (-1 TO END): ");
    EXPECT_EQ(host.prompts[9], "INPUT STEP TO ANCHOR (-1 TO END): ");
    EXPECT_EQ(host.prompts[10], "INPUT XALUE AT WHICH TO ANCHOR STEP: ");
}

TEST_F(StepFiles, DialoguesNeverWaitInBatchMode) {
    one_group();
    settings.delete_switch = 'Y';
    settings.anchor_switch = 'Y';
    run.rs.batch = true;
    read();
    EXPECT_EQ(deleted(), "");
    EXPECT_EQ(count_lines_with("No answer can be typed: NO is taken for: DO YOU WANT TO DELETE"),
              1);
    EXPECT_EQ(count_lines_with("No answer can be typed: NO is taken for: DO YOU WANT TO ANCHOR"),
              1);
    EXPECT_EQ(cat_status, std::vector<std::int32_t>(5, 1));
}

TEST(EntryValueLine, FieldsAndStatuses) {
    int first = 0, cat = 0, last = 0;
    float v = 0.0f;
    std::string line = "3-5, 2 1.5 ; note";
    EXPECT_EQ(parse_entry_value_line(line, first, cat, v, last), 0);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(last, 5);
    EXPECT_EQ(cat, 2);
    EXPECT_FLOAT_EQ(v, 1.5f);

    for (const char* bad : {"3 2", "5-3 1 1", "3 2.5 1", "", "3.4 1 1"}) {
        line = bad;
        EXPECT_EQ(parse_entry_value_line(line, first, cat, v, last), -1) << bad;
        EXPECT_EQ(first + last + cat, 0) << bad;
    }
    // A value field that is not a number: its read status, the entries kept.
    line = "4 1 1-2";
    EXPECT_GT(parse_entry_value_line(line, first, cat, v, last), 0);
    EXPECT_EQ(first, 4);
    EXPECT_EQ(cat, 1);
    EXPECT_EQ(v, 0.0f);
}

// Group 1 scores 0-2, group 2 only 1-2 (coded from 1), group 3 scores 0 and 2: an anchor on a
// value below a group's lowest scored value would bring an empty category into its scale.
TEST_F(StepFiles, AnchorsOnValuesNoCodeScores) {
    three_groups();
    scored = {{}, {true, true, true}, {false, true, true}, {true, false, true}};
    settings.safile = edit_file("sa.txt", "1 0 0.1\n5 1 0.5 ; inside the range: kept\n; note\n3 0 0.3\n2 1 9\n");
    EXPECT_THROW(read(), RunStopped);
    EXPECT_EQ(cat_status[1], status::kAnchored);
    EXPECT_EQ(cat_status[8], status::kAnchored);
    EXPECT_FLOAT_EQ(value[8], 0.5f);
    EXPECT_TRUE(host.shows(" WARNING: NO CODE SCORES STEP ANCHOR CATEGORY NUMBER:      1 in SAFILE=" +
                           settings.safile + " line 2"));
    EXPECT_TRUE(host.shows("      0 IS SMALLER THAN LOWEST SCORED CATEGORY NUMBER:      1 in SAFILE=" +
                           settings.safile + " line 4"));
    EXPECT_EQ(cat_status[4], 1);  // group 2, value 0: not anchored, and the run stopped there
    EXPECT_EQ(cat_status[2], 1);  // the line after it was not read
}

TEST_F(StepFiles, TypedAnchorBelowTheLowestScoredValueIsAskedAgain) {
    one_group();
    scored = {{}, {false, true, true, true}};
    settings.anchor_switch = 'Y';
    answer({"Y", "N", "0", "2", "1.0", "-1"});
    read();
    EXPECT_TRUE(host.shows("      0 IS SMALLER THAN LOWEST SCORED CATEGORY NUMBER:      1"));
    EXPECT_EQ(cat_status[1], 1);
    EXPECT_EQ(cat_status[3], status::kAnchored);
    EXPECT_FLOAT_EQ(value[3], 1.0f);
}

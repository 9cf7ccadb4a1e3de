#include <gtest/gtest.h>

#include "engine/run/analysis_allocation.h"
#include "engine/run/rating_scale_groups.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using korvelan::testing::TestHost;

namespace {

struct Groups : ::testing::Test {
    TestHost host;
    korvelan::Run run;
    void SetUp() override {
        run.host = &host;
        run.cv.xwide = 1;
        run.cv.groups_mode = 0;
        run.cv.models_mode = 0;
        run.cv.rescore_mode = 0;
        run.cv.irefer_mode = 0;
        run.cv.model_letter = 'R';
    }
    void items(int ni) {
        run.cv.ni = ni;
        allocate_item_block(run);
    }
    // The driver's order: strings made ready, model letter, groups, group block, model codes.
    bool set_up() {
        try {
            prepare_item_strings(run);
            settle_model_letter(run);
            form_rating_scale_groups(run);
            allocate_group_block(run);
            set_group_model_codes(run);
            return true;
        } catch (const RunStopped&) {
            return false;
        }
    }
    std::vector<int> item_groups() const {
        return {run.arrays.item_group.begin() + 1, run.arrays.item_group.end()};
    }
    std::string models() const {
        return {run.arrays.group_model.begin() + 1, run.arrays.group_model.end()};
    }
};

}  // namespace

TEST_F(Groups, WithoutGroupsEveryItemSharesOneScale) {
    items(3);
    ASSERT_TRUE(set_up());
    EXPECT_EQ(run.arrays.groups, 1);
    EXPECT_EQ(item_groups(), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(run.arrays.strings.groups, "111");
    EXPECT_EQ(models(), "R");
}

TEST_F(Groups, NamedGroupsAreNumberedInCharacterOrder) {
    items(3);
    run.cv.groups_mode = 1;
    run.arrays.strings.groups = "212";
    ASSERT_TRUE(set_up());
    EXPECT_EQ(run.arrays.groups, 2);
    EXPECT_EQ(item_groups(), (std::vector<int>{2, 1, 2}));
}

TEST_F(Groups, BlankAndZeroItemsEachFormAGroupAfterTheNamedOnes) {
    items(5);
    run.cv.groups_mode = 1;
    run.arrays.strings.groups = "b 0Ab";
    ASSERT_TRUE(set_up());
    EXPECT_EQ(run.arrays.groups, 4);
    EXPECT_EQ(item_groups(), (std::vector<int>{2, 3, 4, 1, 2}));
    EXPECT_EQ(run.arrays.strings.groups, "B00AB");
}

TEST_F(Groups, ModelsPerItemWithoutGroupsMakeOneGroupPerItem) {
    items(4);
    run.cv.models_mode = 1;
    run.arrays.strings.models = "rS F";
    ASSERT_TRUE(set_up());
    EXPECT_EQ(run.cv.groups_mode, 2);
    EXPECT_EQ(run.cv.model_letter, ' ');
    EXPECT_EQ(models(), "RSRF");
}

TEST_F(Groups, TwoModelsInOneGroupNameBothItems) {
    items(4);
    run.cv.groups_mode = 1;
    run.arrays.strings.groups = "1112";
    run.cv.models_mode = 1;
    run.arrays.strings.models = "R SS";
    EXPECT_FALSE(set_up());
    EXPECT_TRUE(host.shows(
        " TWO MODEL TYPES DEFINED IN SAME GROUP: \"R\" AT ITEM      1 AND \"S\" AT ITEM      3"))
        << host.screen();
    EXPECT_TRUE(run.rs.run_failed);
}

TEST_F(Groups, ModelLettersOtherThanRSFStopTheRun) {
    items(2);
    run.cv.model_letter = 'x';
    EXPECT_FALSE(set_up());
    EXPECT_TRUE(host.shows(" INVALID MODEL OF X IN MODELS"));
    Groups::SetUp();
    items(2);
    run.cv.models_mode = 1;
    run.arrays.strings.models = "RQ";
    EXPECT_FALSE(set_up());
    EXPECT_TRUE(host.shows(" INVALID MODEL OF Q IN MODELS"));
}

TEST_F(Groups, WideGroupCodesAreReducedToOneCharacterPerItem) {
    items(4);
    run.cv.xwide = 2;
    run.cv.groups_mode = 1;
    run.arrays.strings.groups = " 1 1 2 2";
    ASSERT_TRUE(set_up());
    EXPECT_EQ(run.arrays.strings.groups, "1122");
    EXPECT_EQ(item_groups(), (std::vector<int>{1, 1, 2, 2}));
}

TEST_F(Groups, OneCharacterPerItemMustNotRunPastTheItems) {
    items(4);
    run.cv.xwide = 2;
    run.cv.groups_mode = 1;
    run.arrays.strings.groups = "11223344";
    EXPECT_FALSE(set_up());
    EXPECT_TRUE(host.shows(
        " GROUPS= has one \"one character per item\" format, but is 4 characters too long\n"))
        << host.screen();
}

TEST_F(Groups, GroupCharactersServeAsIreferLettersOnlyWithIvalueRows) {
    items(4);
    run.cv.groups_mode = 1;
    run.arrays.strings.groups = "ab b";
    run.arrays.strings.ivalue_rows = {"A01", "B10"};
    ASSERT_TRUE(set_up());
    take_irefer_from_groups(run);
    EXPECT_EQ(run.cv.irefer_mode, 1);
    EXPECT_EQ(run.arrays.strings.irefer, "AB0B");
    // An IREFER= without any IVALUE= row is no IREFER=.
    run.arrays.strings.ivalue_rows.clear();
    take_irefer_from_groups(run);
    EXPECT_EQ(run.cv.irefer_mode, 0);
}

#include <gtest/gtest.h>

#include "engine/run/category_slots.h"

using namespace korvelan;

namespace {

// Two groups laid out as data input and PROX leave them: group 1 has the values 1-4 (slot 0,
// value 0, is never used: recoded -3) recounted 0..3; group 2 has the values 0-2 of which 1 was
// dropped (-4), recounted 0..1.
AnalysisArrays two_groups() {
    AnalysisArrays a;
    a.groups = 2;
    a.slots = 8;
    a.group_top_value = {0, 4, 2};
    a.group_top_category = {0, 3, 1};
    a.group_first_slot = {0, 1, 6};
    a.category_recoded = {0, -3, 0, 1, 2, 3, 0, -4, 1};
    return a;
}

}  // namespace

TEST(CategorySlots, ScoredValuesAboveTheRecountedTopKeepTheirCategory) {
    const AnalysisArrays a = two_groups();
    EXPECT_EQ(group_slot_count(a, 1), 5);
    EXPECT_EQ(group_slot_count(a, 2), 3);
    // The top value 4 is above the recounted top 3 and still counts in category 3.
    EXPECT_EQ(recoded_category(a, 1, 4), 3);
    EXPECT_EQ(recoded_category(a, 1, 1), 0);
    EXPECT_EQ(recoded_category(a, 2, 2), 1);
}

TEST(CategorySlots, ResponsesThatCountInNoCategory) {
    const AnalysisArrays a = two_groups();
    EXPECT_EQ(recoded_category(a, 1, 0), kCategoryNotUsable);    // never used (-3)
    EXPECT_EQ(recoded_category(a, 2, 1), kCategoryNotUsable);    // dropped (-4)
    EXPECT_EQ(recoded_category(a, 1, 255), kCategoryNotUsable);  // missing
    EXPECT_EQ(recoded_category(a, 1, -1), kCategoryNotUsable);   // a code that is not scored
    // Beyond the group's slots: value 5 of group 1 would be slot 6, group 2's value 0.
    EXPECT_EQ(recoded_category(a, 1, 5), kCategoryNotUsable);
    EXPECT_EQ(recoded_category(a, 2, 3), kCategoryNotUsable);
    // No such group.
    EXPECT_EQ(recoded_category(a, 0, 1), kCategoryNotUsable);
    EXPECT_EQ(recoded_category(a, 3, 1), kCategoryNotUsable);
}

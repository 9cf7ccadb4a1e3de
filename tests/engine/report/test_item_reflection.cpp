#include <gtest/gtest.h>

#include <vector>

#include "engine/report/item_reflection.h"

using namespace korvelan;

TEST(ItemReflection, MirrorsAboutUmeanAndGivesEveryValueBackExactly) {
    korvelan::Run run;
    run.cv.umean = 1000.3f;
    // 2 x 1000.3 - (2 x 1000.3 - 0.1) is not 0.1 in single precision: only saving restores it.
    run.arrays.item_measure = {0.0f, 0.1f, 999.9f, 1003.7f};
    run.arrays.item_status = {0, 1, 0, -1};
    const std::vector<float> before = run.arrays.item_measure;
    {
        ReflectedItems reflected(run);
        EXPECT_FLOAT_EQ(run.arrays.item_measure[2], 1000.7f);
        EXPECT_FLOAT_EQ(run.arrays.item_measure[3], 996.9f);
        EXPECT_EQ(run.arrays.item_status, (std::vector<std::int8_t>{-1, 1, -1, 0}));
        EXPECT_NE(2.0f * run.cv.umean - run.arrays.item_measure[1], before[1]);
    }
    EXPECT_EQ(run.arrays.item_measure, before);
    EXPECT_EQ(run.arrays.item_status, (std::vector<std::int8_t>{0, 1, 0, -1}));
}

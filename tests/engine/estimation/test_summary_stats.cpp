#include <gtest/gtest.h>

#include <cmath>

#include "engine/estimation/summary_stats.h"

using namespace korvelan;

TEST(SummarySlot, WeightedMeanPopulationSdAndExtremes) {
    SummarySlot s;
    accumulate_summary_slot(s, -1.0f, 3.0f);  // the first value sets both extremes
    accumulate_summary_slot(s, 3.0f, 1.0f);
    accumulate_summary_slot(s, 100.0f, 0.0f);  // no weight, not counted
    accumulate_summary_slot(s, -100.0f, -1.0f);
    finish_summary_slot(s);
    EXPECT_DOUBLE_EQ(s.count, 4.0);
    EXPECT_FLOAT_EQ(s.mean, 0.0f);           // (-3 + 3) / 4
    EXPECT_FLOAT_EQ(s.sd, std::sqrt(3.0f));  // (3 + 9) / 4 - 0
    EXPECT_EQ(s.minimum, -1.0f);
    EXPECT_EQ(s.maximum, 3.0f);
}

TEST(SummarySlot, EmptyConstantAndCombinedSlots) {
    SummarySlot empty;
    finish_summary_slot(empty);
    EXPECT_TRUE(empty.mean == 0.0f && empty.sd == 0.0f);
    SummarySlot same;
    for (int i = 0; i < 7; ++i) accumulate_summary_slot(same, 0.1f, 0.3f);
    finish_summary_slot(same);
    EXPECT_FLOAT_EQ(same.mean, 0.1f);
    EXPECT_TRUE(same.sd >= 0.0f && same.sd < 1e-6f);
    SummarySlot a, b;
    accumulate_summary_slot(a, 1.0f, 1.0f);
    accumulate_summary_slot(a, 2.0f, 1.0f);
    accumulate_summary_slot(b, 6.0f, 2.0f);
    add_summary_slot(a, b);
    finish_summary_slot(a);
    EXPECT_FLOAT_EQ(a.mean, 3.75f);  // (1 + 2 + 12) / 4
    EXPECT_FLOAT_EQ(a.sd, std::sqrt(77.0f / 4.0f - 3.75f * 3.75f));
}

TEST(Separation, TrueSpreadBeyondTheErrors) {
    // Errors with S.D. 0.3 and mean 0.4: RMSE 0.5; measures with S.D. 1.3: true S.D. 1.2.
    const SeparationReliability r = compute_separation_reliability(0.3f, 0.4f, 1.3f);
    EXPECT_FLOAT_EQ(r.rmse, 0.5f);
    EXPECT_FLOAT_EQ(r.adjusted_sd, 1.2f);
    EXPECT_FLOAT_EQ(r.separation, 2.4f);
    EXPECT_FLOAT_EQ(r.reliability, 1.44f / 1.69f);
}

TEST(Separation, NoTrueSpreadGivesZerosButKeepsRmse) {
    for (float sd : {0.4f, 0.5f}) {  // errors larger than, or as large as, the spread
        const SeparationReliability r = compute_separation_reliability(0.3f, 0.4f, sd);
        EXPECT_FLOAT_EQ(r.rmse, 0.5f);
        EXPECT_TRUE(r.adjusted_sd == 0.0f && r.separation == 0.0f && r.reliability == 0.0f);
    }
    const SeparationReliability none = compute_separation_reliability(0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(none.rmse == 0.0f && none.separation == 0.0f);
    // No error at all: the separation would be infinite and is reported as 0.
    const SeparationReliability exact = compute_separation_reliability(0.0f, 0.0f, 1.0f);
    EXPECT_TRUE(exact.separation == 0.0f && exact.reliability == 0.0f);
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/report/axis_strip.h"
#include "tests/engine/report/report_lines_fixture.h"

using namespace korvelan;

namespace {

struct AxisStrip : korvelan::testing::ReportLinesFixture {
    PlotAxis axis;
    std::vector<float> measures{0.0f};
    std::vector<std::int8_t> status{0};
    void SetUp() override {
        ReportLinesFixture::SetUp();
        run.rep.request.table = 4;
        axis.lowest_measure = 0.0f;
        axis.highest_measure = 10.0f;  // one column per unit over 10 columns
    }
    void add(float m, std::int8_t s, int times = 1) {
        for (int i = 0; i < times; ++i) {
            measures.push_back(m);
            status.push_back(s);
        }
    }
    std::vector<std::string> strip(int label_column = 10, char side = 'P') {
        const AxisStripEntries entries{measures, status, static_cast<int>(measures.size()) - 1,
                                       side};
        write_axis_distribution_counts(run, axis, entries, "PERSONS", label_column, 10);
        return report_lines();
    }
    // The spread of two measured persons, 5 +/- 2, with one extreme of each kind and a dropped one.
    void spread_with_extremes() {
        add(3.0f, status::kMeasured);
        add(7.0f, status::kAnchored);
        add(5.0f, status::kExtremeMaximum);
        add(5.0f, status::kExtremeMinimum);
        add(5.0f, status::kDropped);
    }
};

}  // namespace

TEST_F(AxisStrip, CountsStackOneLinePerPowerOfTen) {
    add(2.0f, status::kMeasured, 105);
    add(3.0f, status::kMeasured, 5);
    const std::vector<std::string> expected = {
        " ",
        std::string(10, ' ') + "1",
        std::string(10, ' ') + "0",
        "PERSON    55",
        std::string(10, ' ') + "M",
    };
    EXPECT_EQ(strip(), expected);
}

TEST_F(AxisStrip, ExtremesAtTheEndsAndOutOfTheMeanAndDeviation) {
    spread_with_extremes();
    const std::vector<std::string> expected = {
        " ",
        "PERSON  1  1   1  1",
        "         T S M S T",
    };
    EXPECT_EQ(strip(), expected);
}

TEST_F(AxisStrip, ScoreTableKeepsEveryEntryAtItsMeasure) {
    run.rep.request.table = 20;
    spread_with_extremes();
    // 3, 5, 5, 7: mean 5, S.D. sqrt(2).
    const std::vector<std::string> expected = {
        " ",
        "PERSON     1 2 1",
        "          T SMS T",
    };
    EXPECT_EQ(strip(), expected);
}

TEST_F(AxisStrip, OnlyExtremesGiveNoMeanLine) {
    add(5.0f, status::kExtremeMaximum, 12);
    add(5.0f, status::kExtremeMinimum);
    add(5.0f, status::kDeleted);
    const std::vector<std::string> expected = {
        " ",
        std::string(18, ' ') + "1",
        "PERSON  1         2",
    };
    EXPECT_EQ(strip(), expected);
}

TEST_F(AxisStrip, WeightsAreRoundedUpPerColumnAndWeightTheMean) {
    run.input.person_weights_present = true;
    run.arrays.person_weights = {0.0f, 1.0f, 1.3f, 0.0f, 0.2f};
    add(4.0f, status::kMeasured);
    add(4.0f, status::kMeasured);
    add(9.0f, status::kMeasured);  // weight 0: not counted
    add(8.0f, status::kMeasured);
    // Weighted mean 10.8 / 2.5 = 4.32, S.D. sqrt(49.6 / 2.5 - 4.32^2) = 1.085.
    const std::vector<std::string> expected = {
        " ",
        "PERSON      3   1",
        "          TSMST",
    };
    EXPECT_EQ(strip(), expected);
}

TEST_F(AxisStrip, ItemSideReadsItemWeights) {
    run.input.person_weights_present = true;
    run.arrays.person_weights = {0.0f, 0.0f, 0.0f};
    run.input.item_weights_present = true;
    run.arrays.item_weights = {0.0f, 2.0f, 3.0f};
    add(1.0f, status::kMeasured);
    add(1.0f, status::kMeasured);
    EXPECT_EQ(strip(10, 'I')[1], "PERSON   5");
}

TEST_F(AxisStrip, CategoryTableStartsTheStripInColumnTwo) {
    run.rep.request.table = 2;
    add(3.0f, status::kMeasured);
    add(7.0f, status::kMeasured);
    const std::vector<std::string> expected = {
        " ",
        "   1   1     PERSONS",
        " T S M S T",
    };
    EXPECT_EQ(strip(15), expected);
}

// The guarded paths of the data-level files: score rows that do not rise or are not finite, an
// unusable category slot, Guttmanizing without items.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/outfiles/data_lines.h"
#include "engine/outfiles/observation_values.h"
#include "engine/outfiles/score_file.h"
#include "tests/engine/outfiles/outfile_data.h"

using namespace korvelan;
using namespace korvelan::testing;

TEST(DataFileFaults, ScoreRowsNeedRisingFiniteMeasures) {
    OutfileData d = dichotomous_data();
    // Persons at 1.0, -.0049, 3.21, -2.5, (deleted), .5: beyond the ends at the ends, halfway
    // between two scores at the lower one.
    d.a.person_measure[6] = 0.5f;
    const auto rows = score_frequencies(d.a, {-2.0f, 0.0f, 1.0f, 2.0f}, 1.0f);
    ASSERT_TRUE(rows);
    EXPECT_EQ(*rows, (std::vector<std::int32_t>{1, 2, 1, 1}));
    EXPECT_FALSE(score_frequencies(d.a, {-2.0f, 1.0f, 0.5f, 2.0f}, 1.0f));
    EXPECT_FALSE(score_frequencies(d.a, {-2.0f, std::numeric_limits<float>::quiet_NaN(), 2.0f}, 1.0f));
    d.a.person_measure[1] = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(score_frequencies(d.a, {-2.0f, 0.0f, 2.0f}, 1.0f));
}

// A score table whose measures do not rise is a fault, not data: SCFILE= is not written, the
// earlier file of its name stays, and the file is named among those the run did not write.
TEST(DataFileFaults, ScoreTableOutOfOrderLeavesTheEarlierFileAndIsNamed) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.a.person_measure[1] = std::numeric_limits<float>::quiet_NaN();
    write_file(r.dir.file("sc.txt"), "earlier\r\n");
    EXPECT_EQ(r.write(d, 'C', "sc.txt"), "earlier\r\n");
    EXPECT_TRUE(r.host.shows("SORT SEQUENCE ERROR: PLEASE SEND FILE TO THE KORVELAN DEVELOPERS"));
    EXPECT_EQ(r.run.rs.output_failures,
              std::vector<std::string>{"PROBLEM: SCORE TABLE OUT OF ORDER, FILE NOT WRITTEN: SCFILE=" + r.dir.file("sc.txt")});
}

TEST(DataFileFaults, ResponseOutsideItsGroupHasNoModelValues) {
    OutfileData d = dichotomous_data();
    d.a.category_recoded = {0, 0, 1};
    ModelCurves curves;
    float p[4] = {};
    const ObservationValues fine = observation_values(d.a, d.s, curves, 1, 1, 0.0f, 1, p);
    EXPECT_EQ(fine.ordered, 1);
    const ObservationValues outside = observation_values(d.a, d.s, curves, 1, 1, 0.0f, 7, p);
    EXPECT_EQ(outside.observed, 7);
    EXPECT_EQ(outside.ordered, -1);
    EXPECT_EQ(outside.expectation, -1.0f);
}

TEST(DataFileFaults, GuttmanizingWithoutItemsSaysSoAndClosesTheFile) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.a.item_status.assign(d.a.item_status.size(), -3);
    r.run.cv.item1 = 1, r.run.cv.xwide = 1, r.run.cv.name1 = 6, r.run.cv.namlen = 4, r.run.cv.codes = "01";
    r.run.cv.g0zone = -30.0f, r.run.cv.g1zone = 250.0f;
    d.s.gufile = r.dir.file("gu.txt");
    write_guttmanized_file(r.run, d.s, d.a, d.records);
    EXPECT_TRUE(r.host.shows("with G0ZONE=30% and G1ZONE=100%")) << r.host.screen();
    EXPECT_TRUE(r.host.shows("No items are measured: Guttmanizing impossible"));
    EXPECT_EQ(read_file(r.dir.file("gu.txt")), "");
    EXPECT_FALSE(record_unit_is_open(r.run, unit::kOutput) || r.run.units.open.count(unit::kOutput));
}

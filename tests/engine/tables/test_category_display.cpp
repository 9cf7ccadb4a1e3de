// Table 2 on whole runs: the default sub-tables of the dichotomous set (2.1, 2.5-2.7) and of the
// rating-scale set (2.2, 2.5-2.7) byte for byte, 2.1, 2.3 and 2.4 on request, nothing for 2.6
// alone, the message of an axis without room for its labels; the mode scan and the weighted
// averages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/report/report_context.h"
#include "engine/tables/category_display.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

std::vector<std::string> without_heading_line(std::vector<std::string> block) {
    if (!block.empty()) block.erase(block.begin());
    return block;
}

// Which sub-tables of Table 2 the report holds.
std::vector<std::string> table2_headings(const std::string& report) {
    std::vector<std::string> ids;
    for (int s = 1; s <= 9; ++s)
        if (!table_block(report, "2." + std::to_string(s)).empty()) ids.push_back("2." + std::to_string(s));
    return ids;
}

}  // namespace

TEST(CategoryDisplays, DefaultAndRequestedSubTables) {
    for (bool rating : {false, true}) {
        const std::string settings = rating ? "TFILE=*\n2\n2.1\n2.3\n2.4\n*\n" : "TFILE=*\n2\n*\n";
        SummaryRun r(rating ? rating_scale_set(settings) : dichotomous_set(settings));
        ASSERT_EQ(r.exit_status, 0) << r.host.screen();
        const std::string report = r.report();
        const std::string set = rating ? "rating" : "dichotomous";
        const std::vector<std::string> ids = table2_headings(report);
        const std::vector<std::string> expected =
            rating ? std::vector<std::string>{"2.1", "2.2", "2.3", "2.4", "2.5", "2.6", "2.7"}
                   : std::vector<std::string>{"2.1", "2.5", "2.6", "2.7"};
        EXPECT_EQ(ids, expected);
        for (const std::string& id : ids)
            expect_golden("tables/category_display_" + set + "_" + id + ".txt",
                          crlf_text(without_heading_line(table_block(report, id))));
        const std::vector<std::string> first = table_block(report, "2.1");
        ASSERT_GT(first.size(), 7u);
        EXPECT_EQ(first[4], "MOST PROBABLE RESPONSE: MODE  (BETWEEN \"0\" AND \"1\" IS \"0\", ETC.)");
        EXPECT_EQ(first[6].substr(60), "|  NUM   ITEM");
    }
}

TEST(CategoryDisplays, SubTableSixAloneShowsNothingAndANarrowAxisIsRefused) {
    SummaryRun r(rating_scale_set("TFILE=*\n2.6\n2 -10 10 3\n*\n"));
    ASSERT_EQ(r.exit_status, 0);
    EXPECT_TRUE(table2_headings(r.report()).empty());
    EXPECT_TRUE(r.shows(" TABLE 2 COULD NOT BE FORMATTED TO YOUR SPECIFICATIONS"));
}

TEST(CategoryDisplays, WeightedAveragesAreWeightedMeans) {
    float weight = 0.0f, mean = 0.0f;
    add_to_weighted_mean(weight, mean, 1.0f, 2.0f);
    add_to_weighted_mean(weight, mean, 3.0f, 4.0f);
    EXPECT_FLOAT_EQ(weight, 4.0f);
    EXPECT_FLOAT_EQ(mean, 3.5f);  // (1 x 2 + 3 x 4) / 4
}

TEST(CategoryDisplays, TheModeScanGivesTiesToTheHigherCategory) {
    // One group of categories 0-2 with equal steps: at the first threshold all three are equally
    // probable, so category 2 becomes modal at once and category 1 never.
    korvelan::Run run;
    AnalysisArrays& a = run.arrays;
    a.groups = 1;
    a.slots = 3;
    a.top_value = 2;
    a.group_first_slot = {0, 1};
    a.group_top_category = {0, 2};
    a.group_model = {'R', 'R'};
    a.step_calibration = {0, 0, 0, 0};
    a.category_status = {0, 1, 1, 1};
    a.category_thurstone_threshold = {0, 0, 0, 0};
    ReportContext ctx(run);
    ctx.axis.columns_per_unit = 10.0f;
    ctx.axis.plot_width = 60;
    CategoryDisplays t(ctx);
    find_mode_starts(t);
    EXPECT_EQ(t.modal[2], 0);
    EXPECT_EQ(t.modal[3], 1);
    EXPECT_FLOAT_EQ(t.mode_start[3], 0.0f);

    // Steps -1 and 1: category 1 takes over at the start, category 2 where p(2) reaches p(1),
    // at x = 1, the 101st point of a tenth of a column (10 columns a unit).
    a.step_calibration = {0, 0, -1, 1};
    a.category_thurstone_threshold = {0, 0, -1, 1};
    find_mode_starts(t);
    EXPECT_EQ(t.modal[2], 1);
    EXPECT_FLOAT_EQ(t.mode_start[2], -1.0f);
    EXPECT_EQ(t.modal[3], 1);
    EXPECT_NEAR(t.mode_start[3], 1.0f, 1e-5);
}

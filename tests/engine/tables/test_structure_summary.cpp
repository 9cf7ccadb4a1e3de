// Table 3 of whole runs: 3.1 and then the rating-scale structure of the dichotomous and the
// rating-scale set, byte for byte; the step calibrations against the run's SFILE= and the
// category counts against the data. Then the values of one group's rows from category
// statistics set by hand (coherence, disorder, null steps, unobserved categories, an empty
// group), the item runs of a group heading, a group of one item and STEPT=N.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/tables/structure_rows.h"
#include "engine/tables/structure_summary.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/engine/tables/table_lines.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

std::size_t line_of(const std::vector<std::string>& lines, const std::string& text, int nth = 1) {
    for (std::size_t k = 0; k < lines.size(); ++k)
        if (lines[k].find(text) != std::string::npos && --nth == 0) return k;
    return lines.size();
}

// The responses 0..3 of the rating-scale set's persons that are not extreme, by category.
std::map<int, int> rating_counts() {
    std::map<int, int> counts;
    const std::string data = rating_scale_set("");
    std::istringstream in(data.substr(data.find("END LABELS\n") + 11));
    std::string line;
    while (std::getline(in, line)) {
        const std::string responses = line.substr(0, 6);
        if (responses == "333333") continue;  // R07, extreme
        for (char c : responses)
            if (c != ' ') ++counts[c - '0'];
    }
    return counts;
}

}  // namespace

TEST(StructureSummary, DichotomousAndRatingScaleTablesAgainstTheirFiles) {
    SummaryRun dichotomous(dichotomous_set("TABLES=001\nSFILE=s.txt\n"));
    SummaryRun rating(rating_scale_set("TABLES=001\nSFILE=s.txt\n"));
    ASSERT_EQ(dichotomous.exit_status, 0) << dichotomous.host.screen();
    ASSERT_EQ(rating.exit_status, 0) << rating.host.screen();
    for (auto* run : {&dichotomous, &rating}) {
        const std::string report = run->report();
        std::vector<std::string> lines = without_heading_line(table_block(report, "3.1"));
        for (const std::string& l : without_heading_line(table_block(report, "3.2"))) lines.push_back(l);
        expect_golden(run == &rating ? "tables/structure_rating_scale.txt"
                                     : "tables/structure_dichotomous.txt",
                      crlf_text(lines));
        EXPECT_TRUE(table_block(report, "3.3").empty());
    }

    const std::vector<std::string> t = table_block(rating.report(), "3.2");
    const std::vector<double> steps = step_file(rating.dir.file("s.txt"));
    ASSERT_EQ(steps.size(), 4u);
    const std::map<int, int> counts = rating_counts();
    int total = 4;  // the missing responses
    for (const auto& [k, n] : counts) total += n;
    const std::size_t first = line_of(t, "|LABEL SCORE COUNT %") + 2;
    const std::size_t second = line_of(t, "| LABEL  CALIBRATN  S.E. |") + 2;
    ASSERT_LT(second + 3, t.size());
    for (int k = 0; k <= 3; ++k) {
        const std::string& row = t[first + static_cast<std::size_t>(k)];
        EXPECT_EQ(std::stoi(columns(row, 9, 16)), counts.at(k)) << row;
        EXPECT_EQ(std::stoi(columns(row, 17, 20)), std::lround(100.0 * counts.at(k) / total)) << row;
        const std::string& step_row = t[second + static_cast<std::size_t>(k)];
        if (k == 0) {
            EXPECT_EQ(columns(row, 49, 55), "NONE");
            EXPECT_EQ(columns(step_row, 12, 16), "NONE");
            continue;
        }
        EXPECT_DOUBLE_EQ(std::stod(columns(row, 49, 56)), steps[static_cast<std::size_t>(k)]) << row;
        EXPECT_DOUBLE_EQ(std::stod(columns(step_row, 10, 17)), steps[static_cast<std::size_t>(k)]) << step_row;
    }
    // The missing responses of the non-extreme persons, and their share of every response.
    const std::string& missing = t[line_of(t, "|MISSING")];
    EXPECT_EQ(missing.substr(0, 21), "|MISSING       4   4|");
    EXPECT_EQ(t[first].substr(t[first].size() - 7), "0 Never");
    // The dichotomous table of a run without OBS-EXP worth showing drops that column.
    const std::vector<std::string> d = table_block(dichotomous.report(), "3.2");
    EXPECT_EQ(line_of(d, "OBS-EXP"), d.size());
    EXPECT_NE(line_of(d, "| COHERENCE|"), d.size());
}

TEST(StructureSummary, StepTablesOffLeavesOnlyTheSummaryStatistics) {
    SummaryRun all(rating_scale_set("STEPT=N\nTFILE=*\n3\n3.2\n*\n"));
    const std::string report = all.report();
    EXPECT_FALSE(table_block(report, "3.1").empty());
    // Table 3 without a sub-table: 3.1 alone; sub-table 2 asked for: the section, its heading
    // only (one group, so no group heading).
    EXPECT_EQ(table_block(report, "3.2", 2).size(), 0u);
    EXPECT_EQ(line_of(table_block(report, "3.2"), "SUMMARY OF MEASURED STEPS"), table_block(report, "3.2").size());
}

TEST(StructureSummary, GroupsOfOneItemAndSeveralAreHeadedWithTheirItems) {
    SummaryRun grouped(rating_scale_set("GROUPS=AAABBC\nTABLES=001\n"));
    ASSERT_EQ(grouped.exit_status, 0) << grouped.host.screen();
    const std::string report = grouped.report();
    const std::vector<std::string> a = table_block(report, "3.2");
    const std::vector<std::string> c = table_block(report, "3.4");
    ASSERT_FALSE(c.empty());
    EXPECT_NE(line_of(a, "FOR GROUP \"A\" ITEM NUMBERS: 1-3"), a.size());
    const std::vector<std::string> b = table_block(report, "3.3");
    EXPECT_NE(line_of(b, "FOR GROUP \"B\" ITEM NUMBERS: 4-5"), b.size());
    EXPECT_NE(line_of(c, "FOR GROUP \"C\" ITEM NUMBER: 6  F"), c.size());
    const std::size_t added = line_of(c, "ITEM DIFFICULTY OF ");
    ASSERT_LT(added, c.size());
    EXPECT_NE(c[added].find(" ADDED TO MEASURES"), std::string::npos);
    // Measures are shown as item measures: the step column is headed MEASURE, each step is
    // the item's measure plus its calibration, and no step is marked anchored. Item F was never
    // scored 0, so its scale starts at 1.
    const std::size_t second = line_of(c, "| LABEL   MEASURE   S.E. |");
    ASSERT_LT(second + 4, c.size());
    const std::size_t first = line_of(c, "|LABEL SCORE COUNT %") + 2;
    ASSERT_LT(first + 2, c.size());
    EXPECT_EQ(c[first].substr(0, 8), "|  1   1");
    const double offset = std::stod(columns(c[added], 20, 24));
    for (int k = 1; k <= 2; ++k) {
        const double step = std::stod(columns(c[first + static_cast<std::size_t>(k)], 49, 56));
        const std::string& row = c[second + 2 + static_cast<std::size_t>(k)];
        EXPECT_NEAR(std::stod(columns(row, 10, 17)), offset + step, 0.0101) << row;
        EXPECT_EQ(row[17], ' ') << row;
    }
}

TEST(StructureSummary, ItemRunsJoinNeighboursAndWrapBeforeARun) {
    AnalysisArrays a;
    a.items = 12;
    a.item_status.assign(13, 1);
    a.item_group.assign(13, 1);
    a.item_group[6] = a.item_group[8] = 2;
    const std::vector<std::int32_t> runs = group_item_runs(a, 1);
    EXPECT_EQ(runs, (std::vector<std::int32_t>{1, -5, 7, 9, -12}));
    EXPECT_EQ(item_run_lines(" FOR GROUP \"1\" ITEM", runs),
              std::vector<std::string>{" FOR GROUP \"1\" ITEM NUMBERS: 1-5 7 9-12"});
    std::vector<std::int32_t> many;
    for (int i = 1; i <= 60; i += 3) many.insert(many.end(), {i, -(i + 1)});
    const std::vector<std::string> lines = item_run_lines(" FOR GROUP \"1\" ITEM", many);
    ASSERT_EQ(lines.size(), 2u);
    // The first line passes 74 characters with 25-26; the next run starts a new line that
    // begins with a blank (the page-control position) before the run's own blank.
    EXPECT_EQ(lines[0].size(), 76u);
    EXPECT_EQ(lines[0].substr(lines[0].size() - 6), " 25-26");
    EXPECT_EQ(lines[1], "  28-29 31-32 34-35 37-38 40-41 43-44 46-47 49-50 52-53 55-56 58-59");
}

namespace {

// One rating-scale group 0-3 in slots 1-4, with the category statistics set by hand.
struct HandGroup {
    korvelan::Run run;
    explicit HandGroup(char model = 'R') {
        AnalysisArrays& a = run.arrays;
        run.cv.uscale = 1.0f;
        a.items = 1, a.groups = 1, a.slots = 4;
        a.item_status = {0, 1};
        a.item_group = {0, 1};
        a.item_measure = {0, 0.0f};
        a.group_top_category = {0, 3};
        a.group_first_slot = {0, 1};
        a.group_model = {' ', model};
        a.group_weight_sum = {0, 0.0f};
        a.group_average_difference = {0, 0.0f};
        for (auto* v : {&a.category_observed_count, &a.category_expected_count, &a.category_observed_average,
                        &a.category_expected_average, &a.category_infit_mnsq, &a.category_outfit_mnsq,
                        &a.step_calibration, &a.step_information, &a.category_score_point_measure,
                        &a.category_half_point_measure, &a.category_thurstone_threshold})
            v->assign(6, 0.0f);
        a.category_value = {0, 0, 1, 2, 3, 0};
        a.category_status = {0, 1, 1, 1, 1, 0};
        a.category_count_first.assign(6, 0);
        a.category_count_second.assign(6, 0);
    }
    StructureGroup values() {
        std::int32_t flag = -1;
        StructureGroup s = structure_group_values(run, 1, 1, 0.0f, flag);
        residual_flag = flag;
        return s;
    }
    std::int32_t residual_flag = -1;
};

}  // namespace

TEST(StructureSummary, RowValuesFromTheCategoryStatistics) {
    HandGroup h;
    AnalysisArrays& a = h.run.arrays;
    // Category 1: 1 hit of 1000 predictions; category 2: 999 of 1000, observed 1000 times.
    a.category_count_first[2] = 1000, a.category_count_second[2] = 1;
    a.category_count_first[3] = 1000, a.category_count_second[3] = 999;
    a.category_observed_count = {0, 0.0f, 10.0f, 1000.0f, 0.0f, 0};
    a.category_observed_average = {0, 0, 0.50f, 0.40f, 0, 0};
    a.category_expected_count = {0, -2.5f, 0.0f, 0.0f, 0.004f, 0};  // OBS - EXP
    a.category_status[4] = 0;  // category 3 cannot be reached
    StructureGroup s = h.values();
    EXPECT_EQ(s.rows[1].measure_to_category, 1);
    EXPECT_EQ(s.rows[1].category_to_measure, 10);
    EXPECT_EQ(s.rows[2].measure_to_category, 99);
    EXPECT_EQ(s.rows[2].category_to_measure, 99);
    EXPECT_EQ(s.rows[1].disorder, ' ');
    EXPECT_EQ(s.rows[2].disorder, '*');
    EXPECT_EQ(s.rows[2].observed_average, "   .40");
    // Category 0 is unobserved: blank averages and its expected count without "%".
    EXPECT_EQ(s.rows[0].observed_average, "      ");
    EXPECT_FALSE(s.rows[0].residual_percent);
    EXPECT_FLOAT_EQ(s.rows[0].residual, 2.5f);
    EXPECT_EQ(h.residual_flag, 1);
    EXPECT_EQ(s.rows[3].step, "  NULL   ");
    EXPECT_EQ(s.rows[3].step_error, "  NULL         ");
    EXPECT_EQ(s.rows[2].percent, 99);

    HandGroup hard('F'), easy('S');
    hard.run.arrays.category_status[4] = easy.run.arrays.category_status[4] = 0;
    EXPECT_EQ(hard.values().rows[3].step.substr(2, 4), "HARD");
    EXPECT_EQ(easy.values().rows[3].step.substr(2, 4), "EASY");

    // A group whose counts are all zero shows 0% everywhere, and no residual column.
    HandGroup empty;
    for (const StructureRow& r : empty.values().rows) EXPECT_EQ(r.percent, 0);
    EXPECT_EQ(empty.residual_flag, 0);
}

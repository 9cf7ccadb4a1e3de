// The score tables of data simulated from the success and the failure chain (groups of four,
// three and five categories under the chain, one group under the rating scale): every measure of
// Tables 20.1 and 20.3 and of SCFILE= moves the right way with the score and solves the
// expected-score equation of the run's own IFILE=, SFILE= and PFILE=, solved here by bisection
// with the category probabilities of each item's model; GRFILE= draws those probabilities. And
// a table found out of order ends its norms and names the report as not written in full.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/tables/score_table_parts.h"
#include "tests/engine/estimation/reference_model.h"
#include "tests/engine/report/report_lines_fixture.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/shell/estimation_run_checks.h"
#include "tests/support/chain_data.h"
#include "tests/support/data_sets.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

constexpr double kScale = 100.0;  // USCALE= of the runs: user units are logits x 100

std::vector<SimulatedGroup> design(char chain) {
    return {{chain, {0, -1, 0, 1}, {-0.8, -0.3, 0.2, 0.7}},
            {chain, {0, -0.5, 0.5}, {-0.5, 0.0, 0.5}},
            {chain, {0, -1.5, -0.5, 0.5, 1.5}, {-0.2, 0.4}},
            {'R', {0, -1, 0, 1}, {0.1}}};
}

// An item as the run's files give it: measure and rating-scale group, in logits.
struct FileItem {
    double measure = 0;
    Group group;
};

// The expected score of a person at b over the items (or of an item at -b over persons at 0) and
// its variance, from the category probabilities.
double expected(const std::vector<FileItem>& items, const std::vector<double>& counts, double b, double& variance) {
    double e = 0;
    variance = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::vector<double> p = reference_probabilities(items[i].group, b - items[i].measure);
        double x = 0, x2 = 0;
        for (std::size_t k = 0; k < p.size(); ++k) x += k * p[k], x2 += k * k * p[k];
        e += counts[i] * x, variance += counts[i] * (x2 - x * x);
    }
    return e;
}

// The measure (logits) whose expected score is the target: Newton's steps from a start near it,
// each at most a logit.
double solve(const std::vector<FileItem>& items, const std::vector<double>& counts, double target, double b) {
    for (int n = 0; n < 30; ++n) {
        double variance = 0;
        const double step = (target - expected(items, counts, b, variance)) / variance;
        b += std::clamp(step, -1.0, 1.0);
        if (std::fabs(step) < 1e-9) break;
    }
    return b;
}

struct ScoreRow {
    int score = 0;
    double measure = 0, error = 0;  // user units
};

// The rows of a score grid ("|" cells of score, measure with an "E" for the extremes, S.E.) or
// of the score file (score, measure, S.E. first on each record).
std::vector<ScoreRow> score_rows(const std::vector<std::string>& text, bool grid) {
    std::map<int, ScoreRow> rows;
    for (const std::string& line : text) {
        if (line.empty() || line[0] == ';' || (grid && line[0] != '|')) continue;
        std::vector<std::string> cells;
        std::istringstream split(line);
        for (std::string cell; std::getline(split, cell, grid ? '|' : '\n');) cells.push_back(cell);
        for (std::string cell : cells) {
            std::replace(cell.begin(), cell.end(), 'E', ' ');
            std::istringstream in(cell);
            ScoreRow r;
            if (in >> r.score >> r.measure >> r.error) rows[r.score] = r;
        }
    }
    std::vector<ScoreRow> v;
    for (const auto& [k, r] : rows) v.push_back(r);
    return v;
}

// Checks that the rows run the way of `rising`, solve the equation within .01 logit, and their
// S.E.s within .01 logit too; returns the worst difference of a measure from the solution.
double check_rows(const std::vector<ScoreRow>& rows, const std::vector<FileItem>& items,
                  const std::vector<double>& counts, double maximum, bool rising, double sign,
                  const std::string& what) {
    double worst = 0;
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(std::lround(maximum)) + 1) << what;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const ScoreRow& r = rows[k];
        EXPECT_EQ(r.score, static_cast<int>(k)) << what;
        if (k > 0) {
            EXPECT_TRUE(rising ? r.measure > rows[k - 1].measure : r.measure < rows[k - 1].measure)
                << what << " score " << r.score;
        }
        const double target = std::min(std::max(r.score, 0) * 1.0, maximum - 0.3);
        const double exact = sign * solve(items, counts, std::max(target, 0.3), sign * r.measure / kScale);
        double variance = 0;
        expected(items, counts, sign * exact, variance);
        worst = std::max(worst, std::fabs(r.measure / kScale - exact));
        EXPECT_NEAR(r.error / kScale, 1 / std::sqrt(variance), 0.01) << what << " score " << r.score;
    }
    EXPECT_LT(worst, 0.01) << what << ": worst difference from the chain's own measures, logits";
    return worst;
}

struct ChainScoreTables : ::testing::TestWithParam<char> {};

TEST_P(ChainScoreTables, EveryScoreSolvesTheChainsExpectedScore) {
    const char chain = GetParam();
    const std::vector<SimulatedGroup> groups = design(chain);
    const std::vector<std::vector<int>> data = simulate_responses(groups, 1000, chain == 'S' ? 17 : 29);
    SummaryRun r(simulated_control(groups, data,
                                   "USCALE=100\nSFILE=s.txt\nSCFILE=sc.txt\nGRFILE=g.txt\n"
                                   "TABLES=00000000000000000001\nTFILE=*\n20.3\n*\n"));
    ASSERT_EQ(r.exit_status, 0) << r.host.screen();
    const std::string report = r.report();
    EXPECT_EQ(report.find("APPROXIMATED"), std::string::npos);

    // The items of the run: measures from IFILE=, steps of each item from SFILE=.
    std::vector<FileItem> items;
    for (const SimulatedGroup& g : groups)
        for (std::size_t n = 0; n < g.items.size(); ++n)
            items.push_back({0, Group{g.model, std::vector<float>(g.steps.size()), std::vector<std::int32_t>(g.steps.size(), 1)}});
    for (const MeasureRecord& m : r.items()) items[static_cast<std::size_t>(m.entry - 1)].measure = m.measure / kScale;
    for (const StepLine& s : read_step_file(read_file(r.dir.file("s.txt"))))
        items[static_cast<std::size_t>(s.item - 1)].group.steps[static_cast<std::size_t>(s.category)] =
            static_cast<float>(s.value / kScale);
    const std::vector<double> ones(items.size(), 1.0);
    const double top = 3 * 4 + 2 * 3 + 4 * 2 + 3;

    const std::string name = std::string("MODELS=") + chain;
    const double grid = check_rows(score_rows(table_block(report, "20.1"), true), items, ones, top, true, 1, name + " Table 20.1");
    const double file = check_rows(score_rows(crlf_lines(read_file(r.dir.file("sc.txt"))), false), items, ones, top,
                                   true, 1, name + " SCFILE=");
    // Table 20.3: the first item against the measured persons, each kind of measure counted once
    // with its number (an item at d meets a person at B as a person at 0 meets an item at d - B).
    std::map<double, double> kinds;
    for (const MeasureRecord& p : r.persons())
        if (!p.commented && p.status == 1) kinds[p.measure / kScale] += 1;
    std::vector<FileItem> persons;
    std::vector<double> counts;
    for (const auto& [b, n] : kinds) persons.push_back({-b, items[0].group}), counts.push_back(n);
    double sample = 0;
    for (double n : counts) sample += 3 * n;
    const double item = check_rows(score_rows(table_block(report, "20.3"), true), persons, counts, sample, false, -1,
                                   name + " Table 20.3");
    RecordProperty(std::string(1, chain) + "_worst_20_1", std::to_string(grid));
    RecordProperty(std::string(1, chain) + "_worst_scfile", std::to_string(file));
    RecordProperty(std::string(1, chain) + "_worst_20_3", std::to_string(item));

    // GRFILE=: each point of the first group's curves, measured from the item, in user units.
    int points = 0;
    for (const std::string& line : crlf_lines(read_file(r.dir.file("g.txt")))) {
        std::istringstream in(line);
        int entry = 0;
        double measure = 0, score = 0, information = 0;
        if (!(in >> entry >> measure >> score >> information) || entry != 1) continue;
        const std::vector<double> p = reference_probabilities(items[0].group, measure / kScale);
        double e = 0, e2 = 0;
        for (std::size_t k = 0; k < p.size(); ++k) {
            double shown = 0;
            in >> shown;
            EXPECT_NEAR(shown, p[k], 0.0051) << line;
            e += k * p[k], e2 += k * k * p[k];
        }
        EXPECT_NEAR(score, e, 0.0051) << line;
        EXPECT_NEAR(information, e2 - e * e, 0.0051) << line;
        ++points;
    }
    EXPECT_EQ(points, 101);
}

INSTANTIATE_TEST_SUITE_P(Chains, ChainScoreTables, ::testing::Values('S', 'F'),
                         [](const ::testing::TestParamInfo<char>& info) { return std::string(1, info.param); });

struct ScoreNorms : ReportLinesFixture {};

TEST_F(ScoreNorms, MeasuresOutOfOrderEndTheTableAndFailTheReport) {
    run.rs.report_file = dir.file("report.txt");
    run.arrays.persons = 2;
    run.arrays.person_status = {0, 1, 1};
    run.arrays.person_measure = {0, 0.2f, 0.7f};
    ReportContext ctx(run);
    EXPECT_FALSE(write_score_norms(ctx, ScoreRange{2, 0, 2.0f}, ScoreMeasures{{-1.0f, 0.5f, 0.4f}, {1, 1, 1}}));
    EXPECT_TRUE(host.shows("SORT SEQUENCE ERROR: PLEASE SEND THIS FILE TO THE KORVELAN DEVELOPERS"));
    EXPECT_EQ(run.rs.output_failures,
              std::vector<std::string>{"PROBLEM: SCORE TABLE OUT OF ORDER, TABLE 20.2 NOT WRITTEN IN FULL IN: " +
                                       dir.file("report.txt")});
    const std::vector<std::string> lines = report_lines();
    EXPECT_NE(lines.back().find("TABLE OF SAMPLE NORMS"), std::string::npos);
}

}  // namespace

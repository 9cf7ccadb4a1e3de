// Table 20 of whole runs: 20.1 and 20.2 of the dichotomous and the rating-scale set byte for
// byte; every measure and S.E. of the grid against the expected-score equation solved here from
// the same run's IFILE= and SFILE=; the frequencies against the persons of PFILE=; the item
// score table 20.3.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/engine/tables/summary_fixture.h"
#include "tests/engine/tables/table_lines.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// The lines of Table id in the report: its titles "TABLE OF ..." are no Table headings.
std::vector<std::string> score_block(const std::string& report, const std::string& id) {
    std::vector<std::string> block;
    bool inside = false;
    for (const std::string& line : crlf_lines(report)) {
        const std::string bare = !line.empty() && line[0] == '\f' ? line.substr(1) : line;
        const bool heading = bare.rfind("TABLE ", 0) == 0 && bare.size() > 6 &&
                             std::isdigit(static_cast<unsigned char>(bare[6]));
        if (heading || bare.rfind("*****", 0) == 0) {
            if (inside) break;
            inside = bare.rfind("TABLE " + id + " ", 0) == 0;
        }
        if (inside) block.push_back(line);
    }
    return block;
}

// The expected score and its variance of a person at b on the measured items of the file, all
// in one rating scale with the steps of SFILE= (step 0 first), each item weighted by its entry
// in `weights` (1 where there is none).
double expected_score(double b, const std::vector<MeasureRecord>& items,
                      const std::vector<double>& steps, double& information,
                      const std::vector<double>& weights = {}) {
    double e = 0;
    information = 0;
    const int top = static_cast<int>(steps.size()) - 1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MeasureRecord& r = items[i];
        const double w = i < weights.size() ? weights[i] : 1.0;
        if (r.commented || r.status <= 0) continue;
        std::vector<double> p(static_cast<std::size_t>(top) + 1, 1.0);
        double sum = 1, cumulative = 0;
        for (int k = 1; k <= top; ++k) {
            cumulative += b - r.measure - steps[static_cast<std::size_t>(k)];
            sum += p[static_cast<std::size_t>(k)] = std::exp(cumulative);
        }
        double x = 0, x2 = 0;
        for (int k = 0; k <= top; ++k) x += k * p[static_cast<std::size_t>(k)] / sum, x2 += k * k * p[static_cast<std::size_t>(k)] / sum;
        e += w * x, information += w * (x2 - x * x);
    }
    return e;
}

struct GridCell {
    int score = 0;
    double measure = 0, error = 0;
    bool extreme = false;
};

// The cells of the score grid of 20.1, in score order.
std::vector<GridCell> grid_cells(const std::vector<std::string>& t) {
    std::map<int, GridCell> cells;
    for (const std::string& l : t) {
        if (l.size() < 76 || l[0] != '|' || !std::isdigit(static_cast<unsigned char>(l[6]))) continue;
        for (std::size_t c = 0; c < 3; ++c) {
            const std::size_t at = 25 * c;
            const std::string score = columns(l, at + 2, at + 7);
            if (score.empty()) continue;
            GridCell g{std::stoi(score), std::stod(columns(l, at + 9, at + 16)),
                       std::stod(columns(l, at + 18, at + 24)), l[at + 16] == 'E'};
            cells[g.score] = g;
        }
    }
    std::vector<GridCell> v;
    for (const auto& [k, g] : cells) v.push_back(g);
    return v;
}

// Solves each score of the grid and compares; tolerance covers the last printed digit and the
// rounding of the files' values.
void expect_grid_solves(const SummaryRun& run, const std::vector<std::string>& t, double tolerance) {
    const std::vector<MeasureRecord> items = run.items();
    const std::vector<double> steps = step_file(run.dir.file("s.txt"));
    const std::vector<GridCell> cells = grid_cells(t);
    ASSERT_FALSE(cells.empty()) << lines(t);
    const int range = cells.back().score;
    for (const GridCell& g : cells) {
        const double target = std::min(std::max(g.score * 1.0, 0.3), range - 0.3);
        double lo = -30, hi = 30, information = 0;
        for (int k = 0; k < 200; ++k) {
            const double mid = (lo + hi) / 2;
            (expected_score(mid, items, steps, information) < target ? lo : hi) = mid;
        }
        expected_score(lo, items, steps, information);
        EXPECT_NEAR(g.measure, lo, tolerance) << g.score;
        EXPECT_NEAR(g.error, 1 / std::sqrt(information), tolerance) << g.score;
        EXPECT_EQ(g.extreme, g.score == 0 || g.score == range) << g.score;
    }
}

}  // namespace

TEST(ScoreTable, GridsOgivesAndNormsOfBothSets) {
    SummaryRun dichotomous(dichotomous_set("TABLES=00000000000000000001\n"));
    SummaryRun rating(rating_scale_set("TABLES=00000000000000000001\n"));
    for (auto* run : {&dichotomous, &rating}) {
        ASSERT_EQ(run->exit_status, 0) << run->host.screen();
        const std::string report = run->report();
        std::vector<std::string> lines = without_heading_line(score_block(report, "20.1"));
        for (const std::string& l : without_heading_line(score_block(report, "20.2"))) lines.push_back(l);
        expect_golden(run == &rating ? "tables/score_table_rating_scale.txt"
                                     : "tables/score_table_dichotomous.txt",
                      crlf_text(lines));
        EXPECT_TRUE(run->shows("  Calculating Scores for Table 20"));

        // The norms: every person with a measure counted once, the percentiles in range.
        const std::vector<std::string> norms = score_block(report, "20.2");
        int persons = 0, counted = 0, cumulative = 0;
        for (const MeasureRecord& r : run->persons()) persons += r.status >= -1;
        for (const std::string& l : norms) {
            if (l.size() < 76 || l[0] != '|' || !std::isdigit(static_cast<unsigned char>(l[6]))) continue;
            const int frequency = std::stoi(columns(l, 39, 44));
            const int percentile = std::stoi(columns(l, 71, 73));
            counted += frequency;
            if (frequency > 0) EXPECT_TRUE(percentile >= 1 && percentile <= 99) << l;
            else EXPECT_TRUE(percentile <= 99 || counted == persons) << l;
            cumulative = std::stoi(columns(l, 53, 58));
        }
        EXPECT_EQ(counted, persons);
        EXPECT_EQ(cumulative, persons);
    }
}

TEST(ScoreTable, MeasuresSolveTheExpectedScoreEquationOfTheRun) {
    // Four decimals: the item measures of IFILE= as the run holds them; the dichotomous steps
    // are 0, the rating-scale steps of SFILE= carry two decimals.
    SummaryRun dichotomous(dichotomous_set("UDECIM=4\nSFILE=s.txt\nTABLES=00000000000000000001\n"));
    SummaryRun rating(rating_scale_set("UDECIM=4\nSFILE=s.txt\nTABLES=00000000000000000001\n"));
    ASSERT_EQ(dichotomous.exit_status, 0) << dichotomous.host.screen();
    ASSERT_EQ(rating.exit_status, 0) << rating.host.screen();
    const std::vector<std::string> d = score_block(dichotomous.report(), "20.1");
    expect_grid_solves(dichotomous, d, 0.0002);
    // Honey is answered by all and Cider deleted: six items score.
    EXPECT_EQ(grid_cells(d).back().score, 6);
    const std::vector<std::string> r = score_block(rating.report(), "20.1");
    expect_grid_solves(rating, r, 0.006);
    EXPECT_EQ(grid_cells(r).back().score, 18);
}

TEST(ScoreTable, ItemScoreTableOfTheFirstGroup) {
    SummaryRun rating(rating_scale_set("TFILE=*\n20.3\n*\n"));
    const std::vector<std::string> t = score_block(rating.report(), "20.3");
    ASSERT_FALSE(t.empty());
    EXPECT_TRUE(score_block(rating.report(), "20.1").empty());
    std::size_t title = 0;
    while (title < t.size() && t[title].find("TABLE OF ITEM MEASURES") == std::string::npos) ++title;
    ASSERT_LT(title, t.size());
    EXPECT_EQ(t[title], "TABLE OF ITEM MEASURES ON COMPLETE NON-EXTREME SAMPLE FOR ITEMS LIKE 1  A");
    // Fifteen non-extreme persons with categories 0-3: scores 0 to 45; the item measure falls as
    // the score rises.
    const std::vector<GridCell> cells = grid_cells(t);
    ASSERT_EQ(cells.size(), 46u);
    for (std::size_t k = 1; k < cells.size(); ++k) EXPECT_LT(cells[k].measure, cells[k - 1].measure);
    EXPECT_TRUE(cells.front().extreme && cells.back().extreme);
}

TEST(ScoreTable, FractionalItemWeightsEndAtTheReachableMaximum) {
    // Weights 2 and .5 on items A and B: the weighted maximum is 3 x 6.5 = 19.5, so the scores
    // run to NINT(19.5) = 20, whose measure is searched at 19.5 less EXTRS= .3.
    const std::vector<double> weights{2.0, 0.5, 1.0, 1.0, 1.0, 1.0};
    SummaryRun rating(rating_scale_set("IWEIGHT=*\n1 2\n2 .5\n*\nUDECIM=4\nSFILE=s.txt\nSCFILE=sc.txt\n"
                                       "TABLES=00000000000000000001\n"));
    ASSERT_EQ(rating.exit_status, 0) << rating.host.screen();
    const std::vector<std::string> t = score_block(rating.report(), "20.1");
    const std::vector<GridCell> cells = grid_cells(t);
    ASSERT_EQ(cells.size(), 21u) << lines(t);
    const std::vector<MeasureRecord> items = rating.items();
    const std::vector<double> steps = step_file(rating.dir.file("s.txt"));
    for (const GridCell& g : cells) {
        const double target = g.score == 20 ? 19.2 : std::max(g.score * 1.0, 0.3);
        double lo = -30, hi = 30, information = 0;
        for (int k = 0; k < 200; ++k) {
            const double mid = (lo + hi) / 2;
            (expected_score(mid, items, steps, information, weights) < target ? lo : hi) = mid;
        }
        expected_score(lo, items, steps, information, weights);
        EXPECT_NEAR(g.measure, lo, 0.006) << g.score;
        EXPECT_NEAR(g.error, 1 / std::sqrt(information), 0.006) << g.score;
        EXPECT_EQ(g.extreme, g.score == 0 || g.score == 20) << g.score;
    }
    // The score file ends at the same score and measure.
    std::vector<std::vector<std::string>> rows;
    for (const std::string& l : crlf_lines(read_file(rating.dir.file("sc.txt"))))
        if (!l.empty() && l[0] != ';') {
            std::istringstream in(l);
            std::vector<std::string> w;
            for (std::string x; in >> x;) w.push_back(x);
            rows.push_back(w);
        }
    ASSERT_EQ(rows.size(), 21u);
    EXPECT_EQ(rows.back()[0], "20");
    EXPECT_NEAR(std::stod(rows.back()[1]), cells.back().measure, 0.00011);
    // The rescaling advice and the ogive's axis span the measures of scores 0 and 20.
    const double low = cells.front().measure, high = cells.back().measure;
    const std::string advice = "TO SET MEASURE RANGE AS 0-100, UMEAN=";
    const std::string report = rating.report();
    const std::size_t at = report.find(advice);
    ASSERT_NE(at, std::string::npos);
    const std::size_t scale_at = report.find("USCALE=", at) + 7;
    EXPECT_NEAR(std::stod(report.substr(scale_at)), 100.0 / (high - low), 0.01);
    std::size_t axis = std::string::npos;
    for (std::size_t k = 0; k < t.size(); ++k)
        if (t[k].find("MEASURE") != std::string::npos && k > 0 && t[k].find("SCORE") == std::string::npos) axis = k - 1;
    ASSERT_NE(axis, std::string::npos) << lines(t);
    std::istringstream labels(t[axis]);
    std::vector<double> ticks;
    for (double v; labels >> v;) ticks.push_back(v);
    ASSERT_GE(ticks.size(), 2u) << t[axis];
    EXPECT_LE(ticks.front(), low);
    EXPECT_GE(ticks.back(), high);
    EXPECT_LT(ticks.back() - ticks.front(), 2.0 * (high - low) + 2.0) << t[axis];
}

namespace {

// The expected score of an item at d over the measured persons of the file, each weighted by
// its weight column, in the one rating scale of SFILE=.
double item_expected_score(double d, const std::vector<MeasureRecord>& persons, const std::vector<double>& steps) {
    double e = 0;
    const int top = static_cast<int>(steps.size()) - 1;
    for (const MeasureRecord& p : persons) {
        if (p.commented || p.status != 1) continue;
        double sum = 1, cumulative = 0, x = 0;
        std::vector<double> q(static_cast<std::size_t>(top) + 1, 1.0);
        for (int k = 1; k <= top; ++k) {
            cumulative += p.measure - d - steps[static_cast<std::size_t>(k)];
            sum += q[static_cast<std::size_t>(k)] = std::exp(cumulative);
        }
        for (int k = 1; k <= top; ++k) x += k * q[static_cast<std::size_t>(k)] / sum;
        e += p.fit.back() * x;
    }
    return e;
}

}  // namespace

TEST(ScoreTable, FractionalPersonWeightsEndTheItemTableAtTheReachableMaximum) {
    // Persons 1-4 weigh .3 (held as .30000001 and summed in any order): the fifteen measured
    // persons reach 3 x (11 + 4 x .3) = 36.6, so the scores run to NINT(36.6) = 37, whose
    // measure is searched at 36.6 less EXTRS= .3; every score solves its own target.
    for (const std::string weight : {".3", ".7"}) {
        SummaryRun rating(rating_scale_set("PWEIGHT=*\n1 " + weight + "\n2 " + weight + "\n3 " + weight + "\n4 " +
                                           weight + "\n*\nUDECIM=4\nSFILE=s.txt\nTFILE=*\n20.3\n*\n"));
        ASSERT_EQ(rating.exit_status, 0) << rating.host.screen();
        const std::vector<MeasureRecord> persons = rating.persons();
        const std::vector<double> steps = step_file(rating.dir.file("s.txt"));
        double maximum = 0;
        for (const MeasureRecord& p : persons)
            if (!p.commented && p.status == 1) maximum += 3 * p.fit.back();
        const std::vector<GridCell> cells = grid_cells(score_block(rating.report(), "20.3"));
        ASSERT_EQ(static_cast<int>(cells.size()), static_cast<int>(std::floor(maximum + 0.5)) + 1) << weight;
        for (const GridCell& g : cells) {
            const bool last = &g == &cells.back();
            const double target = last ? maximum - 0.3 : std::min(std::max(g.score * 1.0, 0.3), maximum - 0.3);
            EXPECT_NEAR(item_expected_score(g.measure, persons, steps), target, 0.02) << weight << " " << g.score;
            EXPECT_EQ(g.extreme, g.score == 0 || last) << g.score;
            EXPECT_LE(g.measure, cells.front().measure) << g.score;
            EXPECT_GE(g.measure, cells.back().measure) << g.score;
        }
    }
}

TEST(ScoreTable, ItemWeightsThatAddUpToAHalfInDecimalRoundUp) {
    // Weights 1.3 and .2 are held as 1.29999995 and .2000000003: the maximum 3 x (1.3 + .2 + 4)
    // is 16.5 in decimal, so the scores run to 17, searched at 16.2, in Table 20.1 and SCFILE=.
    const std::vector<double> weights{1.3, 0.2, 1.0, 1.0, 1.0, 1.0};
    SummaryRun rating(rating_scale_set("IWEIGHT=*\n1 1.3\n2 .2\n*\nUDECIM=4\nSFILE=s.txt\nSCFILE=sc.txt\n"
                                       "TABLES=00000000000000000001\n"));
    ASSERT_EQ(rating.exit_status, 0) << rating.host.screen();
    const std::vector<GridCell> cells = grid_cells(score_block(rating.report(), "20.1"));
    ASSERT_EQ(cells.size(), 18u);
    const std::vector<MeasureRecord> items = rating.items();
    const std::vector<double> steps = step_file(rating.dir.file("s.txt"));
    for (const GridCell& g : cells) {
        double information = 0;
        const double target = g.score == 17 ? 16.2 : std::max(g.score * 1.0, 0.3);
        EXPECT_NEAR(expected_score(g.measure, items, steps, information, weights), target, 0.02) << g.score;
        EXPECT_EQ(g.extreme, g.score == 0 || g.score == 17) << g.score;
    }
    int rows = 0;
    for (const std::string& l : crlf_lines(read_file(rating.dir.file("sc.txt")))) rows += !l.empty() && l[0] != ';';
    EXPECT_EQ(rows, 18);
}

// Tables 3 (from 3.2), 21 and 29 of whole runs: Table 21 of the rating-scale set in three groups
// and Table 29 with its missing responses byte for byte; CURVES= forced to the probability plot
// in Table 3 and restored for a later Table 21; the plotted points and strips against
// probabilities computed here from the run's step calibrations; the counts and shares of Table
// 29 against the data and the measures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tests/engine/tables/summary_fixture.h"
#include "tests/engine/tables/table_lines.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

const std::string kProbabilities = "CATEGORY PROBABILITIES: MODES - Step measures at intersections";
const std::string kOgive = "EXPECTED SCORE OGIVE: MEANS";
const std::string kCumulative = "THURSTONE THRESHOLDS: MEDIANS - Cumulative probabilities";

std::size_t line_of(const std::vector<std::string>& lines, const std::string& text, std::size_t from = 0) {
    for (std::size_t k = from; k < lines.size(); ++k)
        if (lines[k].find(text) != std::string::npos) return k;
    return lines.size();
}
int count_of(const std::vector<std::string>& lines, const std::string& text) {
    int n = 0;
    for (const std::string& l : lines) n += l.find(text) != std::string::npos;
    return n;
}

// One printed plot found by its title: cell c of row r, and the measure of each column read
// from the tick labels (cell 0 is file column 9, as the first label's last digit).
struct ShownPlot {
    std::vector<std::string> lines;
    std::size_t title = 0;
    int rows = 0;
    double lowest = 0, per_column = 0;

    ShownPlot(const std::vector<std::string>& block, const std::string& name, int plot_rows)
        : lines(block), title(line_of(block, name)), rows(plot_rows) {
        const std::string& labels = lines.at(title + 4 + static_cast<std::size_t>(rows));
        std::istringstream in(labels);
        std::vector<double> values;
        std::vector<std::size_t> ends;
        std::size_t at = 0;
        for (std::string word; in >> word;) {
            at = labels.find(word, at) + word.size();
            values.push_back(std::stod(word));
            ends.push_back(at - 1);
        }
        lowest = values.at(0);
        per_column = (values.at(1) - values.at(0)) / static_cast<double>(ends.at(1) - ends.at(0));
        EXPECT_EQ(ends[0], 8u) << labels;
    }
    char cell(int row, int column) const {
        const std::string& l = lines.at(title + 2 + static_cast<std::size_t>(rows - row));
        const std::size_t k = 8 + static_cast<std::size_t>(column);
        return k < l.size() ? l[k] : ' ';
    }
    char strip(int column) const {
        const std::string& l = lines.at(title + 6 + static_cast<std::size_t>(rows));
        const std::size_t k = 8 + static_cast<std::size_t>(column);
        return k < l.size() ? l[k] : ' ';
    }
    double measure(int column) const { return lowest + per_column * column; }
};

// Rating-scale probabilities from their definition, in double.
std::vector<double> probabilities(const std::vector<double>& steps, double x) {
    std::vector<double> p(steps.size());
    double sum = 0, total = 0;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        if (k > 0) sum += x - steps[k];
        p[k] = std::exp(sum);
        total += p[k];
    }
    for (double& v : p) v /= total;
    return p;
}

std::vector<double> run_steps(const SummaryRun& r) {
    const AnalysisArrays& a = r.run.arrays;
    std::vector<double> steps;
    for (int k = 0; k <= a.group_top_category[1]; ++k) steps.push_back(a.step_calibration[a.group_first_slot[1] + k]);
    return steps;
}


// The count at line place `at` of a COUNT strip whose units stand on line `units`: its digits
// stacked upwards over the strip lines above; -1 when blank.
int stacked_count(const std::vector<std::string>& t, std::size_t units, std::size_t at) {
    int value = 0, scale = 1;
    bool any = false;
    for (std::size_t k = units; k > 0; --k, scale *= 10) {
        const std::string& l = t[k];
        if (k != units && l.substr(0, std::min<std::size_t>(8, l.size())).find_first_not_of(' ') != std::string::npos)
            break;
        if (at >= l.size() || !std::isdigit(static_cast<unsigned char>(l[at]))) break;
        value += scale * (l[at] - '0');
        any = true;
    }
    return any ? value : -1;
}

// The responses of item i by interval of the measure relative to the item (half a tick, centred
// on every fifth column) and category, from the run's measures and scored responses: the COUNT
// strip shows each total from its middle column, and each category seen in an interval stands
// at the row of its share in that column.
void expect_empirical_points(SummaryRun& r, const std::vector<std::string>& t, int i) {
    const ShownPlot plot(t, "EMPIRICAL FREQUENCIES AND MODEL CATEGORY PROBABILITIES", 20);
    const AnalysisArrays& a = r.run.arrays;
    std::vector<std::vector<int>> counts(13, std::vector<int>(4, 0));
    const std::vector<std::vector<int>> scores = r.scores();
    for (int p = 1; p <= a.persons; ++p) {
        const int x = scores[static_cast<std::size_t>(p - 1)][static_cast<std::size_t>(i - 1)];
        if (x == 255) continue;
        const double relative = a.person_measure[p] - a.item_measure[i];
        const long column = std::clamp(std::lround((relative - plot.lowest) / plot.per_column), 0L, 60L);
        ++counts[static_cast<std::size_t>((column + 2) / 5)][static_cast<std::size_t>(x)];
    }
    const std::size_t strip = line_of(t, " COUNT");
    for (int n = 0; n <= 12; ++n) {
        int total = 0;
        for (int k : counts[static_cast<std::size_t>(n)]) total += k;
        const std::size_t at = 8 + static_cast<std::size_t>(5 * n);
        EXPECT_EQ(stacked_count(t, strip, at), total == 0 ? -1 : total) << "item " << i << " interval " << n;
        if (total == 0) continue;
        for (int k = 0; k <= 3; ++k) {
            const int seen = counts[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)];
            if (seen == 0) continue;
            const char cell = plot.cell(static_cast<int>(std::lround(20.0 * seen / total)), 5 * n);
            EXPECT_TRUE(cell == '0' + k || cell == '*') << "item " << i << " interval " << n << " " << cell;
        }
    }
}

}  // namespace

TEST(ProbabilityCurves, Table21InGroupsAndTable29WithMissingResponses) {
    SummaryRun grouped(rating_scale_set("GROUPS=AAABBC\nTFILE=*\n21\n*\n"));
    ASSERT_EQ(grouped.exit_status, 0) << grouped.host.screen();
    std::vector<std::string> all;
    for (const char* id : {"21.1", "21.2", "21.3"}) {
        const std::vector<std::string> t = without_heading_line(table_block(grouped.report(), id));
        EXPECT_EQ(count_of(t, kProbabilities), 1) << id;
        EXPECT_EQ(count_of(t, kOgive), 1) << id;
        EXPECT_EQ(count_of(t, kCumulative), 1) << id;
        all.insert(all.end(), t.begin(), t.end());
    }
    EXPECT_TRUE(table_block(grouped.report(), "21.4").empty());
    expect_golden("tables/probability_curves_21.txt", crlf_text(all));

    SummaryRun rating(rating_scale_set("TFILE=*\n29\n*\n"));
    ASSERT_EQ(rating.exit_status, 0) << rating.host.screen();
    EXPECT_TRUE(rating.shows("  Counting Empirical Frequencies. Table 29"));
    EXPECT_TRUE(rating.shows("  Writing Frequency Plots. Table 29"));
    std::vector<std::string> empirical;
    const std::vector<std::vector<int>> scores = rating.scores();
    for (int i = 1; i <= 6; ++i) {
        const std::vector<std::string> t = without_heading_line(table_block(rating.report(), "29." + std::to_string(i)));
        ASSERT_FALSE(t.empty()) << i;
        // Every person counts: the responses and the missing ones of the item, from the data.
        int responses = 0, missing = 0;
        for (const std::vector<int>& row : scores) (row[static_cast<std::size_t>(i - 1)] == 255 ? missing : responses)++;
        EXPECT_NE(line_of(t, "RESPONSES: " + std::to_string(responses) + "  MISSING: " + std::to_string(missing)),
                  t.size()) << i;
        // The COUNT strip adds up to the responses.
        int sum = 0;
        for (std::size_t at = 8; at <= 68; ++at) sum += std::max(stacked_count(t, line_of(t, " COUNT"), at), 0);
        EXPECT_EQ(sum, responses) << i;
        expect_empirical_points(rating, t, i);
        empirical.insert(empirical.end(), t.begin(), t.end());
    }
    EXPECT_TRUE(table_block(rating.report(), "29.7").empty());
    expect_golden("tables/empirical_curves_29.txt", crlf_text(empirical));
}

TEST(ProbabilityCurves, Table3DrawsTheProbabilitiesAloneAndTable21AfterItAll) {
    SummaryRun r(rating_scale_set("CURVES=111\nSTEPT=N\nTFILE=*\n3.2\n21\n*\n"));
    ASSERT_EQ(r.exit_status, 0) << r.host.screen();
    const std::vector<std::string> three = table_block(r.report(), "3.2");
    EXPECT_EQ(count_of(three, kProbabilities), 1);
    EXPECT_EQ(count_of(three, kOgive), 0);
    EXPECT_EQ(count_of(three, kCumulative), 0);
    // Table 21 under STEPT=N writes the structure summary, then every plot CURVES= chooses.
    const std::vector<std::string> t = table_block(r.report(), "21.1");
    const std::size_t summary = line_of(t, "SUMMARY OF MEASURED STEPS");
    EXPECT_LT(summary, line_of(t, kProbabilities));
    EXPECT_LT(line_of(t, kProbabilities), line_of(t, kOgive));
    EXPECT_LT(line_of(t, kOgive), line_of(t, kCumulative));
    EXPECT_LT(line_of(t, kCumulative), t.size());
    // Table 3 without the summary (STEPT=N asks for it only in Table 21) and CURVES=010 later.
    SummaryRun d(dichotomous_set("CURVES=010\nTFILE=*\n3.2\n21\n*\n"));
    ASSERT_EQ(d.exit_status, 0) << d.host.screen();
    EXPECT_EQ(count_of(table_block(d.report(), "3.2"), "DICHOTOMOUS CURVES"), 1);
    const std::vector<std::string> d21 = table_block(d.report(), "21.1");
    EXPECT_EQ(count_of(d21, "DICHOTOMOUS CURVES"), 0);
    EXPECT_EQ(count_of(d21, kOgive), 1);
    EXPECT_EQ(count_of(d21, kCumulative), 0);
}

TEST(ProbabilityCurves, PlottedPointsFollowTheModelProbabilities) {
    SummaryRun r(rating_scale_set("TFILE=*\n21\n*\n"));
    ASSERT_EQ(r.exit_status, 0) << r.host.screen();
    const std::vector<std::string> t = table_block(r.report(), "21.1");
    const std::vector<double> steps = run_steps(r);
    ASSERT_EQ(steps.size(), 4u);
    const ShownPlot probability(t, kProbabilities, 20), ogive(t, kOgive, 18), cumulative(t, kCumulative, 20);
    EXPECT_GT(probability.per_column, 0.0);
    for (int c = 0; c <= 60; ++c) {
        const std::vector<double> p = probabilities(steps, probability.measure(c));
        int mode = 0;
        for (int k = 1; k <= 3; ++k)
            if (p[k] > p[mode]) mode = k;
        // The highest symbol of the column is the most probable category, or "*" where another
        // category falls in its row.
        int top = 20;
        while (top > 0 && probability.cell(top, c) == ' ') --top;
        EXPECT_EQ(top, std::lround(p[mode] * 20)) << "column " << c;
        const char shown = probability.cell(top, c);
        bool shared = false;
        for (int k = 0; k <= 3; ++k) shared |= k != mode && std::lround(p[k] * 20) == top;
        EXPECT_TRUE(shown == '0' + mode || (shown == '*' && shared)) << "column " << c << " " << shown;
        if (std::fabs(p[mode] - p[(mode + 1) % 4]) > 1e-3 && std::fabs(p[mode] - p[(mode + 3) % 4]) > 1e-3) {
            EXPECT_EQ(probability.strip(c), '0' + mode) << "column " << c;
        }
        // The ogive's one point in the column lies within a row of the expected score.
        double expected = 0;
        for (int k = 0; k <= 3; ++k) expected += k * p[k];
        int points = 0;
        for (int row = 0; row <= 18; ++row)
            if (ogive.cell(row, c) != ' ') {
                ++points;
                EXPECT_LE(std::fabs(row - expected * 6.0), 1.0) << "column " << c;
            }
        EXPECT_EQ(points, 1) << "column " << c;
        // The median: the first category whose cumulative probability reaches .5.
        double running = 0;
        int median = 3;
        bool near_half = false;
        for (int k = 0; k < 3; ++k) {
            running += p[k];
            near_half |= std::fabs(running - 0.5) < 1e-3;
            if (running >= 0.5 && median == 3) median = k;
        }
        if (!near_half) {
            EXPECT_EQ(cumulative.strip(c), '0' + median) << "column " << c;
        }
    }
}

TEST(ProbabilityCurves, RescaledMeasuresKeepTheAxisRoundAndCentredOnTheItem) {
    SummaryRun r(dichotomous_set("UMEAN=50\nUSCALE=10\nCURVES=100\nTFILE=*\n21\n*\n"));
    ASSERT_EQ(r.exit_status, 0) << r.host.screen();
    const std::vector<std::string> t = table_block(r.report(), "21.1");
    const ShownPlot plot(t, "DICHOTOMOUS CURVES", 20);
    // The labels run from -L to L in whole ticks, and the item stands at 0: the most probable
    // response turns from 0 to 1 at the column of 0.
    std::istringstream in(t.at(plot.title + 24));
    std::vector<int> labels;
    for (int v; in >> v;) labels.push_back(v);
    ASSERT_GE(labels.size(), 3u);
    EXPECT_EQ(labels.front(), -labels.back());
    for (std::size_t k = 1; k < labels.size(); ++k) EXPECT_EQ(labels[k] - labels[k - 1], labels[1] - labels[0]);
    EXPECT_EQ(labels.front() % (labels[1] - labels[0]), 0);
    const int zero = static_cast<int>(std::lround(-plot.lowest / plot.per_column));
    EXPECT_EQ(plot.strip(zero - 1), '0');
    EXPECT_EQ(plot.strip(zero + 1), '1');
    EXPECT_NE(plot.strip(zero - 1), ' ');
}

TEST(ProbabilityCurves, CountsOfThreeDigitsStandStackedInTable29) {
    // 900 persons on three dichotomous items, their scores spread evenly: hundreds of responses
    // fall into the middle intervals.
    std::string data = "TITLE=Many\nNI=3\nITEM1=1\nNAME1=5\nCODES=01\nTFILE=*\n29\n*\n&END\nA\nB\nC\nEND LABELS\n";
    const char* const patterns[] = {"100", "110", "010", "011", "101", "001"};
    for (int p = 0; p < 900; ++p) data += std::string(patterns[p % 6]) + " P" + std::to_string(p) + "\n";
    SummaryRun r(data);
    ASSERT_EQ(r.exit_status, 0) << r.host.screen();
    for (const char* id : {"29.1", "29.2", "29.3"}) {
        const std::vector<std::string> t = table_block(r.report(), id);
        const std::size_t units = line_of(t, " COUNT");
        ASSERT_LT(units, t.size()) << id;
        int sum = 0, largest = 0;
        for (std::size_t at = 8; at <= 68; ++at) {
            const int n = stacked_count(t, units, at);
            sum += std::max(n, 0);
            largest = std::max(largest, n);
        }
        EXPECT_EQ(sum, 900) << id;
        EXPECT_GE(largest, 100) << id;
        for (std::size_t k = units - 2; k <= units; ++k) EXPECT_EQ(t[k].find('*'), std::string::npos) << id;
    }
}

TEST(ProbabilityCurves, TheCurveTablesNameTheirCategories) {
    SummaryRun labelled(rating_scale_set("TFILE=*\n21\n29\n*\n"));
    ASSERT_EQ(labelled.exit_status, 0) << labelled.host.screen();
    for (const char* id : {"21.1", "29.1", "29.6"}) {
        const std::vector<std::string> t = table_block(labelled.report(), id);
        std::size_t at = line_of(t, "        0 Never");
        ASSERT_LT(at, t.size()) << id;
        for (const char* label : {"        1 Sometimes", "        2 Often", "        3 Always"})
            EXPECT_EQ(t.at(++at), label) << id;
        EXPECT_LT(at, line_of(t, "++---")) << id;  // the key comes before the plots
    }
    // Without labels the plots stand as before, with no key.
    SummaryRun plain(dichotomous_set("TFILE=*\n21\n*\n"));
    ASSERT_EQ(plain.exit_status, 0);
    const std::vector<std::string> t = table_block(plain.report(), "21.1");
    EXPECT_TRUE(std::none_of(t.begin(), t.end(), [](const std::string& l) {
        return l.size() > 10 && l.rfind("        ", 0) == 0 && std::isdigit(static_cast<unsigned char>(l[8])) &&
               l[9] == ' ' && std::isalpha(static_cast<unsigned char>(l[10]));
    }));
}

// The model-expected category statistics of whole runs against their own measure and step files:
// Table 3.2's expected averages (SAMPLE EXPECT), category mean-squares and OBS-EXP residuals, and where Table 2.7 draws
// each category, recomputed here from PFILE=, IFILE= and SFILE= with the category probabilities
// of the rating scale, the success chain and the failure chain. Under estimated steps, anchored
// steps and anchored items; the expected counts and averages must be those of the categories,
// whatever the steps. Then Tables 7.1 and 11.1 with an item and a person deleted at input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/engine/tables/summary_fixture.h"
#include "tests/engine/tables/table_lines.h"
#include "tests/support/data_sets.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

constexpr double kScale = 10.0;  // USCALE= of the runs: user units are logits x 10

// P(category k) at difference d (logits) of steps[1..m] (logits) under the model letter.
std::vector<double> category_probabilities(char model, const std::vector<double>& steps, double d) {
    const std::size_t m = steps.size() - 1;
    std::vector<double> p(m + 1, 1.0);
    if (model == 'R') {
        double u = 0.0;
        for (std::size_t k = 1; k <= m; ++k) u += d - steps[k], p[k] = std::exp(u);
    } else {
        std::vector<double> pass(m + 1, 0.0);
        for (std::size_t k = 1; k <= m; ++k) pass[k] = 1.0 / (1.0 + std::exp(steps[k] - d));
        for (std::size_t k = 0; k <= m; ++k) {
            // Success chain: pass 1..k, fail k+1. Failure chain: fail m..k+1, pass k.
            for (std::size_t j = 1; j <= m; ++j) {
                if (model == 'S') p[k] *= j <= k ? pass[j] : (j == k + 1 ? 1.0 - pass[j] : 1.0);
                else p[k] *= j > k ? 1.0 - pass[j] : (j == k ? pass[j] : 1.0);
            }
        }
    }
    double sum = 0.0;
    for (double v : p) sum += v;
    for (double& v : p) v /= sum;
    return p;
}

// The responses of the rating-scale set, person by person ("321121", "31 201", ...).
std::vector<std::string> responses() {
    std::vector<std::string> rows;
    const std::string data = rating_scale_set("");
    std::istringstream in(data.substr(data.find("END LABELS\n") + 11));
    std::string line;
    while (std::getline(in, line)) rows.push_back(line.substr(0, 6));
    return rows;
}

// The residual x' - E and the variance W of an observation in category c as the fit counts it:
// the rating scale over all its categories; the chains over the steps the person attempted
// (success: 1..c+1, passed up to c; failure: c..m, step c passed), each step a dichotomy.
struct Residual {
    double y = 0, w = 0;
};
Residual residual_of(char model, const std::vector<double>& steps, double d, int c) {
    const int m = static_cast<int>(steps.size()) - 1;
    Residual r;
    if (model == 'R') {
        const std::vector<double> p = category_probabilities(model, steps, d);
        double e = 0, e2 = 0;
        for (int k = 0; k <= m; ++k) e += k * p[k], e2 += k * k * p[k];
        return {c - e, e2 - e * e};
    }
    const int first = model == 'S' ? 1 : std::max(c, 1), last = model == 'S' ? std::min(c + 1, m) : m;
    r.y = model == 'S' ? c : (c > 0 ? 1 : 0);
    for (int j = first; j <= last; ++j) {
        const double pass = 1.0 / (1.0 + std::exp(steps[static_cast<std::size_t>(j)] - d));
        r.y -= pass, r.w += pass * (1.0 - pass);
    }
    return r;
}

struct Expected {
    std::vector<double> count, average, infit, outfit;
};

// Table 3.2 over the measured persons and items: each category's expected count, expected
// average measure difference (user units) and its information-weighted and standardized
// mean-squares, the observed sums of y^2 and z^2 against what the model expects of them.
Expected expected_categories(const SummaryRun& r, char model) {
    std::vector<double> steps;
    for (double s : step_file(r.dir.file("s.txt"))) steps.push_back(s / kScale);
    const std::size_t n = steps.size();
    Expected e{std::vector<double>(n, 0.0), std::vector<double>(n, 0.0), std::vector<double>(n, 0.0),
               std::vector<double>(n, 0.0)};
    std::vector<double> observed(n, 0.0), y2(n, 0.0), z2(n, 0.0), model_y2(n, 0.0), model_z2(n, 0.0);
    const std::vector<std::string> rows = responses();
    for (const MeasureRecord& p : r.persons()) {
        if (p.status < 1) continue;
        for (const MeasureRecord& i : r.items()) {
            const char c = rows[static_cast<std::size_t>(p.entry - 1)][static_cast<std::size_t>(i.entry - 1)];
            if (i.status < 1 || c == ' ') continue;
            const double d = (p.measure - i.measure) / kScale;
            const std::vector<double> q = category_probabilities(model, steps, d);
            // The residual's variance under the model (in the chains the steps a category
            // attempts, and so W, differ from category to category).
            double v = 0.0;
            for (std::size_t k = 0; k < n; ++k)
                v += q[k] * std::pow(residual_of(model, steps, d, static_cast<int>(k)).y, 2);
            for (std::size_t k = 0; k < n; ++k) {
                const Residual rk = residual_of(model, steps, d, static_cast<int>(k));
                e.count[k] += q[k], e.average[k] += (p.measure - i.measure) * q[k];
                model_y2[k] += q[k] * rk.y * rk.y, model_z2[k] += q[k] * rk.y * rk.y / v;
            }
            const auto x = static_cast<std::size_t>(c - '0');
            const Residual rx = residual_of(model, steps, d, c - '0');
            observed[x] += 1, y2[x] += rx.y * rx.y, z2[x] += rx.y * rx.y / v;
        }
    }
    for (std::size_t k = 0; k < n; ++k) {
        e.average[k] /= e.count[k];
        e.infit[k] = y2[k] * e.count[k] / (observed[k] * model_y2[k]);
        e.outfit[k] = z2[k] * e.count[k] / (observed[k] * model_z2[k]);
    }
    return e;
}

// A printed number and the unit of its last digit ("-196." has unit 1, "-9.11" .01).
double unit_of(const std::string& text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return 1.0;
    return std::pow(10.0, -static_cast<double>(text.find_last_not_of(' ') - point));
}

std::size_t line_of(const std::vector<std::string>& lines, const std::string& text) {
    for (std::size_t k = 0; k < lines.size(); ++k)
        if (lines[k].find(text) != std::string::npos) return k;
    return lines.size();
}

void expect_table_3_2(SummaryRun& r, char model, const std::string& what) {
    const Expected e = expected_categories(r, model);
    const std::vector<std::string> t = table_block(r.report(), "3.2");
    const std::size_t first = line_of(t, "|LABEL SCORE COUNT %") + 2;
    const std::size_t second = line_of(t, "| LABEL  CALIBRATN  S.E. |") + 2;
    ASSERT_LT(second + 3, t.size()) << what;
    const bool residuals = t[second - 2].find("RESIDUAL") != std::string::npos;
    for (std::size_t k = 0; k < e.count.size(); ++k) {
        const std::string& row = t[first + k];
        // The expected average, cut to its five columns as printed.
        const std::string average = row.substr(27, 6);
        EXPECT_NEAR(std::stod(average), e.average[k], unit_of(average) + .005) << what << "\n" << row;
        EXPECT_NEAR(std::stod(row.substr(34, 6)), std::min(e.infit[k], 9.9), .011) << what << "\n" << row;
        EXPECT_NEAR(std::stod(row.substr(40, 6)), std::min(e.outfit[k], 9.9), .011) << what << "\n" << row;
        const double observed = std::stod(row.substr(8, 8));
        // OBS-EXP is taken of an expected count of at least 1.
        const double residual = 100.0 * (observed - e.count[k]) / std::max(e.count[k], 1.0);
        if (!residuals) {
            EXPECT_LT(std::fabs(residual), 1.05) << what << " category " << k;
            continue;
        }
        const std::string& right = t[second + k];
        const std::size_t percent = right.rfind('%');
        ASSERT_NE(percent, std::string::npos) << what << "\n" << right;
        // The measures of the files hold two decimals: a thousandth of O / E more for them.
        EXPECT_NEAR(std::stod(right.substr(percent - 7, 7)), residual, .06 + 0.1 * observed / e.count[k])
            << what << "\n" << right;
    }
}

// Table 2.7: each item's category k stands where the expected average measure of k falls on
// the axis, within a column.
void expect_table_2_7(SummaryRun& r, char model, const std::string& what) {
    const std::vector<MeasureRecord> items = r.items();
    const std::vector<std::string> t = table_block(r.report(), "2.7");
    const std::size_t rule = line_of(t, "|-");
    ASSERT_LT(rule + 1, t.size()) << what;
    // The axis from the two leftmost ticks of the rule line and their labels above it.
    std::istringstream labels(t[rule - 1]);
    double left = 0, next = 0;
    labels >> left >> next;
    const std::size_t tick = t[rule].find('+');
    const double columns_per_unit = static_cast<double>(tick) / (next - left);
    // Per item, the expected averages of Table 2.7 come per item: one item at a time.
    std::map<int, std::vector<double>> by_item;
    for (const MeasureRecord& i : items) {
        std::vector<double> steps;
        for (double s : step_file(r.dir.file("s.txt"))) steps.push_back(s / kScale);
        std::vector<double> count(steps.size(), 0.0), sum(steps.size(), 0.0);
        for (const MeasureRecord& p : r.persons()) {
            const char c = responses()[static_cast<std::size_t>(p.entry - 1)][static_cast<std::size_t>(i.entry - 1)];
            if (p.status < -1 || c == ' ') continue;
            const std::vector<double> q = category_probabilities(model, steps, (p.measure - i.measure) / kScale);
            for (std::size_t k = 0; k < q.size(); ++k) count[k] += q[k], sum[k] += p.measure * q[k];
        }
        for (std::size_t k = 0; k < count.size(); ++k) by_item[i.entry].push_back(sum[k] / count[k]);
    }
    const std::size_t right = t[rule].rfind('|');
    int rows = 0;
    for (std::size_t n = rule + 1; n < t.size() && t[n].rfind("|-", 0) != 0; ++n) {
        const std::string& row = t[n];
        const int entry = row.size() > right + 1 ? std::atoi(row.substr(right + 1).c_str()) : 0;
        if (entry == 0) continue;
        ASSERT_TRUE(by_item.count(entry)) << what << "\n" << row;
        ++rows;
        for (std::size_t k = 0; k < by_item[entry].size(); ++k) {
            const std::size_t at = row.find(static_cast<char>('0' + k), 1);
            // Averages beyond the axis stand at its ends; a category whose place is taken
            // moves to the next free one.
            const double column =
                std::clamp((by_item[entry][k] - left) * columns_per_unit, 0.0, static_cast<double>(right));
            EXPECT_NEAR(static_cast<double>(at), column, 1.5)
                << what << " item " << entry << " category " << k << "\n" << row;
        }
    }
    EXPECT_EQ(rows, 6) << what;
}

}  // namespace

TEST(CategoryExpectations, Tables3And2AgreeWithTheMeasureFilesUnderEveryModelAndAnchoring) {
    ScratchDir anchors;
    write_file(anchors.file("steps.txt"), "0 0\n1 10\n2 10\n3 -30\n");  // logits 1, 1, -3
    write_file(anchors.file("items.txt"), "1 -5\n3 2\n");
    const std::vector<std::pair<std::string, std::string>> settings = {
        {"estimated steps", ""},
        {"anchored steps", "SAFILE=" + anchors.file("steps.txt") + "\n"},
        {"anchored items", "IAFILE=" + anchors.file("items.txt") + "\n"}};
    for (char model : {'R', 'S', 'F'}) {
        for (const auto& [name, anchoring] : settings) {
            const std::string what = std::string("MODELS=") + model + ", " + name;
            SummaryRun r(rating_scale_set("USCALE=10\nSFILE=s.txt\nTABLES=011\nMODELS=" +
                                          std::string(1, model) + "\n" + anchoring));
            ASSERT_EQ(r.exit_status, 0) << what << r.host.screen();
            expect_table_3_2(r, model, what);
            expect_table_2_7(r, model, what);
        }
    }
}

TEST(CategoryExpectations, ResponsesToDeletedEntriesShowTheirValueAndX) {
    // Item C and person R02 deleted; every entry listed.
    SummaryRun r(rating_scale_set("IDFILE=*\n3\n*\nPDFILE=*\n2\n*\nTABLES=00000010001\nFITP=-10\nFITI=-10\n"));
    ASSERT_EQ(r.exit_status, 0) << r.host.screen();
    const std::string report = r.report();
    const std::vector<std::string> persons = table_block(report, "7.1");
    const std::vector<std::string> items = table_block(report, "11.1");
    const std::vector<std::string> rows = responses();
    // Table 7.1: under item 3 each listed person shows the response read, or M where there is
    // none (R05 and R16), and "X" under it where there is one.
    int listed = 0;
    for (std::size_t n = 0; n + 2 < persons.size(); ++n) {
        if (persons[n].size() < 11 || persons[n][8] != 'R' || persons[n + 1].find("RESPONSE:") == std::string::npos)
            continue;
        const int person = std::atoi(persons[n].substr(9, 2).c_str());
        const std::string read = rows[static_cast<std::size_t>(person - 1)];
        auto shown = [](char x) { return x == ' ' ? 'M' : x; };
        const char c = read[2];
        const std::string& response = persons[n + 1];
        const std::string& residual = persons[n + 2];
        ++listed;
        EXPECT_EQ(response.substr(20, 6), std::string(" ") + shown(read[0]) + " " + shown(read[1]) + " " + shown(c))
            << response;
        EXPECT_EQ(residual.size() > 25 ? residual[25] : ' ', c == ' ' ? ' ' : 'X') << residual;
    }
    EXPECT_EQ(listed, 14);  // 16 less the deleted R02 and the extreme R07
    // Table 11.1: person 2's responses stand in the second cell, each with "X".
    int items_listed = 0;
    for (std::size_t n = 0; n + 2 < items.size(); ++n) {
        if (items[n + 1].find("RESPONSE:      1:") == std::string::npos) continue;
        const int item = std::atoi(items[n].substr(0, 6).c_str());
        ASSERT_GE(item, 1);
        ++items_listed;
        EXPECT_EQ(items[n + 1].substr(22, 2), std::string(" ") + rows[1][static_cast<std::size_t>(item - 1)])
            << items[n + 1];
        EXPECT_EQ(items[n + 2].substr(22, 2), " X") << items[n + 2];
    }
    EXPECT_EQ(items_listed, 5);
}

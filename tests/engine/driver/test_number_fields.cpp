// Numbers in their fields, over USCALE= 1, 100, -100 and 1000, UMEAN= 0 and 500 and UDECIMALS=
// 0-4, with person and item weights up to 12345.6: in every Table, split on blanks and
// line-drawing characters, no token holds two numbers or a word run into a number and no number
// with decimals stands beside stars; every number of an entry's row in the entry statistics and
// response grids is a value of its PFILE= or IFILE= record, and the category averages of Table
// 3.2 are those of the analysis, each to its printed decimals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/run/numtext.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

struct Point {
    int scale = 1, mean = 0, decimals = 4;
};

// The weights of 12345.6 fall on the extreme person R07 and the deleted item F, so that they
// show without widening the score range of Table 20 or slowing the estimation.
std::string sweep_set(const Point& p) {
    return rating_scale_set("ASCII=N\nTABLES=1111111111111111111111111111111\nDIF=$S3W1\nDPF=$S1W1\n"
                            "ISUBTOTAL=$S1W1\nPSUBTOTAL=$S3W1\nPWEIGHT=*\n7 12345.6\n2 150.5\n3 1000\n4 2.5\n*\n"
                            "IWEIGHT=*\n6 12345.6\n1 150\n2 0.25\n*\nIDFILE=*\n6\n*\nUSCALE=" + std::to_string(p.scale) +
                            "\nUMEAN=" + std::to_string(p.mean) + "\nUDECIMALS=" + std::to_string(p.decimals) + "\n");
}

// The Tables of a report by id, without their three heading lines and without Table 0.
std::map<std::string, std::vector<std::string>> tables_of(const std::string& report) {
    std::map<std::string, std::vector<std::string>> tables;
    std::vector<std::string>* at = nullptr;
    int heading = 0;
    for (std::string line : crlf_lines(report)) {
        if (!line.empty() && line[0] == '\f') line.erase(0, 1);
        if (line.rfind("TABLE ", 0) == 0 && line.size() > 6 && std::isdigit(static_cast<unsigned char>(line[6]))) {
            const std::string id = line.substr(6, line.find(' ', 6) - 6);
            at = id.rfind("0.", 0) == 0 ? nullptr : &tables[id];
            heading = 3;
        }
        if (heading > 0) --heading;
        else if (at) at->push_back(line);
    }
    return tables;
}

// The tokens of a text between blanks and line-drawing characters (three bytes in UTF-8); with
// cells, a new list at each line-drawing character.
std::vector<std::vector<std::string>> cells_of(const std::string& line) {
    std::vector<std::vector<std::string>> cells(1, std::vector<std::string>(1));
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool drawing = static_cast<unsigned char>(line[i]) == 0xE2 && i + 2 < line.size();
        if (line[i] != ' ' && !drawing) cells.back().back() += line[i];
        else if (!cells.back().back().empty()) cells.back().emplace_back();
        if (drawing) cells.emplace_back(1), i += 2;
    }
    for (auto& c : cells)
        if (c.back().empty()) c.pop_back();
    return cells;
}

// A token holding one number, the marks around it taken off ("(", ")", "%", an anchor "A", an
// extreme "E", a disorder "*"): its value and the unit of its last printed digit.
bool number_of(std::string t, double& value, double& unit) {
    if (!t.empty() && t.front() == '(') t.erase(0, 1);
    while (!t.empty() && std::string(")%AE*").find(t.back()) != std::string::npos) t.pop_back();
    if (t.find_first_not_of("-.0123456789") != std::string::npos || t.find_first_of("0123456789") == std::string::npos ||
        t.find('-', 1) != std::string::npos || t.find('.') != t.rfind('.'))
        return false;
    value = std::stod(t);
    const std::size_t point = t.find('.');
    unit = point == std::string::npos ? 1.0 : std::pow(10.0, -static_cast<double>(t.size() - point - 1));
    return true;
}

// Two numbers run together ("155.8-872.79", "30.36653.471", "-INF-1732.00") or a word run into
// a number ("RMSE1335.81"). Grids of one-digit cells ("-4-9-9", "1.2.2") are layouts, not numbers.
bool unreadable(const std::string& t) {
    const std::size_t sign = t[0] == '-' || t[0] == '+';
    std::size_t end = sign;
    while (end < t.size() && (std::isalpha(static_cast<unsigned char>(t[end])) || t[end] == '.')) ++end;
    if (end >= sign + 2 && end < t.size() && std::isalpha(static_cast<unsigned char>(t[end - 1])) &&
        std::isdigit(static_cast<unsigned char>(t[end + (t[end] == '-' && end + 1 < t.size())])))
        return true;
    if (t.find_first_not_of("-.0123456789()") != std::string::npos) return false;
    int pieces = 0, digits = 0, most = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool point = t[i] == '.' && i > 0 && t.find('.', t.find_last_of("-()", i - 1) + 1) < i;
        if (i == 0 || t[i] == '-' || t[i] == '(' || t[i] == ')' || point) pieces += t[i] != '(' && t[i] != ')';
        digits = std::isdigit(static_cast<unsigned char>(t[i])) ? digits + 1 : 0;
        most = std::max(most, digits);
    }
    return pieces >= 2 && most >= 3;
}

// Whether a printed number is x to its printed decimals, within x's own unit; stars stand only
// for a whole number wider than the field.
bool reads_as(const std::string& token, double x, double x_unit) {
    double v = 0, unit = 0;
    if (token.size() > 1 && token.find_first_not_of('*') == std::string::npos)
        return std::to_string(std::lround(std::fabs(x))).size() + (x < 0) > token.size();
    return number_of(token, v, unit) && std::fabs(v - x) <= 0.5 * (unit + x_unit) + 1e-6 * std::fabs(x) + 1e-9;
}

// The values of a measure-file record with the unit each has there (its width and decimals).
std::vector<std::pair<double, double>> record_values(const MeasureRecord& r, int d) {
    std::vector<std::pair<double, double>> v;
    auto add = [&](double x, int w, int k) {
        double value = 0, unit = 1;
        number_of(std::string(trim(fmt_f(x, w, k))), value, unit);
        v.push_back({x, unit});
    };
    add(r.entry, 5, 0), add(r.measure, 8, d), add(r.count, 8, 1), add(r.score, 9, 1), add(r.error, 7, d);
    for (double f : r.fit) add(f, 7, 2);
    return v;
}

// An entry's row (before the response grid): every number is a value of its record.
void read_back_row(const std::string& id, const std::vector<std::vector<std::string>>& cells,
                   const std::map<int, MeasureRecord>& file, int d, std::vector<std::string>& bad) {
    std::vector<std::string> tokens;
    for (std::size_t c = 0; c < cells.size() && c < 7; ++c) tokens.insert(tokens.end(), cells[c].begin(), cells[c].end());
    double e = 0, unit = 0;
    if (tokens.empty() || !number_of(tokens[0], e, unit) || unit != 1.0 || !file.count(static_cast<int>(e))) return;
    const auto values = record_values(file.at(static_cast<int>(e)), d);
    for (const std::string& t : tokens) {
        double v = 0;
        const bool stars = t.size() > 1 && t.find_first_not_of('*') == std::string::npos;
        if (!stars && !number_of(t, v, unit)) continue;
        bool found = false;
        for (const auto& [x, u] : values) found = found || reads_as(t, x, u);
        if (!found) bad.push_back(id + " entry " + tokens[0] + ": " + t);
    }
}

class NumbersInFields : public ::testing::TestWithParam<Point> {};

TEST_P(NumbersInFields, EveryNumberOfEveryTableReadsBack) {
    const Point p = GetParam();
    SummaryRun run(sweep_set(p));
    ASSERT_EQ(run.exit_status, 0);
    const AnalysisArrays& a = run.run.arrays;
    const auto tables = tables_of(run.report());
    ASSERT_GT(tables.size(), 60u);
    std::map<int, MeasureRecord> persons, items;
    for (const MeasureRecord& r : run.persons()) persons[r.entry] = r;
    for (const MeasureRecord& r : run.items()) items[r.entry] = r;

    std::vector<std::string> bad;  // the unreadable numbers
    int averages = 0;
    for (const auto& [id, lines] : tables) {
        const int t = std::stoi(id);
        const char sub = id.back();
        // The cells of a response grid (6.4, 6.5, 10.4, 10.5, the scalograms) after the entry's
        // row are codes.
        const bool grid = (t == 6 || t == 10) && (sub == '4' || sub == '5');
        const bool rows = grid || (sub == '1' && (t == 6 || t == 10 || (t >= 13 && t <= 19) || t == 25 || t == 26));
        for (const std::string& line : lines) {
            auto cells = cells_of(line);
            if (grid || t == 22) cells.resize(1);
            for (const auto& cell : cells) {
                bool decimals = false, stars = false;
                for (const std::string& token : cell) {
                    double v = 0, unit = 0;
                    if (unreadable(token)) bad.push_back(id + ": " + token);
                    decimals = decimals || (number_of(token, v, unit) && unit < 1.0);
                    stars = stars || (token.size() > 1 && token.find_first_not_of('*') == std::string::npos);
                }
                // Stars alone are marks of a plot, and a whole tick label wider than its field.
                if (decimals && stars) bad.push_back(id + ": stars among numbers in " + line);
            }
            if (rows) read_back_row(id, cells, t == 6 || (t >= 17 && t <= 19) ? persons : items, p.decimals, bad);
            // The rows of the first table of 3.2 (a double bar after the mean-squares): the
            // observed and expected average measures of category k.
            double k = 0, unit = 0;
            if (id == "3.2" && cells.size() > 5 && cells[4].empty() && cells[1].size() == 4 && cells[2].size() == 2 &&
                number_of(cells[1][0], k, unit)) {
                const std::size_t slot = static_cast<std::size_t>(a.group_first_slot[1] + k);
                for (const auto& [text, x] : {std::pair{cells[2][0], a.category_observed_average[slot]},
                                             std::pair{cells[2][1], a.category_expected_average[slot]}})
                    if (!reads_as(text, x, 0.0)) bad.push_back("3.2 category " + cells[1][0] + ": " + text);
                ++averages;
            }
        }
    }
    EXPECT_EQ(averages, 4);
    std::printf("USCALE=%d UMEAN=%d UDECIMALS=%d: %zu unreadable numbers\n", p.scale, p.mean, p.decimals, bad.size());
    bad.resize(std::min<std::size_t>(bad.size(), 12));
    EXPECT_TRUE(bad.empty()) << ::testing::PrintToString(bad);
}

std::vector<Point> sweep() {
    std::vector<Point> points;
    for (int scale : {1, 100, -100, 1000})
        for (int mean : {0, 500})
            for (int decimals = 0; decimals <= 4; ++decimals) points.push_back({scale, mean, decimals});
    return points;
}

INSTANTIATE_TEST_SUITE_P(Scales, NumbersInFields, ::testing::ValuesIn(sweep()));

}  // namespace

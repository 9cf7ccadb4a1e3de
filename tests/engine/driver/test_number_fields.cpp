// Numbers in their fields, over USCALE= 1, 100, -100 and 1000, UMEAN= 0 and 500 and UDECIMALS=
// 0-4 on a rating scale with person and item weights up to 12345.6: in every Table, split on
// blanks and line-drawing characters, no token holds two numbers or a word run into a number;
// the numbers of the entry statistics rows and of the most unexpected responses are those of
// PFILE= and IFILE= to their printed decimals, and the category averages of Table 3.2 are those
// of the run at USCALE=1 scaled.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/run/numtext.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

struct Point {
    int scale = 1, mean = 0, decimals = 4;
};

// 40 persons on 8 items scored 0-3 (a fixed generator); item 1 is answered 0 and item 8 3 by
// everyone, so that both are extreme and their weights (1000 and 12345.6) show without widening
// the score range of Table 20. Person labels "F A xyz" hold the classes of DIF=, DPF= and the
// subtotals and no digit, so that every number of a Table is a number of the analysis.
std::string sweep_set(const Point& p) {
    std::string c = "TITLE=Fields\nNI=8\nITEM1=1\nNAME1=10\nNAMLEN=8\nCODES=0123\nASCII=N\n"
                    "TABLES=1111111111111111111111111111111111\nDIF=$S1W1\nDPF=$S1W1\nISUBTOTAL=$S1W1\n"
                    "PSUBTOTAL=$S3W1\nPWEIGHT=*\n20 12345.6\n2 150\n10 1000\n4 2.5\n5 0.5\n*\n"
                    "IWEIGHT=*\n8 12345.6\n2 150\n1 1000\n3 0.25\n4 2.5\n*\nUSCALE=" +
                    std::to_string(p.scale) + "\nUMEAN=" + std::to_string(p.mean) + "\nUDECIMALS=" +
                    std::to_string(p.decimals) + "\n&END\n";
    const auto letters = [](int n) {
        std::string s;
        for (int k = 0; k < 3; ++k, n /= 26) s += static_cast<char>('a' + n % 26);
        return s;
    };
    for (int i = 0; i < 8; ++i) c += (i % 2 == 0 ? "Aitem" : "Bitem") + letters(i) + "\n";
    c += "END LABELS\n";
    std::uint32_t state = 11;
    for (int n = 0; n < 40; ++n) {
        std::string row;
        for (int i = 0; i < 8; ++i) {
            const double x = -3.0 + 6.0 * n / 39 - (-1.5 + 3.0 * i / 7);
            const double e[4] = {1.0, std::exp(x + 1.0), std::exp(2 * x + 1.0), std::exp(3 * x)};
            state = state * 69069u + 1u;
            double u = (state >> 8) / 16777216.0 * (e[0] + e[1] + e[2] + e[3]);
            int k = 0;
            while (k < 3 && (u -= e[k]) >= 0) ++k;
            row += static_cast<char>('0' + (n == 0 ? 0 : n == 39 ? 3 : k));
        }
        row.front() = '0';
        row.back() = '3';
        c += row + "  " + (n % 2 ? "F " : "M ") + (n % 3 ? "A " : "B ") + letters(n) + "\n";
    }
    return c;
}

// The Tables of a report by their ids, each without its three heading lines; Table 0 (the
// control instructions) and the report's banner are left out.
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

// The tokens of a line between blanks and line-drawing characters (three bytes in UTF-8).
std::vector<std::string> tokens_of(const std::string& line) {
    std::vector<std::string> t(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool drawing = static_cast<unsigned char>(line[i]) == 0xE2 && i + 2 < line.size();
        if (line[i] == ' ' || drawing) {
            if (!t.back().empty()) t.emplace_back();
            if (drawing) i += 2;
        } else {
            t.back() += line[i];
        }
    }
    if (t.back().empty()) t.pop_back();
    return t;
}

// A token holding one number, its marks around it taken off ("(", ")", "%", an anchor "A", an
// extreme "E", a disorder "*"); its value and the unit of its last printed digit.
bool number_of(std::string t, double& value, double& unit) {
    if (!t.empty() && t.front() == '(') t.erase(0, 1);
    while (!t.empty() && std::string(")%AE*").find(t.back()) != std::string::npos) t.pop_back();
    if (t.empty() || t.find_first_not_of("-.0123456789") != std::string::npos ||
        t.find_first_of("0123456789") == std::string::npos || t.find('-', 1) != std::string::npos ||
        t.find('.') != t.rfind('.'))
        return false;
    value = std::stod(t);
    const std::size_t point = t.find('.');
    unit = point == std::string::npos ? 1.0 : std::pow(10.0, -static_cast<double>(t.size() - point - 1));
    return true;
}

// Two numbers run together ("155.8-872.79", "30.36653.471", "-INF-1732.00") or a word run into
// a number ("RMSE1335.81"). Grids of one-digit cells ("-4-9-9", "1.2.2") are layouts, not numbers.
bool unreadable(const std::string& t) {
    std::size_t letters = t[0] == '-' || t[0] == '+' ? 1 : 0;
    while (letters < t.size() && (std::isalpha(static_cast<unsigned char>(t[letters])) || t[letters] == '.')) ++letters;
    const std::size_t word = letters - (t[0] == '-' || t[0] == '+' ? 1 : 0);
    if (word >= 2 && letters < t.size() && std::isalpha(static_cast<unsigned char>(t[letters - 1])) &&
        std::isdigit(static_cast<unsigned char>(t[letters + (t[letters] == '-' && letters + 1 < t.size())])))
        return true;
    if (t.find_first_not_of("-.0123456789()") != std::string::npos) return false;
    int pieces = 0, digits = 0, most = 0;
    bool point = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool starts = i == 0 || t[i] == '-' || t[i] == '(' || t[i] == ')' || (t[i] == '.' && point);
        if (starts) pieces += t[i] != '(' && t[i] != ')', digits = 0, point = false;
        if (t[i] == '.') point = true, digits = 0;
        if (std::isdigit(static_cast<unsigned char>(t[i]))) most = std::max(most, ++digits);
    }
    return pieces >= 2 && most >= 3;
}

// Whether a printed number is x to its printed decimals, within the rounding of x itself (the
// unit of its last digit); a field of stars only stands for a whole number wider than the field.
bool reads_as(const std::string& token, double x, double x_unit) {
    double v = 0, unit = 0;
    if (token.size() > 1 && token.find_first_not_of('*') == std::string::npos)
        return std::to_string(std::lround(std::fabs(x))).size() + (x < 0) > token.size();
    return number_of(token, v, unit) && std::fabs(v - x) <= 0.5 * (unit + x_unit) + 1e-6 * std::fabs(x) + 1e-9;
}

// A field of the measure file: its value, and its width and decimals there (fewer where the
// number does not fit at them).
struct FileField {
    double x;
    int w, d;
    double unit() const {
        double v = 0, u = 0;
        return number_of(std::string(trim(fmt_f(x, w, d))), v, u) ? u : 1.0;
    }
};

std::vector<std::string> cells_of(const std::string& line) {
    std::vector<std::string> cells(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line.compare(i, 3, "\u2502") == 0) cells.emplace_back(), i += 2;
        else cells.back() += line[i];
    }
    return cells;
}

struct Count {
    int unreadable = 0;
    std::vector<std::string> examples;
    void add(const std::string& what) {
        ++unreadable;
        if (examples.size() < 12) examples.push_back(what);
    }
    void check(const std::string& where, const std::string& token, const FileField& f) {
        if (!reads_as(token, f.x, f.unit())) add(where + ": " + token + " for " + std::to_string(f.x));
    }
};

// An entry statistics row: entry, score, count, measure and S.E., the fit cells, the weight and
// the displacement, each the entry's value in the measure file.
void read_back_entry_row(const std::string& id, const std::string& line, const std::map<int, MeasureRecord>& file,
                         int d, bool displacement, Count& count) {
    const std::vector<std::string> cells = cells_of(line);
    if (cells.size() < 6) return;
    const std::vector<std::string> head = tokens_of(cells[1]);
    double e = 0, unit = 0;
    if (head.size() != 5 || !number_of(head[0], e, unit) || !file.count(static_cast<int>(e))) return;
    const MeasureRecord& r = file.at(static_cast<int>(e));
    const std::string where = id + " entry " + head[0];
    count.check(where, head[1], {r.score, 9, 1});
    count.check(where, head[2], {r.count, 8, 1});
    count.check(where, head[3], {r.measure, 8, d});
    count.check(where, head[4], {r.error, 7, d});
    std::size_t next = 3;  // the weight after an extreme row's note
    if (tokens_of(cells[2]).size() == 2) {
        const auto fit = tokens_of(cells[2] + " " + cells[3]);
        for (std::size_t k = 0; k < fit.size() && k < 4; ++k) count.check(where, fit[k], {r.fit[k], 7, 2});
        std::string correlation = cells[4];  // a misfit letter may stand in its first column
        if (std::isalpha(static_cast<unsigned char>(correlation[0]))) correlation[0] = ' ';
        count.check(where, std::string(trim(correlation)), {r.fit[5], 7, 2});
        next = 5;
    }
    count.check(where, std::string(trim(cells[next])), {r.fit[6], 7, 2});
    if (displacement && next + 1 < cells.size() && !trim(cells[next + 1]).empty())
        count.check(where, std::string(trim(cells[next + 1])), {r.fit[4], 7, 2});
}

// Rows of the most unexpected responses (and misfitting response strings): the 7 columns
// before the blank and the letter that precede the grid hold the entry's measure (outfit
// mean-square).
void read_back_grid_row(const std::string& id, const std::string& line, const std::map<int, MeasureRecord>& file,
                        int d, Count& count) {
    const std::size_t bar = line.find("\u2502");
    if (bar == std::string::npos || bar < 17) return;
    const std::vector<std::string> t = tokens_of(line.substr(0, 7));
    double e = 0, unit = 0;
    if (t.size() != 1 || !number_of(t[0], e, unit) || unit != 1.0 || !file.count(static_cast<int>(e))) return;
    const MeasureRecord& r = file.at(static_cast<int>(e));
    const bool measure = id.back() == '5';
    count.check(id + " entry " + t[0], std::string(trim(line.substr(bar - 9, 7))),
                measure ? FileField{r.measure, 8, d} : FileField{r.fit[2], 7, 2});
}

// The observed and expected averages of Table 3.2's first table, by category.
std::map<int, std::pair<std::string, std::string>> category_averages(const std::vector<std::string>& table) {
    std::map<int, std::pair<std::string, std::string>> averages;
    for (const std::string& line : table) {
        const std::vector<std::string> cells = cells_of(line);
        if (cells.size() < 5 || line.find("\u2502\u2502") == std::string::npos) continue;
        const std::vector<std::string> head = tokens_of(cells[1]), mean = tokens_of(cells[2]);
        double k = 0, unit = 0;
        if (head.size() == 4 && mean.size() == 2 && number_of(head[0], k, unit))
            averages[static_cast<int>(k)] = {mean[0], mean[1]};
    }
    return averages;
}

// The text between line-drawing characters.
std::vector<std::string> drawing_cells(const std::string& line) {
    std::vector<std::string> cells(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (static_cast<unsigned char>(line[i]) == 0xE2 && i + 2 < line.size()) cells.emplace_back(), i += 2;
        else cells.back() += line[i];
    }
    return cells;
}

// Unreadable tokens of one cell, and stars beside numbers with decimals (a number lost where
// it would fit; stars alone in a cell are marks of a plot, and a whole tick label wider than its
// five columns is stars by the rule).
void check_cell(const std::string& id, const std::vector<std::string>& tokens, Count& count) {
    bool numbers = false, stars = false;
    for (const std::string& t : tokens) {
        double v = 0, unit = 0;
        if (unreadable(t)) count.add(id + ": " + t);
        numbers = numbers || (number_of(t, v, unit) && unit < 1.0);
        stars = stars || (t.size() > 1 && t.find_first_not_of('*') == std::string::npos);
    }
    if (numbers && stars) count.add(id + ": stars among " + ::testing::PrintToString(tokens));
}

class NumbersInFields : public ::testing::TestWithParam<Point> {};

TEST_P(NumbersInFields, EveryNumberOfEveryTableReadsBack) {
    const Point p = GetParam();
    static SummaryRun base(sweep_set(Point{}));
    ASSERT_EQ(base.exit_status, 0);
    SummaryRun run(sweep_set(p));
    ASSERT_EQ(run.exit_status, 0);
    const auto tables = tables_of(run.report());
    ASSERT_GT(tables.size(), 60u);
    std::map<int, MeasureRecord> persons, items;
    for (const MeasureRecord& r : run.persons()) persons[r.entry] = r;
    for (const MeasureRecord& r : run.items()) items[r.entry] = r;
    ASSERT_EQ(persons.size(), 40u);
    ASSERT_EQ(items.size(), 8u);

    Count count;
    for (const auto& [id, lines] : tables) {
        const int table = std::stoi(id);
        const bool grid = (table == 6 || table == 10) && (id.back() == '4' || id.back() == '5');
        const bool entry_rows = id.size() > 2 && id.substr(id.size() - 2) == ".1" &&
                                (table == 6 || table == 10 || (table >= 13 && table <= 19) || table == 25 || table == 26);
        const auto& file = table == 6 || (table >= 17 && table <= 19) ? persons : items;
        bool displacement = false;
        for (const std::string& line : lines) {
            displacement = displacement || line.find("DISPLACE") != std::string::npos;
            // The cells of a response grid are codes, not numbers.
            for (const std::string& cell : drawing_cells(grid ? line.substr(0, line.find("\u2502")) : line))
                check_cell(id, tokens_of(cell), count);
            if (entry_rows) read_back_entry_row(id, line, file, p.decimals, displacement, count);
            if (grid) read_back_grid_row(id, line, table == 6 ? persons : items, p.decimals, count);
        }
    }
    const auto averages = category_averages(tables.at("3.2"));
    const auto base_averages = category_averages(tables_of(base.report()).at("3.2"));
    ASSERT_EQ(averages.size(), 4u);
    for (const auto& [k, shown] : averages) {
        for (const auto& [text, logits] : {std::pair{shown.first, base_averages.at(k).first},
                                          std::pair{shown.second, base_averages.at(k).second}}) {
            double v = 0, unit = 0;
            ASSERT_TRUE(number_of(logits, v, unit)) << logits;
            if (!reads_as(text, v * p.scale, unit * std::abs(p.scale)))
                count.add("3.2 category " + std::to_string(k) + ": " + text + " for " + std::to_string(v * p.scale));
        }
    }
    std::printf("USCALE=%d UMEAN=%d UDECIMALS=%d: %d unreadable numbers\n", p.scale, p.mean, p.decimals, count.unreadable);
    EXPECT_EQ(count.unreadable, 0) << ::testing::PrintToString(count.examples);
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

// The Tables of single responses on whole runs: the misfitting responses (7.1, 11), the grids
// of unexpected responses (6.4, 6.5, 10.4, 10.5) and the Guttman scalogram (22) byte for byte on
// the small dichotomous and rating-scale sets; the printed residuals against the model computed
// here from PFILE=, IFILE= and SFILE=, and the scalogram read back against the scored data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "engine/tables/misfit_responses.h"
#include "engine/tables/response_cells.h"
#include "engine/tables/scalogram.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

constexpr const char* kResponseTables = "TFILE=*\n6.4\n6.5\n7.1\n10.4\n10.5\n11\n22\n*\n";
const char* const kIds[] = {"6.4", "6.5", "7.1", "10.4", "10.5", "11.1", "22.1", "22.2"};

std::vector<std::string> without_heading_line(std::vector<std::string> block) {
    if (!block.empty()) block.erase(block.begin());
    return block;
}

std::map<int, MeasureRecord> by_entry(const std::vector<MeasureRecord>& records) {
    std::map<int, MeasureRecord> m;
    for (const MeasureRecord& r : records) m[r.entry] = r;
    return m;
}

// The step difficulties of an SFILE= by category (category 0 first).
std::vector<double> read_steps(const std::string& path) {
    std::vector<double> steps;
    for (const std::string& l : crlf_lines(read_file(path)))
        if (!l.empty() && l[0] != ';') steps.push_back(std::stod(l.substr(4)));
    return steps;
}

// The rating-scale model at b - d: z = (x - E) / sqrt(V).
double model_residual(double difference, const std::vector<double>& steps, int x) {
    std::vector<double> p(steps.size());
    double sum = 0, cumulative = 0;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        if (k > 0) cumulative += difference - steps[k];
        p[k] = std::exp(cumulative);
        sum += p[k];
    }
    double e = 0, e2 = 0;
    for (std::size_t k = 0; k < p.size(); ++k) {
        p[k] /= sum;
        e += static_cast<double>(k) * p[k];
        e2 += static_cast<double>(k * k) * p[k];
    }
    return (x - e) / std::sqrt(std::max(e2 - e * e, 0.001));
}

bool is_entry_line(const std::string& l) {
    return l.size() > 8 && std::isdigit(static_cast<unsigned char>(l[5])) && l.substr(0, 6) != "      ";
}

// Every residual cell of Table 7.1 against the model; returns the number of responses checked.
int check_residuals(const std::vector<std::string>& t, const std::vector<MeasureRecord>& persons,
                    const std::vector<MeasureRecord>& items, const std::vector<double>& steps,
                    const std::vector<std::vector<int>>& scores, const std::vector<std::vector<int>>& codes) {
    const std::map<int, MeasureRecord> p = by_entry(persons), i = by_entry(items);
    int person = 0, checked = 0;
    for (std::size_t k = 0; k + 1 < t.size(); ++k) {
        const std::string& l = t[k];
        if (l.rfind("  RESPONSE:", 0) != 0) {
            if (is_entry_line(l) && l.find("RESPONSE") == std::string::npos) person = std::stoi(l.substr(0, 6));
            continue;
        }
        const std::string& z = t[k + 1];
        EXPECT_EQ(z.rfind("Z-RESIDUAL:", 0), 0u) << z;
        const int first = std::stoi(l.substr(11, 7));
        for (int c = 0;; ++c) {
            const std::size_t at = static_cast<std::size_t>(20 + 2 * c + c / 5 + c / 10);
            if (at + 2 > l.size()) break;
            const std::string response = l.substr(at, 2);
            const std::string residual = at + 2 <= z.size() ? z.substr(at, 2) : "  ";
            const int item = first + c;
            int x = scores[static_cast<std::size_t>(person - 1)][static_cast<std::size_t>(item - 1)];
            // A deleted item's response is never scored: it shows as read (the codes are
            // numbered from 1 for the value 0).
            const bool deleted = !i.count(item) || i.at(item).status <= -3;
            const int code = codes[static_cast<std::size_t>(person - 1)][static_cast<std::size_t>(item - 1)];
            if (x == 255 && deleted && code >= 1) x = code - 1;
            if (x == 255) {
                EXPECT_EQ(response, " M");
                EXPECT_EQ(residual, "  ");
                continue;
            }
            EXPECT_EQ(std::stoi(response), x);
            if (deleted || i.at(item).status < 1) {
                EXPECT_EQ(residual, " X") << "item " << item;
                continue;
            }
            const double model =
                model_residual(p.at(person).measure - i.at(item).measure, steps, x);
            const double shown = std::copysign(std::floor(std::min(std::fabs(model), 9.0)), model);
            // The measure files round what the run used: a value this close to a whole number
            // may truncate either way.
            const double frac = std::fabs(model) - std::floor(std::fabs(model));
            if (frac < 0.03 || frac > 0.97) continue;
            if (std::fabs(shown) <= 1)
                EXPECT_EQ(residual, "  ") << "person " << person << " item " << item;
            else
                EXPECT_EQ(std::stoi(residual), shown) << "person " << person << " item " << item;
            ++checked;
        }
    }
    return checked;
}

// Every cell of a persons' grid (6.4, 6.5) against the model: "." for a residual below 2 in
// magnitude, the response for one of 2 or more, blank for a missing one. Returns the cells checked.
int check_grid(const std::vector<std::string>& t, const std::vector<MeasureRecord>& persons,
               const std::vector<MeasureRecord>& items, const std::vector<double>& steps,
               const std::vector<std::vector<int>>& scores) {
    const std::map<int, MeasureRecord> p = by_entry(persons), i = by_entry(items);
    std::size_t k = 0;
    while (k < t.size() && t[k].find("|ITEM") == std::string::npos) ++k;
    if (k == t.size()) return 0;
    const std::size_t bar = t[k].find('|');
    std::vector<std::string> digit_rows;
    for (++k; k < t.size() && t[k].find("high") == std::string::npos; ++k)
        digit_rows.push_back(t[k].substr(bar + 1));
    const std::size_t width = t[k].size() - bar - 1;
    std::vector<int> columns;
    for (std::size_t c = 0; c < width; ++c) {
        std::string digits;
        for (const std::string& r : digit_rows)
            if (c < r.size() && r[c] != ' ') digits += r[c];
        columns.push_back(std::stoi(digits));
    }
    int checked = 0;
    for (++k; k < t.size() && t[k].find("low") == std::string::npos; ++k) {
        const int person = std::stoi(t[k].substr(0, 6));
        for (std::size_t c = 0; c < width; ++c) {
            const char cell = bar + 1 + c < t[k].size() ? t[k][bar + 1 + c] : ' ';
            const int item = columns[c];
            const int x = scores[static_cast<std::size_t>(person - 1)][static_cast<std::size_t>(item - 1)];
            if (x == 255) {
                EXPECT_EQ(cell, ' ');
                continue;
            }
            const double z = model_residual(p.at(person).measure - i.at(item).measure, steps, x);
            if (std::fabs(std::fabs(z) - 2.0) < 0.03) continue;
            EXPECT_EQ(cell, std::fabs(z) < 2.0 ? '.' : static_cast<char>('0' + x))
                << "person " << person << " item " << item;
            ++checked;
        }
    }
    return checked;
}

// The scalogram of 22.1 read back: items from the number rows over the grid, persons from the
// lines; a cell per person and item, -1 for a blank one.
std::map<int, std::map<int, int>> read_scalogram(const std::vector<std::string>& t) {
    std::map<int, std::map<int, int>> cells;
    std::vector<int> items;
    std::size_t k = 0;
    while (k < t.size() && t[k].rfind("PERSON |", 0) != 0) ++k;
    std::vector<std::string> number_rows;
    for (++k; k < t.size() && t[k].rfind("       |", 0) == 0 && t[k][8] != '-'; ++k)
        number_rows.push_back(t[k].substr(8));
    const std::size_t width = t[k].size() - 8;
    for (std::size_t c = 0; c < width; ++c) {
        std::string digits;
        for (const std::string& r : number_rows)
            if (c < r.size() && r[c] != ' ') digits += r[c];
        items.push_back(std::stoi(digits));
    }
    for (++k; k < t.size() && t[k].size() > 8 && t[k][7] == '+'; ++k) {
        const int person = std::stoi(t[k].substr(0, 6));
        for (std::size_t c = 0; c < width; ++c) {
            const char ch = c + 8 < t[k].size() ? t[k][c + 8] : ' ';
            cells[person][items[c]] = ch == ' ' ? -1 : ch - '0';
        }
    }
    return cells;
}

void check_scalogram(const std::vector<std::string>& t, SummaryRun& run) {
    const std::map<int, std::map<int, int>> shown = read_scalogram(t);
    const std::vector<std::vector<int>> scores = run.scores();
    const std::vector<MeasureRecord> persons = run.persons(), items = run.items();
    std::size_t shown_persons = 0, shown_items = 0;
    for (const MeasureRecord& p : persons) shown_persons += p.status >= -1;
    for (const MeasureRecord& i : items) shown_items += i.status >= -1;
    ASSERT_EQ(shown.size(), shown_persons);
    for (const auto& [person, row] : shown) {
        ASSERT_EQ(row.size(), shown_items);
        for (const auto& [item, value] : row) {
            const int x = scores[static_cast<std::size_t>(person - 1)][static_cast<std::size_t>(item - 1)];
            EXPECT_EQ(value, x == 255 ? -1 : x) << "person " << person << " item " << item;
        }
    }
}

struct ResponseRun {
    SummaryRun analysis;
    std::string report;
    explicit ResponseRun(const std::string& control) : analysis(control) {
        report = analysis.report();
    }
};

}  // namespace

TEST(ResponseTables, DichotomousAndRatingScaleGoldensResidualsAndScalogram) {
    for (bool rating : {false, true}) {
        const std::string settings = std::string(kResponseTables) + "SFILE=s.txt\n";
        ResponseRun r(rating ? rating_scale_set(settings) : dichotomous_set(settings));
        ASSERT_EQ(r.analysis.exit_status, 0) << r.analysis.host.screen();
        const std::string set = rating ? "rating" : "dichotomous";
        for (const char* id : kIds) {
            const std::vector<std::string> t = table_block(r.report, id);
            ASSERT_GT(t.size(), 5u) << set << " " << id;
            expect_golden("tables/responses_" + set + "_" + id + ".txt",
                          crlf_text(without_heading_line(t)));
        }
        const std::vector<std::vector<int>> scores = r.analysis.scores();
        EXPECT_GT(check_residuals(table_block(r.report, "7.1"), r.analysis.persons(),
                                  r.analysis.items(), read_steps(r.analysis.dir.file("s.txt")),
                                  scores, r.analysis.codes()),
                  5)
            << set;
        check_scalogram(table_block(r.report, "22.1"), r.analysis);
        for (const char* id : {"6.4", "6.5"})
            EXPECT_GT(check_grid(table_block(r.report, id), r.analysis.persons(),
                                 r.analysis.items(), read_steps(r.analysis.dir.file("s.txt")),
                                 scores),
                      3)
                << set << " " << id;
    }
}

TEST(ResponseTables, ResidualCellsLettersLayoutsAndZones) {
    EXPECT_EQ(shown_residual(-2.7f), -2);
    EXPECT_EQ(shown_residual(14.3f), 9);
    EXPECT_EQ(shown_residual(-14.3f), -9);
    EXPECT_EQ(shown_residual(1.99f), 1);  // a magnitude of 1 or less shows blank
    EXPECT_EQ(shown_residual(2.0f), 2);
    EXPECT_TRUE(unexpected_residual(2.0f));
    EXPECT_TRUE(unexpected_residual(-2.0f));
    EXPECT_FALSE(unexpected_residual(1.99f));

    EXPECT_EQ(response_row_layout(80, 3).per_row, 25);
    EXPECT_EQ(response_row_layout(80, 3).cell_width, 2);
    EXPECT_EQ(response_row_layout(80, 10).per_row, 15);
    EXPECT_EQ(response_row_layout(80, 10).cell_width, 3);
    EXPECT_EQ(response_row_layout(30, 1).per_row, 5);

    EXPECT_EQ(misfitting_response_letter(1, 100), 'A');
    EXPECT_EQ(misfitting_response_letter(26, 100), 'Z');
    EXPECT_EQ(misfitting_response_letter(27, 100), ' ');
    EXPECT_EQ(misfitting_response_letter(75, 100), 'z');
    EXPECT_EQ(misfitting_response_letter(100, 100), 'a');
    EXPECT_EQ(misfitting_response_letter(20, 30), 'T');  // the capitals go on past the middle

    // A line of 500 columns with one-character cells stays within the 400-character cell line.
    EXPECT_EQ(scalogram_block_items(80, 1), 73);
    EXPECT_EQ(scalogram_block_items(500, 1), 400);
    EXPECT_EQ(scalogram_block_items(500, 2), 200);
    EXPECT_EQ(scalogram_block_items(8, 2), 1);
    // A short page with long entry numbers still holds one row a block.
    EXPECT_EQ(block_rows(20, 2 * 6 + 11), 1);
    EXPECT_EQ(block_rows(60, 2 * 2 + 11), 45);

    // Categories 0-2 with boundaries -1 (category 1) and 1 (category 2) relative to the item.
    const std::vector<float> half{0, 0, -1, 1};
    EXPECT_FALSE(outside_expected_zone(half, 1, 2, 1, -1.0f));  // equal is in the zone
    EXPECT_FALSE(outside_expected_zone(half, 1, 2, 1, 1.0f));
    EXPECT_TRUE(outside_expected_zone(half, 1, 2, 1, -1.01f));
    EXPECT_TRUE(outside_expected_zone(half, 1, 2, 1, 1.01f));
    EXPECT_TRUE(outside_expected_zone(half, 1, 2, 0, -0.99f));
    EXPECT_FALSE(outside_expected_zone(half, 1, 2, 0, -5.0f));
    EXPECT_FALSE(outside_expected_zone(half, 1, 2, 2, 5.0f));
    EXPECT_TRUE(outside_expected_zone(half, 1, 2, 2, 0.99f));
}

TEST(ResponseTables, NothingPoorlyFitting) {
    ResponseRun r(dichotomous_set("TFILE=*\n7.1\n11\n*\nFITP=100\nFITI=100\n"));
    ASSERT_EQ(r.analysis.exit_status, 0);
    const std::vector<std::string> persons = table_block(r.report, "7.1");
    ASSERT_EQ(persons.size(), 6u);  // the heading, a blank line, the line and the blank closing it
    EXPECT_EQ(persons[4], "NO POORLY FITTING PERSONS");
    const std::vector<std::string> items = table_block(r.report, "11.1");
    ASSERT_GE(items.size(), 5u);
    EXPECT_EQ(items[4], "NO POORLY FITTING ITEMS");
}

namespace {

// A hundred persons on twelve items, responses by ability against difficulty with noise enough
// that some persons in the middle of the fit order reach a mean-square of 1.2.
std::string hundred_persons(const std::string& settings) {
    std::string s = "TITLE=Hundred persons\nNI=12\nITEM1=1\nNAME1=14\nNAMLEN=4\nCODES=01\n" +
                    settings + "&END\n";
    for (int i = 1; i <= 12; ++i) s += "Q" + std::to_string(i) + "\n";
    s += "END LABELS\n";
    unsigned state = 2024;
    for (int p = 1; p <= 100; ++p) {
        const double ability = -2.5 + 5.0 * (p % 37) / 36.0;
        for (int i = 1; i <= 12; ++i) {
            state = state * 1664525u + 1013904223u;
            const double noise = static_cast<double>((state >> 12) % 1000) / 1000.0 * 3.0 - 1.5;
            s += ability + noise > -3.25 + 0.5 * i ? '1' : '0';
        }
        s += "  N" + std::to_string(100 + p) + "\n";
    }
    return s;
}

std::vector<int> listed_persons(const std::vector<std::string>& t) {
    std::vector<int> listed;
    for (const std::string& l : t)
        if (is_entry_line(l) && l.find(':') == std::string::npos) listed.push_back(std::stoi(l.substr(0, 6)));
    return listed;
}

}  // namespace

TEST(ResponseTables, PersonsLeftOutOfTableSixAreStillListed) {
    ResponseRun after(hundred_persons("TFILE=*\n6\n7.1\n*\n"));
    ResponseRun alone(hundred_persons("TFILE=*\n7.1\n*\n"));
    ASSERT_EQ(after.analysis.exit_status, 0);
    ASSERT_EQ(alone.analysis.exit_status, 0);
    const std::vector<int> listed = listed_persons(table_block(alone.report, "7.1"));
    // Table 6.1 left out some of the persons that Table 7.1 lists.
    std::vector<int> rows;
    for (const std::string& l : table_block(after.report, "6.1"))
        if (l.size() > 8 && l[0] == '|' && std::isdigit(static_cast<unsigned char>(l[6])))
            rows.push_back(std::stoi(l.substr(1, 6)));
    int left_out = 0;
    for (int e : listed) left_out += std::find(rows.begin(), rows.end(), e) == rows.end();
    ASSERT_GT(left_out, 0);
    EXPECT_EQ(listed_persons(table_block(after.report, "7.1")), listed);
    EXPECT_EQ(without_heading_line(table_block(after.report, "7.1")),
              without_heading_line(table_block(alone.report, "7.1")));
}

TEST(ResponseTables, ScalogramPagesAndBlocks) {
    ResponseRun r(hundred_persons("TFILE=*\n22\n*\nMAXPAGE=60\nLINELENGTH=15\n"));
    ASSERT_EQ(r.analysis.exit_status, 0);
    const std::vector<std::string> t = table_block(r.report, "22.1");
    // Blocks of 8 and 4 items; persons 1 to 45 on the first page of the pass (45 = 1 + 60 -
    // 2 x 2 - 12), then 47 a page (10 header lines); every later page opens with the
    // continuation line and its own header.
    std::vector<int> persons_per_page(1, 0);
    int continued = 0, headers = 0;
    for (const std::string& l : t) {
        if (l.find("CONTINUED FROM PREVIOUS SHEET") != std::string::npos) {
            ++continued;
            persons_per_page.push_back(0);
        }
        if (l.size() > 8 && l[7] == '+') ++persons_per_page.back();
        headers += l == "PERSON |ITEM";
    }
    EXPECT_EQ(persons_per_page, (std::vector<int>{45, 47, 8, 47, 47, 6}));
    EXPECT_EQ(continued, 5);
    EXPECT_EQ(headers, 6);
}

TEST(ResponseTables, GridBlocksOnShortPages) {
    // Twenty lines a page and two digit rows: the 26 rows of 6.4 come in blocks of 5 (20 - 2 x 2
    // - 11), then 7 a page, each later block on a new page with its headings again.
    ResponseRun r(hundred_persons("TFILE=*\n6.4\n*\nMAXPAGE=20\n"));
    ASSERT_EQ(r.analysis.exit_status, 0);
    int titles = 0, continued = 0;
    for (const std::string& l : table_block(r.report, "6.4")) {
        titles += l == "MOST MISFITTING RESPONSE STRINGS";
        continued += l.find("CONTINUED FROM PREVIOUS SHEET") != std::string::npos;
    }
    EXPECT_EQ(titles, 4);
    EXPECT_EQ(continued, 3);
}

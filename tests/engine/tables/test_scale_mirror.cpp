// A negative USCALE= reports the scale the other way round, and nothing else: the report of
// USCALE=-1 is the mirror image of that of USCALE=1 (and UMEAN=50 USCALE=-10 that of USCALE=10),
// Table by Table, each by the rule written for it below. Zones, disorder marks and expected
// categories are the same; plots are mirrored; maps are turned upside down.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "engine/report/scale_orientation.h"
#include "engine/tables/keyforms.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

using Lines = std::vector<std::string>;

// The Table ids of a report in their order, repeated ones included.
std::vector<std::string> table_ids(const std::string& report) {
    std::vector<std::string> ids;
    for (const std::string& line : crlf_lines(report)) {
        const std::string bare = !line.empty() && line[0] == '\f' ? line.substr(1) : line;
        if (bare.rfind("TABLE ", 0) != 0 || bare.size() < 7 || !std::isdigit(static_cast<unsigned char>(bare[6])))
            continue;
        ids.push_back(bare.substr(6, bare.find(' ', 6) - 6));
    }
    return ids;
}

std::string part(const std::string& s, std::size_t first, std::size_t width) {
    std::string p = first < s.size() ? s.substr(first, width) : "";
    p.resize(width, ' ');
    return p;
}

std::string reversed(std::string s) {
    std::reverse(s.begin(), s.end());
    return s;
}

// The printed characters of a stretch of line, blanks and the plot's "|" left out.
std::string marks(const std::string& s) {
    std::string m;
    for (char c : s)
        if (c != ' ' && c != '|') m += c;
    return m;
}

std::vector<std::size_t> stars(const std::string& s) {
    std::vector<std::size_t> at;
    for (std::size_t k = 0; k < s.size(); ++k)
        if (s[k] == '*') at.push_back(k);
    return at;
}

int number_at(const std::string& s, std::size_t first, std::size_t width) {
    const std::string p = part(s, first, width);
    return p.find_first_of("0123456789") == std::string::npos ? -1 : std::atoi(p.c_str());
}

// The body of a Table without its three heading lines (title line, input line, rule).
Lines body(const std::string& report, const std::string& id, int nth) {
    Lines b = table_block(report, id, nth);
    b.erase(b.begin(), b.begin() + std::min<std::size_t>(3, b.size()));
    return b;
}

int digit_sum(const std::string& s) {
    int sum = 0;
    for (char c : s)
        if (std::isdigit(static_cast<unsigned char>(c))) sum += c - '0';
    return sum;
}

std::string sorted(std::string s) {
    std::sort(s.begin(), s.end());
    return s;
}

// Table 2: every item row shows its categories in the opposite order, read across the plot
// (columns 0 to W, W the place of the last "|" of the border line), wherever the order of the
// rows puts it. In 2.5 to 2.7 labels that meet take the next free place to their right, so
// there each row shows the same labels; the person strip counts the same persons.
void expect_category_rows_mirrored(const Lines& plus, const Lines& minus, const std::string& id) {
    std::map<int, std::string> rows_plus, rows_minus;
    int persons_plus = 0, persons_minus = 0;
    const auto split = [](const Lines& t, std::map<int, std::string>& rows, int& persons) {
        std::size_t w = 0;
        for (std::size_t k = 0; k < t.size(); ++k) {
            const std::string& l = t[k];
            if (w == 0 && l.rfind("|-", 0) == 0) w = l.rfind('|');
            const int item = w > 0 ? number_at(l, w + 2, 4) : -1;
            if (item > 0 && l.size() > w + 6) rows[item] = part(l, 0, w + 1);
            // The stacked digits of the person strip, up to its line with the word.
            if (l.find("PERSONS") != std::string::npos && l.find("FOR PERSONS") == std::string::npos)
                for (std::size_t j = k, scale = 1; j > 0 && digit_sum(part(t[j], 0, w + 1)) > 0; --j, scale *= 10)
                    persons += static_cast<int>(scale) * digit_sum(part(t[j], 0, w + 1));
        }
    };
    split(plus, rows_plus, persons_plus);
    split(minus, rows_minus, persons_minus);
    ASSERT_EQ(rows_plus.size(), rows_minus.size()) << id;
    ASSERT_FALSE(rows_plus.empty()) << id;
    const bool averages = id == "2.5" || id == "2.6" || id == "2.7";
    for (const auto& [item, row] : rows_plus) {
        if (averages)
            EXPECT_EQ(sorted(marks(row)), sorted(marks(rows_minus[item]))) << id << " item " << item;
        else
            EXPECT_EQ(marks(row), reversed(marks(rows_minus[item]))) << id << " item " << item;
    }
    EXPECT_GT(persons_plus, 0) << id;
    EXPECT_EQ(persons_plus, persons_minus) << id;
}

// Tables 3 (from 3.2), 21 and 29: the plot rows and their strips (MODE, MEAN, MEDIAN, and the
// stacked digits of COUNT) are mirrored column for column (plot columns at line places 8-68);
// the other lines (the structure tables, the category key) carry their "*" marks at the same
// places.
void expect_curves_mirrored(const Lines& plus, const Lines& minus, const std::string& id) {
    ASSERT_EQ(plus.size(), minus.size()) << id;
    int plot_rows = 0;
    for (std::size_t k = 0; k < plus.size(); ++k) {
        const std::string& p = plus[k];
        const std::string& m = minus[k];
        const bool plot_row = p.size() >= 70 && (p[7] == '|' || p[7] == '+') && p[69] == p[7];
        const std::string cells = part(p, 8, 61);
        const bool digits = part(p, 0, 8).find_first_not_of(' ') == std::string::npos &&
                            cells.find_first_not_of(' ') != std::string::npos &&
                            cells.find_first_not_of(" 0123456789") == std::string::npos;
        const bool strip = digits || p.rfind(" MODE", 0) == 0 || p.rfind(" MEAN", 0) == 0 ||
                           p.rfind(" MEDIAN", 0) == 0 || p.rfind(" COUNT", 0) == 0;
        if (plot_row || strip) {
            ++plot_rows;
            EXPECT_EQ(cells, reversed(part(m, 8, 61))) << id << " line " << k;
            EXPECT_EQ(part(p, 0, 8), part(m, 0, 8)) << id << " line " << k;
        } else {
            EXPECT_EQ(stars(p), stars(m)) << id << " line " << k << ":\n" << p << "\n" << m;
        }
    }
    if (id.rfind("3.", 0) != 0) {
        EXPECT_GT(plot_rows, 0) << id;
    }
}

// Table 22: each person's row holds the same response to each item, letters (out of zone)
// included; the items stand in the order of their measures, so the other way round but for
// items of equal measure.
std::map<int, std::map<int, char>> scalogram_cells(const Lines& t) {
    std::map<int, std::map<int, char>> rows;
    std::vector<std::string> numbers;  // the item number of each cell column, as read so far
    bool in_rows = false;
    for (const std::string& l : t) {
        if (l.size() <= 8) continue;
        if (l[7] == '|' && l[8] == '-') {
            in_rows = !in_rows;
            if (!in_rows) break;
        } else if (l[7] == '|' && !in_rows && std::isdigit(static_cast<unsigned char>(l.back()))) {
            numbers.resize(std::max(numbers.size(), l.size() - 8));
            for (std::size_t c = 8; c < l.size(); ++c)
                if (l[c] != ' ') numbers[c - 8] += l[c];
        } else if (l[7] == '+' && in_rows) {
            const std::string cells = part(l, 8, numbers.size());
            for (std::size_t c = 0; c < numbers.size(); ++c)
                rows[number_at(l, 0, 7)][std::atoi(numbers[c].c_str())] = cells[c];
        }
    }
    return rows;
}

void expect_scalogram_mirrored(const Lines& plus, const Lines& minus, const std::string& id) {
    const auto a = scalogram_cells(plus), b = scalogram_cells(minus);
    EXPECT_GT(a.size(), 10u) << id;
    EXPECT_EQ(a, b) << id;
}

// The keyforms: the same persons, each with the same item lines, each line showing the same
// observed and expected responses with the same markers (the plot columns 0-60).
std::map<std::pair<int, int>, std::string> keyform_lines(const Lines& t) {
    std::map<std::pair<int, int>, std::string> lines;
    int person = 0, rules = 0;
    for (std::size_t k = 0; k < t.size(); ++k) {
        const std::string& l = t[k];
        if (l.rfind("NUMBER - NAME", 0) == 0 && k + 1 < t.size()) {
            person = number_at(t[k + 1], 0, 7);
            rules = 0;
        } else if (l.rfind("|-", 0) == 0) {
            ++rules;
        } else if (rules == 1 && l.size() > 66) {
            std::string m = marks(part(l, 0, 61));
            std::sort(m.begin(), m.end());
            lines[{person, number_at(l, 62, 4)}] = m;
        }
    }
    return lines;
}

void expect_keyforms_alike(const Lines& plus, const Lines& minus, const std::string& id) {
    const auto a = keyform_lines(plus), b = keyform_lines(minus);
    EXPECT_FALSE(a.empty()) << id;
    EXPECT_EQ(a, b) << id;
}

// The vertical maps: turned upside down. Each map row (a line on the measure axis with its
// continuation lines) keeps its content; the rows that show anything come in the opposite order.
Lines map_rows(const Lines& t) {
    Lines rows;
    bool inside = false;
    for (const std::string& l : t) {
        const bool border = l.find("-+-") != std::string::npos || l.find("--+") != std::string::npos ||
                            l.find("<more>") != std::string::npos || l.find("<less>") != std::string::npos;
        if (border) {
            if (inside) break;
            inside = true;
            continue;
        }
        if (!inside) continue;
        std::string content = part(l, 7, 65);
        for (char& c : content)
            if (c == '+') c = '|';
        const bool on_axis = content.find('|') != std::string::npos;
        if (on_axis || rows.empty())
            rows.push_back(content);
        else
            rows.back() += "/" + content;
    }
    Lines shown;
    for (const std::string& r : rows)
        if (!marks(r).empty() && marks(r).find_first_not_of('/') != std::string::npos) shown.push_back(r);
    return shown;
}

void expect_map_upside_down(const Lines& plus, const Lines& minus, const std::string& id) {
    Lines a = map_rows(plus), b = map_rows(minus);
    std::reverse(b.begin(), b.end());
    EXPECT_FALSE(a.empty()) << id;
    EXPECT_EQ(a, b) << id;
}

bool keyform_table(const std::string& id) {
    const int t = std::atoi(id.c_str());
    const int s = std::atoi(id.c_str() + id.find('.') + 1);
    return (t == 7 && s >= 2) || ((t == 17 || t == 18 || t == 19) && s >= 3);
}

// Compares the two reports Table by Table; the Tables with no rule of their own keep at least
// their length and their "*" marks.
void expect_mirror_reports(const std::string& plus, const std::string& minus) {
    const std::vector<std::string> ids = table_ids(plus);
    ASSERT_EQ(ids, table_ids(minus));
    ASSERT_GT(ids.size(), 60u);
    std::map<std::string, int> seen;
    for (const std::string& id : ids) {
        const int nth = ++seen[id];
        const Lines p = body(plus, id, nth), m = body(minus, id, nth);
        const int t = std::atoi(id.c_str());
        if (t == 2) {
            expect_category_rows_mirrored(p, m, id);
        } else if ((t == 3 && id != "3.1") || t == 21 || t == 29) {
            expect_curves_mirrored(p, m, id);
        } else if (t == 22) {
            expect_scalogram_mirrored(p, m, id);
        } else if (keyform_table(id)) {
            expect_keyforms_alike(p, m, id);
        } else if (t == 1 || t == 12 || t == 16) {
            expect_map_upside_down(p, m, id);
            EXPECT_EQ(p.size(), m.size()) << id;  // the same range, from the other end
        } else {
            EXPECT_EQ(p.size(), m.size()) << id;
            std::size_t a = 0, b = 0;
            for (const std::string& l : p) a += std::count(l.begin(), l.end(), '*');
            for (const std::string& l : m) b += std::count(l.begin(), l.end(), '*');
            EXPECT_EQ(a, b) << id;
        }
    }
}

// Two groups, missing responses and an extreme person (R07), every Table.
std::string mirror_set(const std::string& scale) {
    return rating_scale_set("GROUPS=AAABBB\nTABLES=" + std::string(40, '1') +
                            "\nDISTRACTOR=Y\nCURVES=111\n" + scale);
}

}  // namespace

TEST(ScaleMirror, OrientationOfDifferencesAndCategoryPoints) {
    ControlVariables cv;
    cv.uscale = -10.0f;
    EXPECT_EQ(scale_orientation(cv), -1.0f);
    EXPECT_EQ(oriented_difference(cv, 3.0f), -3.0f);
    EXPECT_EQ(category_point_measure(cv, 50.0f, 12.0f), 38.0f);
    cv.uscale = 0.0f;  // taken as 1
    EXPECT_EQ(scale_orientation(cv), 1.0f);
    EXPECT_EQ(category_point_measure(cv, 50.0f, 12.0f), 62.0f);
    // The zones of a keyform: half-points -1 and 1 of an item at 0, under a negative USCALE= the
    // persons above the item lie below it in logits.
    const std::vector<float> half{0, 0, -1, 1};
    const CategoryZones z{&half, 1, 2, 0.0f, -1.0f};
    EXPECT_TRUE(observed_out_of_zone(z, 2, 1.5f));
    EXPECT_FALSE(observed_out_of_zone(z, 0, 1.5f));
    EXPECT_TRUE(expected_in_zone(z, 0, 1.5f));
    EXPECT_TRUE(expected_in_zone(z, 2, -1.5f));
}

TEST(ScaleMirror, EveryTableOfANegativeScaleMirrorsThePositiveOne) {
    for (const auto& [positive, negative] :
         std::vector<std::pair<std::string, std::string>>{{"USCALE=1\n", "USCALE=-1\n"},
                                                          {"UMEAN=50\nUSCALE=10\n", "UMEAN=50\nUSCALE=-10\n"}}) {
        SCOPED_TRACE(negative);
        SummaryRun plus(mirror_set(positive));
        SummaryRun minus(mirror_set(negative));
        ASSERT_EQ(plus.exit_status, 0) << plus.host.screen();
        ASSERT_EQ(minus.exit_status, 0) << minus.host.screen();
        expect_mirror_reports(plus.report(), minus.report());
    }
}

TEST(ScaleMirror, PersonsAtTheEndsOfTheScaleRespondInTheirZones) {
    const std::string nine =
        "TITLE=Nine\nNI=4\nITEM1=1\nNAME1=6\nCODES=012\nTFILE=*\n22\n*\n&END\nI1\nI2\nI3\nI4\n"
        "END LABELS\n2221 Ann\n2111 Bob\n1010 Cid\n2210 Dee\n1100 Eve\n2222 Fay\n0000 Gus\n"
        "1211 Hal\n2012 Ivy\n";
    for (const char* scale : {"USCALE=1\n", "USCALE=-1\n"}) {
        SummaryRun r(scale + nine);
        ASSERT_EQ(r.exit_status, 0) << r.host.screen();
        std::map<int, std::string> rows;
        for (const std::string& l : body(r.report(), "22.2", 1))
            if (l.size() > 8 && l[7] == '+') rows[number_at(l, 0, 7)] = l.substr(8);
        EXPECT_EQ(rows[6], "2222") << scale;  // Fay: all 2, no letter
        EXPECT_EQ(rows[7], "0000") << scale;  // Gus: all 0
    }
}

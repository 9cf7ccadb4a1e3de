// The variable maps of whole runs. Tables 1, 12 and 16 of the small dichotomous set and of the
// 0-3 rating scale are held byte for byte; independently of those texts, every person and item
// of the run's PFILE= and IFILE= is found on the row its measure gives, in the symbol map and
// in the labelled maps. Then the Tables around the maps: the reflection leaves the items as
// they were, and the lists the maps consume are sorted again by a later Table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/engine/tables/map_reading.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

const char* const kMapTables = "TFILE=*\n1\n12\n16\n*\n";

std::vector<std::string> without_heading_line(std::vector<std::string> block) {
    if (!block.empty()) block.erase(block.begin());
    return block;
}

// The headings of the report in their order, e.g. "1.0".
std::vector<std::string> headings(const std::string& report) {
    std::vector<std::string> ids;
    for (std::string line : crlf_lines(report)) {
        if (!line.empty() && line[0] == '\f') line.erase(0, 1);
        if (line.rfind("TABLE ", 0) != 0) continue;
        const std::string id = line.substr(6, line.find(' ', 6) - 6);
        if (id.rfind("0.", 0) != 0) ids.push_back(id);
    }
    return ids;
}

// A Table without its heading line and the blank and page lines after it, for comparing a
// Table written in two places of a report.
std::vector<std::string> table_body(const std::string& report, const std::string& id, int nth = 1) {
    std::vector<std::string> block = without_heading_line(table_block(report, id, nth));
    while (!block.empty() && block.back().find_first_not_of(" \f") == std::string::npos)
        block.pop_back();
    return block;
}

std::string all_maps(const std::string& report) {
    std::string text;
    for (const std::string& id : headings(report))
        text += crlf_text(without_heading_line(table_block(report, id)));
    return text;
}

// ---- Reading a map back ---------------------------------------------------------------------

// The axis a map shows: the measures of its bottom and top rows are its bottom and top tick
// values, and its rows are numbered from 0 at the bottom.
struct ShownAxis {
    double lower = 0, upper = 0;
    int top = 0;
    int row_of(const MeasureRecord& r) const {
        if (r.status == 0) return top;
        if (r.status == -1) return 0;
        const double u = top / (upper - lower);
        return std::clamp(static_cast<int>(std::lround((r.measure - lower) * u)), 0, top);
    }
};

bool has_tick(const std::string& line) {
    return line.size() > 5 && line.substr(0, 5).find_first_not_of(' ') != std::string::npos;
}

// The rows of the symbol map 1.1, top row first, and its axis.
std::vector<std::string> symbol_rows(const std::vector<std::string>& block, ShownAxis& axis) {
    std::vector<std::string> rows = symbol_map_rows(block);
    axis.top = static_cast<int>(rows.size()) - 1;
    axis.upper = std::stod(rows.front().substr(0, 5));
    axis.lower = std::stod(rows.back().substr(0, 5));
    return rows;
}

int count_in(const std::string& line, std::size_t first, std::size_t last, char c) {
    int n = 0;
    for (std::size_t k = first - 1; k < last && k < line.size(); ++k) n += line[k] == c;
    return n;
}

// Entries per row by the row rule, from a measure file.
std::map<int, std::multiset<std::string>> expected_rows(const std::vector<MeasureRecord>& file,
                                                        const ShownAxis& axis) {
    std::map<int, std::multiset<std::string>> rows;
    for (const MeasureRecord& r : file)
        if (r.status >= -1) rows[axis.row_of(r)].insert(r.label);
    return rows;
}

// The labels of a labelled map by row, right of the centre line (or left of it, as the persons
// of the combined map): the centre column is that of the bar of the top end text; a line with
// the centre character starts a row, other lines continue it.
std::map<int, std::multiset<std::string>> labelled_rows(const std::vector<std::string>& block,
                                                        const ShownAxis& axis, bool left = false) {
    std::size_t k = 0;
    while (k < block.size() && block[k].find("<") == std::string::npos) ++k;
    const std::size_t centre = block[k].find('|');
    std::vector<std::vector<std::string>> lines;  // per row line, its labels
    std::vector<int> tick_rows;
    for (++k; k < block.size() && block[k].find('<') == std::string::npos; ++k) {
        const std::string& l = block[k];
        const bool row_line = l.size() > centre && (l[centre] == '|' || l[centre] == '+');
        if (row_line) {
            lines.emplace_back();
            tick_rows.push_back(has_tick(l) ? static_cast<int>(std::lround(
                                                  (std::stod(l.substr(0, 5)) - axis.lower) *
                                                  axis.top / (axis.upper - axis.lower)))
                                            : -1);
        }
        const std::string side = left ? l.substr(5, centre - 6)
                                      : (l.size() > centre + 2 ? l.substr(centre + 2) : "");
        std::istringstream words(side);
        for (std::string w; words >> w;) lines.back().push_back(w);
    }
    // Rows run down by one from any row line with a tick value.
    const auto ticked = std::find_if(tick_rows.begin(), tick_rows.end(), [](int r) { return r >= 0; });
    const int first = *ticked + static_cast<int>(ticked - tick_rows.begin());
    std::map<int, std::multiset<std::string>> rows;
    for (std::size_t n = 0; n < lines.size(); ++n)
        for (const std::string& w : lines[n]) rows[first - static_cast<int>(n)].insert(w);
    return rows;
}

// Every entry of the file on its row in the symbol map (1.1: one X per entry) and in the
// labelled maps of the report.
void expect_entries_on_their_rows(const std::string& report, const std::vector<MeasureRecord>& persons,
                                  const std::vector<MeasureRecord>& items, const std::string& items_map,
                                  const std::string& persons_map) {
    ShownAxis axis;
    const std::vector<std::string> rows = symbol_rows(table_block(report, "1.1"), axis);
    const auto person_rows = expected_rows(persons, axis), item_rows = expected_rows(items, axis);
    for (int r = 0; r <= axis.top; ++r) {
        const std::string& line = rows[static_cast<std::size_t>(axis.top - r)];
        const auto count = [&](const auto& m) {
            return m.count(r) ? static_cast<int>(m.at(r).size()) : 0;
        };
        EXPECT_EQ(count_in(line, 10, 38, 'X'), count(person_rows)) << "row " << r << ": " << line;
        EXPECT_EQ(count_in(line, 44, 72, 'X'), count(item_rows)) << "row " << r << ": " << line;
    }
    EXPECT_EQ(labelled_rows(table_block(report, items_map), axis), item_rows) << items_map;
    EXPECT_EQ(labelled_rows(table_block(report, persons_map), axis), person_rows) << persons_map;
}

}  // namespace

TEST(VariableMaps, DichotomousMapsAndTheMeasureFiles) {
    SummaryRun analysis(dichotomous_set(kMapTables));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::string report = analysis.report();
    EXPECT_EQ(headings(report), (std::vector<std::string>{"1.0", "1.1", "1.2", "1.3", "1.10",
                                                          "1.12", "12.2", "12.12", "16.3"}));
    expect_golden("tables/variable_maps_dichotomous.txt", all_maps(report));
    expect_entries_on_their_rows(report, analysis.persons(), analysis.items(), "1.2", "1.3");
    // The combined map holds the same labels on the same rows, persons left and items right.
    ShownAxis axis;
    symbol_rows(table_block(report, "1.1"), axis);
    const std::vector<std::string> combined = table_block(report, "1.0");
    EXPECT_EQ(labelled_rows(combined, axis), expected_rows(analysis.items(), axis));
    EXPECT_EQ(labelled_rows(combined, axis, true), expected_rows(analysis.persons(), axis));
}

TEST(VariableMaps, RatingScaleMapsAndTheMeasureFiles) {
    SummaryRun analysis(rating_scale_set(kMapTables));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::string report = analysis.report();
    EXPECT_EQ(headings(report),
              (std::vector<std::string>{"1.0", "1.1", "1.2", "1.3", "1.4", "1.10", "1.12", "12.2",
                                        "12.5", "12.6", "12.12", "16.3"}));
    expect_golden("tables/variable_maps_rating_scale.txt", all_maps(report));
    expect_entries_on_their_rows(report, analysis.persons(), analysis.items(), "1.2", "1.3");
}

TEST(VariableMaps, TablesAfterTheMapsSeeTheItemsAndListsAsBefore) {
    SummaryRun alone(dichotomous_set("TFILE=*\n10\n14\n*\n"));
    SummaryRun after(dichotomous_set("TFILE=*\n10\n1\n10\n12\n14\n*\n"));
    ASSERT_EQ(after.exit_status, 0) << after.host.screen();
    const std::string a = alone.report(), b = after.report();
    EXPECT_EQ(table_body(b, "14.1"), table_body(a, "14.1"));
    // Table 10 in misfit order again after the maps consumed the item list.
    EXPECT_EQ(table_body(b, "10.1", 2), table_body(a, "10.1"));
    EXPECT_EQ(alone.items().size(), after.items().size());
    for (std::size_t k = 0; k < alone.items().size(); ++k)
        EXPECT_EQ(alone.items()[k].measure, after.items()[k].measure);
}

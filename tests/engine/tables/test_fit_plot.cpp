// The fit plots of whole runs: Tables 4, 5, 8 and 9 of the dichotomous and the rating-scale set
// byte for byte; every measured entry of PFILE= or IFILE= plotted once, where its measure and
// fit put it; Table 4 after Table 6 (which leaves entries out of its list) as Table 4 alone.
// Then the range and height rules and the merging of line characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "engine/run/report_line.h"
#include "engine/tables/fit_plot.h"
#include "engine/tables/fit_plot_parts.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/engine/tables/table_lines.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

constexpr const char* kFitPlotTables = "TABLES=000110011\n";

// The cells of the plot rows, between the borders (file columns 9 up to the right border).
std::vector<std::string> plot_rows(const std::vector<std::string>& t) {
    std::vector<std::string> rows;
    std::size_t right = 0;
    for (const std::string& l : t) {
        if (l.size() > 8 && l.compare(6, 2, "++") == 0) {
            if (right != 0) break;
            right = l.rfind('+');
            continue;
        }
        if (right != 0) rows.push_back(l.substr(8, right - 8));
    }
    return rows;
}

template <typename Kind>
int count_of(const std::vector<std::string>& rows, Kind kind) {
    int n = 0;
    for (const std::string& r : rows)
        for (char c : r) n += kind(static_cast<unsigned char>(c)) ? 1 : 0;
    return n;
}

// Sixty persons on eight items, each answering the easier items right with a few surprises.
std::string sixty_persons(const std::string& settings) {
    std::string s = "TITLE=Sixty\nNI=8\nITEM1=1\nNAME1=10\nNAMLEN=3\nCODES=01\n" + settings +
                    "&END\nI1\nI2\nI3\nI4\nI5\nI6\nI7\nI8\nEND LABELS\n";
    for (int p = 1; p <= 60; ++p) {
        const int right = 1 + p % 7;
        for (int i = 1; i <= 8; ++i) s += (i <= right) != ((p * 7 + i * 3) % 11 == 0) ? '1' : '0';
        s += "  " + std::to_string(100 + p) + "\n";
    }
    return s;
}

}  // namespace

TEST(FitPlots, BothSetsAgainstGoldenFilesAndTheirMeasureFiles) {
    for (bool rating : {false, true}) {
        SummaryRun run(rating ? rating_scale_set(kFitPlotTables) : dichotomous_set(kFitPlotTables));
        ASSERT_EQ(run.exit_status, 0) << run.host.screen();
        const std::string report = run.report();
        std::string all;
        for (const char* id : {"4.1", "5.1", "5.2", "8.1", "9.1", "9.2"})
            all += crlf_text(without_heading_line(table_block(report, id)));
        expect_golden(rating ? "tables/fit_plots_rating_scale.txt" : "tables/fit_plots_dichotomous.txt", all);
        EXPECT_TRUE(table_block(report, "4.2").empty());

        // Every measured person and item is plotted once: the letters of the rows (digits for
        // the short item lists) count the measured entries of the files, where no cell had to
        // count crowded points ("*" or a count in place of letters).
        int persons = 0, items = 0;
        for (const MeasureRecord& r : run.persons()) persons += r.status > 0;
        for (const MeasureRecord& r : run.items()) items += r.status > 0;
        for (const char* id : {"4.1", "5.1", "5.2"}) {
            const std::vector<std::string> rows = plot_rows(table_block(report, id));
            if (count_of(rows, [](int c) { return c == '*' || std::isdigit(c); }) == 0) {
                EXPECT_EQ(count_of(rows, [](int c) { return std::isalpha(c); }), persons) << id;
            }
        }
        for (const char* id : {"8.1", "9.1", "9.2"})
            EXPECT_EQ(count_of(plot_rows(table_block(report, id)), [](int c) { return std::isdigit(c); }), items) << id;
        // The fit axis spans whole numbers, 0..2 at least for mean-squares, and the line under
        // the axis names the entity and the measure from column 34.
        const std::vector<std::string> t = table_block(report, "4.1");
        std::size_t title = 0;
        while (title < t.size() && t[title].find("PERSON MEASURE") == std::string::npos) ++title;
        ASSERT_LT(title, t.size());
        EXPECT_EQ(t[title].find("PERSON MEASURE"), 33u);
            // The bottom row is the fit value 0, labelled both sides.
        std::size_t bottom = title;
        while (bottom > 0 && t[bottom].compare(6, 2, "++") != 0) --bottom;
        ASSERT_GT(bottom, 0u);
        EXPECT_EQ(t[bottom - 1].substr(1, 7), "   0 + ");
        EXPECT_EQ(t[bottom - 1].substr(t[bottom - 1].size() - 5), "+   0");
    }
}

TEST(FitPlots, TableFourAfterTableSixIsTableFourAlone) {
    // Table 6 of many persons leaves the well-fitting middle out of its list; the plot that
    // follows in the same run still shows every measured person.
    SummaryRun after(sixty_persons("TFILE=*\n6\n4\n*\n"));
    SummaryRun alone(sixty_persons("TFILE=*\n4\n*\n"));
    ASSERT_EQ(after.exit_status, 0) << after.host.screen();
    const std::vector<std::string> six = table_block(after.report(), "6.1");
    bool omitted = false;
    for (const std::string& l : six) omitted = omitted || l.find("BETTER FITTING OMITTED") != std::string::npos;
    EXPECT_TRUE(omitted);
    const std::vector<std::string> plot = without_heading_line(table_block(after.report(), "4.1"));
    EXPECT_EQ(plot, without_heading_line(table_block(alone.report(), "4.1")));
    // Table 9 with sub-table 3 writes only the infit-against-outfit plot, as 9.2.
    SummaryRun pair(dichotomous_set("TFILE=*\n9.3\n*\n"));
    EXPECT_TRUE(table_block(pair.report(), "9.1").empty());
    EXPECT_FALSE(table_block(pair.report(), "9.2").empty());
}

TEST(FitPlots, RangeAndHeightRules) {
    korvelan::Run run;
    run.cv.mn_flag = 'Y';
    for (int k : {5, 7}) run.arrays.summary[k].minimum = 0.8f, run.arrays.summary[k].maximum = 1.2f;
    FitPlotRange r = find_fit_plot_range(run, 7, 5);
    EXPECT_EQ(r.low, 0.0f);
    EXPECT_EQ(r.high, 2.0f);
    run.cv.mn_flag = 'N';
    run.arrays.summary[8].maximum = 14.3f, run.arrays.summary[6].minimum = -12.0f;
    r = find_fit_plot_range(run, 8, 6);
    EXPECT_EQ(r.low, -10.0f);
    EXPECT_EQ(r.high, 10.0f);

    EXPECT_EQ(fit_plot_rows(run, 6.0f), 24);   // 4 rows per unit
    EXPECT_EQ(fit_plot_rows(run, 2.0f), 10);   // 8 rows are too few: 5 per unit
    EXPECT_EQ(fit_plot_rows(run, 20.0f), 40);
    run.cv.page_length = 30;
    EXPECT_EQ(fit_plot_rows(run, 20.0f), 14);
    run.cv.page_length = 16;  // no rows left on the page: the plot keeps one
    EXPECT_EQ(fit_plot_rows(run, 6.0f), 1);
}

TEST(FitPlots, LineCharactersMergeWithoutCoveringPoints) {
    char cell = '-';
    merge_plot_line_character(cell, '|');
    EXPECT_EQ(cell, '+');
    cell = box::kHorizontal;
    merge_plot_line_character(cell, box::kVertical);
    EXPECT_EQ(cell, box::kCross);
    cell = 'A';
    merge_plot_line_character(cell, '|');
    EXPECT_EQ(cell, 'A');
    cell = ' ';
    merge_plot_line_character(cell, '-');
    EXPECT_EQ(cell, '-');
    merge_plot_line_character(cell, '.');
    EXPECT_EQ(cell, '-');
    cell = ' ';
    merge_plot_line_character(cell, '.');
    EXPECT_EQ(cell, '.');
}

TEST(FitPlots, TickSpacingTooNarrowForTheLabelsIsNotFormatted) {
    // Selector 4 asks for 3 columns per tick: the measure labels of 4.1 and 5.1 would run into
    // each other; the fit axis of 5.2 holds its 3-column labels apart and is written.
    SummaryRun narrow(sixty_persons("USCALE=5\nTFILE=*\n4 - - 3\n5 - - 3\n*\n"));
    ASSERT_EQ(narrow.exit_status, 0) << narrow.host.screen();
    EXPECT_TRUE(narrow.shows(" TABLE 4.1 COULD NOT BE FORMATTED TO YOUR SPECIFICATIONS"));
    EXPECT_TRUE(narrow.shows(" TABLE 5.1 COULD NOT BE FORMATTED TO YOUR SPECIFICATIONS"));
    const std::string report = narrow.report();
    EXPECT_TRUE(table_block(report, "4.1").empty());
    EXPECT_TRUE(table_block(report, "5.1").empty());
    EXPECT_FALSE(table_block(report, "5.2").empty());
    // Six columns per tick are enough: the plot is written with labels apart.
    SummaryRun six(sixty_persons("USCALE=5\nTFILE=*\n4 - - 6\n*\n"));
    const std::vector<std::string> plot = table_block(six.report(), "4.1");
    ASSERT_FALSE(plot.empty());
    EXPECT_FALSE(six.shows("COULD NOT BE FORMATTED"));
}

namespace {

// 2,800 persons on twelve items, drawn from the model with a fixed sequence; every seventh
// person answers a third of the items at random, so that the misfit list is long.
std::string crowded_persons(const std::string& settings) {
    std::string s = "TITLE=Crowded\nNI=12\nITEM1=1\nNAME1=14\nNAMLEN=5\nCODES=01\nPFILE=p.txt\n" + settings + "&END\n";
    for (int i = 1; i <= 12; ++i) s += "I" + std::to_string(i) + "\n";
    s += "END LABELS\n";
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    auto uniform = [&] {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (int p = 1; p <= 2800; ++p) {
        const double ability = -3.0 + 6.0 * uniform();
        for (int i = 1; i <= 12; ++i) {
            const double pass = 1.0 / (1.0 + std::exp(-(ability - (-2.2 + 0.4 * i))));
            const bool random = p % 7 == 0 && i % 3 == 0;
            s += uniform() < (random ? 0.5 : pass) ? '1' : '0';
        }
        s += " P" + std::to_string(10000 + p) + "\n";
    }
    return s;
}

// The place of each letter in the order the plot places them: "A".."Z" from the top of the list,
// then "z".."a" from its end.
int letter_rank(char c) { return std::isupper(static_cast<unsigned char>(c)) ? c - 'A' : 26 + ('z' - c); }

// A plot of a Table read back: its cells, and the maps from values to cells that its labels give.
struct ReadPlot {
    std::vector<std::string> cells;  // top row first; cell c of a row at index c
    double x0 = 0, columns_per_unit = 1, y_low = 0, rows_per_unit = 1;
    int rows = 0;
    int column(double x) const { return static_cast<int>(std::lround((x - x0) * columns_per_unit)); }
    int row(double y) const { return static_cast<int>(std::lround((y - y_low) * rows_per_unit)); }
    char at(int c, int r) const {
        const std::string& l = cells[static_cast<std::size_t>(rows - r)];
        return c >= 0 && static_cast<std::size_t>(c) < l.size() ? l[static_cast<std::size_t>(c)] : ' ';
    }
};

// Numbers of a label line with the index of their last character.
std::vector<std::pair<double, std::size_t>> labels_of(const std::string& line) {
    std::vector<std::pair<double, std::size_t>> out;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ') { ++i; continue; }
        std::size_t end = line.find(' ', i);
        if (end == std::string::npos) end = line.size();
        out.emplace_back(std::stod(line.substr(i, end - i)), end - 1);
        i = end;
    }
    return out;
}

ReadPlot read_plot(const std::vector<std::string>& t) {
    ReadPlot p;
    std::size_t top = 0;
    while (top < t.size() && !(t[top].size() > 8 && t[top].compare(6, 2, "++") == 0)) ++top;
    const auto x = labels_of(t.at(top - 1));
    p.x0 = x.at(0).first;
    p.columns_per_unit = static_cast<double>(x.at(1).second - x.at(0).second) / (x.at(1).first - x.at(0).first);
    std::vector<std::pair<double, int>> labelled;  // (value, line number below the border)
    std::size_t right = t[top].rfind('+');
    for (std::size_t k = top + 1; k < t.size() && t[k].compare(6, 2, "++") != 0; ++k) {
        p.cells.push_back(t[k].substr(7, right - 7));
        const std::string left = t[k].substr(1, 4);
        if (left.find_first_not_of(' ') != std::string::npos)
            labelled.emplace_back(std::stod(left), static_cast<int>(p.cells.size()) - 1);
    }
    p.rows = static_cast<int>(p.cells.size()) - 1;
    const auto& [v1, l1] = labelled.at(0);
    const auto& [v2, l2] = labelled.back();
    p.rows_per_unit = static_cast<double>(l1 - l2) / (v2 - v1);
    p.y_low = v2 - (p.rows - l2) / p.rows_per_unit;
    return p;
}

}  // namespace

TEST(FitPlots, CrowdedPlotsKeepTheLettersOfTheMisfitList) {
    SummaryRun run(crowded_persons("UDECIM=4\nTFILE=*\n6\n4\n5\n*\n"));
    ASSERT_EQ(run.exit_status, 0) << run.host.screen();
    const std::string report = run.report();
    std::map<int, MeasureRecord> persons;
    for (const MeasureRecord& r : run.persons()) persons[r.entry] = r;
    // The letters of Table 6.1 and their persons.
    std::vector<std::pair<char, int>> listed;
    for (const std::string& l : table_block(report, "6.1"))
        if (l.size() > 60 && l[0] == '|' && std::isdigit(static_cast<unsigned char>(l[6])) &&
            std::isalpha(static_cast<unsigned char>(l[60])))
            listed.emplace_back(l[60], std::stoi(l.substr(1, 6)));
    ASSERT_EQ(listed.size(), 52u);
    struct Plot {
        const char* id;
        double (*x)(const MeasureRecord&);
        double (*y)(const MeasureRecord&);
    };
    // Mean-squares on the fit axes: infit (field 0) up, outfit (field 2) across in 5.2.
    const Plot plots[] = {{"4.1", [](const MeasureRecord& r) { return r.measure; }, [](const MeasureRecord& r) { return r.fit[0]; }},
                          {"5.2", [](const MeasureRecord& r) { return r.fit[2]; }, [](const MeasureRecord& r) { return r.fit[0]; }}};
    for (const Plot& plot : plots) {
        SCOPED_TRACE(plot.id);
        const ReadPlot p = read_plot(table_block(report, plot.id));
        int shown = 0;
        for (const auto& [letter, entry] : listed) {
            bool found = false;
            for (const std::string& row : p.cells) found = found || row.find(letter) != std::string::npos;
            shown += found;
            if (found) continue;
            // Not shown: every cell around its place holds a letter placed before it.
            const MeasureRecord& r = persons.at(entry);
            const int c = std::clamp(p.column(plot.x(r)), 0, static_cast<int>(p.cells[0].size()) - 1);
            const int w = std::clamp(p.row(plot.y(r)), 0, p.rows);
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    const char near = p.at(std::clamp(c + dc, 0, static_cast<int>(p.cells[0].size()) - 1),
                                           std::clamp(w + dr, 0, p.rows));
                    EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(near)) && letter_rank(near) < letter_rank(letter))
                        << letter << " at " << c << "," << w << " beside " << near << " x " << plot.x(r) << " y " << plot.y(r);
                }
        }
        EXPECT_GE(shown, 26) << "most letters find a place";
    }
}

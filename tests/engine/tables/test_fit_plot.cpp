// The fit plots of whole runs: Tables 4, 5, 8 and 9 of the dichotomous and the rating-scale set
// byte for byte; every measured entry of PFILE= or IFILE= plotted once, where its measure and
// fit put it; Table 4 after Table 6 (which leaves entries out of its list) as Table 4 alone.
// Then the range and height rules and the merging of line characters.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

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
    cell = '\xC4';
    merge_plot_line_character(cell, '\xB3');
    EXPECT_EQ(cell, '\xC5');
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

// The variable maps under their options and at their edges: entries per symbol and the key
// lines, a negative USCALE=, the page length and a request for fewer rows than one per map,
// extreme items in the threshold maps, and a threshold map too wide for the report line.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/report/report_context.h"
#include "engine/tables/variable_map.h"
#include "tests/engine/tables/map_reading.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// How often the label letter stands in the cells of the lines first..last (from column 17).
int cells_with(const std::vector<std::string>& block, std::size_t first, std::size_t last,
               char label) {
    int n = 0;
    for (std::size_t k = first; k <= last && k < block.size(); ++k)
        if (block[k].size() > 16)
            n += static_cast<int>(std::count(block[k].begin() + 16, block[k].end(), label));
    return n;
}

// Five items scored 0-3: E never above 0 (extreme maximum measure), F always 3 (extreme
// minimum); the others measured.
std::string extreme_items(const std::string& settings) {
    return "TITLE=Extreme items\nNI=6\nITEM1=1\nNAME1=8\nNAMLEN=3\nCODES=0123\n" + settings +
           "&END\nA\nB\nC\nD\nE\nF\nEND LABELS\n"
           "321103 R01\n231203 R02\n210103 R03\n322303 R04\n312003 R05\n332203 R06\n"
           "120103 R07\n223103 R08\n";
}

}  // namespace

TEST(VariableMapOptions, SeveralEntriesPerSymbolAndTheKeyLines) {
    SummaryRun analysis(dichotomous_set("T1P=3\nTFILE=*\n1.1\n1.2\n*\n"));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::string report = analysis.report();
    const std::vector<std::string> map = table_block(report, "1.1");
    EXPECT_NE(line_with(map, "EACH '#' IN THE PERSON COLUMN IS   3 PERSONS; EACH '.' IS 1 TO   2"),
              map.size());
    // Six persons at .57 make "##", three at 1.41 "#", and one alone a ".".
    int hashes = 0, dots = 0;
    for (const std::string& row : symbol_map_rows(map)) {
        const std::string panel = row.substr(10, 29);
        hashes += static_cast<int>(std::count(panel.begin(), panel.end(), '#'));
        dots += static_cast<int>(std::count(panel.begin(), panel.end(), '.'));
        EXPECT_EQ(panel.find_first_not_of(" "), panel.find_first_of("#.")) << row;
    }
    EXPECT_EQ(hashes, 3);
    EXPECT_EQ(dots, 3);  // P03, P10 and P11 each alone on their rows
    const std::vector<std::string> items = table_block(report, "1.2");
    EXPECT_EQ(last_line(items), " EACH '#' IS 3.");
    EXPECT_NE(line_with(items, "     ##  |M"), items.size());
}

TEST(VariableMapOptions, NegativeScaleSwapsTheEndsAndKeepsExtremesAtTheirStatusRows) {
    SummaryRun analysis(dichotomous_set("USCALE=-1\nTFILE=*\n1.1\n1.2\n*\n"));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::string report = analysis.report();
    const std::vector<std::string> map = table_block(report, "1.1");
    const std::size_t top = line_with(map, "PERSONS -+- ITEMS");
    ASSERT_LT(top, map.size());
    EXPECT_EQ(map[top].substr(0, 8), "  <less>");
    EXPECT_EQ(map[top].substr(69), "<frequent>");
    const std::vector<std::string> rows = symbol_map_rows(map);
    const std::string& bottom = map[top + rows.size() + 1];
    EXPECT_EQ(bottom.substr(0, 8), "  <more>");
    EXPECT_EQ(bottom.substr(69), "--- <rare>");
    // Honey, answered by all, now has the highest measure and status 0: the top row.
    int honey = 0;
    for (const MeasureRecord& r : analysis.items())
        if (r.label == "Honey") honey = r.status;
    EXPECT_EQ(honey, 0);
    EXPECT_EQ(rows.front().substr(43, 1), "X") << rows.front();
    const std::vector<std::string> labelled = table_block(report, "1.2");
    const std::size_t end = line_with(labelled, "<less>|<frequ>");
    ASSERT_LT(end + 1, labelled.size());
    EXPECT_NE(labelled[end + 1].find("Honey"), std::string::npos) << labelled[end + 1];
    EXPECT_EQ(last_line(labelled), "         <more>|<rare>");
}

TEST(VariableMapOptions, PageLengthAndRequestedRowsBoundTheRows) {
    SummaryRun paged(dichotomous_set("MAXPAGE=60\nTFILE=*\n1.1\n*\n"));
    ASSERT_EQ(paged.exit_status, 0) << paged.host.screen();
    EXPECT_EQ(symbol_map_rows(table_block(paged.report(), "1.1")).size(), 41u);  // 10 x 4 rows + 1
    // Range -1..1 at .1 rows per unit would be no row at all: the map keeps a top and a bottom.
    SummaryRun squeezed(dichotomous_set("TFILE=*\n1.1 -1 1 .1\n*\n"));
    const std::vector<std::string> rows = symbol_map_rows(table_block(squeezed.report(), "1.1"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].substr(0, 5), "    1");
    EXPECT_EQ(rows[1].substr(0, 5), "   -1");
}

TEST(VariableMapOptions, ExtremeItemsStandAtTheTopAndBottomOfTheThresholdMaps) {
    for (const char* scale : {"USCALE=1\n", "USCALE=-1\n"}) {
        SummaryRun analysis(extreme_items(std::string(scale) + "TFILE=*\n12\n*\n"));
        ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
        char highest = ' ', lowest = ' ';
        for (const MeasureRecord& r : analysis.items()) {
            if (r.status == 0) highest = r.label[0];
            if (r.status == -1) lowest = r.label[0];
        }
        ASSERT_NE(highest, ' ');
        ASSERT_NE(lowest, ' ');
        for (const char* id : {"12.5", "12.6"}) {
            const std::vector<std::string> map = table_block(analysis.report(), id);
            const std::size_t header = line_with(map, ">|");
            ASSERT_LT(header + 1, map.size()) << id;
            // The extreme maximum fills its three columns on the first row: its line and the
            // continuation lines after it.
            const auto row_line = [&](std::size_t k) {
                return map[k].size() > 15 && (map[k][15] == '|' || map[k][15] == '+');
            };
            std::size_t next_row = header + 2;
            while (next_row < map.size() && !row_line(next_row)) ++next_row;
            const std::string& first = map[header + 1];
            EXPECT_EQ(cells_with(map, header + 1, next_row - 1, highest), 3) << scale << id << first;
            for (const char* value : {".1", ".2", ".3"})
                EXPECT_NE(first.find(value), std::string::npos) << scale << id << ": " << first;
            // The extreme minimum stands on the last row line with cells and the continuation
            // lines after it, and nowhere above.
            std::size_t end = header + 1;
            while (end < map.size() && map[end].find(">|<") == std::string::npos) ++end;
            ASSERT_LT(end, map.size()) << id;
            std::size_t last_row = header + 1;
            for (std::size_t k = header + 1; k < end; ++k)
                if (row_line(k) && map[k].find('.', 16) != std::string::npos)
                    last_row = k;
            EXPECT_EQ(cells_with(map, last_row, end - 1, lowest), 3) << scale << id << map[last_row];
            EXPECT_EQ(cells_with(map, header + 1, last_row - 1, lowest), 0) << scale << id;
        }
    }
}

// A rating scale of 171 categories needs more threshold columns than the report line holds.
TEST(VariableMapOptions, ThresholdMapTooWideForTheLineIsLeftOutWithAMessage) {
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    run.rs.report_closed = true;
    run.cv.page_control_char = '^';
    run.cv.line_width = 80;
    run.cv.uscale = 1.0f;
    run.cv.item_plural = "ITEMS";
    run.cv.person_plural = "PERSONS";
    AnalysisArrays& a = run.arrays;
    constexpr int kTop = 170;
    a.items = 1, a.persons = 1, a.groups = 1, a.slots = kTop + 1;
    a.item_status = {0, 1}, a.person_status = {0, 1};
    a.item_measure = {0, 0.0f}, a.person_measure = {0, 1.0f};
    a.item_group = {0, 1}, a.group_first_slot = {0, 1}, a.group_top_category = {0, kTop};
    a.category_value.assign(kTop + 2, 0);
    for (int v = 0; v <= kTop; ++v) a.category_value[static_cast<std::size_t>(v + 1)] = v;
    a.category_half_point_measure.assign(kTop + 2, 0.0f);
    a.category_thurstone_threshold.assign(kTop + 2, 0.0f);
    run.rep.request.table = 12;
    run.rep.request.letters[0] = 'Y';
    run.rep.request.selectors[0] = 5.0f;
    ReportContext ctx(run);
    write_variable_map(ctx, a.category_half_point_measure);
    EXPECT_TRUE(host.shows("TABLE 12.5 COULD NOT BE FORMATTED TO YOUR SPECIFICATIONS")) << host.screen();
    EXPECT_TRUE(host.line_file.empty());
}

// With a line of 30 characters the fullest item row (Dates and Grape) is narrowed to one line in
// Table 1 and spills into a continuation line in Table 12.
TEST(VariableMapOptions, ShortLinesNarrowTheLabelsOfTable1AndContinueThoseOfTable12) {
    SummaryRun analysis(dichotomous_set("LINELENGTH=30\nTFILE=*\n1.2\n12.2\n*\n"));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::vector<std::string> one = table_block(analysis.report(), "1.2");
    EXPECT_NE(line_with(one, "  |  Date  Grap"), one.size());
    const std::vector<std::string> twelve = table_block(analysis.report(), "12.2");
    const std::size_t dates = line_with(twelve, "  |  Dates");
    ASSERT_LT(dates + 1, twelve.size());
    EXPECT_EQ(twelve[dates + 1], std::string(18, ' ') + "Grape");  // from column W + 13
    // Sub-table 12.2 asked alone draws no reflected map.
    EXPECT_TRUE(table_block(analysis.report(), "12.12").empty());
}

// Labels of 12 characters on both sides: six persons and two items on the fullest rows need
// 82 + 26 columns. The gaps go to 1 first, then the widths shrink by turns until the person
// side (7 + 1) x 6 - 1 = 47 and the item side (10 + 1) x 2 - 1 = 21 fit 69 columns.
TEST(VariableMapOptions, CombinedMapNarrowsGapsThenLabelWidths) {
    SummaryRun analysis(dichotomous_set("NAMLM=12\nTABLES=1\n"));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::vector<std::string> map = table_block(analysis.report(), "1.0");
    const std::size_t persons = line_with(map, "P01");
    ASSERT_LT(persons, map.size());
    EXPECT_EQ(map[persons], std::string(6, ' ') + "P01     P02     P04     P05     P06     P12      |M");
    const std::size_t items = line_with(map, "Dates");
    ASSERT_LT(items, map.size());
    EXPECT_EQ(map[items], std::string(55, ' ') + "|  Dates      Grape");
    EXPECT_EQ(map[line_with(map, "-MAP-")], std::string(45, ' ') + "PERSONS -MAP- ITEMS");
}

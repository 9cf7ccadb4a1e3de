// The entry statistics tables of whole runs. A small dichotomous set with a deleted, an anchored
// and an extreme item and missing responses gives Tables 6.1, 10.1, 13.1, 14.1, 15.1, 25.1 and
// 26.1 byte for byte; every row is checked again against the run's PFILE= and IFILE=, and each
// order against the values it sorts by. A longer person list shows the misfit omission, the
// letters of short lists, the page breaks and the rows copied to the summary on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "engine/report/report_context.h"
#include "engine/tables/entry_statistics.h"
#include "engine/tables/fit_graph.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// Seventy persons on ten items, responses by ability against difficulty with a little noise.
std::string many_persons(const std::string& settings) {
    std::string s = "TITLE=Many persons\nNI=10\nITEM1=1\nNAME1=12\nNAMLEN=4\nCODES=01\n" +
                    settings + "&END\nI1\nI2\nI3\nI4\nI5\nI6\nI7\nI8\nI9\nI10\nEND LABELS\n";
    unsigned state = 12345;
    for (int p = 1; p <= 70; ++p) {
        const double ability = -2.0 + 4.0 * (p % 23) / 22.0;
        for (int i = 1; i <= 10; ++i) {
            state = state * 1103515245u + 12345u;
            const double noise = static_cast<double>((state >> 16) % 1000) / 1000.0 * 2.4 - 1.2;
            s += ability + noise > -2.25 + 0.5 * i ? '1' : '0';
        }
        s += "  P" + std::to_string(100 + p) + "\n";
    }
    return s;
}

std::vector<std::string> without_heading_line(std::vector<std::string> block) {
    if (!block.empty()) block.erase(block.begin());
    return block;
}

bool is_row(const std::string& line) {
    return line.size() > 8 && line[0] == '|' && std::isdigit(static_cast<unsigned char>(line[6]));
}

// The entry numbers of the rows, in their order.
std::vector<int> row_entries(const std::vector<std::string>& block) {
    std::vector<int> entries;
    for (const std::string& l : block)
        if (is_row(l)) entries.push_back(std::stoi(l.substr(1, 6)));
    return entries;
}

std::map<int, MeasureRecord> by_entry(const std::vector<MeasureRecord>& records) {
    std::map<int, MeasureRecord> m;
    for (const MeasureRecord& r : records) m[r.entry] = r;
    return m;
}

double field(const std::string& line, std::size_t first, std::size_t last) {
    return std::stod(columns(line, first, last));
}

// Every measured or extreme row against the record of its entry in the measure file.
void expect_rows_match(const std::vector<std::string>& block, const std::vector<MeasureRecord>& file) {
    const std::map<int, MeasureRecord> records = by_entry(file);
    int checked = 0;
    for (const std::string& l : block) {
        if (!is_row(l)) continue;
        const MeasureRecord& r = records.at(std::stoi(l.substr(1, 6)));
        if (r.status < -1) continue;
        EXPECT_NEAR(field(l, 8, 14), r.score, 0.5) << l;
        EXPECT_NEAR(field(l, 15, 21), r.count, 0.5) << l;
        EXPECT_NEAR(field(l, 22, 29), r.measure, 0.0051) << l;
        EXPECT_NEAR(field(l, 31, 37), r.error, 0.0051) << l;
        EXPECT_EQ(l[29] == 'A', r.status >= 2) << l;
        ++checked;
        if (r.status < 1) continue;
        const std::size_t cells[4][2] = {{39, 42}, {43, 48}, {50, 53}, {54, 59}};
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(field(l, cells[k][0], cells[k][1]), r.fit[static_cast<std::size_t>(k)],
                        k % 2 ? 0.051 : 0.0051)
                << l;
        std::string correlation = l.substr(60, 5);
        if (std::isalpha(static_cast<unsigned char>(correlation[0]))) correlation[0] = ' ';
        EXPECT_NEAR(std::stod(correlation), r.fit[5], 0.0051) << l;
    }
    EXPECT_GT(checked, 0);
}

// Values of the measure file in the order of the rows.
std::vector<double> in_row_order(const std::vector<std::string>& block,
                                 const std::vector<MeasureRecord>& file,
                                 double (*value)(const MeasureRecord&)) {
    const std::map<int, MeasureRecord> records = by_entry(file);
    std::vector<double> v;
    for (int e : row_entries(block)) v.push_back(value(records.at(e)));
    return v;
}

// The table of one side written now, after the run, from the side's list as it stands.
std::vector<std::string> write_after_run(SummaryRun& analysis, ReportSide side, int table,
                                         const char* key) {
    korvelan::Run& run = analysis.run;
    analysis.host.line_file.clear();
    run.rep.request = TableRequest{};
    run.rep.request.table = table;
    run.rep.sub_table_counter = 0;
    run.rep.page_line_counter = -1;
    ReportContext ctx(run);
    ctx.side = side;
    ctx.fit_key = key;
    write_entry_statistics_table(ctx);
    return analysis.host.line_file;
}

constexpr const char* kAllItemTables = "TABLES=00000100010011100000000011\n";

}  // namespace

TEST(EntryStatisticsTables, DichotomousRunTablesAndTheirMeasureFiles) {
    SummaryRun analysis(dichotomous_set(kAllItemTables));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::string report = analysis.report();
    const std::vector<MeasureRecord> persons = analysis.persons(), items = analysis.items();
    const std::map<std::string, std::string> sub_headings = {
        {"6.1", "         PERSON STATISTICS:  MISFIT ORDER"},
        {"10.1", "         ITEMS STATISTICS:  MISFIT ORDER"},
        {"13.1", "         ITEMS STATISTICS:  MEASURE ORDER"},
        {"14.1", "         ITEMS STATISTICS:  ENTRY ORDER"},
        {"15.1", "         ITEMS STATISTICS:  ALPHA ORDER ON COLUMN: 1."},
        {"25.1", "         ITEMS STATISTICS:  DISPLACEMENT ORDER"},
        {"26.1", "         ITEMS STATISTICS:  CORRELATION ORDER"}};
    std::map<std::string, std::vector<std::string>> t;
    for (const auto& [id, sub_heading] : sub_headings) {
        t[id] = table_block(report, id);
        ASSERT_GT(t[id].size(), 14u) << id;
        expect_golden("tables/entry_statistics_" + id + ".txt",
                      crlf_text(without_heading_line(t[id])));
        EXPECT_EQ(t[id][5], sub_heading);
        expect_rows_match(t[id], id == "6.1" ? persons : items);
    }

    // The column headings and one row of Table 14, column by column.
    const std::vector<std::string>& entry = t["14.1"];
    EXPECT_EQ(entry[8].substr(0, 38), "|ENTRY    RAW                        |");
    EXPECT_EQ(entry[8].substr(37, 29), "|   INFIT  |  OUTFIT  |SCORE|");
    EXPECT_EQ(entry[9], "|NUMBER  SCORE  COUNT  MEASURE  ERROR|MNSQ  ZSTD|MNSQ  ZSTD|CORR.|DISPLACE| ITEMS|");
    EXPECT_EQ(entry[10], "|------------------------------------+----------+----------+-----+--------+------|");
    // Cider deleted, Eggs anchored, Honey at the extreme: only Table 14 lists all three.
    EXPECT_EQ(entry[13], "|     3     DELETED                  |          |          |     |        | Cider|");
    EXPECT_EQ(entry[15].substr(29, 1), "A");
    EXPECT_EQ(entry[18].substr(37), "| MINIMUM ESTIMATED MEASURE |    -.06| Honey|");
    EXPECT_EQ(row_entries(entry), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    const std::vector<int> measured = row_entries(t["13.1"]);
    EXPECT_EQ(std::count(measured.begin(), measured.end(), 3), 0) << "deleted";
    EXPECT_EQ(std::count(measured.begin(), measured.end(), 8), 1) << "extreme";
    const std::vector<int> misfit = row_entries(t["10.1"]);
    EXPECT_EQ(misfit.size(), 6u);
    EXPECT_EQ(std::count(misfit.begin(), misfit.end(), 8), 0) << "no fit of an extreme item";

    // Each order against the values of the measure file it sorts by.
    auto descending = [](std::vector<double> v) { return std::is_sorted(v.rbegin(), v.rend()); };
    EXPECT_TRUE(descending(in_row_order(t["13.1"], items, [](const MeasureRecord& r) { return r.measure; })));
    EXPECT_TRUE(descending(in_row_order(t["25.1"], items, [](const MeasureRecord& r) { return r.fit[4]; })));
    const std::vector<double> correlations =
        in_row_order(t["26.1"], items, [](const MeasureRecord& r) { return r.fit[5]; });
    EXPECT_TRUE(std::is_sorted(correlations.begin(), correlations.end()));
    for (const char* id : {"6.1", "10.1"})
        EXPECT_TRUE(descending(in_row_order(t[id], id[0] == '6' ? persons : items,
                                            [](const MeasureRecord& r) { return std::max(r.fit[0], r.fit[2]); })))
            << id;
    std::vector<std::string> labels;
    for (int e : row_entries(t["15.1"])) labels.push_back(by_entry(items).at(e).label);
    EXPECT_TRUE(std::is_sorted(labels.begin(), labels.end()));

    // Some displacements print (-.01): every item Table has the column.
    EXPECT_EQ(t["25.1"][9].substr(59), "|CORR.|DISPLACE| ITEMS|");
    EXPECT_EQ(t["13.1"][9].substr(59), "|CORR.|DISPLACE| ITEMS|");
}

TEST(EntryStatisticsTables, MisfitTablesAfterEachOtherAndTheirSummaryRows) {
    SummaryRun both(dichotomous_set("TFILE=*\n6\n10\n*\n"));
    SummaryRun alone(dichotomous_set("TFILE=*\n10\n*\n"));
    ASSERT_EQ(both.exit_status, 0) << both.host.screen();
    ASSERT_EQ(alone.exit_status, 0) << alone.host.screen();
    const std::vector<std::string> after = table_block(both.report(), "10.1");
    ASSERT_GT(after.size(), 10u);
    EXPECT_EQ(without_heading_line(after), without_heading_line(table_block(alone.report(), "10.1")));

    // The heading and first four rows of each misfit Table, as the summary on screen shows them.
    const std::string screen = both.host.screen();
    const std::vector<std::string> persons = table_block(both.report(), "6.1");
    for (const std::vector<std::string>* t : {&persons, &after}) {
        const std::string word = t == &persons ? " PERSON" : " ITEMS|";
        EXPECT_NE(screen.find("|NUMBER  SCORE  COUNT  MEASURE  ERROR|IMNSQ ZSTD|OMNSQ ZSTD|SCORE|" +
                              word),
                  std::string::npos);
        const std::size_t first = 11;
        for (std::size_t k = first; k < first + 4; ++k)
            EXPECT_NE(screen.find((*t)[k].substr(0, 66)), std::string::npos) << (*t)[k];
        EXPECT_EQ(screen.find((*t)[first + 4].substr(0, 66)), std::string::npos) << "fifth row";
    }
}

// Seventy persons: the omission of the well-fitting middle, short lists, repeated calls and
// page breaks.
struct LongPersonList : ::testing::Test {
    SummaryRun analysis{many_persons("TFILE=*\n6\n*\n")};
    void SetUp() override { ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen(); }

    std::vector<std::string> write_now() {
        return write_after_run(analysis, ReportSide::Persons, 6, "MISFIT");
    }
};

TEST_F(LongPersonList, TheWellFittingMiddleIsLeftOut) {
    const std::vector<std::string> t = table_block(analysis.report(), "6.1");
    const std::vector<int> rows = row_entries(t);
    const EntryOrder& order = analysis.run.rep.person_order;
    const int n = order.count;
    ASSERT_GT(n, 52);
    ASSERT_LT(static_cast<int>(rows.size()), n);
    // The first 26 and last 26 positions are always printed; the entries left out are negative.
    int printed = 0;
    for (int p = 1; p <= n; ++p) {
        const int e = order.entries[static_cast<std::size_t>(p - 1)];
        if (p < 27 || n - p < 26) {
            EXPECT_GT(e, 0) << p;
        }
        if (e > 0) {
            EXPECT_EQ(rows[static_cast<std::size_t>(printed++)], e);
        }
    }
    EXPECT_EQ(printed, static_cast<int>(rows.size()));
    std::size_t omitted = 0;
    for (const std::string& l : t)
        if (l.find("BETTER FITTING OMITTED") != std::string::npos) ++omitted;
    ASSERT_EQ(omitted, 1u);
    const std::string line = *std::find_if(t.begin(), t.end(), [](const std::string& l) {
        return l.find("BETTER FITTING OMITTED") != std::string::npos;
    });
    EXPECT_EQ(line.substr(0, 32), "|       BETTER FITTING OMITTED  ");
    EXPECT_EQ(line.substr(37, 29), "+----------+----------+-----|");
    // A second call on the same list skips the negative entries and counts them as omitted.
    const std::vector<std::string> again = write_now();
    EXPECT_EQ(row_entries(again), rows);
}

TEST_F(LongPersonList, ThirtyEntriesAreLetteredFromBothEnds) {
    // The thirty worst-fitting persons, in their fit order.
    EntryOrder& order = analysis.run.rep.person_order;
    order.entries.resize(30);
    order.count = 30;
    for (std::int32_t& e : order.entries) e = std::abs(e);
    std::string letters;
    for (const std::string& l : write_now())
        if (is_row(l)) letters += l[60];
    EXPECT_EQ(letters, "ABCDEFGHIJKLMNOonmlkjihgfedcba");
}

TEST_F(LongPersonList, PageBreaksRepeatTheHeadings) {
    analysis.run.cv.page_length = 40;
    const std::vector<std::string> t = write_now();
    std::size_t breaks = 0;
    for (std::size_t k = 0; k + 7 < t.size(); ++k) {
        if (t[k].rfind("\f**CONTINUED FROM PREVIOUS SHEET**", 0) != 0) continue;
        ++breaks;
        EXPECT_EQ(t[k], "\f**CONTINUED FROM PREVIOUS SHEET**   PAGE " + std::to_string(breaks + 1));
        EXPECT_EQ(t[k + 1], " ");
        EXPECT_EQ(t[k + 2], "         PERSON STATISTICS:  MISFIT ORDER");
        EXPECT_EQ(t[k + 3], " ");
        for (int j = 4; j < 8; ++j) EXPECT_EQ(t[k + j], t[static_cast<std::size_t>(j + 3)]) << j;
        EXPECT_TRUE(is_row(t[k + 8]) || t[k + 8].find("OMITTED") != std::string::npos);
    }
    EXPECT_GE(breaks, 1u);
    analysis.run.cv.page_length = 0;
    for (const std::string& l : write_now()) EXPECT_EQ(l.find("CONTINUED"), std::string::npos);
}

// The options and switches of the layout, on the items of the dichotomous run written after it.
struct ItemTableOptions : ::testing::Test {
    SummaryRun analysis{dichotomous_set("")};
    void SetUp() override { ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen(); }

    std::vector<std::string> write_now(const char* key) {
        EntryOrder& order = analysis.run.rep.item_order;
        order.entries = {1, 2, 4, 5, 6, 7};
        order.count = 6;
        return write_after_run(analysis, ReportSide::Items, 10, key);
    }
};

TEST_F(ItemTableOptions, CorrelationOfMinusOneShowsNoLetterAndOverflowKeepsColumns) {
    AnalysisArrays& a = analysis.run.arrays;
    a.item_point_biserial[2] = -1.0f;
    a.item_measure[4] = 1234.5f;
    analysis.run.cv.user_decimals_format = "(F8.4)";
    const std::vector<std::string> t = write_now("MISFIT");
    EXPECT_EQ(t[12].substr(0, 7) + t[12].substr(59, 7), "|     2|-1.00|");
    EXPECT_EQ(t[13].substr(0, 7) + t[13].substr(21, 8) + t[13].substr(37, 1), "|     4 1234.50|");
    EXPECT_EQ(t[13].size(), t[11].size());
    EXPECT_EQ(t[11].substr(59, 2), "|A");
    EXPECT_EQ(t[5], "         ITEMS STATISTICS:  MISFIT ORDER");
}

TEST_F(ItemTableOptions, RealErrorsWeightsGroupsAndModels) {
    korvelan::Run& run = analysis.run;
    AnalysisArrays& a = run.arrays;
    run.cv.rea_flag = 'Y';
    run.input.item_weights_present = run.input.person_weights_present = true;
    a.item_weights.assign(9, 1.5f);
    a.person_weights.assign(13, 1.0f);
    a.person_weights[3] = 0.5f;  // one fraction: scores and counts with a decimal
    // Two groups, the second of the partial-credit kind, in two-column GROUPS= slots.
    a.groups = 2;
    a.group_model = {'R', 'R', 'S'};
    a.item_group.assign(9, 1);
    a.item_group[2] = 2;
    run.cv.groups_mode = 1;
    run.cv.xwide = 2;
    a.strings.groups = "1  2 1 1  1 1 1 1";
    // Label area: ITLEN= + 1, one more for the letters, then "M" and "G" two apart.
    const std::vector<std::string> t = write_now("ENTRY");
    EXPECT_EQ(t[8].substr(59), "|SCORE|     |        |           |");
    EXPECT_EQ(t[9], "|NUMBER  SCORE  COUNT  MEASURE REALSE|MNSQ  ZSTD|MNSQ  ZSTD|CORR.|WEIGH|DISPLACE|"
                    " ITEMS M G |");
    const double error = a.item_standard_error[1] * std::sqrt(std::max(1.0f, a.item_infit_mnsq[1]));
    EXPECT_NEAR(field(t[11], 31, 37), error, 0.0051);
    EXPECT_EQ(t[11].substr(7, 14), fmt_f(a.item_raw_score[1], 7, 1) + fmt_f(a.item_count[1], 7, 1));
    EXPECT_EQ(t[11].substr(65), "| 1.50|    -.01| Apple   1 |");
    EXPECT_EQ(t[12].substr(65), "| 1.50|    -.01| Bread S 2 |");
    EXPECT_EQ(t.back().size(), t[9].size());
}

TEST(FitGraph, MarksLettersStripsAndTheListOfTheRequest) {
    SummaryRun analysis(dichotomous_set("CHART=Y\nTFILE=*\n6\n10.2 0.5 1.5\n14.2\n14\n*\n"));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::string report = analysis.report();
    for (const char* id : {"6.2", "10.2", "14.2"})
        expect_golden(std::string("tables/fit_graph_") + id + ".txt",
                      crlf_text(without_heading_line(table_block(report, id))));
    const std::vector<std::string> persons = table_block(report, "6.2");
    ASSERT_GT(persons.size(), 10u);
    EXPECT_EQ(persons[8], "|NUMBER| -     + |0     0.7 1 1.3     2|0     0.7 1 1.3     2| PERSON|");
    const std::vector<std::string> items = table_block(report, "10.2");
    ASSERT_GT(items.size(), 10u);
    EXPECT_EQ(items[4], "         ITEMS FIT GRAPH:  MISFIT ORDER");
    EXPECT_EQ(items[8].substr(17, 23), "|0   0.5   1   1.5   2|");
    EXPECT_EQ(items[10].substr(39, 6), "|A    ") << "the letter where the strip is blank";
    // Requested alone, Table 14.2 walks a list no sub-table has marked: the deleted item shows.
    const std::vector<std::string> entry = table_block(report, "14.2");
    ASSERT_GT(entry.size(), 12u);
    EXPECT_EQ(entry[12].substr(0, 18), "|     3|DELETED  |");
    EXPECT_EQ(entry[17].substr(0, 17), "|     8|E        ") << "an extreme item";
    EXPECT_EQ(entry[17].substr(17, 45), "|       :  .  :       |       :  .  :       |");
    EXPECT_EQ(entry[14].substr(7, 10), "|      A  ") << "the anchored item";
    // In Table 14 the statistics show the deleted item and make it negative: the fit graph
    // after them leaves it out, with no "OMIT" line in an entry order.
    EXPECT_NE(table_block(report, "14.1")[13].find("DELETED"), std::string::npos);
    const std::vector<std::string> after = table_block(report, "14.2", 2);
    EXPECT_EQ(row_entries(after), (std::vector<int>{1, 2, 4, 5, 6, 7, 8}));
    EXPECT_EQ(std::count_if(after.begin(), after.end(),
                            [](const std::string& l) { return l.find("OMIT") != std::string::npos; }),
              0);
}

TEST_F(ItemTableOptions, FitGraphMarksOutsideTheirRangesFallBack) {
    korvelan::Run& run = analysis.run;
    EntryOrder& order = run.rep.item_order;
    order.entries = {1, 2, 4, 5, 6, 7};
    order.count = 6;
    run.rep.request = TableRequest{};
    run.rep.request.letters[1] = run.rep.request.letters[2] = 'Y';
    run.rep.request.selectors[1] = 1.2f;
    run.rep.request.selectors[2] = 0.9f;
    run.rep.page_line_counter = -1;
    analysis.host.line_file.clear();
    ReportContext ctx(run);
    ctx.fit_key = "MEASURE";
    write_fit_graph(ctx);
    const std::vector<std::string>& t = analysis.host.line_file;
    ASSERT_GT(t.size(), 8u);
    EXPECT_EQ(t[8].substr(17, 23), "|0     0.7 1 1.3     2|");
    EXPECT_EQ(t[10].substr(39, 2), "| ") << "no letters outside a misfit order";
    EXPECT_EQ(t.back()[0], '+');
}

TEST(EntryStatisticsTables, DisplacementColumnShowsWhenSomeDisplacementPrints) {
    // Four tasks, the second anchored far from where the data put it: every displacement shows
    // at two decimals, none at none.
    const std::string tiny =
        "TITLE=Tiny\nNI=4\nITEM1=1\nNAME1=6\nNAMLEN=8\nCODES=01\nIAFILE=*\n2 1.5\n*\nTFILE=*\n14\n*\n";
    const std::string data = "&END\nAdd\nSubtract\nMultiply\nDivide\nEND LABELS\n"
                             "1100 Ann\n1000 Bob\n1110 Cid\n0100 Dee\n1010 Eve\n1101 Fay\n0110 Gus\n";
    SummaryRun shown(tiny + data);
    ASSERT_EQ(shown.exit_status, 0) << shown.host.screen();
    const std::vector<std::string> t = table_block(shown.report(), "14.1");
    ASSERT_GT(t.size(), 14u);
    EXPECT_EQ(t[9].substr(59), "|CORR.|DISPLACE| ITEMS   |");
    const std::map<int, MeasureRecord> items = by_entry(shown.items());
    int rows = 0;
    for (const std::string& l : t) {
        if (l.size() < 75 || l[0] != '|' || !std::isdigit(static_cast<unsigned char>(l[6]))) continue;
        EXPECT_NEAR(field(l, 67, 74), items.at(std::stoi(l.substr(1, 6))).fit[4], 0.0051) << l;
        ++rows;
    }
    EXPECT_EQ(rows, 4);

    SummaryRun none(tiny + "UDECIMALS=0\n" + data);
    ASSERT_EQ(none.exit_status, 0) << none.host.screen();
    const std::vector<std::string> n = table_block(none.report(), "14.1");
    ASSERT_GT(n.size(), 9u);
    EXPECT_EQ(n[9].find("DISPLACE"), std::string::npos) << n[9];
}

TEST_F(ItemTableOptions, AnchoredErrorKeepsItsSevenColumnsAfterTheLetter) {
    korvelan::Run& run = analysis.run;
    run.cv.user_decimals_format = "(F8.4)";
    AnalysisArrays& a = run.arrays;
    a.item_standard_error[5] = 909.0765f;  // Eggs, anchored: "A" and 7 columns
    a.item_standard_error[1] = 909.0765f;  // Apple: the 8 columns
    std::vector<std::string> t = write_now("ENTRY");
    auto error_of = [&](int entry) {
        for (const std::string& l : t)
            if (l.size() > 37 && l[0] == '|' && l.substr(1, 6) == fmt_i(entry, 6)) return l.substr(29, 8);
        return std::string("missing");
    };
    // A number that would fill its field after another keeps a blank before it.
    EXPECT_EQ(error_of(1), " 909.076");  // 909.0765f lies below the half
    EXPECT_EQ(error_of(5), "A 909.08");
    a.item_standard_error[5] = 90.0765f;
    t = write_now("ENTRY");
    EXPECT_EQ(error_of(5), "A 90.076");
    a.item_standard_error[5] = 0.25f;
    t = write_now("ENTRY");
    EXPECT_EQ(error_of(5), "A  .2500");
}

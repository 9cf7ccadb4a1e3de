// The category, option and distractor frequencies of whole runs: Tables 10.3 and 14.3 of the
// small dichotomous set and 10.3 of the rating-scale set byte for byte; every row's count and
// average measure again from the work files and the PFILE=, with and without person weights;
// the code orders, the memory shortage, codes and score values outside the scoring, and the
// sub-table selection of the registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "engine/report/report_context.h"
#include "engine/tables/distractor_table.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// One row of the table, by its columns.
struct Row {
    int item = 0;
    bool missing = false;
    std::string code;
    int count = 0;
    std::string average, error, outfit;
    char flag = ' ';
    std::string line;
};

std::vector<Row> rows_of(const std::vector<std::string>& block) {
    std::vector<Row> rows;
    int item = 0;
    for (const std::string& l : block) {
        if (l.size() < 56 || l[0] != '|' || !std::isdigit(static_cast<unsigned char>(l[28]))) continue;
        if (!columns(l, 2, 6).empty()) item = std::stoi(l.substr(1, 5));
        rows.push_back(Row{item, l.substr(9, 7) == "MISSING", columns(l, 10, 16),
                           std::stoi(l.substr(22, 7)), columns(l, 36, 43), columns(l, 45, 49),
                           columns(l, 50, 54), l[43], l});
    }
    return rows;
}

// The lines after the dated heading line, through the bottom rule.
std::vector<std::string> golden_part(std::vector<std::string> block) {
    if (!block.empty()) block.erase(block.begin());
    while (!block.empty() && block.back().rfind("+-", 0) != 0) block.pop_back();
    return block;
}

// What the PFILE= and the code work file say of the persons who gave each code of each item.
struct CodeGivers {
    int count = 0;
    double weight = 0, sum = 0, squares = 0;
};
using Givers = std::map<std::pair<int, int>, CodeGivers>;

Givers givers_of(SummaryRun& analysis, const std::map<int, double>& weights) {
    std::map<int, MeasureRecord> persons;
    for (const MeasureRecord& r : analysis.persons()) persons[r.entry] = r;
    const std::vector<std::vector<int>> codes = analysis.codes();
    Givers g;
    for (std::size_t p = 0; p < codes.size(); ++p) {
        const MeasureRecord& r = persons.at(static_cast<int>(p) + 1);
        const double w = weights.count(r.entry) ? weights.at(r.entry) : 1.0;
        for (std::size_t i = 0; i < codes[p].size(); ++i) {
            CodeGivers& c = g[{static_cast<int>(i) + 1, codes[p][i]}];
            ++c.count;
            if (r.status < -1 || w <= 0) continue;
            c.weight += w;
            c.sum += w * r.measure;
            c.squares += w * r.measure * r.measure;
        }
    }
    return g;
}

// Each code row's count and average measure (and, unweighted, its S.E.) against the persons.
void expect_rows_match_persons(const std::vector<Row>& rows, const Givers& givers, bool weighted) {
    ASSERT_FALSE(rows.empty());
    for (const Row& r : rows) {
        if (r.missing) continue;
        const int code = r.code == "0" ? 1 : 2;  // CODES=01
        const CodeGivers& c = givers.at({r.item, code});
        EXPECT_EQ(r.count, c.count) << r.line;
        const double mean = c.sum / c.weight;
        EXPECT_NEAR(std::stod(r.average), mean, 0.0101) << r.line;
        if (weighted || c.weight <= 1) continue;
        const double variance = c.squares / c.weight - mean * mean;
        EXPECT_NEAR(std::stod(r.error), std::sqrt(std::max(0.0, variance / (c.weight - 1))), 0.006)
            << r.line;
    }
}

constexpr const char* kTables10And14 = "TABLES=00000000010001\n";

}  // namespace

TEST(DistractorTable, DichotomousTablesByteForByteAndFromTheData) {
    SummaryRun analysis(dichotomous_set(kTables10And14));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::string report = analysis.report();
    const std::vector<std::string> misfit = table_block(report, "10.3");
    const std::vector<std::string> entry = table_block(report, "14.3");
    ASSERT_GT(misfit.size(), 12u);
    expect_golden("tables/distractor_10.3.txt", crlf_text(golden_part(misfit)));
    expect_golden("tables/distractor_14.3.txt", crlf_text(golden_part(entry)));
    EXPECT_TRUE(analysis.shows("  Building Category/Option/Distractor Table 10"));

    EXPECT_EQ(misfit[4], "         ITEMS CATEGORY/OPTION/DISTRACTOR FREQUENCIES:  MISFIT ORDER");
    EXPECT_EQ(misfit[7], "|ENTRY   DATA  SCORE |     DATA   | AVERAGE  S.E.  OUTF|      |");
    EXPECT_EQ(misfit[8], "|NUMBER  CODE  VALUE |  COUNT   % | MEASURE  MEAN  MNSQ| ITEM |");
    // Every response of every listed item is in a row; codes ascend by score value within an
    // item; blanks, which are none of CODES=, show as "MISSING ***".
    const std::vector<Row> rows = rows_of(entry);
    std::map<int, int> total;
    std::map<int, std::string> order;
    for (const Row& r : rows) {
        total[r.item] += r.count;
        order[r.item] += r.missing ? "m" : r.code;
    }
    for (const auto& [item, n] : total) EXPECT_EQ(n, 12) << item;
    EXPECT_EQ(total.count(3), 0u) << "the deleted item";
    EXPECT_EQ(order[6], "01m");
    EXPECT_EQ(order[8], "1") << "a code nobody gave has no row";
    // "*" on a code whose persons are no abler than those of a code of lower score value.
    for (std::size_t k = 1; k < rows.size(); ++k) {
        if (rows[k].code != "1" || rows[k - 1].code != "0") continue;
        EXPECT_EQ(rows[k].flag, std::stod(rows[k].average) <= std::stod(rows[k - 1].average) ? '*' : ' ');
    }
    expect_rows_match_persons(rows, givers_of(analysis, {}), false);
    expect_rows_match_persons(rows_of(misfit), givers_of(analysis, {}), false);
}

TEST(DistractorTable, RatingScaleWithCategoryLabels) {
    SummaryRun analysis(rating_scale_set("TABLES=0000000001\n"));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::vector<std::string> t = table_block(analysis.report(), "10.3");
    ASSERT_GT(t.size(), 12u);
    expect_golden("tables/distractor_rating_10.3.txt", crlf_text(golden_part(t)));
    // After the label column the code and its CFILE= label; a code one person gave has no S.E.
    static const char* labels[] = {"Never", "Sometimes", "Often", "Always"};
    int single = 0;
    for (const Row& r : rows_of(t)) {
        if (r.missing) continue;
        EXPECT_EQ(r.line.substr(r.line.rfind('|') + 2), r.code + " " + labels[std::stoi(r.code)]);
        if (r.count != 1) continue;
        ++single;
        EXPECT_EQ(r.error, "") << r.line;
    }
    EXPECT_EQ(single, 1);
}

TEST(DistractorTable, WeightedAverageMeasuresAreWeightedMeans) {
    SummaryRun analysis(dichotomous_set("PWEIGHT=*\n2 2\n5 0.5\n9 3\n11 0\n*\n" +
                                        std::string(kTables10And14)));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::vector<Row> rows = rows_of(table_block(analysis.report(), "14.3"));
    expect_rows_match_persons(rows, givers_of(analysis, {{2, 2}, {5, 0.5}, {9, 3}, {11, 0}}), true);
}

namespace {

// The item table of the dichotomous run written again now, after the run.
struct AfterRun : ::testing::Test {
    SummaryRun analysis{dichotomous_set("TFILE=*\n14\n*\n")};
    void SetUp() override { ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen(); }

    std::vector<std::string> write_now(const char* key = "ENTRY") {
        korvelan::Run& run = analysis.run;
        analysis.host.line_file.clear();
        run.rep.request = TableRequest{};
        run.rep.request.table = 14;
        run.rep.sub_table_counter = 2;
        run.rep.page_line_counter = -1;
        run.rep.item_order.entries = {1, 2, 4, 5, 6, 7, 8};
        run.rep.item_order.count = 7;
        ReportContext ctx(run);
        ctx.fit_key = key;
        write_option_frequency_table(ctx);
        return analysis.host.line_file;
    }
};

std::string codes_in_order(const std::vector<Row>& rows, int item) {
    std::string s;
    for (const Row& r : rows)
        if (r.item == item && !r.missing) s += r.code;
    return s;
}

}  // namespace

TEST_F(AfterRun, CodeOrders) {
    korvelan::Run& run = analysis.run;
    // An unknown letter is score-value order and becomes "S"; by use (Figs: 8 zeros, 3 ones;
    // Apple: 2 and 10); by average measure (Apple's ones come from the less able persons).
    const char* expected[][2] = {{"x", "01 01 01"}, {"u", "01 01 10"}, {"M", "10 01 01"}};
    for (const auto& [letter, orders] : expected) {
        run.cv.osort = letter[0];
        const std::vector<Row> rows = rows_of(write_now());
        EXPECT_EQ(codes_in_order(rows, 1) + " " + codes_in_order(rows, 2) + " " +
                      codes_in_order(rows, 6), orders) << letter;
    }
    EXPECT_EQ(run.cv.osort, 'M');
    run.cv.osort = 'x';
    write_now();
    EXPECT_EQ(run.cv.osort, 'S');
    // "D": CODES= order, here "10", though "0" scores lower.
    run.cv.osort = 'D';
    run.cv.codes = "10";
    EXPECT_EQ(codes_in_order(rows_of(write_now()), 2), "10");
}

TEST_F(AfterRun, CodesAndScoresOutsideTheScoringAreNotUsed) {
    korvelan::Run& run = analysis.run;
    // With CATEGS= 1 the code number 2 ("1") names no code: its responses are left out, and
    // no other figure takes them.
    const auto missing_rows = [](const std::vector<Row>& rows) {
        std::string s;
        for (const Row& r : rows)
            if (r.missing) s += std::to_string(r.item) + r.average;
        return s;
    };
    const std::string missing = missing_rows(rows_of(write_now()));
    run.cv.categs = 1;
    std::vector<Row> rows = rows_of(write_now());
    EXPECT_EQ(codes_in_order(rows, 1), "0");
    EXPECT_EQ(missing_rows(rows), missing);
    run.cv.categs = 2;
    // A score value in a slot whose category the analysis does not use, or beyond the group's
    // slots, has no category and no outfit; its responses are still counted.
    korvelan::AnalysisArrays& a = run.arrays;
    const int slot = a.group_first_slot[1] + 1;
    for (int variant = 0; variant < 2; ++variant) {
        const int recoded = a.category_recoded[static_cast<std::size_t>(slot)], slots = a.slots;
        if (variant == 0) a.category_recoded[static_cast<std::size_t>(slot)] = -4;
        else a.slots = a.group_first_slot[1];
        rows = rows_of(write_now());
        for (const Row& r : rows)
            if (r.code == "1") {
                EXPECT_EQ(r.outfit, ".0") << r.line;
            }
        EXPECT_EQ(codes_in_order(rows, 1), "01");
        a.category_recoded[static_cast<std::size_t>(slot)] = recoded, a.slots = slots;
    }
}

TEST_F(AfterRun, CodesScoredMissingAndCodeLabels) {
    korvelan::Run& run = analysis.run;
    // The responses "1" are now of a code that cannot be scored: they are missing, with their
    // code and its CLFILE= label in place of "MISSING"; the plain codes get their labels too.
    run.cv.codes = "0X";
    write_file(analysis.dir.file("labels.txt"), "X Other\n0 Plain ; a comment\n4+0 Never\n1+0 Wrong\n");
    run.cv.clfile = analysis.dir.file("labels.txt");
    const std::vector<std::string> t = write_now();
    const auto row = [&](const std::string& start) {
        return *std::find_if(t.begin(), t.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
    };
    // A line of the item wins, then one of an item of its group, then a plain line.
    EXPECT_EQ(row("|    1   0  "), "|    1   0         0 |      2 100 |    1.42   .85  1.8 | Apple| 0 Wrong");
    EXPECT_EQ(row("|        X  "), "|        X       *** |     10 500 |     .65   .26      |      | X Other");
    EXPECT_EQ(row("|    4   0  ").substr(55), "| Dates| 0 Never");
    EXPECT_EQ(row("|    2   0  ").substr(55), "| Bread| 0 Never");
    // Honey has no code row: the separator comes before its missing row.
    const std::size_t honey = static_cast<std::size_t>(
        std::find(t.begin(), t.end(), row("|    8   X  ")) - t.begin());
    EXPECT_EQ(t[honey - 1], "|                    |            |                    |      |");
}

TEST(DistractorTable, MemoryShortage) {
    SummaryRun analysis(dichotomous_set("TFILE=*\n10.3\n*\n"),
                        [](MemoryBlock b, std::int64_t) { return b == MemoryBlock::TableWork; });
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::vector<std::string> t = table_block(analysis.report(), "10.3");
    ASSERT_GT(t.size(), 5u);
    EXPECT_EQ(t[4], "1288 bytes of memory not available, Table not produced.") << "batch: in the report";
    EXPECT_EQ(t[5], "NOT ENOUGH MEMORY FOR TABLE");
    // ((2 + 1) x 12 + 1 x 2 + 2) x 8 items x 4 + 2 x 4 bytes.
    EXPECT_TRUE(analysis.shows("1288 bytes of memory not available, Table not produced."));
}

TEST(DistractorTable, SubTableSelectionAndTheSortLetter) {
    SummaryRun alone(dichotomous_set("TFILE=*\n10.3\n*\n"));
    ASSERT_EQ(alone.exit_status, 0) << alone.host.screen();
    const std::string report = alone.report();
    EXPECT_TRUE(table_block(report, "10.1").empty());
    SummaryRun whole(dichotomous_set("TFILE=*\n10\n*\n"));
    EXPECT_EQ(golden_part(table_block(report, "10.3")),
              golden_part(table_block(whole.report(), "10.3")))
        << "asked alone, the items are fit-sorted all the same";
    EXPECT_EQ(whole.run.rep.item_sort_state, ' ') << "a later Table sorts again";
    SummaryRun off(dichotomous_set("DISTRACTOR=N\nTFILE=*\n10\n*\n"));
    EXPECT_TRUE(table_block(off.report(), "10.3").empty());
    EXPECT_FALSE(table_block(off.report(), "10.1").empty());
    EXPECT_EQ(off.run.rep.item_sort_state, 'F');
}

TEST(FitGraph, MarksAtTheRequestedMeanSquares) {
    SummaryRun analysis(dichotomous_set("CHART=Y\nTFILE=*\n6.2\n10.2 0.5 1.5\n*\n"));
    ASSERT_EQ(analysis.exit_status, 0) << analysis.host.screen();
    const std::vector<std::string> persons = table_block(analysis.report(), "6.2");
    ASSERT_GT(persons.size(), 10u);
    EXPECT_EQ(persons[8], "|NUMBER| -     + |0     0.7 1 1.3     2|0     0.7 1 1.3     2| PERSON|");
    const std::vector<std::string> items = table_block(analysis.report(), "10.2");
    ASSERT_GT(items.size(), 11u);
    EXPECT_EQ(items[8].substr(17, 23), "|0   0.5   1   1.5   2|");
    int strips = 0;
    for (std::size_t k = 10; k < items.size(); ++k) {
        const std::string& l = items[k];
        if (l.size() < 62 || l[0] != '|' || l[7] != '|' || l[1] == '-') continue;
        for (std::size_t first : {18u, 40u}) {
            const std::string strip = l.substr(first, 21);
            for (std::size_t p : {6u, 16u})
                if (strip[p - 1] != '*') {
                    EXPECT_EQ(strip[p - 1], ':') << l;
                }
            ++strips;
        }
    }
    EXPECT_GT(strips, 0);
}

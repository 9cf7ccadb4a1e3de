// Tables 23 and 24 of whole runs: the small dichotomous and rating-scale sets byte for byte, the
// order and count of the sub-tables, the texts and their columns, the printed eigenvalue and
// loadings against an exact eigen-decomposition of the correlation matrix (planted clusters of
// 6 and 14 items), two items correlated -1, the same Tables from the residuals in memory, by
// rows and from disk, PRCOMP=O and N, and correlations made stale by a status change.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cmath>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "engine/analyses/residual_correlations.h"
#include "tests/engine/analyses/component_fixture.h"
#include "tests/support/data_sets.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

std::string bare(const std::string& line) { return !line.empty() && line[0] == '\f' ? line.substr(1) : line; }

// The lines of sub-table id within a Table's lines.
std::vector<std::string> sub_table(const std::vector<std::string>& table, const std::string& id) {
    std::vector<std::string> block;
    bool inside = false;
    for (const std::string& l : table) {
        if (bare(l).rfind("TABLE ", 0) == 0) inside = bare(l).rfind("TABLE " + id + " ", 0) == 0;
        if (inside) block.push_back(l);
    }
    return block;
}

// Entry number and loading of each row of a loadings table.
std::map<int, double> loading_rows(const std::vector<std::string>& block) {
    std::map<int, double> rows;
    for (const std::string& l : block)
        if (l.size() > 42 && l.rfind("|  ", 0) == 0 && std::isdigit(static_cast<unsigned char>(l[3])) && l[7] == '|')
            rows[std::stoi(l.substr(37, 5))] = std::stod(l.substr(8, 6));
    return rows;
}

double printed_eigenvalue(const std::vector<std::string>& plot) {
    const std::regex factor(R"(Factor \d extracts ([0-9.]+) units out of (\d+) units of)");
    std::smatch m;
    for (const std::string& l : plot)
        if (std::regex_search(l, m, factor)) return std::stod(m[1]);
    return -1;
}

bool has_line(const std::vector<std::string>& lines, const std::string& text) {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

std::string joined(const std::vector<std::string>& lines) { return crlf_text(lines); }

// The same lines, where persons of equal loading may stand in another order: the product form
// gives identical persons identical loadings, which the sort keeps in entry order, where the
// pairwise sums differ in their last bits and order them by that. Every other line stands in
// its place.
void expect_same_lines(const std::string& got, const std::string& expected) {
    std::vector<std::string> a = crlf_lines(got), b = crlf_lines(expected);
    ASSERT_EQ(a.size(), b.size());
    std::size_t moved = 0;
    for (std::size_t k = 0; k < a.size(); ++k) moved += a[k] != b[k];
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_TRUE(a == b);
    EXPECT_LT(moved * 50, a.size()) << moved << " lines moved";
}

// A batch run keeps the residuals only when a Table of components is asked for: Table 24 here,
// while the tests ask for their Tables after the run.
const std::string kKeepResiduals = "TABLES=000000000000000000000001\n";

}  // namespace

TEST(ComponentTables, DichotomousTable23ByteForByteAndAgainstTheExactComponents) {
    SummaryRun analysis(dichotomous_set(kKeepResiduals));
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> table = table_after_run(analysis, "23");
    expect_golden("tables/components_23.txt", joined(without_file_lines(table)));

    // Six measured items (Cider deleted, Honey extreme): three components of five reports, the
    // third below 1.5, then the largest correlations as 23.1.
    const std::vector<std::string> ids = sub_table_ids(table);
    const std::vector<std::string> expected_ids{"23.2", "23.3", "23.4", "23.5", "23.6", "23.7", "23.8", "23.9",
                                                "23.10", "23.11", "23.12", "23.13", "23.14", "23.15", "23.16", "23.1"};
    EXPECT_EQ(ids, expected_ids);
    const std::vector<std::string> plot = sub_table(table, "23.2");
    EXPECT_TRUE(has_line(plot, "       PRINCIPAL COMPONENTS (STANDARDIZED RESIDUAL) FACTOR PLOT"));
    EXPECT_TRUE(std::regex_search(joined(plot), std::regex(R"(\r\n       Factor 1 extracts [0-9.]+ units out of 6 units of ITEM noise\.\r\n)")));
    const double third = printed_eigenvalue(sub_table(table, "23.12"));
    EXPECT_GT(third, 0.0);
    EXPECT_LT(third, 1.5);

    // Against the exact decomposition of the correlations the work file holds.
    const ExactComponent exact = largest_component(correlation_matrix(analysis, ReportSide::Items));
    EXPECT_NEAR(printed_eigenvalue(plot), exact.eigenvalue, 0.051);
    const std::map<int, double> loadings = loading_rows(sub_table(table, "23.3"));
    const std::vector<int> measured{1, 2, 4, 5, 6, 7};
    ASSERT_EQ(loadings.size(), measured.size());
    for (std::size_t k = 0; k < measured.size(); ++k)
        EXPECT_NEAR(loadings.at(measured[k]), exact.loadings(static_cast<Eigen::Index>(k)), 0.051) << measured[k];

    // 23.1: at file column 6, the two header lines, positives before negatives, at most ten rows.
    const std::vector<std::string> largest = sub_table(table, "23.1");
    EXPECT_TRUE(has_line(largest, "     LARGEST STANDARDIZED RESIDUAL CORRELATIONS"));
    EXPECT_TRUE(has_line(largest, "     USED TO IDENTIFY DEPENDENT ITEMS"));
    std::vector<double> r;
    for (const std::string& l : largest) {
        if (l.rfind("|RESIDUL| ENTRY ", 0) == 0 || l.rfind("|CORRELN|NUMBER ITEM", 0) == 0) r.push_back(99);
        if (l.size() > 10 && l.rfind("| ", 0) == 0 && l[8] == '|') r.push_back(std::stod(l.substr(2, 5)));
    }
    ASSERT_GE(r.size(), 4u);
    EXPECT_EQ(r[0], 99);
    EXPECT_EQ(r[1], 99);
    EXPECT_LE(r.size() - 2, 10u);
    const auto first_negative = std::find_if(r.begin() + 2, r.end(), [](double x) { return x < 0; });
    EXPECT_TRUE(std::all_of(first_negative, r.end(), [](double x) { return x < 0; }));
}

TEST(ComponentTables, RatingScaleTable24ByteForByte) {
    SummaryRun analysis(rating_scale_set(kKeepResiduals));
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> table = table_after_run(analysis, "24");
    expect_golden("tables/components_24.txt", joined(without_file_lines(table)));
    const std::vector<std::string> ids = sub_table_ids(table);
    ASSERT_GE(ids.size(), 16u);
    EXPECT_LE(ids.size(), 26u);
    EXPECT_EQ(ids.front(), "24.2");
    EXPECT_EQ(ids.back(), "24.1");
    // R07 is extreme: 15 persons in the analysis.
    EXPECT_TRUE(std::regex_search(joined(sub_table(table, "24.2")),
                                  std::regex(R"(Factor 1 extracts [0-9.]+ units out of 15 units of PERSON noise\.)")));
    const ExactComponent exact = largest_component(correlation_matrix(analysis, ReportSide::Persons));
    EXPECT_NEAR(printed_eigenvalue(sub_table(table, "24.2")), exact.eigenvalue, 0.051);
}

TEST(ComponentTables, PlantedSecondDimensionIsFoundAndSeparatesTheClusters) {
    SummaryRun analysis(planted_dimension_set(400, 6, 14, kKeepResiduals));
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> table = table_after_run(analysis, "23");
    const ExactComponent exact = largest_component(correlation_matrix(analysis, ReportSide::Items));
    const double printed = printed_eigenvalue(sub_table(table, "23.2"));
    EXPECT_NEAR(printed, exact.eigenvalue, 0.05);
    EXPECT_GT(printed, 2.0);
    const std::map<int, double> loadings = loading_rows(sub_table(table, "23.3"));
    ASSERT_EQ(loadings.size(), 20u);
    for (const auto& [item, loading] : loadings) {
        EXPECT_NEAR(loading, exact.loadings(item - 1), 0.05) << item;
        if (item <= 6) EXPECT_GT(loading, 0.2) << item;
        else EXPECT_LT(loading, 0.0) << item;
    }
}

TEST(ComponentTables, ItemsCorrelatedMinusOneGiveNoComponentsAndNoBrokenNumbers) {
    // With two items every measured person scores 1: the standardized residuals are opposite.
    std::string control = "TITLE=Two items\nNI=2\nITEM1=1\nNAME1=4\nNAMLEN=3\nCODES=01\n" + kKeepResiduals + "&END\nA\nB\nEND LABELS\n";
    for (int p = 1; p <= 12; ++p) control += std::string(p % 3 ? "10" : "01") + " P" + std::to_string(p) + "\n";
    SummaryRun analysis(control);
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> table = table_after_run(analysis, "23");
    const std::string text = joined(table);
    EXPECT_EQ(text.find("NaN"), std::string::npos);
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find('*'), std::string::npos);
    EXPECT_EQ(sub_table_ids(table), std::vector<std::string>{"23.1"});
    EXPECT_NE(text.find("| -1.00 |     1 A |     2 B |"), std::string::npos) << text;
}

TEST(ComponentTables, ResidualsInMemoryByRowsAndFromDiskGiveTheSameTables) {
    auto refusing = [](std::vector<MemoryBlock> refused) {
        return [refused](MemoryBlock kind, std::int64_t) {
            return std::find(refused.begin(), refused.end(), kind) != refused.end();
        };
    };
    const std::string control = planted_dimension_set(60, 4, 8, kKeepResiduals);
    SummaryRun memory(control);
    SummaryRun rows(control, refusing({MemoryBlock::ResidualMatrix, MemoryBlock::ComponentMatrix}));
    SummaryRun disk(control, refusing({MemoryBlock::ResidualMatrix, MemoryBlock::ResidualRow,
                                       MemoryBlock::ComponentMatrix}));
    for (const char* t : {"23", "24"}) {
        const std::string expected = joined(without_file_lines(table_after_run(memory, t)));
        EXPECT_GT(expected.size(), 2000u);
        const std::string by_rows = joined(without_file_lines(table_after_run(rows, t)));
        EXPECT_EQ(joined(without_file_lines(table_after_run(disk, t))), by_rows) << t;
        // The persons' Table comes from the product form in memory: the same lines.
        if (std::string(t) == "23") EXPECT_EQ(by_rows, expected);
        else expect_same_lines(by_rows, expected);
    }
    EXPECT_FALSE(memory.shows("bytes of memory not available"));
    EXPECT_TRUE(rows.shows(" bytes of memory not available, using disk work file ..."));
    EXPECT_TRUE(disk.shows("  Calculating Principal Components for Table 24"));
    // Without even the vectors of the components: the message and no component sub-tables.
    SummaryRun none(control, refusing({MemoryBlock::ComponentMatrix, MemoryBlock::ComponentVectors}));
    EXPECT_EQ(sub_table_ids(table_after_run(none, "23")), std::vector<std::string>{"23.1"});
    EXPECT_TRUE(none.shows("  Insufficient Memory: Principal Components for Table 23"));
}

TEST(ComponentTables, PrcompOHasNoYardstickAndPrcompNWritesNothing) {
    SummaryRun observed(dichotomous_set(kKeepResiduals + "PRCOMP=O\n"));
    const std::vector<std::string> table = table_after_run(observed, "23");
    EXPECT_FALSE(table.empty());
    EXPECT_EQ(joined(table).find("Yardstick"), std::string::npos);
    EXPECT_TRUE(has_line(sub_table(table, "23.2"), "       PRINCIPAL COMPONENTS (OBSERVATION) FACTOR PLOT"));
    EXPECT_TRUE(has_line(sub_table(table, "23.1"), "     LARGEST OBSERVATION CORRELATIONS"));

    SummaryRun none(dichotomous_set(kKeepResiduals + "PRCOMP=N\n"));
    EXPECT_TRUE(table_after_run(none, "23").empty());
    EXPECT_TRUE(table_after_run(none, "24").empty());
}

TEST(ComponentTables, AStatusChangeMakesTheCorrelationsStale) {
    SummaryRun analysis(dichotomous_set(kKeepResiduals));
    table_after_run(analysis, "23.1");
    table_after_run(analysis, "23.1");
    auto computations = [&] {
        return std::count_if(analysis.host.lines.begin(), analysis.host.lines.end(),
                             [](const std::string& l) { return l == "  Calculating ITEM Correlations"; });
    };
    EXPECT_EQ(computations(), 1);
    ASSERT_TRUE(residual_correlations_current(analysis.run, ReportSide::Items));
    // An item kept out of the reports, as the weights dialog does: computed again without it.
    analysis.run.arrays.item_status[7] -= 10;
    EXPECT_FALSE(residual_correlations_current(analysis.run, ReportSide::Items));
    const std::vector<std::string> table = table_after_run(analysis, "23");
    EXPECT_EQ(computations(), 2);
    EXPECT_NE(joined(table).find("Factor 1 extracts"), std::string::npos);
    EXPECT_NE(joined(table).find("units out of 5 units of ITEM noise."), std::string::npos);
    EXPECT_EQ(joined(table).find("Grape"), std::string::npos);
}

TEST(ComponentTables, LongLabelsStayWithinTheReportLine) {
    // Labels of 280 characters: the largest-correlation lines would be 590 wide; the report line
    // keeps 500 of them, and the loadings tables cut labels at 100.
    std::string control = "TITLE=Long labels\nNI=4\nITEM1=1\nNAME1=6\nNAMLEN=3\nITLEN=300\nCODES=01\n" +
                          kKeepResiduals + "&END\n";
    for (char c : std::string("ABCD")) control += std::string(280, c) + "\n";
    control += "END LABELS\n";
    const char* rows[] = {"1100", "1000", "1110", "0100", "1010", "1101", "0110", "0011", "1001", "0111"};
    for (int p = 0; p < 10; ++p) control += std::string(rows[p]) + "  P" + std::to_string(p) + "\n";
    SummaryRun analysis(control);
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> table = table_after_run(analysis, "23");
    const std::vector<std::string> largest = sub_table(table, "23.1");
    ASSERT_FALSE(largest.empty());
    std::size_t widest = 0;
    for (const std::string& l : largest) widest = std::max(widest, l.size());
    EXPECT_EQ(widest, 500u);
    for (const std::string& l : sub_table(table, "23.3")) EXPECT_LE(l.size(), 150u) << l;
}

TEST(ComponentTables, ADiskTooSmallForTheWorkFileEndsTheRequestWithItsMessage) {
    // Complete residuals keep no work file unless the memory of their product form is refused.
    SummaryRun analysis(planted_dimension_set(600, 6, 14, kKeepResiduals),
                        [](MemoryBlock kind, std::int64_t) { return kind == MemoryBlock::ComponentMatrix; });
    ASSERT_EQ(analysis.exit_status, 0);
    // Some 170,000 person pairs take more than 1.3 MB; the files may grow to 1 MB.
    const auto m = static_cast<std::int64_t>(active_entries(analysis.run.arrays.person_status, 600).size());
    ASSERT_GT(m * (m - 1) / 2 * 8, 1 << 20);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1 << 20;
    ::setrlimit(RLIMIT_FSIZE, &small);
    analysis.run.arrays.estimation.person_residual_correlations_computed = false;
    const std::vector<std::string> table = table_after_run(analysis, "24");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(analysis.shows(std::to_string(m * (m - 1) / 2) + " correlation terms are too many for available disk space"));
    EXPECT_TRUE(table.empty());
    EXPECT_FALSE(residual_correlations_current(analysis.run, ReportSide::Persons));
    EXPECT_FALSE(file_exists(correlation_work_file_path(analysis.run, ReportSide::Persons)));
}

TEST(ComponentTables, CorrelationsEndedByFinishIteratingAreComputedAgain) {
    SummaryRun analysis(dichotomous_set(kKeepResiduals));
    analysis.host.finish = true;
    compute_residual_correlations(analysis.run, ReportSide::Items);
    EXPECT_FALSE(residual_correlations_current(analysis.run, ReportSide::Items));
    analysis.host.finish = false;
    analysis.run.rs.finish_iterating = false;
    const std::vector<std::string> table = table_after_run(analysis, "23.1");
    EXPECT_EQ(sub_table_ids(table), std::vector<std::string>{"23.1"});
    EXPECT_TRUE(residual_correlations_current(analysis.run, ReportSide::Items));
}

TEST(ComponentTables, ProductFormGivesTheTableAndPersonFileOfThePairwiseComputation) {
    // 300 persons: more than one block of rows and one task of columns. The pairwise run cannot
    // hold the residuals, so it correlates them row by row with running means as before; its
    // Table and file are those the product form must print.
    const auto pairwise = [](MemoryBlock kind, std::int64_t) { return kind == MemoryBlock::ResidualMatrix; };
    for (const bool missing : {false, true}) {
        std::string control = planted_dimension_set(300, 5, 10, kKeepResiduals + "PCORFILE=pc.txt\n");
        if (missing) {  // one response of two persons in three: about 4 % missing
            std::size_t line = control.find("END LABELS\n") + 11;
            for (int p = 0; line < control.size(); ++p, line = control.find('\n', line) + 1)
                if (p % 3 != 2) control[line + static_cast<std::size_t>(p * 7 % 15)] = ' ';
        }
        SummaryRun product(control);
        SummaryRun stored(control, pairwise);
        ASSERT_EQ(product.exit_status, 0);
        const std::string expected = joined(without_file_lines(table_after_run(stored, "24")));
        EXPECT_GT(expected.size(), 20000u);
        // The pairwise computation in memory gives the same bits as row by row.
        const std::string got = joined(without_file_lines(table_after_run(product, "24")));
        if (missing) EXPECT_TRUE(got == expected);
        else expect_same_lines(got, expected);
        const std::string file = read_file(stored.dir.file("pc.txt"));
        EXPECT_GT(file.size(), 1000000u);
        EXPECT_TRUE(read_file(product.dir.file("pc.txt")) == file) << missing;
        // The complete residuals are left to the product form, the others to the pairwise
        // computation in memory: neither keeps a work file.
        using Source = ResidualCorrelationFacet::Source;
        EXPECT_EQ(product.run.arrays.estimation.residual_correlations[1].source,
                  missing ? Source::Pairwise : Source::Products);
        EXPECT_FALSE(file_exists(correlation_work_file_path(product.run, ReportSide::Persons)));
    }
}

TEST(ComponentTables, ABatchRunShowsTheConsoleMarksAndTheWindowItsOwn) {
    SummaryRun analysis(dichotomous_set(kKeepResiduals));
    auto marks = [&] {
        for (auto l = analysis.host.lines.rbegin(); l != analysis.host.lines.rend(); ++l)
            if (!l->empty() && (l->front() == '>' || l->rfind(" ╞", 0) == 0)) return *l;
        return std::string();
    };
    table_after_run(analysis, "23");
    // Batch: the opening, a dot per iteration, a star per component and the close.
    const std::string console = marks();
    EXPECT_TRUE(std::regex_match(console, std::regex(" ╞(\\.+\\*)+╡"))) << console;
    EXPECT_EQ(std::count(console.begin(), console.end(), '*'), 3);
    analysis.run.rs.batch = false;
    table_after_run(analysis, "23");
    const std::string window = marks();
    EXPECT_TRUE(std::regex_match(window, std::regex(">\\.(\\.+1)\\.(\\.+2)\\.(\\.+3)<"))) << window;
}

TEST(ComponentTables, PairsThatMemoryCannotHoldGoToTheWorkFileWithTheSameTable) {
    // About 4 % of the responses missing: the pairwise computation.
    std::string control = planted_dimension_set(200, 4, 8, kKeepResiduals);
    std::size_t line = control.find("END LABELS\n") + 11;
    for (int p = 0; line < control.size(); ++p, line = control.find('\n', line) + 1)
        if (p % 2 == 0) control[line + static_cast<std::size_t>(p * 5 % 12)] = ' ';
    // The components take the pairs the correlations computed for them kept: the correlations'
    // two requests (for the product form, then for every pair) and none from the components.
    auto asked = std::make_shared<std::vector<std::int64_t>>();
    SummaryRun memory(control, [asked](MemoryBlock kind, std::int64_t bytes) {
        if (kind == MemoryBlock::ComponentMatrix) asked->push_back(bytes);
        return false;
    });
    memory.run.arrays.estimation.person_residual_correlations_computed = false;
    asked->clear();
    const std::string expected = joined(without_file_lines(table_after_run(memory, "24")));
    EXPECT_GT(expected.size(), 10000u);
    EXPECT_FALSE(memory.shows("bytes of memory not available"));
    EXPECT_FALSE(file_exists(correlation_work_file_path(memory.run, ReportSide::Persons)));
    EXPECT_EQ(asked->size(), 2u);
    // Refused from the start: the work file, with the message, as before.
    SummaryRun refused(control, [](MemoryBlock kind, std::int64_t) { return kind == MemoryBlock::ComponentMatrix; });
    EXPECT_TRUE(joined(without_file_lines(table_after_run(refused, "24"))) == expected);
    EXPECT_TRUE(refused.shows(" bytes of memory not available, using disk work file ..."));
    EXPECT_TRUE(file_exists(correlation_work_file_path(refused.run, ReportSide::Persons)));
    // Allowed for the correlations, computed before the Table (as for a correlation file: no
    // pairs kept), refused when the components ask for the pairs: the pairs go to the work file
    // then.
    auto packed_bytes = std::make_shared<std::int64_t>(-1);
    SummaryRun later(control, [packed_bytes](MemoryBlock kind, std::int64_t bytes) {
        return kind == MemoryBlock::ComponentMatrix && bytes == *packed_bytes;
    });
    const auto m = static_cast<std::int64_t>(active_entries(later.run.arrays.person_status, 200).size());
    *packed_bytes = m * (m - 1) / 2 * 8 + std::int64_t{later.run.arrays.persons} * 40;
    later.run.arrays.estimation.person_residual_correlations_computed = false;
    compute_residual_correlations(later.run, ReportSide::Persons);
    EXPECT_TRUE(later.run.arrays.estimation.residual_correlations[1].kept_pairs.empty());
    EXPECT_TRUE(joined(without_file_lines(table_after_run(later, "24"))) == expected);
    EXPECT_TRUE(later.shows(" bytes of memory not available, using disk work file ..."));
    EXPECT_TRUE(file_exists(correlation_work_file_path(later.run, ReportSide::Persons)));
}

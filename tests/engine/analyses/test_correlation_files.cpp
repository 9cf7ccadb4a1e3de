// ICORFILE= and PCORFILE=: the line of a pair in fixed columns and comma- or tab-separated, the
// pairs of the active entries in their order, every correlation against a two-pass Pearson
// correlation of the residuals in the residual work file, and one computation per facet shared
// by the files and later requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/analyses/residual_access.h"
#include "engine/analyses/work_file.h"
#include "engine/driver/output_dispatch.h"
#include "engine/outfiles/correlation_files.h"
#include "tests/engine/analyses/component_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

std::string five_items(const std::string& settings) {
    return "TITLE=Five items\nNI=5\nITEM1=1\nNAME1=7\nNAMLEN=3\nCODES=01\nIDFILE=*\n3\n*\n" + settings +
           "&END\nA\nB\nC\nD\nE\nEND LABELS\n"
           "11000 P1\n10100 P2\n11010 P3\n01101 P4\n11110 P5\n10001 P6\n01011 P7\n11101 P8\n"
           "10110 P9\n00111 PA\n11001 PB\n01110 PC\n";
}

// The residuals of items i and j across the measured persons, read from ZUU, and their
// correlation by the two-pass formula.
double zuu_correlation(SummaryRun& analysis, int i, int j) {
    WorkFileHandle zuu;
    EXPECT_TRUE(zuu.open_existing(work_file_path(analysis.run, "ZUU"), false));
    const int ni = analysis.run.arrays.items;
    std::vector<double> x, y;
    for (int p = 1; p <= analysis.run.arrays.persons; ++p) {
        if (analysis.run.arrays.person_status[static_cast<std::size_t>(p)] <= 0) continue;
        std::vector<std::int16_t> record(static_cast<std::size_t>(ni));
        EXPECT_TRUE(zuu.read_at(static_cast<std::int64_t>(p - 1) * ni * 2, record.data(), ni * 2));
        x.push_back(record[static_cast<std::size_t>(i - 1)]);
        y.push_back(record[static_cast<std::size_t>(j - 1)]);
    }
    double mx = 0, my = 0;
    for (std::size_t k = 0; k < x.size(); ++k) mx += x[k] / static_cast<double>(x.size()), my += y[k] / static_cast<double>(y.size());
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t k = 0; k < x.size(); ++k)
        sxy += (x[k] - mx) * (y[k] - my), sxx += (x[k] - mx) * (x[k] - mx), syy += (y[k] - my) * (y[k] - my);
    return sxy / std::sqrt(sxx * syy);
}

int count_lines(const TestHost& host, const std::string& text) {
    int n = 0;
    for (const std::string& l : host.lines) n += l == text;
    return n;
}

}  // namespace

TEST(CorrelationFiles, PairLinesInFixedColumnsAndSeparatedForms) {
    OutputSettings s;
    EXPECT_EQ(correlation_file_line(s, 1, 2, 0.5), "         1         2       .50");
    EXPECT_EQ(correlation_file_line(s, 12, 345, -0.083), "        12       345      -.08");
    EXPECT_EQ(correlation_file_line(s, 1, 2, 1.0), "         1         2      1.00");
    s.csv = 'Y';
    EXPECT_EQ(correlation_file_line(s, 1, 2, 0.5), "1,2,.50");
    s.csv = 'T';
    EXPECT_EQ(correlation_file_line(s, 4, 5, -1.0), "4\t5\t-1.00");
}

TEST(CorrelationFiles, ItemFileListsThePairsOfActiveItemsWithTheirResidualCorrelations) {
    ScratchDir out;
    SummaryRun analysis(five_items("ICORFILE=" + out.file("icor.txt") + "\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> lines = crlf_lines(read_file(out.file("icor.txt")));
    const std::vector<std::pair<int, int>> pairs{{1, 2}, {1, 4}, {1, 5}, {2, 4}, {2, 5}, {4, 5}};
    ASSERT_EQ(lines.size(), pairs.size());
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const std::string& l = lines[k];
        ASSERT_EQ(l.size(), 30u) << l;
        EXPECT_EQ(std::stoi(l.substr(0, 10)), pairs[k].first);
        EXPECT_EQ(std::stoi(l.substr(10, 10)), pairs[k].second);
        EXPECT_NEAR(std::stod(l.substr(20, 10)), zuu_correlation(analysis, pairs[k].first, pairs[k].second), 0.0051) << l;
    }
    EXPECT_TRUE(analysis.shows("Writing ITEM correlation file ..."));
    bool listed = false;
    for (const std::string& m : analysis.host.menus) listed |= m == "Edit ITEM Correlation ICORFILE=" + out.file("icor.txt");
    EXPECT_TRUE(listed);
}

TEST(CorrelationFiles, EachFacetIsComputedOnceForTheFilesAndLaterRequests) {
    ScratchDir out;
    SummaryRun analysis(five_items("CSV=Y\nICORFILE=" + out.file("icor.txt") + "\nPCORFILE=" + out.file("pcor.txt") + "\n"));
    ASSERT_EQ(analysis.exit_status, 0);
    const std::vector<std::string> items = crlf_lines(read_file(out.file("icor.txt")));
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].rfind("1,2,", 0), 0u);
    // Twelve persons, none extreme: 66 pairs.
    EXPECT_EQ(crlf_lines(read_file(out.file("pcor.txt"))).size(), 66u);
    EXPECT_EQ(count_lines(analysis.host, "  Calculating ITEM Correlations"), 1);
    EXPECT_EQ(count_lines(analysis.host, "  Calculating PERSON Correlations"), 1);

    // After the run: the item file again and Table 23.1 reuse the item correlations.
    analysis.host.file_answers.push_back(out.file("again.txt"));
    analysis.host.mirror_to_disk = true;
    request_output_file_after_run(analysis.run, '1');
    EXPECT_EQ(read_file(out.file("again.txt")), read_file(out.file("icor.txt")));
    EXPECT_FALSE(table_after_run(analysis, "23.1").empty());
    EXPECT_EQ(count_lines(analysis.host, "  Calculating ITEM Correlations"), 1);
}

namespace {

// 200 persons on 10 dichotomous items, items 1-4 alike and 5-6 alike, half the persons copies of
// the first 30, then 5 % of the responses made missing, from a fixed generator.
std::string duplicated_set(std::uint32_t seed, const std::string& settings) {
    std::uint32_t state = seed;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 16777216.0;
    };
    std::vector<std::string> rows;
    const double difficulty[8] = {-1.0, -0.5, 0.0, 0.5, 1.0, 1.2, -1.2, 0.3};
    for (int p = 0; p < 200; ++p) {
        if (p >= 30 && next() < 0.5) {
            rows.push_back(rows[static_cast<std::size_t>(next() * 30)]);
            continue;
        }
        const double ability = (next() + next() + next() - 1.5) * 2.5;
        std::string base;
        for (double d : difficulty) base += next() < 1.0 / (1.0 + std::exp(d - ability)) ? '1' : '0';
        rows.push_back(std::string(4, base[0]) + std::string(2, base[1]) + base.substr(2));
    }
    std::string text = "TITLE=Copies\nNI=10\nITEM1=1\nNAME1=12\nNAMLEN=4\nCODES=01\n" + settings +
                       "&END\nA\nB\nC\nD\nE\nF\nG\nH\nI\nJ\nEND LABELS\n";
    for (std::size_t p = 0; p < rows.size(); ++p) {
        for (char& c : rows[p]) if (next() < 0.05) c = '.';
        text += rows[p] + "  P" + std::to_string(p + 1) + "\n";
    }
    return text;
}

// The correlation of two rows of residual codes by running sums over the columns, a missing
// code counting as 0 unless both are missing, with population moments.
double running_correlation(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b, bool& computed) {
    double n = 0, ma = 0, mb = 0, sa = 0, sb = 0, sab = 0;
    for (std::size_t c = 0; c < a.size(); ++c) {
        if (a[c] == -32768 && b[c] == -32768) continue;
        const double y = a[c] == -32768 ? 0 : a[c], x = b[c] == -32768 ? 0 : b[c];
        n += 1;
        ma += (y - ma) / n;
        mb += (x - mb) / n;
        if (n > 1) {
            sa += (ma - y) * (ma - y) / (n - 1) - sa / n;
            sb += (mb - x) * (mb - x) / (n - 1) - sb / n;
            sab += (ma - y) * (mb - x) / (n - 1) - sab / n;
        }
    }
    computed = n >= 2 && sa != 0 && sb != 0;
    return computed ? sab / std::sqrt(std::max(sa * sb, 9.357623e-14)) : 0.0;
}

}  // namespace

TEST(CorrelationFiles, PersonPairsWithMissingResponsesFollowTheRunningSums) {
    for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        ScratchDir out;
        SummaryRun analysis(duplicated_set(seed, "PCORFILE=" + out.file("pcor.txt") + "\n"));
        ASSERT_EQ(analysis.exit_status, 0);
        const AnalysisArrays& a = analysis.run.arrays;
        WorkFileHandle zuu;
        ASSERT_TRUE(zuu.open_existing(work_file_path(analysis.run, "ZUU"), false));
        std::vector<int> active;
        std::vector<std::vector<std::int16_t>> codes(static_cast<std::size_t>(a.persons) + 1);
        for (int p = 1; p <= a.persons; ++p) {
            if (a.person_status[static_cast<std::size_t>(p)] <= 0) continue;
            active.push_back(p);
            std::vector<std::int16_t>& record = codes[static_cast<std::size_t>(p)];
            record.resize(static_cast<std::size_t>(a.items));
            ASSERT_TRUE(zuu.read_at(static_cast<std::int64_t>(p - 1) * a.items * 2, record.data(), a.items * 2));
        }
        const std::vector<std::string> lines = crlf_lines(read_file(out.file("pcor.txt")));
        ASSERT_EQ(lines.size(), active.size() * (active.size() - 1) / 2);
        std::size_t k = 0;
        int differ = 0;
        for (std::size_t i = 0; i < active.size(); ++i)
            for (std::size_t j = i + 1; j < active.size(); ++j, ++k) {
                bool computed = false;
                const double r = running_correlation(codes[static_cast<std::size_t>(active[i])],
                                                      codes[static_cast<std::size_t>(active[j])], computed);
                const std::string want = correlation_file_line(OutputSettings{}, active[i], active[j], r);
                if (lines[k] != want) {
                    ++differ;
                    ADD_FAILURE() << "seed " << seed << ": " << lines[k] << " against " << r;
                }
            }
    }
}

TEST(CorrelationFiles, AResidualFileShorterThanTheAnalysisIsNamedByItsPath) {
    // Three persons of two items, but the file holds the first two persons only: person 3's
    // first residual, record 5, is past its end.
    ScratchDir dir;
    const std::string path = dir.file("ZUU001kv.txt");
    write_file(path, std::string(8, '\0'));
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    run.arrays.items = 2;
    WorkFileHandle zuu;
    ASSERT_TRUE(zuu.open_existing(path, false));
    ResidualMatrix residuals(run, zuu, ReportSide::Persons, {1, 2, 3}, {1, 2});
    std::vector<std::int16_t> row(2);
    EXPECT_EQ(residuals.read_row(1, row), 0);
    const std::int64_t failed = residuals.read_row(2, row);
    ASSERT_EQ(failed, 5);
    EXPECT_THROW(residuals.fail(failed), RunStopped);
    EXPECT_TRUE(host.shows(" STANDARDIZED RESIDUAL WORK FILE FAILURE AT RECORD =5\n"
                           "PROBLEM:    Unexpected end of file (-1): for file: STANDARDIZED RESIDUAL WORK FILE in mode R\n"
                           " Reading " + path + " failed: Unexpected end of file\nOops! "))
        << host.screen();
    EXPECT_TRUE(run.rs.run_failed);
}

// The pairwise correlations of residuals with missing codes held in memory, and the component
// passes over a packed matrix on the worker threads, against the one-pair and one-thread
// computations they replace: every pair the same bits as residual_correlation (few and many
// missing codes, columns missing in both rows, more than one word of columns, rows of no
// variance, observed residuals only), the pass's largest correlations, packed matrix and work
// file in pair order, and the power iteration with its deflations the same bits as over the
// stored matrix at 1 and 8 threads, with entries left out and absent values.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "engine/analyses/component_iteration.h"
#include "engine/analyses/component_packed.h"
#include "engine/analyses/pairwise_rows.h"
#include "engine/analyses/residual_correlations.h"
#include "engine/analyses/residual_pairs.h"
#include "engine/analyses/work_file.h"
#include "engine/run/run.h"
#include "tests/engine/analyses/component_fixture.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using korvelan::testing::code_row;
using korvelan::testing::numbered;

namespace {

constexpr float kSmallest = 9.35762297e-14f;
constexpr std::int16_t kMissing = -32768;

// rows x columns codes in [-range, range], each missing with the given chance; row 2 constant,
// row 4 missing everywhere, row 6 a copy of row 1 (when there are that many rows).
std::vector<std::int16_t> codes_with_gaps(std::size_t rows, std::size_t columns, int range, double missing,
                                          unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> code(-range, range);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<std::int16_t> c(rows * columns);
    for (auto& v : c) v = unit(gen) < missing ? kMissing : static_cast<std::int16_t>(code(gen));
    for (std::size_t k = 0; k < columns; ++k) {
        if (rows > 2) c[2 * columns + k] = k % 5 == 0 ? kMissing : 300;
        if (rows > 4) c[4 * columns + k] = kMissing;
        if (rows > 6) c[6 * columns + k] = c[1 * columns + k];
    }
    return c;
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

auto never = [] { return false; };
auto nothing = [] {};

}  // namespace

TEST(PairwiseRows, EveryPairHasTheBitsOfTheOnePairComputation) {
    struct Case {
        std::size_t rows, columns;
        double missing;
        int range;
    };
    for (const Case& c : {Case{40, 37, 0.0, 3}, Case{40, 37, 0.05, 1500}, Case{30, 70, 0.1, 32767},
                          Case{30, 12, 0.4, 200}, Case{12, 2, 0.2, 50}, Case{9, 1, 0.1, 50}}) {
        const std::vector<std::int16_t> codes = codes_with_gaps(c.rows, c.columns, c.range, c.missing, 7u);
        for (bool observed_only : {false, true}) {
            const PairwiseRows x(codes, c.rows, c.columns, observed_only, kSmallest);
            std::size_t compared = 0;
            for (std::size_t a = 0; a < c.rows; ++a) {
                const std::size_t later = c.rows - a - 1;
                std::vector<double> r(later);
                std::vector<std::uint8_t> computed(later);
                if (later > 0) x.row_pairs(a, a + 1, c.rows, r.data(), computed.data());
                for (std::size_t b = a + 1; b < c.rows; ++b) {
                    bool ok = false;
                    const double expected = residual_correlation(code_row(codes, c.columns, a), code_row(codes, c.columns, b),
                                                                 observed_only, kSmallest, ok);
                    EXPECT_TRUE(same_bits(r[b - a - 1], expected))
                        << a << " " << b << ": " << r[b - a - 1] << " against " << expected << " columns " << c.columns;
                    EXPECT_EQ(computed[b - a - 1] != 0, ok) << a << " " << b;
                    ++compared;
                }
            }
            EXPECT_EQ(compared, c.rows * (c.rows - 1) / 2);
        }
    }
}

TEST(PairwiseRows, PassGivesTheLargestPackedMatrixAndWorkFileOfThePairsInOrder) {
    // 300 rows: several blocks of rows and two column tasks in the first blocks.
    const std::size_t rows = 300, columns = 25;
    const std::vector<std::int16_t> codes = codes_with_gaps(rows, columns, 40, 0.06, 19u);
    const PairwiseRows x(codes, rows, columns, false, kSmallest);
    std::vector<double> expected;
    std::vector<ResidualCorrelationPair> expected_largest;
    for (std::size_t a = 0; a < rows; ++a)
        for (std::size_t b = a + 1; b < rows; ++b) {
            bool ok = false;
            expected.push_back(residual_correlation(code_row(codes, columns, a), code_row(codes, columns, b), false, kSmallest, ok));
            if (ok)
                offer_largest_correlation(expected_largest, static_cast<std::int32_t>(a + 1),
                                          static_cast<std::int32_t>(b + 1), expected.back());
        }
    korvelan::Run run;
    run.rs.smallest_positive = kSmallest;
    korvelan::testing::ScratchDir dir;
    WorkFileHandle file;
    ASSERT_TRUE(file.create(dir.file("pairs.bin")));
    std::vector<double> packed(expected.size(), -5.0);
    std::vector<ResidualCorrelationPair> largest;
    ASSERT_TRUE(pairwise_pair_pass(run, x, numbered(rows), &largest, &file, packed));
    ASSERT_EQ(largest.size(), expected_largest.size());
    for (std::size_t k = 0; k < largest.size(); ++k) {
        EXPECT_EQ(largest[k].first, expected_largest[k].first) << k;
        EXPECT_EQ(largest[k].second, expected_largest[k].second) << k;
        EXPECT_EQ(largest[k].correlation, expected_largest[k].correlation) << k;
    }
    std::vector<double> stored(expected.size());
    ASSERT_TRUE(file.read_at(0, stored.data(), static_cast<std::int64_t>(stored.size() * 8)));
    std::size_t visited = 0;
    for_each_pairwise_pair(x, numbered(rows), [&](std::int32_t, std::int32_t, double r) {
        EXPECT_TRUE(same_bits(r, expected[visited])) << visited;
        return ++visited < 1000;
    });
    EXPECT_EQ(visited, 1000u);
    for (std::size_t p = 0; p < expected.size(); ++p) {
        ASSERT_TRUE(same_bits(packed[p], expected[p])) << p;
        ASSERT_TRUE(same_bits(stored[p], expected[p])) << p;
    }
}

TEST(PairwiseRows, PackedPassesOnTheWorkerThreadsGiveTheBitsOfTheStoredPasses) {
    // 603 entries: three strips, the last one with a part group of rows. Entry 5 has only absent
    // pairs (left out of the analysis), some other pairs are absent too.
    const std::size_t m = 603;
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> value(-0.6, 0.6);
    std::vector<double> matrix;
    for (std::size_t a = 0; a < m; ++a)
        for (std::size_t b = a + 1; b < m; ++b)
            matrix.push_back(a == 4 || b == 4 || (a * 7 + b) % 97 == 0 ? 10.0 : value(gen));
    struct Components {
        std::vector<double> eigenvalues;
        std::vector<std::vector<double>> loadings, diagonals;
        std::vector<std::int32_t> flags;
        std::vector<double> deflated;
    };
    auto run_components = [&](bool packed_passes, int threads) {
        std::vector<double> packed = matrix;
        PackedComponentMatrix stored(packed, nullptr);
        WorkerPool pool(threads);
        ComponentVectors x(static_cast<std::int32_t>(m), numbered(m));
        Components out;
        for (int k = 0; k < 4; ++k) {
            const ComponentStep step =
                packed_passes ? extract_component(x, [&](ComponentVectors& y) { multiply_packed(y, packed, pool); }, never, nothing)
                              : extract_component(x, stored, never, nothing);
            if (!step.found) break;
            out.eigenvalues.push_back(step.eigenvalue);
            out.loadings.push_back(x.u);
            if (packed_passes) deflate_packed(x, packed, pool);
            else deflate_component(x, stored);
            out.diagonals.push_back(x.d);
        }
        out.flags = x.flags;
        out.deflated = packed;
        return out;
    };
    const Components expected = run_components(false, 1);
    ASSERT_EQ(expected.eigenvalues.size(), 4u);
    EXPECT_EQ(expected.flags[5], 0);
    for (int threads : {1, 8}) {
        const Components got = run_components(true, threads);
        EXPECT_EQ(got.eigenvalues, expected.eigenvalues) << threads;
        EXPECT_EQ(got.loadings, expected.loadings) << threads;
        EXPECT_EQ(got.diagonals, expected.diagonals) << threads;
        EXPECT_EQ(got.flags, expected.flags) << threads;
        EXPECT_TRUE(got.deflated == expected.deflated) << threads;
    }
}

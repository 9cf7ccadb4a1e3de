// The correlations of complete residuals as products of the residual rows, against the pairwise
// computation: every pair of random residual matrices (codes up to the full 16-bit range, rows
// of no variance, identical and opposite rows, more than one block of rows and one task of
// columns), the power iteration with its deflations on the product against the same iteration
// on the stored matrix, the list of the largest correlations against offering every pair, and
// the same bits at 1 and 8 threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/analyses/component_iteration.h"
#include "engine/analyses/residual_correlations.h"
#include "engine/analyses/residual_pairs.h"
#include "engine/analyses/residual_products.h"
#include "engine/run/run.h"
#include "tests/engine/analyses/component_fixture.h"

using namespace korvelan;
using korvelan::testing::code_row;
using korvelan::testing::numbered;

namespace {

constexpr float kSmallest = 9.35762297e-14f;

// rows x columns codes: random in [-range, range], with row 3 constant, row 5 a copy of row 1,
// row 7 its negation (when there are that many rows).
std::vector<std::int16_t> random_codes(std::size_t rows, std::size_t columns, int range, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> code(-range, range);
    std::vector<std::int16_t> c(rows * columns);
    for (auto& v : c) v = static_cast<std::int16_t>(code(gen));
    auto row = [&](std::size_t r) { return c.begin() + static_cast<std::ptrdiff_t>(r * columns); };
    if (rows > 3) std::fill(row(3), row(4), std::int16_t{250});
    if (rows > 5) std::copy(row(1), row(2), row(5));
    if (rows > 7) std::transform(row(1), row(2), row(7), [](std::int16_t v) { return static_cast<std::int16_t>(-v); });
    return c;
}

// The stored matrix of the pairwise computation, in work-file order.
std::vector<double> pairwise_matrix(const std::vector<std::int16_t>& c, std::size_t rows, std::size_t columns) {
    std::vector<double> packed;
    for (std::size_t a = 0; a < rows; ++a)
        for (std::size_t b = a + 1; b < rows; ++b) {
            bool computed = false;
            packed.push_back(residual_correlation(code_row(c, columns, a), code_row(c, columns, b), false, kSmallest, computed));
        }
    return packed;
}

double cross(const std::vector<std::int16_t>& c, std::size_t columns, std::size_t a, std::size_t b) {
    double s = 0;
    for (std::size_t k = 0; k < columns; ++k) s += static_cast<double>(c[a * columns + k]) * c[b * columns + k];
    return s;
}

auto never = [] { return false; };
auto nothing = [] {};

struct Components {
    std::vector<double> eigenvalues;
    std::vector<std::vector<double>> loadings;
};

// Up to `most` components with deflation between them, by the given product and deflation.
Components iterate(ComponentVectors& x, int most, const ComponentProduct& multiply,
                   const std::function<void(ComponentVectors&)>& deflate) {
    Components out;
    for (int k = 0; k < most; ++k) {
        const ComponentStep step = extract_component(x, multiply, never, nothing);
        if (!step.found) break;
        out.eigenvalues.push_back(step.eigenvalue);
        out.loadings.push_back(x.u);
        deflate(x);
    }
    return out;
}

}  // namespace

TEST(ResidualProducts, EveryPairEqualsThePairwiseCorrelationInWorkFileOrder) {
    // 300 rows: ten blocks of rows, and two column tasks in the first blocks.
    for (int range : {3, 1500, 32767}) {
        const std::size_t rows = 300, columns = 37;
        const std::vector<std::int16_t> c = random_codes(rows, columns, range, 11u + static_cast<unsigned>(range));
        const ResidualRows x(c, rows, columns);
        ASSERT_TRUE(residuals_complete(c));
        ASSERT_TRUE(product_form_holds(x, kSmallest));
        const std::vector<double> expected = pairwise_matrix(c, rows, columns);
        std::size_t p = 0;
        std::int32_t last_a = 0, last_b = 0;
        for_each_complete_pair(x, numbered(rows), kSmallest, [&](std::int32_t a, std::int32_t b, double r) {
            EXPECT_TRUE(a > last_a || (a == last_a && b > last_b)) << a << " " << b;
            last_a = a, last_b = b;
            EXPECT_NEAR(r, expected[p], 1e-13) << a << " " << b << " range " << range;
            ++p;
            return true;
        });
        EXPECT_EQ(p, expected.size());
    }
    // The identical, opposite and constant rows.
    const std::vector<std::int16_t> c = random_codes(9, 20, 100, 5);
    const ResidualRows x(c, 9, 20);
    bool computed = false;
    EXPECT_EQ(pair_correlation(x, 1, 5, cross(c, 20, 1, 5), kSmallest, computed), 1.0);
    EXPECT_EQ(pair_correlation(x, 1, 7, cross(c, 20, 1, 7), kSmallest, computed), -1.0);
    EXPECT_TRUE(computed);
    EXPECT_EQ(pair_correlation(x, 0, 3, cross(c, 20, 0, 3), kSmallest, computed), 0.0);
    EXPECT_FALSE(computed);
}

// Long rows (items over many persons) are multiplied a slice of columns at a time: the cross
// products must still be whole, to the last bit, with a last slice shorter than the others.
TEST(ResidualProducts, LongRowsGiveTheWholeCrossProducts) {
    const std::size_t rows = 11, columns = 2 * 2048 + 77;
    const std::vector<std::int16_t> c = random_codes(rows, columns, 32767, 23u);
    const ResidualRows x(c, rows, columns);
    std::vector<double> found;
    for (int threads : {1, 8}) {
        WorkerPool pool(threads);
        PairBlockCallbacks callbacks;
        callbacks.block = [&](std::size_t a0, std::size_t a1, std::span<const double> products) {
            for (std::size_t a = a0; a < a1; ++a)
                for (std::size_t b = a + 1; b < rows; ++b) {
                    EXPECT_EQ(products[(a - a0) * rows + b], cross(c, columns, a, b)) << a << " " << b;
                    found.push_back(products[(a - a0) * rows + b]);
                }
            return true;
        };
        for_each_pair_block(x, pool, callbacks);
    }
    EXPECT_EQ(found.size(), rows * (rows - 1));
}

TEST(ResidualProducts, StoppingThePairsEndsTheVisitAndShortRowsFallBack) {
    const std::vector<std::int16_t> c = random_codes(100, 5, 40, 3);
    const ResidualRows x(c, 100, 5);
    int seen = 0;
    for_each_complete_pair(x, numbered(100), kSmallest, [&](std::int32_t, std::int32_t, double) { return ++seen < 150; });
    EXPECT_EQ(seen, 150);
    // One column: no correlation; a missing code: not complete.
    const std::vector<std::int16_t> one{1, 2, 3};
    EXPECT_FALSE(product_form_holds(ResidualRows(one, 3, 1), kSmallest));
    std::vector<std::int16_t> gap = c;
    gap[77] = -32768;
    EXPECT_FALSE(residuals_complete(gap));
}

TEST(ResidualProducts, ImplicitProductGivesTheComponentsOfTheExplicitMatrix) {
    for (unsigned seed : {1u, 2u, 3u}) {
        const std::size_t rows = 90, columns = 12;
        const std::vector<std::int16_t> c = random_codes(rows, columns, seed == 3 ? 32767 : 1500, seed);
        const ResidualRows x(c, rows, columns);
        const auto n = static_cast<std::int32_t>(rows);

        std::vector<double> stored = pairwise_matrix(c, rows, columns);
        PackedComponentMatrix matrix(stored, nullptr);
        ComponentVectors explicit_x(n, numbered(rows));
        const Components expected = iterate(
            explicit_x, 5, [&](ComponentVectors& y) { multiply_stored(y, matrix); },
            [&](ComponentVectors& y) { deflate_component(y, matrix); });

        WorkerPool pool(1);
        ResidualProduct product(x, pool);
        ComponentVectors implicit_x(n, numbered(rows));
        const Components got = iterate(
            implicit_x, 5, [&](ComponentVectors& y) { product.multiply(y); },
            [&](ComponentVectors& y) { product.deflate(y); });

        ASSERT_EQ(got.eigenvalues.size(), expected.eigenvalues.size()) << seed;
        for (std::size_t k = 0; k < got.eigenvalues.size(); ++k) {
            EXPECT_NEAR(got.eigenvalues[k], expected.eigenvalues[k], 1e-9) << seed << " " << k;
            for (std::size_t e = 1; e <= rows; ++e)
                EXPECT_NEAR(got.loadings[k][e], expected.loadings[k][e], 1e-9) << seed << " " << k << " " << e;
        }
        EXPECT_EQ(implicit_x.flags, explicit_x.flags);
        for (std::size_t e = 1; e <= rows; ++e) EXPECT_NEAR(implicit_x.d[e], explicit_x.d[e], 1e-12) << seed << " " << e;
    }
}

TEST(ResidualProducts, OneRowHasNoComponentAndTheSameBitsComeAtOneAndEightThreads) {
    const std::vector<std::int16_t> single = random_codes(1, 8, 100, 9);
    const ResidualRows one(single, 1, 8);
    WorkerPool pool(1);
    ResidualProduct lone(one, pool);
    ComponentVectors x(1, numbered(1));
    EXPECT_FALSE(extract_component(x, [&](ComponentVectors& y) { lone.multiply(y); }, never, nothing).found);

    // 2,500 rows: three chunks of the sums over rows.
    const std::size_t rows = 2500, columns = 15;
    const std::vector<std::int16_t> c = random_codes(rows, columns, 1500, 21);
    const ResidualRows many(c, rows, columns);
    std::vector<Components> at;
    for (int threads : {1, 8}) {
        WorkerPool p(threads);
        ResidualProduct product(many, p);
        ComponentVectors y(static_cast<std::int32_t>(rows), numbered(rows));
        at.push_back(iterate(y, 3, [&](ComponentVectors& v) { product.multiply(v); },
                             [&](ComponentVectors& v) { product.deflate(v); }));
    }
    ASSERT_EQ(at[0].eigenvalues.size(), 3u);
    EXPECT_EQ(at[0].eigenvalues, at[1].eigenvalues);
    EXPECT_EQ(at[0].loadings, at[1].loadings);
}

// The list of the largest correlations from the pass against offering every pair one at a
// time.
void expect_largest_of_every_pair(const std::vector<std::int16_t>& c, std::size_t rows, std::size_t columns) {
    const ResidualRows x(c, rows, columns);
    std::vector<ResidualCorrelationPair> expected;
    for (std::size_t a = 0; a < rows; ++a)
        for (std::size_t b = a + 1; b < rows; ++b) {
            bool computed = false;
            const double r = residual_correlation(code_row(c, columns, a), code_row(c, columns, b), false, kSmallest, computed);
            if (computed) offer_largest_correlation(expected, static_cast<std::int32_t>(a + 1), static_cast<std::int32_t>(b + 1), r);
        }
    korvelan::Run run;
    run.rs.smallest_positive = kSmallest;
    std::vector<ResidualCorrelationPair> got;
    ASSERT_TRUE(complete_pair_pass(run, x, numbered(rows), got, nullptr));
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t k = 0; k < got.size(); ++k) {
        EXPECT_EQ(got[k].first, expected[k].first) << k;
        EXPECT_EQ(got[k].second, expected[k].second) << k;
        EXPECT_EQ(got[k].correlation, expected[k].correlation) << k;
    }
}

TEST(ResidualProducts, LargestCorrelationsAreThoseOfOfferingEveryPair) {
    // Few distinct rows repeated: many perfect pairs and ties of equal correlation, over more
    // than one block and task.
    const std::size_t rows = 420, columns = 6;
    const std::vector<std::int16_t> base = random_codes(12, columns, 4, 17);
    std::vector<std::int16_t> c(rows * columns);
    for (std::size_t r = 0; r < rows; ++r)
        std::copy(base.begin() + static_cast<std::ptrdiff_t>((r * 7 % 12) * columns),
                  base.begin() + static_cast<std::ptrdiff_t>((r * 7 % 12 + 1) * columns),
                  c.begin() + static_cast<std::ptrdiff_t>(r * columns));
    expect_largest_of_every_pair(c, rows, columns);
    // Distinct rows, where the list fills early and most pairs are passed over by the screen of
    // eight pairs at a time; rows of no variance and rows of large codes among them.
    const std::size_t many = 1300, wide = 9;
    std::vector<std::int16_t> d = random_codes(many, wide, 3000, 23);
    for (std::size_t r = 40; r < many; r += 97)
        std::fill(d.begin() + static_cast<std::ptrdiff_t>(r * wide), d.begin() + static_cast<std::ptrdiff_t>((r + 1) * wide),
                  static_cast<std::int16_t>(r));
    for (std::size_t r = 600; r < 610; ++r) d[r * wide + r % wide] = 32767;
    expect_largest_of_every_pair(d, many, wide);
}

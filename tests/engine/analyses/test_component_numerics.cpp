// The numerics under Tables 23 and 24, apart from any report: the 64-bit sizes of the pair
// records (70,000 entries have more pairs than 32 bits can count), the running correlation of
// two residual rows against a two-pass Pearson correlation, the list of the largest
// correlations, and the power iteration with deflation against an exact eigen-solver.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "engine/analyses/component_iteration.h"
#include "engine/analyses/residual_correlations.h"
#include "engine/analyses/scratch_block.h"
#include "engine/analyses/work_file.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

constexpr std::int16_t kMissing = -32768;
constexpr float kSmallest = 9.35762297e-14f;

double pearson(const std::vector<double>& x, const std::vector<double>& y) {
    const double n = static_cast<double>(x.size());
    double mx = 0, my = 0;
    for (std::size_t i = 0; i < x.size(); ++i) mx += x[i] / n, my += y[i] / n;
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        sxy += (x[i] - mx) * (y[i] - my), sxx += (x[i] - mx) * (x[i] - mx), syy += (y[i] - my) * (y[i] - my);
    return sxy / std::sqrt(sxx * syy);
}

// Packs the upper triangle of r in the order of the correlation work file.
std::vector<double> packed(const Eigen::MatrixXd& r) {
    std::vector<double> p;
    for (Eigen::Index i = 0; i < r.rows(); ++i)
        for (Eigen::Index j = i + 1; j < r.rows(); ++j) p.push_back(r(i, j));
    return p;
}

std::vector<std::int32_t> entries(int n) {
    std::vector<std::int32_t> e(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) e[static_cast<std::size_t>(i)] = i + 1;
    return e;
}

auto never = [] { return false; };
auto nothing = [] {};

}  // namespace

TEST(ComponentNumerics, PairRecordsAreCountedIn64BitsAndReachTheirPlaceOnDisk) {
    EXPECT_EQ(pair_count(0).value(), 0);
    EXPECT_EQ(pair_count(1).value(), 0);
    EXPECT_EQ(pair_count(65536).value(), 2147450880);
    EXPECT_GT(pair_count(65537).value(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(pair_count(70000).value(), 2449965000);
    // The bytes of the packed matrix of 70,000 entries, and sizes that do not fit 64 bits.
    EXPECT_EQ(checked_product(pair_count(70000), std::int64_t{8}).value(), 19599720000);
    EXPECT_FALSE(checked_product(std::int64_t{1} << 40, std::int64_t{1} << 30).has_value());
    EXPECT_FALSE(checked_sum(std::numeric_limits<std::int64_t>::max(), std::int64_t{1}).has_value());
    EXPECT_FALSE(pair_count(std::numeric_limits<std::int64_t>::max()).has_value());

    // A size that overflows is memory that cannot be had, and so is one the hook refuses.
    korvelan::Run run;
    ScratchBlock<double> block;
    EXPECT_FALSE(block.obtain(run, MemoryBlock::ComponentMatrix, std::nullopt, std::nullopt));
    run.input.refuse_memory = [](MemoryBlock kind, std::int64_t bytes) {
        return kind == MemoryBlock::ComponentMatrix && bytes > 1000;
    };
    EXPECT_FALSE(block.obtain(run, MemoryBlock::ComponentMatrix, std::int64_t{200}, std::int64_t{1600}));
    EXPECT_TRUE(block.obtain(run, MemoryBlock::ComponentMatrix, std::int64_t{100}, std::int64_t{800}));
    EXPECT_EQ(block.size(), 100u);

    // The last record of 70,000 entries lies beyond 2^34 bytes: written and read back there.
    ScratchDir dir;
    WorkFileHandle file;
    ASSERT_TRUE(file.create(dir.file("ZTT123kv.txt")));
    const std::int64_t last = pair_count(70000).value();
    {
        CorrelationRecords records(file);
        ASSERT_TRUE(records.write(1, -0.5));
        ASSERT_TRUE(records.write(last, 0.25));
        ASSERT_TRUE(records.flush());
    }
    double value = 0;
    ASSERT_TRUE(file.read_at((last - 1) * 8, &value, 8));
    EXPECT_EQ(value, 0.25);
    CorrelationRecords records(file);
    ASSERT_TRUE(records.read(last, value));
    EXPECT_EQ(value, 0.25);
    ASSERT_TRUE(records.read(1, value));
    EXPECT_EQ(value, -0.5);
    EXPECT_FALSE(records.read(last + 1, value));
}

TEST(ComponentNumerics, RunningCorrelationIsPearsonsOverTheColumnsThatCount) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> residual(-4000, 4000), chance(0, 9);
    std::vector<std::int16_t> a(300), b(300);
    for (std::size_t c = 0; c < a.size(); ++c) {
        a[c] = static_cast<std::int16_t>(residual(random));
        b[c] = static_cast<std::int16_t>(residual(random) / 2 + a[c] / 2);
        if (chance(random) == 0) a[c] = kMissing;
        if (chance(random) == 0) b[c] = kMissing;
    }
    // Any kind but "O": a missing value counts as 0 unless both are missing.
    std::vector<double> x, y, xo, yo;
    for (std::size_t c = 0; c < a.size(); ++c) {
        if (a[c] == kMissing && b[c] == kMissing) continue;
        x.push_back(a[c] == kMissing ? 0 : a[c]);
        y.push_back(b[c] == kMissing ? 0 : b[c]);
        if (a[c] != kMissing && b[c] != kMissing) xo.push_back(a[c]), yo.push_back(b[c]);
    }
    bool computed = false;
    EXPECT_NEAR(residual_correlation(a, b, false, kSmallest, computed), pearson(x, y), 1e-12);
    EXPECT_TRUE(computed);
    EXPECT_NEAR(residual_correlation(a, b, true, kSmallest, computed), pearson(xo, yo), 1e-12);
    EXPECT_GT(pearson(xo, yo), 0.5);

    // A constant row has no correlation: stored as 0 and not computed; so is a single column.
    const std::vector<std::int16_t> constant(300, 700);
    EXPECT_EQ(residual_correlation(a, constant, false, kSmallest, computed), 0.0);
    EXPECT_FALSE(computed);
    const std::vector<std::int16_t> one{5, kMissing}, other{kMissing, kMissing};
    EXPECT_EQ(residual_correlation(one, other, false, kSmallest, computed), 0.0);
    EXPECT_FALSE(computed);
}

TEST(ComponentNumerics, LargestCorrelationsKeepTenWithLaterEqualPairsAhead) {
    std::vector<ResidualCorrelationPair> list;
    for (int k = 1; k <= 11; ++k) offer_largest_correlation(list, k, k + 20, k % 2 ? 0.5 : -0.5);
    ASSERT_EQ(list.size(), 10u);
    for (std::size_t s = 0; s < 10; ++s) EXPECT_EQ(list[s].first, 11 - static_cast<int>(s));
    offer_largest_correlation(list, 40, 41, 0.49);
    EXPECT_EQ(list.back().first, 2);
    offer_largest_correlation(list, 40, 41, -0.75);
    EXPECT_EQ(list.front().first, 40);
    EXPECT_EQ(list.back().first, 3);

    // Perfect pairs among entries 1, 2 and 3: the third adds no entry and is not listed.
    std::vector<ResidualCorrelationPair> perfect;
    offer_largest_correlation(perfect, 1, 2, 1.0);
    offer_largest_correlation(perfect, 1, 3, 1.0);
    offer_largest_correlation(perfect, 2, 3, 1.0);
    offer_largest_correlation(perfect, 2, 3, -1.0);
    ASSERT_EQ(perfect.size(), 3u);
    EXPECT_EQ(perfect[0].correlation, -1.0f);
    EXPECT_EQ(perfect[1].second, 3);
    EXPECT_EQ(perfect[2].second, 2);
}

TEST(ComponentNumerics, PowerIterationWithDeflationFindsTheExactComponents) {
    // A correlation matrix with a clear structure: two clusters of unequal size.
    const int n = 12;
    Eigen::MatrixXd r = Eigen::MatrixXd::Identity(n, n);
    std::mt19937 random(11);
    std::uniform_real_distribution<double> noise(-0.05, 0.05);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const bool same = (i < 4) == (j < 4);
            r(i, j) = r(j, i) = (same ? 0.45 : -0.2) + noise(random);
        }
    std::vector<double> matrix = packed(r);
    PackedComponentMatrix source(matrix, nullptr);
    ComponentVectors x(n, entries(n));
    const ComponentStep first = extract_component(x, source, never, nothing);

    Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> exact(r);
    const Eigen::VectorXd values = exact.eigenvalues();
    ASSERT_TRUE(first.found);
    EXPECT_EQ(first.included, n);
    EXPECT_LE(first.iterations, 51);
    EXPECT_NEAR(first.eigenvalue, values(n - 1), 0.01);
    Eigen::VectorXd v = exact.eigenvectors().col(n - 1);
    Eigen::Index top = 0;
    v.cwiseAbs().maxCoeff(&top);
    if (v(top) < 0) v = -v;
    for (int i = 0; i < n; ++i) EXPECT_NEAR(x.u[static_cast<std::size_t>(i + 1)], v(i) * std::sqrt(values(n - 1)), 0.01);

    // After deflation the next component is the second eigenvalue of the matrix.
    deflate_component(x, source);
    const ComponentStep second = extract_component(x, source, never, nothing);
    ASSERT_TRUE(second.found);
    EXPECT_NEAR(second.eigenvalue, values(n - 2), 0.05);
}

TEST(ComponentNumerics, AZeroEigenvalueEndsTheAnalysisWithoutDividing) {
    // Two entries correlated -1: the start vector of ones is in the null space.
    std::vector<double> minus_one{-1.0};
    PackedComponentMatrix source(minus_one, nullptr);
    ComponentVectors x(2, entries(2));
    const ComponentStep step = extract_component(x, source, never, nothing);
    EXPECT_FALSE(step.found);
    for (double u : x.u) EXPECT_TRUE(std::isfinite(u));
    for (double v : x.v) EXPECT_TRUE(std::isfinite(v));

    // Two entries correlated +1: the first component takes everything, the second is 0.
    std::vector<double> plus_one{1.0};
    PackedComponentMatrix both(plus_one, nullptr);
    ComponentVectors y(2, entries(2));
    const ComponentStep first = extract_component(y, both, never, nothing);
    ASSERT_TRUE(first.found);
    EXPECT_NEAR(first.eigenvalue, 2.0, 1e-9);
    deflate_component(y, both);
    EXPECT_FALSE(extract_component(y, both, never, nothing).found);
    for (double u : y.u) EXPECT_TRUE(std::isfinite(u));
}

TEST(ComponentNumerics, IterationStopsAfterFiftyOneOrWhenFinishIsAsked) {
    // Two unrelated clusters of nearly equal eigenvalues (2.2 and 2.16): from the start vector of
    // ones the iteration turns towards the first so slowly that the cap ends it.
    const int n = 6;
    Eigen::MatrixXd r = Eigen::MatrixXd::Identity(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) r(i, j) = r(j, i) = (i < 3 && j < 3) ? 0.6 : (i >= 3 ? 0.58 : 0.0);
    std::vector<double> matrix = packed(r);
    PackedComponentMatrix source(matrix, nullptr);
    ComponentVectors x(n, entries(n));
    int iterations = 0;
    const ComponentStep step = extract_component(x, source, never, [&] { ++iterations; });
    EXPECT_EQ(step.iterations, 51);
    EXPECT_EQ(iterations, 51);

    ComponentVectors y(n, entries(n));
    int polls = 0;
    const ComponentStep stopped = extract_component(y, source, [&] { return ++polls > 2; }, nothing);
    EXPECT_EQ(stopped.iterations, 1);
}

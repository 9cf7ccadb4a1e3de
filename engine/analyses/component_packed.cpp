#include "engine/analyses/component_packed.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace korvelan {

namespace {

constexpr double kAbsent = 10.0;
constexpr std::size_t kStrip = 256;  // entries of one strip
constexpr std::size_t kRowGroup = 8; // rows of an off-diagonal tile taken together

// The start of row a (pairs a, a + 1 ...) in the packed triangle of m entries.
std::size_t row_start(std::size_t a, std::size_t m) { return a * m - a * (a + 1) / 2; }

// The entries of the pass in dense order: v, the inclusion (also as 1.0 or 0.0) and the sums u.
struct Dense {
    std::vector<double> v, u, on;
    std::vector<std::uint8_t> included;
};

// A tile of a strip with itself: the one-thread pass over its pairs.
void diagonal_tile(Dense& x, const double* packed, std::size_t m, std::size_t a0, std::size_t a1) {
    for (std::size_t a = a0; a < a1; ++a) {
        if (!x.included[a]) continue;
        const double* row = packed + row_start(a, m);
        const double va = x.v[a];
        double s = x.u[a];
        for (std::size_t b = a + 1; b < a1; ++b) {
            const double r = row[b - a - 1];
            if (!x.included[b] || r >= kAbsent) continue;
            s += x.v[b] * r;
            x.u[b] += va * r;
        }
        x.u[a] = s;
    }
}

// The sums of rows a + g (on[g]) from `rows[g]`, the pairs with columns [b, b1) in order.
void row_group_plain(Dense& x, const double* const* rows, const bool* on, const double* va, double* s,
                     std::size_t b0, std::size_t b, std::size_t b1) {
    for (; b < b1; ++b) {
        const double vb = x.v[b];
        const bool ib = x.included[b] != 0;
        double ub = x.u[b];
        for (std::size_t g = 0; g < kRowGroup; ++g) {
            const double r = rows[g][b - b0];
            const bool use = on[g] && ib && r < kAbsent;
            s[g] += use ? vb * r : 0.0;
            ub += use ? va[g] * r : 0.0;
        }
        x.u[b] = ub;
    }
}

// The same four columns at a time; returns the first column left. A row left out has a mask
// of 0 and adds nothing.
__attribute__((target("avx2"))) std::size_t row_group_wide(Dense& x, const double* const* rows, const bool* on,
                                                           const double* va, double* sums, std::size_t b0,
                                                           std::size_t b1) {
    const __m256d absent = _mm256_set1_pd(kAbsent), half = _mm256_set1_pd(0.5);
    __m256d a[kRowGroup], row_on[kRowGroup];
    double s[kRowGroup];
    const double* r[kRowGroup];
    for (std::size_t g = 0; g < kRowGroup; ++g) {
        s[g] = sums[g];
        a[g] = _mm256_set1_pd(va[g]);
        row_on[g] = _mm256_castsi256_pd(_mm256_set1_epi64x(on[g] ? -1 : 0));
        r[g] = rows[g];
    }
    const double* v = x.v.data();
    const double* included = x.on.data();
    double* u = x.u.data();
    std::size_t b = b0;
    for (; b + 4 <= b1; b += 4) {
        const __m256d vb = _mm256_loadu_pd(v + b);
        const __m256d ib = _mm256_cmp_pd(_mm256_loadu_pd(included + b), half, _CMP_GT_OQ);
        __m256d ub = _mm256_loadu_pd(u + b);
        __m256d p[kRowGroup];
#pragma GCC unroll 8
        for (std::size_t g = 0; g < kRowGroup; ++g) {
            const __m256d rg = _mm256_loadu_pd(r[g] + (b - b0));
            const __m256d use = _mm256_and_pd(_mm256_and_pd(ib, row_on[g]), _mm256_cmp_pd(rg, absent, _CMP_LT_OQ));
            ub = _mm256_add_pd(ub, _mm256_and_pd(use, _mm256_mul_pd(a[g], rg)));
            p[g] = _mm256_and_pd(use, _mm256_mul_pd(vb, rg));
        }
        _mm256_storeu_pd(u + b, ub);
#pragma GCC unroll 8
        for (std::size_t g = 0; g < kRowGroup; ++g) {
            const __m128d low = _mm256_castpd256_pd128(p[g]), high = _mm256_extractf128_pd(p[g], 1);
            s[g] = (((s[g] + _mm_cvtsd_f64(low)) + _mm_cvtsd_f64(_mm_unpackhi_pd(low, low))) + _mm_cvtsd_f64(high)) +
                   _mm_cvtsd_f64(_mm_unpackhi_pd(high, high));
        }
    }
    for (std::size_t g = 0; g < kRowGroup; ++g) sums[g] = s[g];
    return b;
}

bool wide_groups() {
    static const bool wide = __builtin_cpu_supports("avx2");
    return wide;
}

// Rows [a0, a1) of strip I with columns [b0, b1) of a later strip: eight rows at a time, each
// row's sum running along its columns, each column's sum taking the eight rows in order. A term
// left out adds +0, which leaves every sum as it is (a sum that starts at +0 is never -0).
void off_diagonal_tile(Dense& x, const double* packed, std::size_t m, std::size_t a0, std::size_t a1,
                       std::size_t b0, std::size_t b1) {
    for (std::size_t a = a0; a < a1; a += kRowGroup) {
        const double* rows[kRowGroup];  // row a + g from column b0 on
        double va[kRowGroup], s[kRowGroup];
        bool on[kRowGroup];
        bool any = false;
        for (std::size_t g = 0; g < kRowGroup; ++g) {
            const std::size_t r = std::min(a + g, a1 - 1);
            on[g] = a + g < a1 && x.included[r];
            any = any || on[g];
            rows[g] = packed + row_start(r, m) + (b0 - r - 1);
            va[g] = on[g] ? x.v[r] : 0.0;
            s[g] = on[g] ? x.u[r] : 0.0;
        }
        if (!any) continue;
        const std::size_t b = wide_groups() ? row_group_wide(x, rows, on, va, s, b0, b1) : b0;
        row_group_plain(x, rows, on, va, s, b0, b, b1);
        for (std::size_t g = 0; g < kRowGroup; ++g)
            if (on[g]) x.u[a + g] = s[g];
    }
}

Dense gather(const ComponentVectors& x) {
    const std::size_t m = x.active.size();
    Dense d;
    d.v.resize(m);
    d.u.assign(m, 0.0);
    d.included.resize(m);
    d.on.resize(m);
    for (std::size_t a = 0; a < m; ++a) {
        const auto e = static_cast<std::size_t>(x.active[a]);
        d.v[a] = x.v[e];
        d.included[a] = x.flags[e] == 1;
        d.on[a] = d.included[a] ? 1.0 : 0.0;
    }
    return d;
}

double bounded(double x) { return std::min(std::max(x, -1.0), 1.0); }

}  // namespace

void multiply_packed(ComponentVectors& x, std::span<double> packed, WorkerPool& pool) {
    if (x.first) {
        PackedComponentMatrix whole(packed, nullptr);
        multiply_stored(x, whole);
        return;
    }
    const std::size_t m = x.active.size();
    Dense d = gather(x);
    const std::size_t strips = (m + kStrip - 1) / kStrip;
    auto edge = [&](std::size_t s) { return std::min(m, s * kStrip); };
    for (std::size_t diagonal = 0; strips > 0 && diagonal <= 2 * (strips - 1); ++diagonal) {
        const std::size_t first = diagonal >= strips ? diagonal - strips + 1 : 0;
        const std::size_t last = diagonal / 2;  // tiles (I, diagonal - I) with I <= diagonal - I
        auto task = [&](int t) {
            const std::size_t i = first + static_cast<std::size_t>(t), j = diagonal - i;
            if (i == j) diagonal_tile(d, packed.data(), m, edge(i), edge(i + 1));
            else off_diagonal_tile(d, packed.data(), m, edge(i), edge(i + 1), edge(j), edge(j + 1));
        };
        pool.run(static_cast<int>(last - first + 1), task);
    }
    std::fill(x.u.begin(), x.u.end(), 0.0);
    for (std::size_t a = 0; a < m; ++a) x.u[static_cast<std::size_t>(x.active[a])] = d.u[a];
}

void deflate_packed(ComponentVectors& x, std::span<double> packed, WorkerPool& pool) {
    deflate_diagonal(x);
    const std::size_t m = x.active.size();
    const Dense d = gather(x);
    std::vector<double> u(m);
    for (std::size_t a = 0; a < m; ++a) u[a] = x.u[static_cast<std::size_t>(x.active[a])];
    // Tasks of about equal numbers of pairs.
    const int tasks = static_cast<int>(std::min<std::size_t>(std::max<std::size_t>(m, 1), 256));
    std::vector<std::size_t> bounds(static_cast<std::size_t>(tasks) + 1, m);
    bounds[0] = 0;
    const double total = static_cast<double>(m) * static_cast<double>(m) / 2.0;
    for (std::size_t a = 0, t = 1; a < m && t < bounds.size() - 1; ++a) {
        const double before = static_cast<double>(a) * (static_cast<double>(m) - static_cast<double>(a) / 2.0);
        if (before >= total * static_cast<double>(t) / tasks) bounds[t++] = a;
    }
    for (std::size_t t = 1; t < bounds.size(); ++t) bounds[t] = std::max(bounds[t], bounds[t - 1]);
    auto task = [&](int t) {
        for (std::size_t a = bounds[static_cast<std::size_t>(t)]; a < bounds[static_cast<std::size_t>(t) + 1]; ++a) {
            if (!d.included[a]) continue;
            double* row = packed.data() + row_start(a, m);
            for (std::size_t b = a + 1; b < m; ++b) {
                double& r = row[b - a - 1];
                if (d.included[b] && std::fabs(r) < kAbsent) r = bounded(r - u[a] * u[b]);
            }
        }
    };
    pool.run(tasks, task);
}

}  // namespace korvelan

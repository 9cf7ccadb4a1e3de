#include "engine/analyses/pairwise_rows.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>

#include "engine/analyses/residual_correlations.h"

namespace korvelan {

namespace {

constexpr std::int16_t kMissing = -32768;
constexpr std::size_t kLanes = 8;  // pairs whose covariances run together

// The running covariances of row a with rows b to b + 7, deviations by column at `stride`:
// sab += (da x db) / (n - 1) - sab / n for n = 2 .. L, in every lane as the scalar loop does.
// No fused multiply-add: each product and quotient is rounded on its own, as there.
__attribute__((target("avx2"))) void covariances_wide(const double* dev, std::size_t stride, std::size_t columns,
                                                      std::size_t a, std::size_t b, double* sab) {
    __m256d s0 = _mm256_setzero_pd(), s1 = _mm256_setzero_pd();
    for (std::size_t k = 1; k < columns; ++k) {
        const double* column = dev + k * stride;
        const __m256d da = _mm256_set1_pd(column[a]);
        const __m256d before = _mm256_set1_pd(static_cast<double>(k));
        const __m256d n = _mm256_set1_pd(static_cast<double>(k + 1));
        const __m256d t0 = _mm256_sub_pd(_mm256_div_pd(_mm256_mul_pd(da, _mm256_loadu_pd(column + b)), before),
                                         _mm256_div_pd(s0, n));
        const __m256d t1 = _mm256_sub_pd(_mm256_div_pd(_mm256_mul_pd(da, _mm256_loadu_pd(column + b + 4)), before),
                                         _mm256_div_pd(s1, n));
        s0 = _mm256_add_pd(s0, t0);
        s1 = _mm256_add_pd(s1, t1);
    }
    _mm256_storeu_pd(sab, s0);
    _mm256_storeu_pd(sab + 4, s1);
}

void covariances_plain(const double* dev, std::size_t stride, std::size_t columns, std::size_t a, std::size_t b,
                       double* sab) {
    std::fill(sab, sab + kLanes, 0.0);
    for (std::size_t k = 1; k < columns; ++k) {
        const double* column = dev + k * stride;
        const double before = static_cast<double>(k), n = static_cast<double>(k + 1);
        for (std::size_t l = 0; l < kLanes; ++l) sab[l] += column[a] * column[b + l] / before - sab[l] / n;
    }
}

bool wide_lanes() {
    static const bool wide = __builtin_cpu_supports("avx2");
    return wide;
}

std::size_t padded(std::size_t rows) { return rows + kLanes; }

}  // namespace

PairwiseRows::PairwiseRows(std::span<const std::int16_t> block, std::size_t rows, std::size_t columns,
                           bool observed_only, float smallest)
    : codes_(block),
      rows_(rows),
      columns_(columns),
      words_((columns + 63) / 64),
      observed_only_(observed_only),
      smallest_(smallest),
      deviations_(columns * padded(rows), 0.0),
      variances_(rows, 0.0),
      missing_(rows * words_, 0),
      complete_(rows, 1) {
    const std::size_t stride = padded(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::int16_t* y = codes_.data() + r * columns;
        double n = 0.0, m = 0.0, s = 0.0;
        for (std::size_t k = 0; k < columns; ++k) {
            const bool absent = y[k] == kMissing;
            if (absent) {
                missing_[r * words_ + k / 64] |= std::uint64_t{1} << (k % 64);
                complete_[r] = 0;
            }
            const double v = absent ? 0.0 : y[k];
            n += 1.0;
            m += (v - m) / n;
            if (n > 1.0) s += (m - v) * (m - v) / (n - 1.0) - s / n;
            deviations_[k * stride + r] = m - v;
        }
        variances_[r] = s;
    }
}

std::int64_t PairwiseRows::bytes(std::size_t rows, std::size_t columns) {
    const auto r = static_cast<std::int64_t>(rows), c = static_cast<std::int64_t>(columns);
    return c * static_cast<std::int64_t>(padded(rows)) * 8 + r * (8 + 1 + 8 * ((c + 63) / 64));
}

bool PairwiseRows::shared_columns(std::size_t a, std::size_t b) const {
    if (observed_only_) return !(complete_[a] && complete_[b]);
    const std::uint64_t* ma = missing_.data() + a * words_;
    const std::uint64_t* mb = missing_.data() + b * words_;
    for (std::size_t w = 0; w < words_; ++w)
        if (ma[w] & mb[w]) return true;
    return false;
}

void PairwiseRows::lanes(std::size_t a, std::size_t b, double* sab) const {
    if (wide_lanes()) covariances_wide(deviations_.data(), padded(rows_), columns_, a, b, sab);
    else covariances_plain(deviations_.data(), padded(rows_), columns_, a, b, sab);
}

void PairwiseRows::row_pairs(std::size_t a, std::size_t b0, std::size_t b1, double* out,
                             std::uint8_t* computed) const {
    double sab[kLanes];
    for (std::size_t b = b0; b < b1; b += kLanes) {
        const std::size_t count = std::min(kLanes, b1 - b);
        bool slow[kLanes] = {};
        bool any_fast = false;
        for (std::size_t l = 0; l < count; ++l) {
            slow[l] = columns_ < 2 || shared_columns(a, b + l);
            any_fast = any_fast || !slow[l];
        }
        if (any_fast) lanes(a, b, sab);
        for (std::size_t l = 0; l < count; ++l) {
            const std::size_t k = b - b0 + l;
            if (slow[l]) {
                bool ok = false;
                out[k] = residual_correlation(row(a), row(b + l), observed_only_, smallest_, ok);
                computed[k] = ok;
                continue;
            }
            const double sa = variances_[a], sb = variances_[b + l];
            computed[k] = !(sa == 0.0 || sb == 0.0);
            if (!computed[k]) {
                out[k] = 0.0;
                continue;
            }
            double q = sa * sb;
            if (q < smallest_) q = smallest_;
            out[k] = sab[l] / std::sqrt(q);
        }
    }
}

}  // namespace korvelan

#include "engine/analyses/residual_products.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>

namespace korvelan {

namespace {

constexpr std::int16_t kMissing = -32768;
constexpr std::size_t kTaskColumns = 256;  // columns of one task of a pair block
constexpr std::size_t kGroup = 4;          // rows of one tile
constexpr std::size_t kPanel = 8;          // columns of one tile
constexpr std::size_t kChunkRows = 1024;   // rows of one partial sum of the products
constexpr std::size_t kMostBlockRows = 64;
constexpr std::size_t kBlockBytes = std::size_t{64} << 20;
// Sums of fewer codes than this are exact in a double.
constexpr std::size_t kExactColumns = std::size_t{1} << 23;

__extension__ typedef __int128 Wide;

// The columns of one pass of a pair block: long rows (many persons under each item) are taken a
// slice at a time, so that the packed rows stay small; the sums of the slices are exact.
constexpr std::size_t kSliceColumns = 2048;

// Columns [k0, k0 + width) of the `count` rows from `first`, column by column:
// out[k x count + r]; rows past `end` are 0. A tile's group takes 4 rows, its panel 8.
void pack_rows(const ResidualRows& x, std::size_t first, std::size_t count, std::size_t end, std::size_t k0,
               std::size_t width, double* out) {
    const std::size_t n = x.columns;
    for (std::size_t r = 0; r < count; ++r) {
        const std::int16_t* row = first + r < end ? x.codes.data() + (first + r) * n + k0 : nullptr;
        for (std::size_t k = 0; k < width; ++k) out[k * count + r] = row ? row[k] : 0.0;
    }
}

// The 4 x 8 cross products of a packed group and panel: acc[r x 8 + c]. Every product and sum
// is a whole number below 2^53, so both forms give the same, exact, values.
__attribute__((target("avx2,fma"))) void tile_wide(const double* a, const double* b, std::size_t n, double* acc) {
    __m256d c00 = _mm256_setzero_pd(), c01 = c00, c10 = c00, c11 = c00, c20 = c00, c21 = c00, c30 = c00,
            c31 = c00;
    for (std::size_t k = 0; k < n; ++k) {
        const __m256d b0 = _mm256_loadu_pd(b + k * kPanel), b1 = _mm256_loadu_pd(b + k * kPanel + 4);
        const __m256d a0 = _mm256_broadcast_sd(a + k * kGroup), a1 = _mm256_broadcast_sd(a + k * kGroup + 1);
        const __m256d a2 = _mm256_broadcast_sd(a + k * kGroup + 2), a3 = _mm256_broadcast_sd(a + k * kGroup + 3);
        c00 = _mm256_fmadd_pd(a0, b0, c00);
        c01 = _mm256_fmadd_pd(a0, b1, c01);
        c10 = _mm256_fmadd_pd(a1, b0, c10);
        c11 = _mm256_fmadd_pd(a1, b1, c11);
        c20 = _mm256_fmadd_pd(a2, b0, c20);
        c21 = _mm256_fmadd_pd(a2, b1, c21);
        c30 = _mm256_fmadd_pd(a3, b0, c30);
        c31 = _mm256_fmadd_pd(a3, b1, c31);
    }
    _mm256_storeu_pd(acc, c00);
    _mm256_storeu_pd(acc + 4, c01);
    _mm256_storeu_pd(acc + 8, c10);
    _mm256_storeu_pd(acc + 12, c11);
    _mm256_storeu_pd(acc + 16, c20);
    _mm256_storeu_pd(acc + 20, c21);
    _mm256_storeu_pd(acc + 24, c30);
    _mm256_storeu_pd(acc + 28, c31);
}

void tile_plain(const double* a, const double* b, std::size_t n, double* acc) {
    std::fill(acc, acc + kGroup * kPanel, 0.0);
    for (std::size_t k = 0; k < n; ++k)
        for (std::size_t r = 0; r < kGroup; ++r)
            for (std::size_t c = 0; c < kPanel; ++c) acc[r * kPanel + c] += a[k * kGroup + r] * b[k * kPanel + c];
}

std::int64_t whole(double v) { return static_cast<std::int64_t>(v); }

}  // namespace

bool wide_tiles() {
    static const bool wide = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return wide;
}

ResidualRows::ResidualRows(std::span<const std::int16_t> block, std::size_t r, std::size_t c)
    : codes(block), rows(r), columns(c), sums(r, 0.0), spreads(r, 0.0), variances(r, 0.0) {
    std::int64_t largest = 0;
    for (std::int16_t v : codes) largest = std::max<std::int64_t>(largest, v < 0 ? -std::int64_t{v} : v);
    doubles_exact = static_cast<double>(columns) * static_cast<double>(largest) < 67108864.0;  // 2^26
    const double l2 = static_cast<double>(columns) * static_cast<double>(columns);
    for (std::size_t a = 0; a < rows; ++a) {
        std::int64_t s = 0, q = 0;
        for (std::size_t k = 0; k < columns; ++k) {
            const std::int64_t v = codes[a * columns + k];
            s += v;
            q += v * v;
        }
        sums[a] = static_cast<double>(s);
        spreads[a] = static_cast<double>(static_cast<Wide>(columns) * q - static_cast<Wide>(s) * s);
        variances[a] = spreads[a] / l2;
    }
}

bool residuals_complete(std::span<const std::int16_t> block) {
    return std::find(block.begin(), block.end(), kMissing) == block.end();
}

bool product_form_holds(const ResidualRows& x, float smallest) {
    if (x.columns < 2 || x.columns >= kExactColumns) return false;
    double first = 0.0, second = 0.0;  // the two smallest positive spreads
    for (double s : x.spreads) {
        if (s <= 0.0) continue;
        if (first == 0.0 || s < first) {
            second = first;
            first = s;
        } else if (second == 0.0 || s < second) {
            second = s;
        }
    }
    const double l2 = static_cast<double>(x.columns) * static_cast<double>(x.columns);
    return second == 0.0 || (first / l2) * (second / l2) >= smallest;
}

double pair_correlation(const ResidualRows& x, std::size_t a, std::size_t b, double cross, float smallest,
                        bool& computed) {
    computed = x.columns >= 2 && x.spreads[a] > 0.0 && x.spreads[b] > 0.0;
    if (!computed) return 0.0;
    const double l = static_cast<double>(x.columns), l2 = l * l;
    const double num = x.doubles_exact
                           ? l * cross - x.sums[a] * x.sums[b]
                           : static_cast<double>(static_cast<Wide>(x.columns) * whole(cross) -
                                                 static_cast<Wide>(whole(x.sums[a])) * whole(x.sums[b]));
    double q = x.variances[a] * x.variances[b];
    if (q < smallest) q = smallest;
    return (num / l2) / std::sqrt(q);
}

std::size_t pair_block_rows(std::size_t rows) {
    const std::size_t fit = kBlockBytes / (std::max<std::size_t>(rows, 1) * sizeof(double));
    return std::max(kGroup, std::min(kMostBlockRows, fit / kGroup * kGroup));
}

int pair_block_tasks(std::size_t a0, std::size_t rows) {
    if (a0 + 1 >= rows) return 0;
    return static_cast<int>((rows - a0 - 1 + kTaskColumns - 1) / kTaskColumns);
}

std::size_t pair_task_columns() { return kTaskColumns; }

std::size_t pair_task_first(std::size_t a0, int task) { return a0 + 1 + static_cast<std::size_t>(task) * kTaskColumns; }

void for_each_pair_block(const ResidualRows& x, WorkerPool& pool, const PairBlockCallbacks& callbacks) {
    const std::size_t n = x.rows, l = x.columns;
    const std::size_t slice = std::min(l, kSliceColumns);
    const std::size_t block_rows = pair_block_rows(n);
    std::vector<double> cross(block_rows * n, 0.0);
    std::vector<double> groups(block_rows / kGroup * kGroup * slice);
    std::vector<std::vector<double>> panels(static_cast<std::size_t>(pool.size()));
    const bool wide = wide_tiles();
    for (std::size_t a0 = 0; a0 < n; a0 += block_rows) {
        const std::size_t a1 = std::min(n, a0 + block_rows);
        const int tasks = pair_block_tasks(a0, n);
        for (std::size_t k0 = 0; k0 < l; k0 += slice) {
            const std::size_t width = std::min(slice, l - k0);
            const bool last_slice = k0 + width >= l;
            for (std::size_t g = 0; a0 + g * kGroup < a1; ++g)
                pack_rows(x, a0 + g * kGroup, kGroup, a1, k0, width, groups.data() + g * kGroup * width);
            auto task = [&](int t) {
                const std::size_t b0 = pair_task_first(a0, t), b1 = std::min(n, b0 + kTaskColumns);
                std::vector<double>& own = panels[static_cast<std::size_t>(WorkerPool::thread_index())];
                if (own.empty()) own.resize(kTaskColumns * slice);
                double* panel = own.data();
                for (std::size_t b = b0; b < b1; b += kPanel) pack_rows(x, b, kPanel, b1, k0, width, panel + (b - b0) * width);
                double acc[kGroup * kPanel];
                for (std::size_t g = 0; a0 + g * kGroup < a1; ++g) {
                    const std::size_t ga = a0 + g * kGroup;
                    for (std::size_t b = b0; b < b1; b += kPanel) {
                        if (b + kPanel <= ga + 1) continue;  // every pair of the tile has b <= a
                        const double* pa = groups.data() + g * kGroup * width;
                        const double* pb = panel + (b - b0) * width;
                        if (wide) tile_wide(pa, pb, width, acc);
                        else tile_plain(pa, pb, width, acc);
                        for (std::size_t r = 0; r < kGroup && ga + r < a1; ++r)
                            for (std::size_t c = 0; c < kPanel && b + c < b1; ++c) {
                                double& to = cross[(ga + r - a0) * n + b + c];
                                to = k0 == 0 ? acc[r * kPanel + c] : to + acc[r * kPanel + c];
                            }
                    }
                }
                if (last_slice && callbacks.tile) callbacks.tile(t, a0, a1, b0, b1, cross);
            };
            if (tasks > 0) pool.run(tasks, task);
        }
        if (callbacks.block && !callbacks.block(a0, a1, cross)) return;
    }
}

std::int64_t residual_product_bytes(std::size_t rows, std::size_t columns, std::int32_t entries) {
    const auto r = static_cast<std::int64_t>(rows);
    return 8 * (r * static_cast<std::int64_t>(columns) + r * 5) + std::int64_t{40} * entries;
}

ResidualProduct::ResidualProduct(const ResidualRows& x, WorkerPool& pool)
    : pool_(pool), rows_(x.rows), columns_(x.columns), z_(x.rows * x.columns, 0.0), zz_(x.rows, 0.0) {
    const double l = static_cast<double>(columns_);
    for (std::size_t a = 0; a < rows_; ++a) {
        if (x.spreads[a] <= 0.0) continue;
        const double scale = std::sqrt(l * x.spreads[a]);
        double* z = z_.data() + a * columns_;
        const std::int16_t* y = x.codes.data() + a * columns_;
        double s = 0.0;
        for (std::size_t k = 0; k < columns_; ++k) {
            z[k] = (l * y[k] - x.sums[a]) / scale;
            s += z[k] * z[k];
        }
        zz_[a] = s;
    }
}

void ResidualProduct::chunked_sums(std::size_t width,
                                   const std::function<void(std::size_t, std::size_t, double*)>& add,
                                   std::vector<double>& out) {
    const int chunks = static_cast<int>((rows_ + kChunkRows - 1) / kChunkRows);
    ChunkBlocks<double> partial(chunks, width);
    auto task = [&](int c) {
        const std::size_t first = static_cast<std::size_t>(c) * kChunkRows;
        add(first, std::min(rows_, first + kChunkRows), partial[c]);
    };
    pool_.run(chunks, task);
    out.assign(width, 0.0);
    for (int c = 0; c < chunks; ++c)
        for (std::size_t k = 0; k < width; ++k) out[k] += partial[c][k];
}

void ResidualProduct::multiply(ComponentVectors& x) {
    if (x.first) {
        if (rows_ >= 2)
            for (std::int32_t e : x.active) x.flags[static_cast<std::size_t>(e)] = 1;
        x.first = false;
    }
    std::fill(x.u.begin(), x.u.end(), 0.0);
    if (rows_ < 2) return;
    const std::size_t l = columns_, k_removed = components_;
    const double* v = x.v.data();
    const std::int32_t* entry = x.active.data();
    // t = Zᵀ v, then the removed components' products with v.
    chunked_sums(l + k_removed, [&](std::size_t first, std::size_t last, double* out) {
        for (std::size_t a = first; a < last; ++a) {
            const double va = v[entry[a]];
            const double* z = z_.data() + a * l;
            for (std::size_t k = 0; k < l; ++k) out[k] += z[k] * va;
            for (std::size_t m = 0; m < k_removed; ++m) out[l + m] += removed_[m * rows_ + a] * va;
        }
    }, t_);
    const int chunks = static_cast<int>((rows_ + kChunkRows - 1) / kChunkRows);
    double* u = x.u.data();
    auto task = [&](int c) {
        const std::size_t first = static_cast<std::size_t>(c) * kChunkRows, last = std::min(rows_, first + kChunkRows);
        for (std::size_t a = first; a < last; ++a) {
            const double* z = z_.data() + a * l;
            double s = 0.0;
            for (std::size_t k = 0; k < l; ++k) s += z[k] * t_[k];
            double diagonal = zz_[a];
            for (std::size_t m = 0; m < k_removed; ++m) {
                const double um = removed_[m * rows_ + a];
                s -= um * t_[l + m];
                diagonal -= um * um;
            }
            u[entry[a]] = s - diagonal * v[entry[a]];
        }
    };
    pool_.run(chunks, task);
}

void ResidualProduct::deflate(ComponentVectors& x) {
    for (std::size_t a = 0; a < rows_; ++a) removed_.push_back(x.u[static_cast<std::size_t>(x.active[a])]);
    ++components_;
    deflate_diagonal(x);
}

}  // namespace korvelan

// The residual correlations of complete data as products of the residual rows. With every
// residual present, the means of a pair are the row means over all L columns and their divisors
// L, so the correlation of rows a and b follows from whole-number sums of the residual codes:
//     r = (L P - S_a S_b) / sqrt((L Q_a - S_a²)(L Q_b - S_b²)),
// S the row sum, Q the sum of squares, P the cross product. Codes are below 2^15, so every
// product and every sum of fewer than 2^23 of them is exact in a double: the cross products
// are the same whatever the order of summation, the blocking or the thread count.
//
// The matrix is then R = Z Zᵀ, z_a the residuals of row a centred on their mean and scaled to
// length 1 (a row of no variance is 0 and keeps its diagonal of 1), and the principal
// components need only the products R v = Z (Zᵀ v): no pair is stored.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/analyses/component_iteration.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

// The residual block of `rows` rows of `columns` codes each (row-major) with the row sums and
// spreads L Q - S² (0 for a row of no variance).
struct ResidualRows {
    ResidualRows(std::span<const std::int16_t> block, std::size_t rows, std::size_t columns);
    std::span<const std::int16_t> codes;
    std::size_t rows = 0, columns = 0;
    std::vector<double> sums, spreads;
    std::vector<double> variances;  // spread / L², the population variance
    // Whether L x cross product and S_a x S_b stay below 2^53 for every pair, so that the
    // numerator is exact in doubles (else it is formed in 128-bit integers).
    bool doubles_exact = false;
};

// Whether the block holds no missing code.
bool residuals_complete(std::span<const std::int16_t> block);

// Whether the pairs of these rows are all correlations as the pairwise computation gives them:
// at least two columns, and no pair whose product of variances falls below `smallest` (which
// the pairwise computation raises to `smallest`).
bool product_form_holds(const ResidualRows& x, float smallest);

// The correlation of rows a and b from their cross product; 0 with computed false when either
// row has no variance or there are fewer than two columns.
double pair_correlation(const ResidualRows& x, std::size_t a, std::size_t b, double cross, float smallest,
                        bool& computed);

// Every pair a < b, in blocks of consecutive rows. For each block [a0, a1) the cross products
// of each of its rows with every later row are computed on the worker threads in column tasks
// [b0, b1) (the same tasks at every thread count); tile(task, a0, a1, b0, b1, cross) runs on
// the thread of the task once its products are in `cross` (row a's product with b at
// (a - a0) x rows + b), then block(a0, a1, cross) on the calling thread. block returns false to
// stop. Returns the number of tasks per block (the most a block can have).
struct PairBlockCallbacks {
    std::function<void(int task, std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1,
                       std::span<const double> cross)>
        tile;
    std::function<bool(std::size_t a0, std::size_t a1, std::span<const double> cross)> block;
};
void for_each_pair_block(const ResidualRows& x, WorkerPool& pool, const PairBlockCallbacks& callbacks);

// Whether this processor runs the 256-bit forms of the pair loops (AVX2 and FMA).
bool wide_tiles();

// The rows in one block of for_each_pair_block: 64, fewer when one row of products is long.
std::size_t pair_block_rows(std::size_t rows);
// The column tasks of a block: columns [a0 + 1, rows) in runs of 256.
int pair_block_tasks(std::size_t a0, std::size_t rows);
std::size_t pair_task_first(std::size_t a0, int task);
std::size_t pair_task_columns();

// The bytes the product form of the components holds: the unit rows and four deflated
// components, with the vectors of the iteration.
std::int64_t residual_product_bytes(std::size_t rows, std::size_t columns, std::int32_t entries);

// R v for the power iteration and its deflation, entry a of the rows being x.active[a].
class ResidualProduct {
public:
    ResidualProduct(const ResidualRows& x, WorkerPool& pool);
    // x.u := the off-diagonal part of (R - sum of the removed components) times x.v, over the
    // active entries; the first call includes every active entry when there are two or more.
    void multiply(ComponentVectors& x);
    // Removes the component in x.u: kept for the later products; x.d and x.v as the stored
    // matrix has them.
    void deflate(ComponentVectors& x);

private:
    // Sums over the rows in fixed chunks of rows, added in chunk order.
    void chunked_sums(std::size_t width, const std::function<void(std::size_t, std::size_t, double*)>& add,
                      std::vector<double>& out);
    WorkerPool& pool_;
    std::size_t rows_, columns_;
    std::vector<double> z_;        // unit rows, row-major
    std::vector<double> zz_;       // |z_a|², as computed
    std::vector<double> removed_;  // the removed components, one row of `rows_` loadings each
    std::size_t components_ = 0;
    std::vector<double> t_, dots_;
};

}  // namespace korvelan

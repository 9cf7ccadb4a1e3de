// The numerics of the principal components of a residual correlation matrix: power iteration
// from a start vector of ones, at most 51 iterations to a largest change of .003 in the
// eigenvector scaled to a largest element of 1, and deflation of the component found, both in
// one pass over the pairs in the order of the correlation work file. Only the upper triangle is
// stored; the diagonal is the variance of each entry not yet explained, starting at 1.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/analyses/work_file.h"

namespace korvelan {

// The matrix the iteration passes over, one row at a time: the records of row a are the pairs
// of active entry a with the active entries after it, consecutive in the work-file order.
class ComponentMatrix {
public:
    virtual ~ComponentMatrix() = default;
    // The `count` records from record `first_record` on; `first` in the first pass, which reads
    // the correlation work file. The span stays valid until the next call.
    virtual std::span<double> row(std::int64_t first_record, std::size_t count, bool first) = 0;
    // The row, deflated in the span row() gave, is stored back.
    virtual void write_row(std::int64_t first_record, std::span<const double> values) = 0;
    // The end of a pass; `deflated` after a deflation pass.
    virtual void end_pass(bool deflated) = 0;
};

// Memory: the packed matrix, filled from the source in the first pass (or given whole).
class PackedComponentMatrix : public ComponentMatrix {
public:
    // fill(first_record, out): records of the correlation work file into out; nullptr when
    // `packed` is full already.
    using Fill = std::function<void(std::int64_t, std::span<double>)>;
    PackedComponentMatrix(std::span<double> packed, Fill fill) : packed_(packed), fill_(std::move(fill)) {}
    std::span<double> row(std::int64_t first_record, std::size_t count, bool first) override;
    void write_row(std::int64_t, std::span<const double>) override {}
    void end_pass(bool) override {}

private:
    std::span<double> packed_;
    Fill fill_;
};

// The loading, trial and diagonal vectors and the inclusion flags, indexed by entry 1..N
// (element 0 unused), and the active entries in ascending order.
struct ComponentVectors {
    explicit ComponentVectors(std::int32_t n, std::vector<std::int32_t> active_entries);
    std::int32_t n = 0;
    std::vector<double> u, v, d;
    std::vector<std::int32_t> flags;
    std::vector<std::int32_t> active;
    bool first = true;  // the next pass is the first: it sets the inclusion flags
};

struct ComponentStep {
    bool found = false;      // false: no entry is included, or the eigenvalue or scale is 0
    double eigenvalue = 0.0;
    std::int32_t included = 0;  // c, the entries in the analysis
    std::int32_t iterations = 0;
};

// Power iteration for the next component. finish() is polled before each iteration (true ends
// it); after_iteration() runs after each one.
ComponentStep extract_component(ComponentVectors& x, ComponentMatrix& matrix,
                                const std::function<bool()>& finish,
                                const std::function<void()>& after_iteration);

// The same iteration on a product: multiply(x) sets x.u to the off-diagonal part of the matrix
// times x.v over the included entries (its first call, with x.first, sets x.flags and clears
// x.first).
using ComponentProduct = std::function<void(ComponentVectors&)>;
ComponentStep extract_component(ComponentVectors& x, const ComponentProduct& multiply,
                                const std::function<bool()>& finish,
                                const std::function<void()>& after_iteration);

// x.u := the off-diagonal part of the stored matrix times x.v, over the pairs the pass may use
// (the first pass sets the inclusion flags).
void multiply_stored(ComponentVectors& x, ComponentMatrix& matrix);

// Removes the component in x.u from the matrix and the diagonal; v starts again at 1.
void deflate_component(ComponentVectors& x, ComponentMatrix& matrix);
// The diagonal and the trial vector of that removal: d less the squared loading (within
// [-1, 1]), v back at 1.
void deflate_diagonal(ComponentVectors& x);

}  // namespace korvelan

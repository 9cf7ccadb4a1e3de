#include "engine/analyses/component_iteration.h"

#include <algorithm>
#include <cmath>

namespace korvelan {

namespace {
constexpr double kAbsent = 10.0;
constexpr int kIterationLimit = 50;
// The convergence limit as the 32-bit real .003.
constexpr double kLargestChange = static_cast<double>(0.003f);

double bounded(double x) { return std::min(std::max(x, -1.0), 1.0); }
}  // namespace

std::span<double> PackedComponentMatrix::row(std::int64_t first_record, std::size_t count, bool first) {
    const std::span<double> r = packed_.subspan(static_cast<std::size_t>(first_record - 1), count);
    if (first && fill_) fill_(first_record, r);
    return r;
}

ComponentVectors::ComponentVectors(std::int32_t entries, std::vector<std::int32_t> active_entries)
    : n(entries),
      u(static_cast<std::size_t>(entries) + 1, 0.0),
      v(static_cast<std::size_t>(entries) + 1, 1.0),
      d(static_cast<std::size_t>(entries) + 1, 1.0),
      flags(static_cast<std::size_t>(entries) + 1, 0),
      active(std::move(active_entries)) {}

namespace {

// visit(i, j, r) for every pair of a row that the pass uses: the rows of included entries (all
// rows in the first pass), in the work-file order. Returns nothing; rows of entries left out
// are not read.
template <class Visit>
void for_each_row(ComponentVectors& x, ComponentMatrix& matrix, bool deflating, Visit visit) {
    const std::size_t m = x.active.size();
    std::int64_t first_record = 1;
    for (std::size_t a = 0; a < m; ++a) {
        const std::size_t count = m - a - 1;
        const auto i = static_cast<std::size_t>(x.active[a]);
        if (count > 0 && (x.first || x.flags[i] == 1)) {
            const std::span<double> r = matrix.row(first_record, count, x.first && !deflating);
            const std::int32_t* later = x.active.data() + a + 1;
            for (std::size_t k = 0; k < count; ++k) {
                const auto j = static_cast<std::size_t>(later[k]);
                if (x.first || x.flags[j] == 1) visit(i, j, r[k]);
            }
            if (deflating) matrix.write_row(first_record, r);
        }
        first_record += static_cast<std::int64_t>(count);
    }
}

}  // namespace

void multiply_stored(ComponentVectors& x, ComponentMatrix& matrix) {
    std::fill(x.u.begin(), x.u.end(), 0.0);
    const bool first = x.first;
    for_each_row(x, matrix, false, [&](std::size_t i, std::size_t j, double r) {
        if (r >= kAbsent) return;
        if (first) x.flags[i] = x.flags[j] = 1;
        x.u[i] += x.v[j] * r;
        x.u[j] += x.v[i] * r;
    });
    x.first = false;
    matrix.end_pass(false);
}

ComponentStep extract_component(ComponentVectors& x, ComponentMatrix& matrix,
                                const std::function<bool()>& finish,
                                const std::function<void()>& after_iteration) {
    return extract_component(x, ComponentProduct([&](ComponentVectors& y) { multiply_stored(y, matrix); }), finish,
                             after_iteration);
}

ComponentStep extract_component(ComponentVectors& x, const ComponentProduct& product,
                                const std::function<bool()>& finish,
                                const std::function<void()>& after_iteration) {
    ComponentStep step;
    double delta = 0.0;
    do {
        if (finish()) break;
        product(x);
        std::int32_t c = 0;
        double s = 0.0, lambda = 0.0;
        for (std::int32_t i = x.n; i >= 1; --i) {
            if (x.flags[static_cast<std::size_t>(i)] != 1) continue;
            double& ui = x.u[static_cast<std::size_t>(i)];
            ++c;
            ui += x.v[static_cast<std::size_t>(i)] * x.d[static_cast<std::size_t>(i)];
            s += ui * ui;
            if (std::fabs(lambda) < std::fabs(ui)) lambda = ui;
        }
        step.included = c;
        // No entry, or a product of 0 (an eigenvalue or scale of 0): nothing to divide by, and
        // the analysis ends before this component is reported.
        if (c < 1 || lambda == 0.0 || s == 0.0) return ComponentStep{false, 0.0, c, step.iterations};
        delta = 0.0;
        const double scale = std::sqrt(std::fabs(lambda / s));
        for (std::int32_t i = x.n; i >= 1; --i) {
            const auto k = static_cast<std::size_t>(i);
            if (x.flags[k] != 1) continue;
            const double w = x.u[k] / lambda;
            delta = std::max(delta, std::fabs(w - x.v[k]));
            x.v[k] = w;
            x.u[k] = scale * x.u[k];
        }
        step.eigenvalue = std::fabs(lambda);
        step.found = true;
        if (++step.iterations > kIterationLimit) delta = 0.0;
        after_iteration();
    } while (delta > kLargestChange && !finish());
    return step;
}

void deflate_diagonal(ComponentVectors& x) {
    for (std::int32_t i = 1; i <= x.n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        x.d[k] = bounded(x.d[k] - x.u[k] * x.u[k]);
        x.v[k] = 1.0;
    }
}

void deflate_component(ComponentVectors& x, ComponentMatrix& matrix) {
    deflate_diagonal(x);
    // Absent values (10 or more) stay as they are.
    for_each_row(x, matrix, true, [&](std::size_t i, std::size_t j, double& r) {
        if (std::fabs(r) < kAbsent) r = bounded(r - x.u[i] * x.u[j]);
    });
    matrix.end_pass(true);
}

}  // namespace korvelan

#include "engine/analyses/residual_pairs.h"

#include <immintrin.h>

#include <algorithm>
#include <array>
#include <optional>
#include <cmath>
#include <cstdint>

#include "engine/analyses/residual_access.h"
#include "engine/analyses/residual_correlations.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"

namespace korvelan {

namespace {

// The pairs one thread passes on to the list of the largest correlations. A pair is left out
// when ten pairs of larger absolute correlation have been passed on before it: they all reach
// the list, so this pair could never stay in it, and while it was there it could only have
// pushed out pairs smaller still. Pairs that print as 1.00 always pass, since the list's rule
// for perfect pairs looks at them.
class LargestFilter {
public:
    bool keeps(double r) {
        const float f = static_cast<float>(r);
        const float a = std::fabs(f);
        if (count_ == top_.size() && a < top_.back() && r != 1.0) return false;
        if (r == 1.0 || f == 1.0f) return true;
        std::size_t at = std::min(count_, top_.size() - 1);
        while (at > 0 && top_[at - 1] < a) {
            top_[at] = top_[at - 1];
            --at;
        }
        top_[at] = a;
        count_ = std::min(count_ + 1, top_.size());
        return true;
    }

    // The absolute correlation below which a pair is left out; 0 until ten are kept.
    double threshold() const { return count_ == top_.size() ? top_.back() : 0.0; }

private:
    std::array<float, 10> top_{};  // largest first
    std::size_t count_ = 0;
};

// Whether any of the 8 pairs of row a with columns b .. b + 7 could reach the list: the test of
// the pair loop below, (L P - S_a S_b)² >= scaled x max(V_a V_b, smallest), on all eight at
// once. It only passes pairs over, so a pair it lets through is tested again one at a time.
struct PairScreen {
    double l, sum_a, variance_a, smallest, scaled;
};

__attribute__((target("avx2"))) bool screen_wide(const PairScreen& s, const double* cross, const double* sums,
                                                 const double* variances) {
    const __m256d l = _mm256_set1_pd(s.l), sa = _mm256_set1_pd(s.sum_a), va = _mm256_set1_pd(s.variance_a);
    const __m256d low = _mm256_set1_pd(s.smallest), scaled = _mm256_set1_pd(s.scaled);
    __m256d reach = _mm256_setzero_pd();
    for (int h = 0; h < 8; h += 4) {
        const __m256d num = _mm256_sub_pd(_mm256_mul_pd(l, _mm256_loadu_pd(cross + h)),
                                          _mm256_mul_pd(sa, _mm256_loadu_pd(sums + h)));
        const __m256d q = _mm256_max_pd(_mm256_mul_pd(va, _mm256_loadu_pd(variances + h)), low);
        reach = _mm256_or_pd(reach, _mm256_cmp_pd(_mm256_mul_pd(num, num), _mm256_mul_pd(scaled, q), _CMP_GE_OQ));
    }
    return _mm256_movemask_pd(reach) != 0;
}

bool screen_plain(const PairScreen& s, const double* cross, const double* sums, const double* variances) {
    bool reach = false;
    for (int h = 0; h < 8; ++h) {
        const double num = s.l * cross[h] - s.sum_a * sums[h];
        reach |= num * num >= s.scaled * std::max(s.variance_a * variances[h], s.smallest);
    }
    return reach;
}

struct Candidate {
    std::size_t a = 0, b = 0;
    double r = 0.0;
};

// The pairs each column task of a block passes on to the list of the largest correlations,
// offered to the list in pair order once the block is done.
class LargestCandidates {
public:
    LargestCandidates(std::size_t tasks, int threads)
        : found_(std::max<std::size_t>(tasks, 1)), filters_(static_cast<std::size_t>(threads)) {}
    std::vector<Candidate>& task(int t) {
        std::vector<Candidate>& out = found_[static_cast<std::size_t>(t)];
        out.clear();
        return out;
    }
    LargestFilter& filter() { return filters_[static_cast<std::size_t>(WorkerPool::thread_index())]; }
    void offer(std::size_t a0, std::size_t a1, std::size_t tasks, std::span<const std::int32_t> entries,
               std::vector<ResidualCorrelationPair>& largest) {
        std::vector<std::size_t> at(tasks, 0);
        for (std::size_t a = a0; a < a1; ++a)
            for (std::size_t t = 0; t < tasks; ++t)
                for (; at[t] < found_[t].size() && found_[t][at[t]].a == a; ++at[t]) {
                    const Candidate& c = found_[t][at[t]];
                    offer_largest_correlation(largest, entries[c.a], entries[c.b], c.r);
                }
    }

private:
    std::vector<std::vector<Candidate>> found_;
    std::vector<LargestFilter> filters_;
};

// The end of a block of a pass: its pairs into the work file in order, the progress bar and
// the poll. False when "Finish iterating" was asked.
bool end_of_block(Run& run, std::size_t a0, std::size_t a1, std::size_t n, std::optional<CorrelationRecords>& records,
                  WorkFileHandle* file, std::int64_t& p, const std::function<double(std::size_t, std::size_t)>& value) {
    if (records)
        for (std::size_t a = a0; a < a1; ++a)
            for (std::size_t b = a + 1; b < n; ++b)
                if (!records->write(++p, value(a, b))) {
                    file->close(true);
                    fail_correlation_work_file(run, records->failed_record(), 'W');
                }
    show_progress_bar(run, static_cast<int>(a1), static_cast<int>(n));
    pump_and_poll(run);
    return !run.rs.finish_iterating;
}

void flush_records(Run& run, std::optional<CorrelationRecords>& records, WorkFileHandle* file) {
    if (records && !records->flush()) {
        file->close(true);
        fail_correlation_work_file(run, records->failed_record(), 'W');
    }
}

}  // namespace

bool complete_pair_pass(Run& run, const ResidualRows& x, std::span<const std::int32_t> entries,
                        std::vector<ResidualCorrelationPair>& largest, WorkFileHandle* file) {
    const std::size_t n = x.rows;
    const float smallest = run.rs.smallest_positive;
    const std::int64_t pairs = pair_count(static_cast<std::int64_t>(n)).value_or(0);
    WorkerPool pool(correlation_threads(checked_product(pairs, static_cast<std::int64_t>(x.columns)).value_or(INT64_MAX)));
    LargestCandidates candidates(static_cast<std::size_t>(pair_block_tasks(0, n)), pool.size());
    std::optional<CorrelationRecords> records;
    if (file) records.emplace(*file);
    std::int64_t p = 0;
    bool finished = true;
    const bool wide = wide_tiles();

    PairBlockCallbacks callbacks;
    callbacks.tile = [&](int t, std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1,
                         std::span<const double> cross) {
        std::vector<Candidate>& out = candidates.task(t);
        LargestFilter& filter = candidates.filter();
        const double l = static_cast<double>(x.columns), l2 = l * l;
        for (std::size_t a = a0; a < a1; ++a) {
            if (x.columns < 2 || x.spreads[a] <= 0.0) continue;
            // Pairs below the filter's threshold by more than the rounding to the listed value
            // are passed over on their squares, without a root or a division: r² < bound² is
            // (L P - S_a S_b)² < bound² q L⁴.
            const double bound = filter.threshold() * (1.0 - 1e-6), scaled = bound * bound * l2 * l2;
            const double* row = cross.data() + (a - a0) * n;
            const PairScreen screen{l, x.sums[a], x.variances[a], static_cast<double>(smallest), scaled};
            for (std::size_t b = std::max(b0, a + 1); b < b1; ++b) {
                if (x.doubles_exact && scaled > 0.0 && b % 8 == 0 && b + 8 <= b1) {
                    const bool reach = wide ? screen_wide(screen, row + b, x.sums.data() + b, x.variances.data() + b)
                                            : screen_plain(screen, row + b, x.sums.data() + b, x.variances.data() + b);
                    if (!reach) {
                        b += 7;
                        continue;
                    }
                }
                if (x.spreads[b] <= 0.0) continue;
                if (x.doubles_exact) {
                    const double num = l * row[b] - x.sums[a] * x.sums[b];
                    const double q = std::max(x.variances[a] * x.variances[b], static_cast<double>(smallest));
                    if (num * num < scaled * q) continue;
                }
                bool computed = false;
                const double r = pair_correlation(x, a, b, row[b], smallest, computed);
                if (filter.keeps(r)) out.push_back({a, b, r});
            }
        }
    };
    callbacks.block = [&](std::size_t a0, std::size_t a1, std::span<const double> cross) {
        candidates.offer(a0, a1, static_cast<std::size_t>(pair_block_tasks(a0, n)), entries, largest);
        finished = end_of_block(run, a0, a1, n, records, file, p, [&](std::size_t a, std::size_t b) {
            bool computed = false;
            return pair_correlation(x, a, b, cross[(a - a0) * n + b], smallest, computed);
        });
        return finished;
    };
    for_each_pair_block(x, pool, callbacks);
    flush_records(run, records, file);
    return finished;
}

namespace {

// Every pair of the rows in blocks on the worker threads: the correlations of a block's rows
// with every later row (row a's with b at (a - a0) x rows + b, computed flags beside them),
// tile(task, a0, a1, b0, b1) on the thread of the task once its pairs are in, then
// block(a0, a1) on the calling thread; block returns false to stop.
struct PairwiseBlock {
    std::vector<double> r;
    std::vector<std::uint8_t> computed;
};
void for_each_pairwise_block(const PairwiseRows& x, WorkerPool& pool,
                             const std::function<void(int, std::size_t, std::size_t, std::size_t, std::size_t,
                                                      const PairwiseBlock&)>& tile,
                             const std::function<bool(std::size_t, std::size_t, const PairwiseBlock&)>& block) {
    const std::size_t n = x.rows();
    const std::size_t block_rows = pair_block_rows(n);
    PairwiseBlock values{std::vector<double>(block_rows * n, 0.0), std::vector<std::uint8_t>(block_rows * n, 0)};
    for (std::size_t a0 = 0; a0 < n; a0 += block_rows) {
        const std::size_t a1 = std::min(n, a0 + block_rows);
        auto task = [&](int t) {
            const std::size_t b0 = pair_task_first(a0, t), b1 = std::min(n, b0 + pair_task_columns());
            for (std::size_t a = a0; a < a1; ++a) {
                const std::size_t from = std::max(b0, a + 1);
                if (from < b1)
                    x.row_pairs(a, from, b1, values.r.data() + (a - a0) * n + from,
                                values.computed.data() + (a - a0) * n + from);
            }
            if (tile) tile(t, a0, a1, b0, b1, values);
        };
        const int tasks = pair_block_tasks(a0, n);
        if (tasks > 0) pool.run(tasks, task);
        if (block && !block(a0, a1, values)) return;
    }
}

std::size_t row_start(std::size_t a, std::size_t m) { return a * m - a * (a + 1) / 2; }

}  // namespace

bool pairwise_pair_pass(Run& run, const PairwiseRows& x, std::span<const std::int32_t> entries,
                        std::vector<ResidualCorrelationPair>* largest, WorkFileHandle* file, std::span<double> packed) {
    const std::size_t n = x.rows();
    const std::int64_t pairs = pair_count(static_cast<std::int64_t>(n)).value_or(0);
    WorkerPool pool(correlation_threads(checked_product(pairs, static_cast<std::int64_t>(x.columns())).value_or(INT64_MAX)));
    LargestCandidates candidates(static_cast<std::size_t>(pair_block_tasks(0, n)), pool.size());
    std::optional<CorrelationRecords> records;
    if (file) records.emplace(*file);
    std::int64_t p = 0;
    bool finished = true;
    auto tile = [&](int t, std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1, const PairwiseBlock& v) {
        std::vector<Candidate>& out = candidates.task(t);
        LargestFilter& filter = candidates.filter();
        for (std::size_t a = a0; a < a1; ++a) {
            const std::size_t from = std::max(b0, a + 1);
            if (from >= b1) continue;
            const double* r = v.r.data() + (a - a0) * n;
            const std::uint8_t* computed = v.computed.data() + (a - a0) * n;
            if (largest)
                for (std::size_t b = from; b < b1; ++b)
                    if (computed[b] && filter.keeps(r[b])) out.push_back({a, b, r[b]});
            if (!packed.empty())
                std::copy(r + from, r + b1, packed.begin() + static_cast<std::ptrdiff_t>(row_start(a, n) + from - a - 1));
        }
    };
    auto block = [&](std::size_t a0, std::size_t a1, const PairwiseBlock& v) {
        if (largest) candidates.offer(a0, a1, static_cast<std::size_t>(pair_block_tasks(a0, n)), entries, *largest);
        finished = end_of_block(run, a0, a1, n, records, file, p,
                                [&](std::size_t a, std::size_t b) { return v.r[(a - a0) * n + b]; });
        return finished;
    };
    for_each_pairwise_block(x, pool, tile, block);
    flush_records(run, records, file);
    return finished;
}

void for_each_pairwise_pair(const PairwiseRows& x, std::span<const std::int32_t> entries,
                            const std::function<bool(std::int32_t, std::int32_t, double)>& pair) {
    const std::size_t n = x.rows();
    WorkerPool pool(0);
    for_each_pairwise_block(x, pool, nullptr, [&](std::size_t a0, std::size_t a1, const PairwiseBlock& v) {
        for (std::size_t a = a0; a < a1; ++a)
            for (std::size_t b = a + 1; b < n; ++b)
                if (!pair(entries[a], entries[b], v.r[(a - a0) * n + b])) return false;
        return true;
    });
}

void for_each_complete_pair(const ResidualRows& x, std::span<const std::int32_t> entries, float smallest,
                            const std::function<bool(std::int32_t, std::int32_t, double)>& pair) {
    const std::size_t n = x.rows;
    WorkerPool pool(0);
    PairBlockCallbacks callbacks;
    callbacks.block = [&](std::size_t a0, std::size_t a1, std::span<const double> cross) {
        for (std::size_t a = a0; a < a1; ++a)
            for (std::size_t b = a + 1; b < n; ++b) {
                bool computed = false;
                if (!pair(entries[a], entries[b], pair_correlation(x, a, b, cross[(a - a0) * n + b], smallest, computed)))
                    return false;
            }
        return true;
    };
    for_each_pair_block(x, pool, callbacks);
}

bool use_held_residuals(Run& run, ReportSide side,
                        const std::function<void(const ResidualMatrix&, std::span<const std::int32_t>)>& use) {
    WorkFileHandle zuu;
    if (!zuu.open_existing(work_file_path(run, "ZUU"), false)) return false;
    const AnalysisArrays& arrays = run.arrays;
    const bool items = side == ReportSide::Items;
    std::vector<std::int32_t> rows = active_entries(items ? arrays.item_status : arrays.person_status,
                                                    items ? arrays.items : arrays.persons);
    std::vector<std::int32_t> columns = active_entries(items ? arrays.person_status : arrays.item_status,
                                                       items ? arrays.persons : arrays.items);
    const std::vector<std::int32_t> entries = rows;
    ResidualMatrix matrix(run, zuu, side, std::move(rows), std::move(columns));
    if (!matrix.hold(items ? arrays.items : arrays.persons, items ? arrays.persons : arrays.items)) return false;
    if (!matrix.load()) return false;
    use(matrix, entries);
    return true;
}

}  // namespace korvelan

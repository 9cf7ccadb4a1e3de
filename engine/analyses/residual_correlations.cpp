#include "engine/analyses/residual_correlations.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <optional>
#include <string>

#include "engine/analyses/pairwise_rows.h"
#include "engine/analyses/residual_access.h"
#include "engine/analyses/residual_pairs.h"
#include "engine/analyses/residual_products.h"
#include "engine/analyses/scratch_block.h"
#include "engine/analyses/work_file.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

namespace {

constexpr std::int16_t kMissing = -32768;
constexpr std::size_t kLargestListed = 10;

int facet_index(ReportSide side) { return side == ReportSide::Items ? 0 : 1; }

bool& done_flag(Run& run, ReportSide side) {
    EstimationResults& est = run.arrays.estimation;
    return side == ReportSide::Items ? est.item_residual_correlations_computed
                                     : est.person_residual_correlations_computed;
}

std::vector<std::uint8_t> activity(std::span<const std::int8_t> status, std::int32_t n) {
    std::vector<std::uint8_t> active(static_cast<std::size_t>(std::max(n, 0)), 0);
    for (std::int32_t e = 1; e <= n && static_cast<std::size_t>(e) < status.size(); ++e)
        active[static_cast<std::size_t>(e - 1)] = status[static_cast<std::size_t>(e)] > 0;
    return active;
}

struct Facets {
    std::span<const std::int8_t> row_status, column_status;
    std::int32_t rows = 0, columns = 0;
};

Facets facets(const Run& run, ReportSide side) {
    const AnalysisArrays& a = run.arrays;
    if (side == ReportSide::Items) return {a.item_status, a.person_status, a.items, a.persons};
    return {a.person_status, a.item_status, a.persons, a.items};
}

const std::string& entity_word(const Run& run, ReportSide side) {
    return side == ReportSide::Items ? run.cv.item_word : run.cv.person_word;
}

// The correlations of row a with the rows after it, shared over the worker threads: each task
// takes a run of the later rows and writes their correlations into its place of `out`.
class RowPairs {
public:
    RowPairs(const ResidualMatrix& matrix, bool observed_only, float smallest, int threads)
        : matrix_(matrix),
          observed_only_(observed_only),
          smallest_(smallest),
          pool_(threads),
          buffers_(static_cast<std::size_t>(pool_.size()) * 2,
                   std::vector<std::int16_t>(matrix.column_count())) {}

    // out[k], computed[k]: the pair of row a with row a + 1 + k. Returns 0 or a failing record.
    std::int64_t compute(std::size_t a, std::span<const std::int16_t> row_a, std::vector<double>& out,
                         std::vector<std::uint8_t>& computed) {
        const std::size_t later = matrix_.row_count() - a - 1;
        out.assign(later, 0.0);
        computed.assign(later, 0);
        if (later == 0) return 0;
        const int tasks = static_cast<int>(std::min<std::size_t>(later, static_cast<std::size_t>(pool_.size()) * 4));
        std::atomic<std::int64_t> failed{0};
        auto task = [&](int t) {
            const std::size_t from = later * static_cast<std::size_t>(t) / static_cast<std::size_t>(tasks);
            const std::size_t to = later * static_cast<std::size_t>(t + 1) / static_cast<std::size_t>(tasks);
            const auto thread = static_cast<std::size_t>(WorkerPool::thread_index());
            std::vector<std::int16_t>& buffer_b = buffers_[thread * 2];
            std::vector<std::int16_t>& buffer_a = buffers_[thread * 2 + 1];
            for (std::size_t k = from; k < to; ++k) {
                std::span<const std::int16_t> ra = row_a, rb = matrix_.held_row(a + 1 + k);
                if (rb.empty()) {
                    if (std::int64_t f = matrix_.read_row(a + 1 + k, buffer_b)) { failed = f; return; }
                    rb = buffer_b;
                }
                if (ra.empty()) {  // nothing held: the first row is read again for every pair
                    if (std::int64_t f = matrix_.read_row(a, buffer_a)) { failed = f; return; }
                    ra = buffer_a;
                }
                bool ok = false;
                out[k] = residual_correlation(ra, rb, observed_only_, smallest_, ok);
                computed[k] = ok;
            }
        };
        pool_.run(tasks, task);
        return failed.load();
    }

private:
    const ResidualMatrix& matrix_;
    bool observed_only_;
    float smallest_;
    WorkerPool pool_;
    std::vector<std::vector<std::int16_t>> buffers_;
};

}  // namespace

int correlation_threads(std::int64_t steps) { return steps < 4000000 ? 1 : 0; }

char residual_kind(const Run& run) { return run.cv.prcomp == ' ' ? 'S' : run.cv.prcomp; }

std::vector<std::int32_t> active_entries(std::span<const std::int8_t> status, std::int32_t n) {
    std::vector<std::int32_t> list;
    for (std::int32_t e = 1; e <= n && static_cast<std::size_t>(e) < status.size(); ++e)
        if (status[static_cast<std::size_t>(e)] > 0) list.push_back(e);
    return list;
}

bool residual_correlations_current(const Run& run, ReportSide side) {
    const EstimationResults& est = run.arrays.estimation;
    const bool done = side == ReportSide::Items ? est.item_residual_correlations_computed
                                                : est.person_residual_correlations_computed;
    if (!done) return false;
    const ResidualCorrelationFacet& f = est.residual_correlations[static_cast<std::size_t>(facet_index(side))];
    const Facets x = facets(run, side);
    return f.active_rows == activity(x.row_status, x.rows) && f.active_columns == activity(x.column_status, x.columns);
}

std::string correlation_work_file_path(const Run& run, ReportSide side) {
    return work_file_path(run, side == ReportSide::Items ? "ZTT" : "ZWW");
}

void fail_correlation_work_file(Run& run, std::int64_t record, char mode) {
    show_message_line(
        run, std::string(msg::kPcaWorkFileFailure) + std::string(trim(int_to_text_left(record))));
    fail_on_file_error(run, msg::kPcaWorkFileName, mode);
}

double residual_correlation(std::span<const std::int16_t> a, std::span<const std::int16_t> b,
                            bool observed_only, float smallest, bool& computed) {
    double n = 0.0, ma = 0.0, mb = 0.0, sa = 0.0, sb = 0.0, sab = 0.0;
    const std::size_t count = std::min(a.size(), b.size());
    for (std::size_t c = 0; c < count; ++c) {
        const bool x_missing = b[c] == kMissing, y_missing = a[c] == kMissing;
        if (x_missing && y_missing) continue;
        if (observed_only && (x_missing || y_missing)) continue;
        const double x = x_missing ? 0.0 : b[c], y = y_missing ? 0.0 : a[c];
        n += 1.0;
        ma += (y - ma) / n;
        mb += (x - mb) / n;
        if (n > 1.0) {
            sa += (ma - y) * (ma - y) / (n - 1.0) - sa / n;
            sb += (mb - x) * (mb - x) / (n - 1.0) - sb / n;
            sab += (ma - y) * (mb - x) / (n - 1.0) - sab / n;
        }
    }
    computed = !(n < 2.0 || sa == 0.0 || sb == 0.0);
    if (!computed) return 0.0;
    double q = sa * sb;
    if (q < smallest) q = smallest;
    return sab / std::sqrt(q);
}

void offer_largest_correlation(std::vector<ResidualCorrelationPair>& list, std::int32_t a,
                               std::int32_t b, double r) {
    if (r == 1.0) {
        auto in_perfect = [&](std::int32_t e) {
            return std::any_of(list.begin(), list.end(), [&](const ResidualCorrelationPair& s) {
                return s.correlation == 1.0f && (s.first == e || s.second == e);
            });
        };
        if (in_perfect(a) && in_perfect(b)) return;
    }
    const float value = static_cast<float>(r);
    if (list.size() >= kLargestListed && std::fabs(value) < std::fabs(list.back().correlation)) return;
    if (list.size() < kLargestListed) list.push_back({});
    std::size_t at = list.size() - 1;
    while (at > 0 && std::fabs(list[at - 1].correlation) <= std::fabs(value)) {
        list[at] = list[at - 1];
        --at;
    }
    list[at] = {a, b, value};
}

namespace {

// Creates the facet's work file with room for every pair; false, with the message, when the
// disk cannot take it.
bool create_work_file(Run& run, ReportSide side, WorkFileHandle& file, std::int64_t pairs) {
    if (!file.create(correlation_work_file_path(run, side))) fail_correlation_work_file(run, 0, 'O');
    const Size bytes = checked_product(pairs, std::int64_t{8});
    if (pairs > 0 && (!bytes || !file.reserve(*bytes))) {
        file.close(true);
        show_message_line(run, std::string(trim(int_to_text_left(pairs))) + msg::kPcaTooManyTerms);
        return false;
    }
    return true;
}

// Whether the facet's pairs may be left to the product form (no work file): more rows than
// columns, and the run may hold the residuals and the unit rows of the components.
bool product_form_wanted(const Run& run, std::size_t rows, std::size_t columns) {
    if (rows <= columns) return false;
    const Size block = checked_product(checked_product(static_cast<std::int64_t>(rows),
                                                       static_cast<std::int64_t>(columns)), std::int64_t{2});
    return memory_request_allowed(run, MemoryBlock::ResidualMatrix, block) &&
           memory_request_allowed(run, MemoryBlock::ComponentMatrix,
                                  residual_product_bytes(rows, columns, static_cast<std::int32_t>(rows)));
}

// Whether the pairs of residuals held in memory with some missing may be left to the pairwise
// computation again when needed (no work file): the run may hold every pair beside the
// residuals, as the components need them.
bool pairwise_in_memory_wanted(const Run& run, std::size_t rows, std::size_t columns) {
    const Size pairs = pair_count(static_cast<std::int64_t>(rows));
    const Size bytes = checked_sum(checked_sum(checked_product(pairs, std::int64_t{8}),
                                               checked_product(static_cast<std::int64_t>(rows), std::int64_t{40})),
                                   PairwiseRows::bytes(rows, columns));
    return memory_request_allowed(run, MemoryBlock::ComponentMatrix, bytes);
}

// The pairwise computation, row after row, into the work file and the largest pairs. False
// when "Finish iterating" ended it.
bool pairwise_correlations(Run& run, const ResidualMatrix& matrix, ResidualLevel level,
                           std::span<const std::int32_t> rows, std::int64_t columns, WorkFileHandle& file,
                           std::int64_t pairs, std::vector<ResidualCorrelationPair>& largest) {
    CorrelationRecords records(file);
    const std::int64_t steps = checked_product(pairs, columns).value_or(INT64_MAX);
    RowPairs row_pairs(matrix, residual_kind(run) == 'O', run.rs.smallest_positive, correlation_threads(steps));
    std::vector<std::int16_t> row_a(static_cast<std::size_t>(columns));
    std::vector<double> r;
    std::vector<std::uint8_t> computed;
    std::int64_t p = 0;
    for (std::size_t a = 0; a < rows.size(); ++a) {
        pump_and_poll(run);
        if (run.rs.finish_iterating) return false;
        std::span<const std::int16_t> held = matrix.held_row(a);
        if (level == ResidualLevel::Row) {
            if (std::int64_t f = matrix.read_row(a, row_a)) matrix.fail(f);
            held = row_a;
        }
        if (std::int64_t f = row_pairs.compute(a, held, r, computed)) matrix.fail(f);
        for (std::size_t k = 0; k < r.size(); ++k) {
            if (computed[k]) offer_largest_correlation(largest, rows[a], rows[a + 1 + k], r[k]);
            ++p;
            if (!records.write(p, r[k])) {
                file.close(true);
                fail_correlation_work_file(run, records.failed_record(), 'W');
            }
        }
        show_progress_bar(run, static_cast<int>(a + 1), static_cast<int>(rows.size()));
    }
    if (!records.flush()) {
        file.close(true);
        fail_correlation_work_file(run, records.failed_record(), 'W');
    }
    if (p != pairs)
        show_message_line(run, std::string(msg::kPcaArrayError) + msg::kPcaSupportAddress);
    return true;
}

// Room for every pair, which the run's memory check allowed beside the residuals; none when the
// allocation fails (the components then compute the pairs again).
void keep_every_pair(std::vector<double>& kept, std::int64_t pairs) {
    try {
        kept.assign(static_cast<std::size_t>(pairs), 0.0);
    } catch (const std::bad_alloc&) {
        kept = std::vector<double>();
    }
}

}  // namespace

void compute_residual_correlations(Run& run, ReportSide side, bool with_work_file, bool keep_pairs) {
    if (run.cv.prcomp == 'N') return;
    WorkFileHandle zuu;
    if (!zuu.open_existing(work_file_path(run, "ZUU"), false)) {
        show_message_line(run, std::string(msg::kPcaNoInformation) + residual_kind(run));
        run.cv.prcomp = 'N';
        return;
    }
    if (run.host)
        run.host->write_text_window_line(std::string(msg::kPcaCalculating) +
                                         std::string(trim(entity_word(run, side))) +
                                         msg::kPcaCorrelations);
    const Facets x = facets(run, side);
    std::vector<std::int32_t> rows = active_entries(x.row_status, x.rows);
    std::vector<std::int32_t> columns = active_entries(x.column_status, x.columns);
    const std::int64_t m = static_cast<std::int64_t>(rows.size());
    const std::int64_t pairs = pair_count(m).value_or(0);  // m < 2^31: never overflows
    ResidualCorrelationFacet& state = run.arrays.estimation.residual_correlations[static_cast<std::size_t>(facet_index(side))];
    state.largest.clear();
    state.kept_pairs = std::vector<double>();
    using Source = ResidualCorrelationFacet::Source;
    state.source = Source::WorkFile;
    done_flag(run, side) = false;

    // Complete residuals of more rows than columns need no work file, nor residuals with some
    // missing whose pairs fit in memory: it is created once the residuals are read and found
    // to need one.
    const bool product_possible = !with_work_file && product_form_wanted(run, rows.size(), columns.size());
    const bool pairwise_possible = !with_work_file && pairwise_in_memory_wanted(run, rows.size(), columns.size());
    WorkFileHandle file;
    if (!product_possible && !pairwise_possible && !create_work_file(run, side, file, pairs)) return;

    ResidualMatrix matrix(run, zuu, side, rows, columns);
    const ResidualLevel level = matrix.choose_level(x.rows, x.columns);
    bool finished = true;
    if (level == ResidualLevel::Memory) {
        if (run.host) run.host->write_text_window_line(msg::kPcaLoading);
        finished = matrix.load();
        if (finished && run.host) run.host->write_text_window_line(msg::kPcaComputing);
    }
    const bool held = finished && level == ResidualLevel::Memory;
    const bool complete = held && residuals_complete(matrix.held_block());
    std::optional<ResidualRows> rows_held;
    if (complete) rows_held.emplace(matrix.held_block(), rows.size(), columns.size());
    const bool exact = rows_held && product_form_holds(*rows_held, run.rs.smallest_positive);
    if (exact && product_possible) state.source = Source::Products;
    else if (held && !exact && pairwise_possible) state.source = Source::Pairwise;
    if (finished && state.source == Source::WorkFile && !file.is_open() && !create_work_file(run, side, file, pairs))
        return;
    WorkFileHandle* into = state.source == Source::WorkFile ? &file : nullptr;
    if (finished) {
        if (exact) {
            finished = complete_pair_pass(run, *rows_held, rows, state.largest, into);
        } else if (held) {
            const PairwiseRows pairwise(matrix.held_block(), rows.size(), columns.size(), residual_kind(run) == 'O',
                                        run.rs.smallest_positive);
            if (keep_pairs && state.source == Source::Pairwise) keep_every_pair(state.kept_pairs, pairs);
            finished = pairwise_pair_pass(run, pairwise, rows, &state.largest, into, state.kept_pairs);
        } else {
            finished = pairwise_correlations(run, matrix, level, rows, static_cast<std::int64_t>(columns.size()),
                                             file, pairs, state.largest);
        }
    }
    file.close();
    if (!finished || run.rs.finish_iterating) {
        state.kept_pairs = std::vector<double>();
        return;
    }
    state.active_rows = activity(x.row_status, x.rows);
    state.active_columns = activity(x.column_status, x.columns);
    done_flag(run, side) = true;
}

}  // namespace korvelan

#include "engine/analyses/principal_components.h"

#include <algorithm>
#include <functional>
#include <new>
#include <optional>
#include <string>

#include "engine/analyses/component_iteration.h"
#include "engine/analyses/component_packed.h"
#include "engine/analyses/component_reports.h"
#include "engine/analyses/residual_correlations.h"
#include "engine/analyses/residual_pairs.h"
#include "engine/analyses/residual_products.h"
#include "engine/analyses/scratch_block.h"
#include "engine/analyses/work_file.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"

namespace korvelan {

namespace {

constexpr int kMostComponents = 5;
constexpr double kFurtherComponentEigenvalue = 1.5;

// File mode: every pass reads the correlation work file until the first deflation has written
// the deflated matrix to ZSS, which every later pass reads and rewrites row by row.
class FileComponentMatrix : public ComponentMatrix {
public:
    FileComponentMatrix(Run& run, WorkFileHandle& correlations, WorkFileHandle& scratch)
        : run_(run), source_(correlations), scratch_(scratch) {}
    std::span<double> row(std::int64_t first_record, std::size_t count, bool) override {
        buffer_.resize(count);
        const WorkFileHandle& from = deflated_ ? scratch_ : source_;
        if (!from.read_at((first_record - 1) * 8, buffer_.data(), static_cast<std::int64_t>(count) * 8))
            fail_correlation_work_file(run_, first_record, 'R');
        return buffer_;
    }
    void write_row(std::int64_t first_record, std::span<const double> values) override {
        if (!scratch_.write_at((first_record - 1) * 8, values.data(), static_cast<std::int64_t>(values.size()) * 8)) {
            scratch_.close(true);
            fail_correlation_work_file(run_, first_record, 'W');
        }
    }
    void end_pass(bool deflated) override { deflated_ = deflated_ || deflated; }

private:
    Run& run_;
    WorkFileHandle& source_;
    WorkFileHandle& scratch_;
    std::vector<double> buffer_;
    bool deflated_ = false;
};

// The progress marks of the analysis. In the Input/Output window: ">" at the start, "." after
// the set-up and each deflation, one per iteration ("#" while finishing is asked), the component's digit after its
// reports, "<" and a line end at the close, a new line after every 75 marks. In a batch run, on
// the console: " ╞" at the start, "." per iteration, "*" per component, "╡" and a line end
// at the close (drawing characters, sent in UTF-8 as the report's are written).
class ProgressMarks {
public:
    explicit ProgressMarks(Run& run) : run_(run), console_(run.rs.batch) {
        if (console_) {
            send(' ');
            send(box::kProgressOpen);
        } else {
            mark('>');
        }
    }
    ~ProgressMarks() {
        send(console_ ? box::kProgressClose : '<');
        send('\r');
    }
    void pass() {
        if (!console_) mark('.');
    }
    void iteration(bool finishing) { mark(console_ || !finishing ? '.' : '#'); }
    void component(int k) { mark(console_ ? '*' : static_cast<char>('0' + k)); }

private:
    void mark(char c) {
        send(c);
        if (!console_ && ++count_ > 75) {
            send('\r');
            count_ = 0;
        }
    }
    void send(char c) { send_drawn_char_to_text_window(run_, c); }
    Run& run_;
    bool console_;
    int count_ = 0;
};

int table_number(const ReportContext& ctx) { return ctx.side == ReportSide::Items ? 23 : 24; }

}  // namespace

namespace {

// The iteration, the reports and the deflations of up to five components.
void find_components(ReportContext& ctx, ComponentVectors& x, ProgressMarks& marks, const ComponentProduct& multiply,
                     const std::function<void(ComponentVectors&)>& deflate) {
    Run& run = ctx.run;
    if (run.host) run.host->clear_finish_iterating();
    run.rs.finish_iterating = false;
    marks.pass();
    auto finish = [&] {
        pump_and_poll(run);
        return run.rs.finish_iterating;
    };
    auto after_iteration = [&] { marks.iteration(run.rs.finish_iterating); };
    // The labels are read once for the fifteen loadings tables.
    std::vector<std::string> labels(x.u.size());
    for (std::int32_t e : x.active) labels[static_cast<std::size_t>(e)] = entry_label(run, ctx.side, e);
    for (int k = 1; k <= kMostComponents; ++k) {
        const ComponentStep step = extract_component(x, multiply, finish, after_iteration);
        if (!step.found) break;
        write_component_reports(ctx, ComponentResult{k, step.eigenvalue, step.included, x.u, x.flags, labels});
        marks.component(k);
        if (k > 2 && step.eigenvalue < kFurtherComponentEigenvalue) break;
        if (k == kMostComponents) break;
        deflate(x);
        marks.pass();
        if (finish()) break;
    }
}

// The components of a facet whose correlations were left to the product form: R v from the
// residuals held again in memory.
void product_components(ReportContext& ctx, std::int32_t n, std::vector<std::int32_t> active,
                        const std::string& table) {
    Run& run = ctx.run;
    bool done = false;
    const bool held = use_held_residuals(run, ctx.side, [&](const ResidualMatrix& m, std::span<const std::int32_t>) {
        const ResidualRows rows(m.held_block(), m.row_count(), m.column_count());
        if (!memory_request_allowed(run, MemoryBlock::ComponentMatrix,
                                    residual_product_bytes(rows.rows, rows.columns, n)))
            return;
        const Size steps = checked_product(static_cast<std::int64_t>(rows.rows * rows.columns), std::int64_t{50});
        WorkerPool pool(correlation_threads(steps.value_or(INT64_MAX)));
        std::optional<ResidualProduct> product;
        try {
            product.emplace(rows, pool);
        } catch (const std::bad_alloc&) {
            return;
        }
        if (run.host) run.host->write_text_window_line(msg::kPcaCalculatingComponents + table);
        ProgressMarks marks(run);
        ComponentVectors x(n, std::move(active));
        find_components(ctx, x, marks, [&](ComponentVectors& y) { product->multiply(y); },
                        [&](ComponentVectors& y) { product->deflate(y); });
        done = true;
    });
    if (!held || !done) show_message_line(run, msg::kPcaInsufficientMemory + table);
}

}  // namespace

namespace {

// The pairs of a facet left to the pairwise computation, computed again into the packed
// matrix. False when the residuals cannot be held or "Finish iterating" ended the pass.
bool fill_pairwise(Run& run, ReportSide side, std::span<double> packed) {
    bool filled = false;
    const bool held = use_held_residuals(run, side, [&](const ResidualMatrix& m, std::span<const std::int32_t> entries) {
        const PairwiseRows rows(m.held_block(), m.row_count(), m.column_count(), residual_kind(run) == 'O',
                                run.rs.smallest_positive);
        filled = pairwise_pair_pass(run, rows, entries, nullptr, nullptr, packed);
    });
    return held && filled;
}

// The packed matrix read whole from the correlation work file.
void fill_from_work_file(Run& run, const WorkFileHandle& correlations, std::span<double> packed) {
    constexpr std::size_t kRecords = std::size_t{1} << 16;
    for (std::size_t first = 0; first < packed.size(); first += kRecords) {
        const std::size_t count = std::min(kRecords, packed.size() - first);
        if (!correlations.read_at(static_cast<std::int64_t>(first) * 8, packed.data() + first,
                                  static_cast<std::int64_t>(count) * 8))
            fail_correlation_work_file(run, static_cast<std::int64_t>(first) + 1, 'R');
    }
}

}  // namespace

void compute_principal_components(ReportContext& ctx) {
    Run& run = ctx.run;
    if (!residual_correlations_current(run, ctx.side)) compute_residual_correlations(run, ctx.side, false, true);
    if (!residual_correlations_current(run, ctx.side)) return;

    using Source = ResidualCorrelationFacet::Source;
    const bool items = ctx.side == ReportSide::Items;
    const std::size_t facet = items ? 0 : 1;
    const std::int32_t n = items ? run.arrays.items : run.arrays.persons;
    std::vector<std::int32_t> active = active_entries(items ? run.arrays.item_status : run.arrays.person_status, n);
    const std::string table = std::string(trim(int_to_text_left(table_number(ctx))));
    if (run.arrays.estimation.residual_correlations[facet].source == Source::Products) {
        product_components(ctx, n, std::move(active), table);
        return;
    }
    const std::int64_t pairs = pair_count(static_cast<std::int64_t>(active.size())).value_or(0);
    const Size vectors = checked_product(n, std::int64_t{40});
    const Size whole = checked_sum(vectors, checked_product(pairs, std::int64_t{8}));

    ScratchBlock<double> packed;
    std::vector<double>& kept = run.arrays.estimation.residual_correlations[facet].kept_pairs;
    const bool filled = !kept.empty() && static_cast<std::int64_t>(kept.size()) == pairs;
    bool in_memory = filled;
    if (filled) packed.adopt(std::move(kept));
    else in_memory = packed.obtain(run, MemoryBlock::ComponentMatrix, pairs, whole);
    kept = std::vector<double>();
    if (run.arrays.estimation.residual_correlations[facet].source == Source::Pairwise) {
        if (in_memory && !filled && !fill_pairwise(run, ctx.side, packed.span())) {
            if (run.rs.finish_iterating) return;
            in_memory = false;
        }
        if (!in_memory) {
            // The pairs go to the work file after all, which the components then pass over.
            packed = ScratchBlock<double>();
            compute_residual_correlations(run, ctx.side, true);
            if (!residual_correlations_current(run, ctx.side)) return;
        }
    }
    if (!in_memory) {
        if (run.host)
            run.host->write_text_window_line(std::string(trim(int_to_text_left(shown_bytes(whole)))) +
                                             msg::kLabelSortUsingDiskWorkFile);
        if (!memory_request_allowed(run, MemoryBlock::ComponentVectors, vectors)) {
            show_message_line(run, msg::kPcaInsufficientMemory + table);
            return;
        }
    }
    const bool from_file = run.arrays.estimation.residual_correlations[facet].source == Source::WorkFile;
    WorkFileHandle correlations, scratch;
    if (from_file && !correlations.open_existing(correlation_work_file_path(run, ctx.side), false))
        fail_correlation_work_file(run, 0, 'I');
    if (in_memory && from_file) fill_from_work_file(run, correlations, packed.span());
    if (run.host) run.host->write_text_window_line(msg::kPcaCalculatingComponents + table);
    ProgressMarks marks(run);
    ComponentVectors x(n, std::move(active));
    if (in_memory) {
        const Size steps = checked_product(pairs, std::int64_t{50});
        WorkerPool pool(correlation_threads(steps.value_or(INT64_MAX)));
        find_components(ctx, x, marks, [&](ComponentVectors& y) { multiply_packed(y, packed.span(), pool); },
                        [&](ComponentVectors& y) { deflate_packed(y, packed.span(), pool); });
        return;
    }
    if (!scratch.create(work_file_path(run, "ZSS"))) fail_correlation_work_file(run, 0, 'O');
    FileComponentMatrix file_matrix(run, correlations, scratch);
    find_components(ctx, x, marks, [&](ComponentVectors& y) { multiply_stored(y, file_matrix); },
                    [&](ComponentVectors& y) { deflate_component(y, file_matrix); });
    scratch.close(true);
}

}  // namespace korvelan

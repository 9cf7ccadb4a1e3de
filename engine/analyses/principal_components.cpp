#include "engine/analyses/principal_components.h"

#include <optional>
#include <string>

#include "engine/analyses/component_iteration.h"
#include "engine/analyses/component_reports.h"
#include "engine/analyses/component_texts.h"
#include "engine/analyses/residual_correlations.h"
#include "engine/analyses/scratch_block.h"
#include "engine/analyses/work_file.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/run_start.h"

namespace korvelan {

namespace {

constexpr int kMostComponents = 5;
constexpr double kFurtherComponentEigenvalue = 1.5;

// File mode: every pass reads the correlation work file until the first deflation has written
// the deflated matrix to ZSS, which every later pass reads and rewrites.
class FileComponentMatrix : public ComponentMatrix {
public:
    FileComponentMatrix(Run& run, WorkFileHandle& correlations, WorkFileHandle& scratch)
        : run_(run), source_(correlations), scratch_(scratch), from_source_(source_), to_scratch_(scratch_) {}
    double read(std::int64_t p, bool) override {
        double r = 0.0;
        CorrelationRecords& from = deflated_ ? to_scratch_ : from_source_;
        if (!from.read(p, r)) fail_correlation_work_file(run_, p, 'R');
        return r;
    }
    void write(std::int64_t p, double r) override {
        if (!to_scratch_.write(p, r)) fail_scratch();
    }
    void keep_absent(std::int64_t p, double r) override { write(p, r); }
    void end_pass(bool deflated) override {
        if (!to_scratch_.flush()) fail_scratch();
        if (deflated) deflated_ = true;
    }

private:
    [[noreturn]] void fail_scratch() {
        const std::int64_t p = to_scratch_.failed_record();
        scratch_.close(true);
        fail_correlation_work_file(run_, p, 'W');
    }
    Run& run_;
    WorkFileHandle& source_;
    WorkFileHandle& scratch_;
    CorrelationRecords from_source_, to_scratch_;
    bool deflated_ = false;
};

// The progress marks in the Input/Output window, a new line after every 75.
class ProgressMarks {
public:
    explicit ProgressMarks(Run& run) : run_(run) { mark('>'); }
    ~ProgressMarks() {
        send('<');
        send('\r');
    }
    void mark(char c) {
        send(c);
        if (++count_ > 75) {
            send('\r');
            count_ = 0;
        }
    }

private:
    void send(char c) {
        if (run_.host) run_.host->send_char_to_text_window(c);
    }
    Run& run_;
    int count_ = 0;
};

int table_number(const ReportContext& ctx) { return ctx.side == ReportSide::Items ? 23 : 24; }

}  // namespace

void compute_principal_components(ReportContext& ctx) {
    Run& run = ctx.run;
    if (!residual_correlations_current(run, ctx.side)) compute_residual_correlations(run, ctx.side);
    if (!residual_correlations_current(run, ctx.side)) return;

    const bool items = ctx.side == ReportSide::Items;
    const std::int32_t n = items ? run.arrays.items : run.arrays.persons;
    std::vector<std::int32_t> active = active_entries(items ? run.arrays.item_status : run.arrays.person_status, n);
    const std::int64_t pairs = pair_count(static_cast<std::int64_t>(active.size())).value_or(0);
    const Size vectors = checked_product(n, std::int64_t{40});
    const Size whole = checked_sum(vectors, checked_product(pairs, std::int64_t{8}));
    const std::string table = std::string(trim(int_to_text_left(table_number(ctx))));

    ScratchBlock<double> packed;
    const bool in_memory = packed.obtain(run, MemoryBlock::ComponentMatrix, pairs, whole);
    if (!in_memory) {
        if (run.host)
            run.host->write_text_window_line(std::string(trim(int_to_text_left(shown_bytes(whole)))) +
                                             msg::kLabelSortUsingDiskWorkFile);
        if (!memory_request_allowed(run, MemoryBlock::ComponentVectors, vectors)) {
            show_message_line(run, pca_text::kInsufficientMemory + table);
            return;
        }
    }
    if (run.host) run.host->write_text_window_line(pca_text::kCalculatingComponents + table);
    ProgressMarks marks(run);

    WorkFileHandle correlations, scratch;
    if (!correlations.open_existing(correlation_work_file_path(run, ctx.side), false))
        fail_correlation_work_file(run, 0, 'I');
    if (!in_memory && !scratch.create(work_file_path(run, "ZSS"))) fail_correlation_work_file(run, 0, 'O');
    CorrelationRecords source(correlations);
    auto read_source = [&](std::int64_t p) {
        double r = 0.0;
        if (!source.read(p, r)) fail_correlation_work_file(run, p, 'R');
        return r;
    };
    PackedComponentMatrix memory_matrix(packed.span(), read_source);
    std::optional<FileComponentMatrix> file_matrix;
    if (!in_memory) file_matrix.emplace(run, correlations, scratch);
    ComponentMatrix& matrix = in_memory ? static_cast<ComponentMatrix&>(memory_matrix) : *file_matrix;

    ComponentVectors x(n, std::move(active));
    if (run.host) run.host->clear_finish_iterating();
    run.rs.finish_iterating = false;
    marks.mark('.');
    auto finish = [&] {
        pump_and_poll(run);
        return run.rs.finish_iterating;
    };
    auto after_iteration = [&] { marks.mark(run.rs.finish_iterating ? '#' : '.'); };
    for (int k = 1; k <= kMostComponents; ++k) {
        const ComponentStep step = extract_component(x, matrix, finish, after_iteration);
        if (!step.found) break;
        write_component_reports(ctx, ComponentResult{k, step.eigenvalue, step.included, x.u, x.flags});
        marks.mark(static_cast<char>('0' + k));
        if (k > 2 && step.eigenvalue < kFurtherComponentEigenvalue) break;
        if (k == kMostComponents) break;
        deflate_component(x, matrix, k == 1);
        marks.mark('.');
        if (finish()) break;
    }
    scratch.close(true);
}

}  // namespace korvelan

#include "engine/report/estimation_report.h"

#include <algorithm>
#include <string>

#include "engine/report/iteration_report.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"

namespace korvelan {

namespace {

// The Table 0 heading and the convergence-table title, then the PROX box on screen and in the
// report.
void write_prox_heading(Run& run) {
    write_table_heading(run, 1);
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    l.put(31, msg::kConvergenceTable);
    if (run.host) run.host->write_text_window_line(trim_right(l.view(2, 79)));
    write_iteration_heading(run, -heading_mode::kProxScreen);
    l.clear();
    l.put(31, msg::kConvergenceTable);
    write_report_line(run);
    write_blank_report_line(run);
    write_iteration_heading(run, -heading_mode::kProxReport);
}

// The UCON box: on screen, then in the report, opened with its top border when it starts a page.
void write_ucon_heading(Run& run) {
    write_iteration_heading(run, heading_mode::kUconScreen);
    break_page_if_needed(run, run.rep.page_line_counter + 4);
    write_iteration_heading(run, run.rep.page_line_counter == 1 ? -heading_mode::kUconReport
                                                                : heading_mode::kUconReport);
}

// The step anchors the first numbering of the categories left out, one warning line each.
void name_unused_step_anchors(Run& run) {
    for (const UnusedStepAnchor& u : run.arrays.estimation.unused_step_anchors)
        show_message_line(run, msg::kUnusedStepAnchor + std::to_string(u.category) +
                                   msg::kUnusedStepAnchorItem + std::to_string(u.item) +
                                   (u.below_unused ? msg::kUnusedStepAnchorBelowReason
                                                   : msg::kUnusedStepAnchorReason));
}

}  // namespace

void ReportingEstimationObserver::phase_started(EstimationPhase phase) {
    if (phase == EstimationPhase::Prox) {
        if (!unused_anchors_named_) name_unused_step_anchors(run_);
        unused_anchors_named_ = true;
        write_prox_heading(run_);
    } else {
        write_ucon_heading(run_);
    }
}

void ReportingEstimationObserver::iteration_starting(EstimationPhase phase) {
    // A row needs room for itself and the box's closing border; a new page repeats the heading.
    break_page_if_needed(run_, run_.rep.page_line_counter + 4);
    if (run_.rep.page_line_counter < 4)
        write_iteration_heading(run_, phase == EstimationPhase::Prox ? -heading_mode::kProxReport
                                                                     : -heading_mode::kUconReport);
}

void ReportingEstimationObserver::prox_row(const ProxRow& row) {
    write_prox_row(run_, row);
}

void ReportingEstimationObserver::ucon_row(const UconRow& row) {
    write_ucon_row(run_, row);
}

void ReportingEstimationObserver::prox_finished(const ActiveCounts& counts) {
    // The counts the Table headings show as analysed.
    run_.rep.persons_analysed = counts.persons;
    run_.rep.items_analysed = counts.items;
    run_.rep.categories = counts.categories;
}

void ReportingEstimationObserver::ucon_finished(const PhaseOutcome& outcome) {
    write_iteration_closing_row(run_);
    if (outcome.end != PhaseEnd::LimitReached && outcome.end != PhaseEnd::Stopped) return;
    // Measures that stopped at the iteration limit, or when the user asked to finish iterating,
    // before the convergence limits were met must not pass for converged ones.
    ReportLineBuffer& l = run_.rep.line;
    l.clear();
    l.put(1, outcome.end == PhaseEnd::Stopped ? msg::kIterationsStoppedNotConverged : msg::kIterationLimitNotConverged);
    if (run_.host) run_.host->write_text_window_line(trim_right(l.view(2, l.length())));
    write_report_line(run_);
}

void ReportingEstimationObserver::trimming_line(std::string_view text) {
    // " |", the text from column 4 and "|" in column 79: columns 2-79 to the message line, the
    // whole line to the report.
    ReportLineBuffer& line = run_.rep.line;
    line.clear();
    line.put(2, "|");
    line.put(4, text.substr(0, std::min<std::size_t>(text.size(), 75)));
    line.put(79, "|");
    show_message_line(run_, line.view(2, 79));
    write_report_line(run_);
    line.clear();
}

void ReportingEstimationObserver::standardized_residuals(double mean, double sd) {
    const std::string text =
        std::string(msg::kStandardizedResidualsMean) +
        std::string(trim(real_to_text_left(static_cast<float>(mean), "(F10.2)"))) +
        msg::kStandardizedResidualsSd +
        std::string(trim(real_to_text_left(static_cast<float>(sd), "(F10.2)")));
    ReportLineBuffer& l = run_.rep.line;
    l.clear();
    l.put(1, text);
    if (run_.host) run_.host->write_text_window_line(l.view(2, std::max(l.length(), 2)));
    write_report_line(run_);
}

void ReportingEstimationObserver::progress(int current, int total) {
    show_progress_bar(run_, current, total);
}

bool ReportingEstimationObserver::finish_iterating_requested() {
    pump_and_poll(run_);
    return run_.rs.finish_iterating;
}

void ReportingEstimationObserver::clear_finish_iterating() {
    if (run_.host) run_.host->clear_finish_iterating();
    run_.rs.finish_iterating = false;
}

}  // namespace korvelan

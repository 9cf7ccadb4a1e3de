// The estimation's report: the observer that writes what the estimation tells as it runs into
// the report output file and the Input/Output window (the convergence table of Table 0, the
// PROX and UCON boxes, the trimming lines, the standardized-residual line, the progress bar)
// and passes the "Finish iterating" request of the host on to it.
#pragma once

#include <string_view>

#include "engine/estimation/estimation_observer.h"
#include "engine/run/run.h"

namespace korvelan {

class ReportingEstimationObserver final : public EstimationObserver {
public:
    explicit ReportingEstimationObserver(Run& run) : run_(run) {}

    void phase_started(EstimationPhase phase) override;
    void iteration_starting(EstimationPhase phase) override;
    void prox_row(const ProxRow& row) override;
    void ucon_row(const UconRow& row) override;
    void prox_finished(const ActiveCounts& counts) override;
    void ucon_finished(const PhaseOutcome& outcome) override;
    void trimming_line(std::string_view text) override;
    void standardized_residuals(double mean, double sd) override;
    void progress(int current, int total) override;
    bool finish_iterating_requested() override;
    void clear_finish_iterating() override;

private:
    Run& run_;
    bool unused_anchors_named_ = false;  // the second PROX (after trimming) names them no more
};

}  // namespace korvelan

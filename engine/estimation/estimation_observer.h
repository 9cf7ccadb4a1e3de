// What the estimation tells the world while it runs, and what it returns. The estimation only
// computes: the rows of its iteration report, its progress and the question whether the user
// asked to finish iterating go through an EstimationObserver, which the report layer implements
// (and tests replace). Each iterative phase returns how it ended.
#pragma once

#include <cstdint>
#include <string_view>

namespace korvelan {

// One PROX row: iteration, the active counts as they entered the iteration, the two extreme
// ranges, the largest measure change, and the largest step change when it is not 0.
struct ProxRow {
    std::int32_t iteration = 0;
    std::int32_t persons = 0, items = 0, categories = 0;
    float person_range = 0.0f, item_range = 0.0f;
    float measure_change = 0.0f, step_change = 0.0f;
};

// One UCON row: the largest score residual (of a person or an item, marked "*"), the largest
// logit change, the least converged person and item, and the category columns when a step moved.
struct UconRow {
    std::int32_t iteration = 0;
    float residual = 0.0f;
    float logit_change = 0.0f;
    std::int32_t person = 0, item = 0;
    bool person_marked = false;
    std::int32_t category = 0;
    float category_residual = 0.0f;
    float step_change = 0.0f;
};

// The active counts PROX leaves for the estimation that follows (and the Table headings).
struct ActiveCounts {
    std::int32_t persons = 0, items = 0, categories = 0;
};

enum class EstimationPhase { Prox, Ucon };

// How an iterative phase ended.
enum class PhaseEnd {
    NotRun,        // no iteration (a negative iteration limit)
    Converged,     // the convergence rule held
    LimitReached,  // the iteration limit of the control file, or the program's own
    Stopped,       // "Finish iterating" was chosen
};

struct PhaseOutcome {
    PhaseEnd end = PhaseEnd::NotRun;
    std::int32_t iterations = 0;
};

class EstimationObserver {
  public:
    virtual ~EstimationObserver() = default;

    // A phase begins (PROX once per estimation of start values, UCON once); an iteration of it
    // is about to start; its row is complete; the phase has ended.
    virtual void phase_started(EstimationPhase phase) = 0;
    virtual void iteration_starting(EstimationPhase phase) = 0;
    virtual void prox_row(const ProxRow& row) = 0;
    virtual void ucon_row(const UconRow& row) = 0;
    virtual void prox_finished(const ActiveCounts& counts) = 0;
    // UCON has ended as the outcome says (the box is closed; a run that stopped at its iteration
    // limit before converging is told so).
    virtual void ucon_finished(const PhaseOutcome& outcome) = 0;

    // A line of the trimming report (framed as a box line in the report and on screen).
    virtual void trimming_line(std::string_view text) = 0;
    // The mean and S.D. of the standardized residuals, once the fit statistics are known.
    virtual void standardized_residuals(double mean, double sd) = 0;

    // current of total entries of a long loop are done.
    virtual void progress(int current, int total) = 0;
    // Handles pending events and says whether "Finish iterating" has been chosen.
    virtual bool finish_iterating_requested() = 0;
    // Forgets an earlier "Finish iterating": it ends only the phase in which it was chosen.
    virtual void clear_finish_iterating() = 0;
};

// The outcome of the whole estimation: the PROX run (the second one when trimming asked for it)
// and the UCON run.
struct EstimationOutcome {
    PhaseOutcome prox;
    PhaseOutcome ucon;
    bool prox_repeated = false;
};

}  // namespace korvelan

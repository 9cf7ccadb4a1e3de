// The estimation on an observer of its own: it reports only through the observer, and each
// iterative phase says how it ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/estimation/estimation.h"
#include "engine/input/data_input.h"
#include "tests/engine/estimation/estimation_fixture.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

struct RecordingObserver final : EstimationObserver {
    std::vector<std::string> events;
    std::vector<ProxRow> prox_rows;
    std::vector<UconRow> ucon_rows;
    ActiveCounts counts;
    int finish_after_ucon_rows = -1;  // "Finish iterating" once this many UCON rows are done
    int progress_calls = 0;
    bool progress_in_range = true;

    void phase_started(EstimationPhase p) override { events.push_back(name(p) + " start"); }
    void iteration_starting(EstimationPhase) override {}
    void prox_row(const ProxRow& row) override { prox_rows.push_back(row); }
    void ucon_row(const UconRow& row) override { ucon_rows.push_back(row); }
    void prox_finished(const ActiveCounts& c) override {
        counts = c;
        events.push_back("PROX end");
    }
    void ucon_finished(const PhaseOutcome&) override { events.push_back("UCON end"); }
    void trimming_line(std::string_view) override { events.push_back("trimming"); }
    void standardized_residuals(double, double) override { events.push_back("residuals"); }
    void progress(int current, int total) override {
        ++progress_calls;
        progress_in_range = progress_in_range && current >= 1 && current <= total;
    }
    bool finish_iterating_requested() override {
        return finish_after_ucon_rows >= 0 &&
               static_cast<int>(ucon_rows.size()) >= finish_after_ucon_rows;
    }
    void clear_finish_iterating() override { events.push_back("clear"); }

    static std::string name(EstimationPhase p) {
        return p == EstimationPhase::Prox ? "PROX" : "UCON";
    }
};

// An interactive run (message lines stay off the report) with tight limits.
struct OwnObserverRun : EstimationRun {
    RecordingObserver seen;
    OwnObserverRun() {
        run.rs.batch = false;
        settings.logit_change_limit = 0.0001f;
        settings.score_residual_limit = 0.0001f;
    }
    EstimationOutcome estimate() { return estimate_measures(run, settings, seen); }
};

}  // namespace

TEST(EstimationOutcome, ConvergedRunReportsOnlyThroughItsObserver) {
    OwnObserverRun e;
    e.load(small_dichotomous_data());
    const EstimationOutcome out = e.estimate();
    EXPECT_EQ(out.prox.end, PhaseEnd::Converged);
    EXPECT_EQ(out.prox.iterations, static_cast<int>(e.seen.prox_rows.size()));
    EXPECT_FALSE(out.prox_repeated);
    EXPECT_EQ(out.ucon.end, PhaseEnd::Converged);
    EXPECT_EQ(out.ucon.iterations, static_cast<int>(e.seen.ucon_rows.size()));
    EXPECT_GE(out.ucon.iterations, 2);
    EXPECT_EQ(e.seen.ucon_rows.back().iteration, out.ucon.iterations);
    // "Finish iterating" is forgotten before every phase; the fit statistics come last.
    EXPECT_EQ(e.seen.events, (std::vector<std::string>{"clear", "PROX start", "PROX end", "clear",
                                                       "clear", "UCON start", "UCON end", "clear",
                                                       "residuals"}));
    EXPECT_EQ(e.seen.counts.persons, 8);  // the ninth person has every item right
    EXPECT_EQ(e.seen.counts.items, 5);
    EXPECT_GT(e.seen.progress_calls, 0);
    EXPECT_TRUE(e.seen.progress_in_range);
    // Nothing reached the report, and the heading counts were left to the observer.
    EXPECT_EQ(e.report(), "");
    EXPECT_EQ(e.run.rep.persons_analysed, 0);
}

TEST(EstimationOutcome, IterationLimitsAndNoUconAtAll) {
    OwnObserverRun limited;
    limited.settings.prox_limit = 1;
    limited.settings.ucon_limit = 2;
    limited.load(small_rating_scale_data());
    EstimationOutcome out = limited.estimate();
    EXPECT_EQ(out.ucon.end, PhaseEnd::LimitReached);
    EXPECT_EQ(out.ucon.iterations, 2);
    EXPECT_EQ(limited.seen.ucon_rows.size(), 2u);

    OwnObserverRun none;
    none.settings.ucon_limit = -1;
    none.load(small_rating_scale_data());
    out = none.estimate();
    EXPECT_EQ(out.ucon.end, PhaseEnd::NotRun);
    EXPECT_EQ(out.ucon.iterations, 0);
    // No UCON box is opened, but it is closed.
    EXPECT_EQ(std::count(none.seen.events.begin(), none.seen.events.end(), "UCON start"), 0);
    EXPECT_EQ(std::count(none.seen.events.begin(), none.seen.events.end(), "UCON end"), 1);
}

TEST(EstimationOutcome, FinishIteratingStopsUconAfterTheCurrentRow) {
    OwnObserverRun e;
    e.seen.finish_after_ucon_rows = 3;
    e.load(small_rating_scale_data());
    const EstimationOutcome out = e.estimate();
    EXPECT_EQ(out.ucon.end, PhaseEnd::Stopped);
    EXPECT_EQ(out.ucon.iterations, 3);
    // PROX was not stopped: the request came during UCON.
    EXPECT_NE(out.prox.end, PhaseEnd::Stopped);
}

TEST(EstimationOutcome, TrimmingThatDropsObservationsRepeatsProx) {
    OwnObserverRun e;
    e.settings.cut_low = 0.5f;
    e.load(small_dichotomous_data());
    open_person_work_files(e.run, run_work_files(e.run).layout);  // dropped responses go to ZMM
    const EstimationOutcome out = e.estimate();
    EXPECT_TRUE(out.prox_repeated);
    EXPECT_EQ(std::count(e.seen.events.begin(), e.seen.events.end(), "PROX start"), 2);
    EXPECT_EQ(std::count(e.seen.events.begin(), e.seen.events.end(), "trimming"), 2);
    EXPECT_EQ(e.report(), "");
}

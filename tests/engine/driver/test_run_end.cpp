#include <gtest/gtest.h>

#include <string>

#include "engine/driver/run_end.h"
#include "tests/engine/estimation/estimation_fixture.h"

using namespace korvelan;
using namespace korvelan::testing;

// ---- The whole estimation and the end of the run --------------------------------------------

TEST(EstimationDriver, RunEndsWithTheSummaryOnScreen) {
    EstimationRun e;
    e.load(small_dichotomous_data());
    EXPECT_THROW(run_estimation_and_output(e.run, e.settings), RunStopped);
    EXPECT_FALSE(e.run.rs.run_failed) << e.host.screen();
    EXPECT_TRUE(e.host.shows("CONVERGENCE TABLE"));
    EXPECT_TRUE(e.host.shows("Standardized Residuals N(0,1)  Mean: "));
    EXPECT_TRUE(e.host.shows("| PERSONS       9 INPUT       8 MEASURED"));
    EXPECT_TRUE(e.host.shows("REAL RMSE"));
    EXPECT_TRUE(e.host.shows("SEPARATION"));
    EXPECT_TRUE(e.host.shows("RELIABILITY"));
    EXPECT_TRUE(e.host.shows(" Output written to " + e.run.rs.report_file));
    EXPECT_TRUE(e.host.shows("Measures constructed"));
    // The iteration record was saved before the report started again.
    const std::string saved = read_file(e.dir.file("ZFR123kv.txt"));
    EXPECT_NE(saved.find("CONVERGENCE TABLE"), std::string::npos);
    EXPECT_NE(saved.find("Standardized Residuals"), std::string::npos);
}

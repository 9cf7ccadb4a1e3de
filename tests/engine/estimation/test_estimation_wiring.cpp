#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "engine/estimation/estimation_wiring.h"

using namespace korvelan;

namespace {
// Whether the residual work file is written for a run in batch mode or not, asking through
// TABLES= for the Tables listed and naming the file of one control variable.
bool residual_file(bool batch, std::initializer_list<int> tables,
                   std::string ControlVariables::*file = nullptr) {
    Run run;
    run.rs.batch = batch;
    if (tables.size() > 0) run.cv.table_selection = std::string(40, '0');
    for (int t : tables) run.cv.table_selection[static_cast<std::size_t>(t) - 1] = '1';
    if (file) run.cv.*file = "named.txt";
    return estimation_settings_from_controls(run).residual_file;
}
}  // namespace

// The residual work file is left out only when the run can know that nothing will read it.
TEST(EstimationWiring, ResidualFileIsWrittenUnlessABatchRunAsksForNothingThatReadsIt) {
    EXPECT_FALSE(residual_file(true, {}));
    EXPECT_FALSE(residual_file(true, {1, 2, 3, 10, 22, 25, 30}));
    EXPECT_TRUE(residual_file(true, {23}));
    EXPECT_TRUE(residual_file(true, {24}));
    // After a desktop run any Table may be asked for.
    EXPECT_TRUE(residual_file(false, {}));
    // A named TFILE= may ask for any Table; the correlation files read the residuals too.
    EXPECT_TRUE(residual_file(true, {}, &ControlVariables::tfile));
    EXPECT_TRUE(residual_file(true, {}, &ControlVariables::icorfile));
    EXPECT_TRUE(residual_file(true, {}, &ControlVariables::pcorfile));
}

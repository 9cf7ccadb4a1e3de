// A run with its report open in a scratch folder and a recording host, for the tests of the run
// end and of the report pages written at it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/run/file_units.h"
#include "engine/run/run.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

namespace korvelan::testing {

struct RunEndFixture : ::testing::Test {
    ScratchDir dir;
    TestHost host;
    korvelan::Run run;
    void SetUp() override {
        run.host = &host;
        run.rs.temp_directory = dir.path;
        run.rs.output_directory = dir.path;
        run.rs.run_id = "042";
        run.rs.report_file = dir.file("rep.txt");
        run.rs.run_date = "Dec  8  8:05 2026";
        run.cv.title = "T";
        ASSERT_EQ(open_unit(run, unit::kReport, run.rs.report_file, OpenMode::Write), 0);
    }
    std::string report() { return read_file(run.rs.report_file); }
};

}  // namespace korvelan::testing

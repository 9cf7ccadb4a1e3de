// A run whose report goes to a scratch file, for tests that compare the lines a writer makes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/run/file_units.h"
#include "engine/run/run.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

namespace korvelan::testing {

struct ReportLinesFixture : ::testing::Test {
    ScratchDir dir;
    TestHost host;
    korvelan::Run run;
    void SetUp() override {
        run.host = &host;
        ASSERT_EQ(open_unit(run, unit::kReport, dir.file("report.txt"), OpenMode::Write), 0);
    }
    // The lines written so far (the report is closed), without their CR LF.
    std::vector<std::string> report_lines() {
        close_unit(run, unit::kReport);
        return crlf_lines(read_file(dir.file("report.txt")));
    }
};

}  // namespace korvelan::testing

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/report/end_report.h"
#include "engine/run/file_units.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "tests/engine/run/run_end_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
// The report end pages the analysis driver installs.
struct ReportEndFixture : RunEndFixture {
    void SetUp() override {
        RunEndFixture::SetUp();
        run.report_end = append_saved_report_and_control_lines;
    }
};
}  // namespace

TEST_F(ReportEndFixture, Table03HoldsWholeControlLinesAndRunsOnce) {
    std::string longline = "CODES=" + std::string(300, '1');
    write_file(work_file_path(run, "ZIN"), "; comment\r\nNI=3 +\r\n" + longline + "\r\n");
    finish_analysis_report(run);
    finish_analysis_report(run);
    std::vector<std::string> lines = crlf_lines(report());
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], " ");  // the heading opens a page after a blank line
    EXPECT_EQ(lines[1].substr(0, 11), "\fTABLE 0.3 ");
    EXPECT_EQ(lines[2], std::string(80, '-'));
    EXPECT_EQ(lines[3], " ");
    EXPECT_EQ(lines[4], "; comment");
    EXPECT_EQ(lines[5], "NI=3 +");
    EXPECT_EQ(lines[6], longline);
    EXPECT_EQ(lines.size(), 7u);
    EXPECT_EQ(host.lines.back(), "Measures constructed: use \"Diagnosis\" and \"Output Tables\" menus");
    EXPECT_EQ(run_exit_status(run), 0);
    EXPECT_EQ(run.cv.prox_limit, 0);
}

TEST_F(ReportEndFixture, SavedReportCopyComesFirstAndNoZinMeansNoTable03) {
    write_file(work_file_path(run, "ZFR"), "banner line " + std::string(150, 'b') + "\r\nsecond\r\n");
    finish_analysis_report(run);
    EXPECT_EQ(report(), "banner line " + std::string(150, 'b') + "\r\nsecond\r\n");
}


TEST_F(ReportEndFixture, ReportIsEmptiedOnlyAfterItsCopyIsSaved) {
    write_report_text(run, " banner " + std::string(300, 'w'));
    copy_report_to_work_file(run);
    write_report_text(run, " table");
    finish_analysis_report(run);
    // Whole lines are saved, then follow the Tables at the end of the run.
    EXPECT_EQ(report(), "table\r\nbanner " + std::string(300, 'w') + "\r\n");
}

TEST_F(ReportEndFixture, ReportThatCannotBeSavedKeepsWhatItHolds) {
    std::filesystem::create_directory(work_file_path(run, "ZFR"));  // no file can be made there
    write_report_text(run, " banner");
    copy_report_to_work_file(run);
    write_report_text(run, " table");
    finish_analysis_report(run);
    EXPECT_EQ(report(), "banner\r\ntable\r\n");
    EXPECT_TRUE(host.shows("PROBLEM: THE REPORT SO FAR COULD NOT BE SAVED; THE TABLES FOLLOW IT IN " +
                           run.rs.report_file));
    // The work file that failed is named by its path, with why.
    EXPECT_TRUE(host.shows(" Writing " + work_file_path(run, "ZFR") + " failed: ")) << host.screen();
    EXPECT_FALSE(run.rs.run_failed);
}

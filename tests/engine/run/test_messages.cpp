#include <gtest/gtest.h>

#include <climits>

#include "engine/run/file_units.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "tests/engine/run/run_end_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

TEST(FileErrorLine, ProgramTextsDependOnMode) {
    EXPECT_EQ(file_error_line(2, "x.txt", 'I'),
              "PROBLEM: Input File Not Found. Please specify full path. (2): for file: x.txt in mode I");
    EXPECT_EQ(file_error_line(2, "x.txt", 'O'),
              "PROBLEM: Unusable Output File Name (2): for file: x.txt in mode O");
    EXPECT_EQ(file_error_line(6416, "x", 'I'),
              "PROBLEM: Input File Not Found. Please specify full path. (6416): for file: x in mode I");
    EXPECT_EQ(file_error_line(3, "d/x", 'W'), "PROBLEM: Drive or Directory Not Found (3): for file: d/x in mode W");
    EXPECT_EQ(file_error_line(0, "x", 'R'), "PROBLEM: Processing has stopped (0): for file: x in mode R");
}

TEST(FileErrorLine, LeadingBlanksFallbackAndPlatformTexts) {
    EXPECT_EQ(file_error_line(-1, "x", 'R'), "PROBLEM:    Unexpected end of file (-1): for file: x in mode R");
    EXPECT_EQ(file_error_line(7000, "x", 'R'), "PROBLEM: Error (see Appendix 3): (7000): for file: x in mode R");
    EXPECT_EQ(file_error_line(39, "x", 'W'), "PROBLEM: The disk is full (39): for file: x in mode W");
    EXPECT_EQ(file_error_line(19, "x", 'O'), "PROBLEM: Media is write protected (19): for file: x in mode O");
    // Errors without a row of their own take the platform's text.
    std::string other = file_error_line(20000 + 36, "x", 'O');
    EXPECT_EQ(other.rfind("PROBLEM: File name too long (20036): for file: x in mode O", 0), 0u) << other;
}

TEST(FileErrorLine, ErrnoMapsOntoTheCodes) {
    EXPECT_EQ(status_from_errno(ENOENT), 2);
    EXPECT_EQ(status_from_errno(ENOTDIR), 3);
    EXPECT_EQ(status_from_errno(EMFILE), 4);
    EXPECT_EQ(status_from_errno(EACCES), 5);
    EXPECT_EQ(status_from_errno(EPERM), 5);
    EXPECT_EQ(status_from_errno(EROFS), 19);
    EXPECT_EQ(status_from_errno(ENOSPC), 39);
}

TEST(FileErrorLine, MessageFieldHoldsEightyCharacters) {
    // 62 characters of text, the code and ": for file" fill the 80-character field exactly.
    EXPECT_EQ(file_error_line(10060, "f", 'W'),
              "PROBLEM: Attempt to write a record longer than specified record length (10060): for "
              "file: f in mode W");
}

TEST(FileErrorLine, NameEndsAtNulOrTrailingBlanks) {
    std::string with_nul = std::string("abc") + '\0' + "junk";
    EXPECT_EQ(file_error_line(2, with_nul, 'I').find("junk"), std::string::npos);
    EXPECT_NE(file_error_line(2, "name   ", 'I').find("for file: name in mode I"), std::string::npos);
}


TEST_F(RunEndFixture, MessagesGoToTheReportOnlyInBatchMode) {
    show_message_line(run, "first   ");
    run.rs.batch = true;
    show_message_line(run, "second");
    show_message_line(run, std::string(2000, 'm'));
    close_unit(run, unit::kReport);
    EXPECT_EQ(report(), "second\r\n" + std::string(1024, 'm') + "\r\n");
    ASSERT_EQ(host.lines.size(), 3u);
    EXPECT_EQ(host.lines[0], "first");
    EXPECT_EQ(host.lines[2].size(), 1024u);
}

TEST_F(RunEndFixture, WithoutReportEndPagesTheReportClosesAsItStands) {
    write_file(work_file_path(run, "ZFR"), "saved\r\n");
    write_file(work_file_path(run, "ZIN"), "NI=3\r\n");
    write_report_text(run, " written");
    finish_analysis_report(run);
    EXPECT_EQ(report(), "written\r\n");
    EXPECT_TRUE(run.rs.report_closed);
    EXPECT_EQ(host.lines.back(), "Measures constructed: use \"Diagnosis\" and \"Output Tables\" menus");
}

TEST_F(RunEndFixture, FailedRunSaysOopsWhateverTheLastStatus) {
    run.rs.run_failed = true;
    run.rs.io_status = 0;
    finish_analysis_report(run);
    EXPECT_EQ(host.lines.back(), "Oops! Use \"Edit\" menu to make corrections, then restart");
    EXPECT_EQ(run_exit_status(run), 1);
}

TEST_F(RunEndFixture, LeftoverStatusDoesNotFailAGoodRun) {
    run.rs.io_status = 2;
    run.rs.closing_note = " WARNING: NOTE";
    finish_analysis_report(run);
    ASSERT_GE(host.lines.size(), 2u);
    EXPECT_EQ(host.lines[host.lines.size() - 2],
              "Measures constructed: use \"Diagnosis\" and \"Output Tables\" menus");
    EXPECT_EQ(host.lines.back(), " WARNING: NOTE");
    EXPECT_EQ(run_exit_status(run), 0);
}

TEST_F(RunEndFixture, ReportWriteFailureFailsTheRun) {
    run.rs.report_write_failed = true;
    finish_analysis_report(run);
    EXPECT_EQ(run_exit_status(run), 1);
    EXPECT_EQ(host.lines.back(), "Oops! Use \"Edit\" menu to make corrections, then restart");
}

TEST_F(RunEndFixture, StopFinishesThenIdlesWhileTheHostWants) {
    host.idle_rounds = 3;
    EXPECT_THROW(stop_analysis_and_idle(run), RunStopped);
    EXPECT_TRUE(run.rs.report_closed);
    EXPECT_EQ(host.pumps, 3);
    EXPECT_EQ(run.rs.idle_counter, -3);
}

TEST_F(RunEndFixture, FatalMessageMarksTheRunFailed) {
    EXPECT_THROW(fatal_message(run, " SOMETHING WRONG"), RunStopped);
    EXPECT_TRUE(run.rs.run_failed);
    EXPECT_TRUE(host.shows(" SOMETHING WRONG"));
    EXPECT_EQ(host.lines.back(), "Oops! Use \"Edit\" menu to make corrections, then restart");
}

TEST_F(RunEndFixture, WorkFilesOfThisRunIdAreDeleted) {
    write_file(dir.file("ZMM042kv.txt"), "x");
    write_file(dir.file("ZQQ042kv.txt"), "x");
    write_file(dir.file("03-042kv.txt"), "x");
    write_file(dir.file("ZMM043kv.txt"), "other run");
    write_file(dir.file("data.txt"), "user file");
    close_unit(run, unit::kReport);
    delete_work_files_at_exit(run);
    std::vector<std::string> left = list_dir(dir.path);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"ZMM043kv.txt", "data.txt", "rep.txt"}));
}

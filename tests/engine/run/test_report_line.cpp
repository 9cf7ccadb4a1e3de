#include <gtest/gtest.h>

#include "engine/run/file_units.h"
#include "engine/run/report_line.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
struct ReportFixture : ::testing::Test {
    ScratchDir dir;
    TestHost host;
    korvelan::Run run;
    std::string report;
    void SetUp() override {
        run.host = &host;
        report = dir.file("report.txt");
        run.rs.report_file = report;
        ASSERT_EQ(open_unit(run, unit::kReport, report, OpenMode::Write), 0);
    }
    std::string written() {
        close_unit(run, unit::kReport);
        return read_file(report);
    }
    void line(std::string_view text) { write_report_text(run, text); }
};
}  // namespace

TEST_F(ReportFixture, BlankLineIsOneBlankAndColumnOneIsDropped) {
    write_blank_report_line(run);
    line(" ordinary text");
    EXPECT_EQ(written(), " \r\nordinary text\r\n");
    EXPECT_EQ(run.rep.page_line_counter, 2);
}

TEST_F(ReportFixture, PageBreakLineBecomesFormFeedUnderDefaultControl) {
    run.rep.page_line_counter = 17;
    line("^TABLE 1.0");
    EXPECT_EQ(run.rep.page_line_counter, 1);
    line(" next");
    EXPECT_EQ(run.rep.page_line_counter, 2);
    EXPECT_EQ(written(), "\fTABLE 1.0\r\nnext\r\n");
}

TEST_F(ReportFixture, OtherPageControlCharacterKeepsColumnOne) {
    run.cv.page_control_char = '1';
    line("^TABLE 1.0");
    line(" ordinary");
    write_blank_report_line(run);
    EXPECT_EQ(written(), "1TABLE 1.0\r\n ordinary\r\n \r\n");
    EXPECT_EQ(run.rep.page_line_counter, 3);
}

// Every drawing character in table order, a label in UTF-8 among them.
const std::string kDrawn = std::string(" ") + box::kDownRight + box::kDownHorizontal + box::kDownLeft +
                           box::kVerticalRight + box::kCross + box::kVerticalLeft + box::kUpRight +
                           box::kUpHorizontal + box::kUpLeft + box::kVertical + box::kHorizontal +
                           " Zo\u00E9 \u00C4\u00B3 " + box::kDoubleDownRight + box::kDoubleHorizontal +
                           box::kDoubleDownLeft + box::kDoubleVertical + box::kDoubleUpRight +
                           box::kDoubleUpLeft + " \x07\x08";

TEST_F(ReportFixture, BoxCharactersBecomeAsciiUnlessSwitchedOff) {
    line(" " + std::string(80, box::kHorizontal));
    line(kDrawn);
    // The label's UTF-8 bytes (0xC3 0xA9, 0xC3 0x84, 0xC2 0xB3) are text, not drawing characters.
    EXPECT_EQ(written(), std::string(80, '-') + "\r\n+-+|+|+-+|- Zo\u00E9 \u00C4\u00B3 ****** ..\r\n");
}

TEST_F(ReportFixture, BoxCharactersAreWrittenInUtf8WithConversionOff) {
    run.cv.box_to_ascii = 'N';
    line(" " + std::string(80, box::kHorizontal));
    line(kDrawn);
    std::string rule;
    for (int i = 0; i < 80; ++i) rule += "\u2500";
    EXPECT_EQ(written(), rule + "\r\n\u250C\u252C\u2510\u251C\u253C\u2524\u2514\u2534\u2518\u2502\u2500 Zo\u00E9 "
                               "\u00C4\u00B3 \u2554\u2550\u2557\u2551\u255A\u255D \u2219\u00B7\r\n");
}

TEST_F(ReportFixture, LongLinesAreWrittenWholeUpTo500Columns) {
    std::string wide = " " + std::string(499, 'x') + "yyyy";
    line(wide);
    EXPECT_EQ(written(), std::string(499, 'x') + "y\r\n");
}

TEST(ReportLineFailure, FailedWriteIsReportedAndMarksTheRun) {
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    run.rs.report_file = "/dev/full";
    ASSERT_EQ(open_unit(run, unit::kReport, "/dev/full", OpenMode::Write), 0);
    // Buffered output reaches the device only when flushed: make every write unbuffered.
    std::setvbuf(run.units.open[unit::kReport].file, nullptr, _IONBF, 0);
    write_report_text(run, " a line that cannot be written");
    EXPECT_TRUE(run.rs.report_write_failed);
    EXPECT_TRUE(host.shows("PROBLEM: The disk is full (39): for file: /dev/full in mode W"));
    EXPECT_TRUE(host.shows(" FAILED TO WRITE:"));
    EXPECT_TRUE(host.shows(" a line that cannot be written"));
    close_unit(run, unit::kReport);
}

TEST(AfterTheRun, LinesGoToThePlatformLineFile) {
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    run.rs.report_closed = true;
    write_report_text(run, "^TABLE 3.1");
    write_report_text(run, " row");
    ASSERT_EQ(host.line_file.size(), 2u);
    EXPECT_EQ(host.line_file[0], "\fTABLE 3.1");
    EXPECT_EQ(host.line_file[1], "row");
}

TEST(ProgressBar, SeventyFiveMarksBetweenTheEnds) {
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    for (int i = 1; i <= 10; ++i) show_progress_bar(run, i, 10);
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], ">" + std::string(75, '=') + "<");
    EXPECT_EQ(run.rep.progress_next, 0);
}

TEST(ProgressBar, MarksAppearAsTheRoundedShareIsReached) {
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    show_progress_bar(run, 1, 200);  // 0.375 rounds to 0: no mark yet
    EXPECT_EQ(host.open_chars, ">");
    show_progress_bar(run, 2, 200);  // 0.75 rounds to 1
    EXPECT_EQ(host.open_chars, ">=");
    show_progress_bar(run, 6, 200);  // 2.25 rounds to 2
    EXPECT_EQ(host.open_chars, ">==");
    run.rs.finish_iterating = true;
    show_progress_bar(run, 200, 200);
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], ">==" + std::string(73, '#') + "<");
}

TEST(ProgressBar, TotalBelowOneDrawsNothing) {
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    show_progress_bar(run, 0, 0);
    show_progress_bar(run, 1, -5);
    EXPECT_TRUE(host.lines.empty());
    EXPECT_TRUE(host.open_chars.empty());
}

TEST(ReportLineBuffer, PlacementIsClippedToTheLine) {
    ReportLineBuffer b;
    b.put(499, "abcdef");
    EXPECT_EQ(b.view(499, 501), "abc");
    b.put(0, "x");
    b.put(600, "x");
    EXPECT_EQ(b.length(), 501);
}

// Text written over one half of a wide character replaces all of it: the other half becomes a
// blank, so the columns after it keep their place and later text leaves the new one whole.
TEST(ReportLineBuffer, TextOverHalfAWideCharacterReplacesItWhole) {
    ReportLineBuffer b;
    b.put(10, "漢");
    b.put(9, "aé");  // é over the first half
    EXPECT_EQ(b.view(9, 12), "aé  ");
    b.put(20, "漢");
    b.put(19, "xé");
    b.put(21, "z");  // next to é, where the wide character's second half stood
    EXPECT_EQ(b.view(19, 21), "xéz");
    b.put(31, "字");
    b.put(30, "漢");  // its second half over the first half of 字
    EXPECT_EQ(b.view(30, 33), "漢  ");
}

#include <gtest/gtest.h>

#include "engine/report/table_heading.h"
#include "engine/run/file_units.h"
#include "engine/run/report_line.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
struct HeadingFixture : ::testing::Test {
    ScratchDir dir;
    TestHost host;
    korvelan::Run run;
    void SetUp() override {
        run.host = &host;
        run.rs.report_file = "/r/rep.txt";
        run.rs.run_date = "Dec  8  8:05 2026";
        run.cv.title = "Tiny dichotomous test";
        ASSERT_EQ(open_unit(run, unit::kReport, dir.file("out.txt"), OpenMode::Write), 0);
    }
    std::vector<std::string> lines() {
        close_unit(run, unit::kReport);
        return crlf_lines(read_file(dir.file("out.txt")));
    }
};
}  // namespace

TEST_F(HeadingFixture, FullHeadingOpensAPageAfterABlankLine) {
    run.rep.request.table = 3;
    run.rep.sub_table_counter = 1;
    write_table_heading(run, 1);
    auto l = lines();
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[0], " ");
    // Columns from 2: "TABLE", blank, "3.2", blank, title; report name ends in column 62;
    // the date fills columns 64 to 80.
    // A page-break line is written from column 1, so column c is index c - 1.
    std::string expected = "\fTABLE 3.2 Tiny dichotomous test";
    expected += std::string(52 - expected.size(), ' ');
    expected += "/r/rep.txt Dec  8  8:05 2026";
    EXPECT_EQ(l[1], expected);
    EXPECT_EQ(l[1].size(), 80u);
    EXPECT_EQ(l[2], std::string(80, '-'));
    EXPECT_EQ(l[3], " ");
    EXPECT_EQ(run.rep.sub_table_counter, 2);
    EXPECT_EQ(run.rep.page_number, 1);
}

TEST_F(HeadingFixture, RequestFromMenuOpensNoPage) {
    run.rep.page_line_counter = -1;
    run.rep.request.table = 1;
    run.rep.sub_table_counter = -1;
    write_table_heading(run, 0);
    auto l = lines();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0].substr(0, 10), "TABLE 1.0 ");
    // No page was opened: the counter runs on from -1, the heading line is line 0 and the rule
    // line 1, one line less than a heading that opens a page leaves.
    EXPECT_EQ(run.rep.page_line_counter, 1);
    run.cv.page_length = 10;
    run.rep.page_line_counter = 10;
    write_table_heading(run, 0);
    EXPECT_EQ(run.rep.page_line_counter, 2);
}

TEST_F(HeadingFixture, FullPageGetsNoBlankLineBeforeTheBreak) {
    run.cv.page_length = 60;
    run.rep.page_line_counter = 60;
    write_table_heading(run, 0);
    auto l = lines();
    EXPECT_EQ(l[0].substr(0, 6), "\fTABLE");
}

TEST_F(HeadingFixture, LongReportNameKeepsItsLastFortyCharacters) {
    run.rs.report_file = "/" + std::string(59, 'a') + "/" + std::string(36, 'b') + ".txt";
    write_table_heading(run, 0);
    auto l = lines();
    // Page-break line: column c is index c - 1; the name fills columns 23 to 62.
    EXPECT_EQ(l[1].substr(21, 41), " " + run.rs.report_file.substr(run.rs.report_file.size() - 40));
    EXPECT_EQ(l[1].substr(62, 18), " Dec  8  8:05 2026");
}

TEST_F(HeadingFixture, ShortFormWritesTwoBlankLines) {
    run.rep.heading_flag = 'N';
    write_table_heading(run, 3);
    EXPECT_EQ(lines(), (std::vector<std::string>{" ", " "}));
    EXPECT_EQ(run.rep.heading_flag, 'N');
}

TEST_F(HeadingFixture, HeadingOptionTakesEffectAfterTheFirstHeading) {
    run.cv.heading_option = 'N';
    write_table_heading(run, 0);
    EXPECT_EQ(run.rep.heading_flag, 'N');
}

TEST_F(HeadingFixture, CountsLineShowsInputAndAnalysed) {
    run.rep.persons_input = 7;
    run.rep.items_input = 4;
    write_table_heading(run, 0);
    run.rep.persons_analysed = 6;
    run.rep.items_analysed = 4;
    run.rep.categories = 2;
    write_table_heading(run, 0);
    run.rep.persons_input = 12345678;
    write_table_heading(run, 0);
    auto l = lines();
    ASSERT_EQ(l.size(), 12u);
    std::string first = "INPUT: 7 PERSONS, 4 ITEMS";
    EXPECT_EQ(l[2], first + std::string(66 - first.size(), ' ') + "KORVELAN 3.34");
    EXPECT_EQ(l[6], "INPUT: 7 PERSONS, 4 ITEMS  ANALYZED: 6 PERSONS, 4 ITEMS, 2 CATS" +
                        std::string(3, ' ') + "KORVELAN 3.34");
    // A count of eight digits is shown whole.
    EXPECT_EQ(l[10].rfind("INPUT: 12345678 PERSONS, 4 ITEMS", 0), 0u) << l[10];
}

TEST_F(HeadingFixture, PageBreaksOnlyWithAPageLength) {
    break_page_if_needed(run, 1000);
    run.cv.page_length = 60;
    break_page_if_needed(run, 60);
    run.rep.page_number = 1;
    break_page_if_needed(run, 61);
    auto l = lines();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0], "\f**CONTINUED FROM PREVIOUS SHEET**   PAGE 2");
    EXPECT_EQ(l[1], " ");
    EXPECT_EQ(run.rep.page_line_counter, 2);
}

// The output-file frame: line compression, quoted fields, number fields, failures that end one
// file but never the run, the order of the files at the end of the estimation, and the path of
// a file requested from the Output Files menu after the run.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/outfiles/output_frame.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"
#include "tests/engine/outfiles/outfile_data.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
std::string compressed(std::string line, char csv) {
    compress_csv_line(line, csv);
    return line;
}
std::string fixed_field(float x, int w, int d) {
    std::string s;
    append_fixed_field(s, x, w, d);
    return s;
}
}  // namespace

TEST(CompressCsvLine, BlanksGoOutsideQuotesOnly) {
    EXPECT_EQ(compressed(R"(" ",    1,  -1.23, "Bob  Smith"   )", 'Y'), R"(" ",1,-1.23,"Bob  Smith")");
    EXPECT_EQ(compressed("", 'Y'), "");
    EXPECT_EQ(compressed("     ", 'Y'), "");
    // An unclosed quote keeps everything after it.
    EXPECT_EQ(compressed(R"(1, "a b ,)", 'T'), "1\t\"a b ,");
}

TEST(CompressCsvLine, TabLayoutTurnsOnlyUnquotedCommasIntoTabs) {
    EXPECT_EQ(compressed(R"(1,"x, y",2)", 'T'), "1\t\"x, y\"\t2");
    EXPECT_EQ(compressed(R"(1,"x, y",2)", 'Y'), R"(1,"x, y",2)");
}

TEST(CompressCsvLine, DoubledQuotesInsideAFieldSurvive) {
    std::string line = "1,";
    append_quoted(line, R"(He said "hi, there" )");
    EXPECT_EQ(line, R"(1,"He said ""hi, there"" ")");
    EXPECT_EQ(compressed(line, 'T'), "1\t\"He said \"\"hi, there\"\" \"");
}

TEST(NumberFields, TooWideValuesLoseDecimalsNeverDigits) {
    // The standard error of a measure file is 7 columns with the measure's decimals.
    EXPECT_EQ(fixed_field(123.4567f, 7, 4), "123.457");
    EXPECT_EQ(fixed_field(-12.3456f, 7, 4), "-12.346");
    EXPECT_EQ(fixed_field(12.3456f, 7, 4), "12.3456");
    EXPECT_EQ(fixed_field(-1.2345f, 7, 4), "-1.2345");
    EXPECT_EQ(fixed_field(-0.5f, 7, 4), " -.5000");
    EXPECT_EQ(fixed_field(12345.67f, 7, 2), "12345.7");
    EXPECT_EQ(fixed_field(-1234.5f, 7, 2), "-1234.5");
    EXPECT_EQ(fixed_field(-1234567.5f, 7, 2), "*******");
    EXPECT_EQ(fixed_field(3e9f, 10, 4), "**********");
    // A category point of the graphs work file at USCALE=10000: beyond 2^31 at four decimals.
    EXPECT_EQ(fixed_field(150000.0f, 10, 4), "150000.000");
    EXPECT_EQ(fixed_field(-350000.0f, 10, 4), "-350000.00");
    EXPECT_EQ(fixed_field(-1234.5f, 10, 4), "-1234.5000");
    EXPECT_EQ(fixed_field(std::nanf(""), 7, 2), "*******");
    EXPECT_EQ(fixed_field(-INFINITY, 8, 2), "********");
    EXPECT_EQ(fixed_field(2.5f, 8, 0), "       3");
}

TEST(NumberFields, SameTextAsTheWideFormWheneverItFits) {
    for (float x = -150.0f; x < 150.0f; x += 0.3137f) {
        for (int d : {1, 2, 4}) {
            std::string wide(12, ' ');
            real_to_fixed_text(x, wide, std::string("(F12.") + char('0' + d) + ")");
            std::string narrow = fixed_field(x, 7, d);
            if (wide.compare(0, 5, "     ") == 0) EXPECT_EQ(narrow, wide.substr(5)) << x;
            else EXPECT_EQ(narrow.find('*'), std::string::npos) << x;
        }
    }
}

TEST(NumberFields, EntryNumbersWidenRatherThanLoseDigits) {
    std::string s;
    append_entry_number(s, 42, 5);
    append_entry_number(s, 1000000, 5);
    EXPECT_EQ(s, "   421000000");
    s.clear();
    append_int_field(s, -1234, 3);
    append_int_field(s, -3, 3);
    EXPECT_EQ(s, "*** -3");
}

TEST(OutputFrame, UnwritablePathIsReportedInModeOAndTheRunGoesOn) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.s.pfile = r.dir.file("no-such-folder/p.txt");
    d.s.ifile = r.dir.file("items.txt");
    r.run.rs.batch = true;
    r.run.rs.report_file = r.dir.file("report.txt");
    ASSERT_EQ(open_unit(r.run, unit::kReport, r.run.rs.report_file, OpenMode::Write), 0);
    OutputServices sv = r.services(d);
    write_named_output_files(r.run, d.s, d.a, sv);
    const std::string problem = "PROBLEM: Unusable Output File Name (2): for file: " + d.s.pfile + " in mode O";
    EXPECT_TRUE(r.host.shows(problem)) << r.host.screen();
    // No Edit-menu entry for the file that failed; the next file is still written.
    ASSERT_EQ(r.host.menus.size(), 1u);
    EXPECT_EQ(r.host.menus[0], "Edit ITEM IFILE=" + d.s.ifile);
    EXPECT_EQ(crlf_lines(read_file(d.s.ifile)).size(), 8u);
    // The run ends as failed, naming the file once more at the end of the screen and report.
    finish_analysis_report(r.run);
    EXPECT_TRUE(r.run.rs.run_failed);
    const std::string end = " OUTPUT FILES NOT WRITTEN IN FULL:\r\n" + problem + "\r\n";
    const std::string report = read_file(r.run.rs.report_file);
    ASSERT_GE(report.size(), end.size());
    EXPECT_EQ(report.substr(report.size() - end.size()), end);
    EXPECT_TRUE(r.host.shows(problem + "\n" + msg::kRunFailed)) << r.host.screen();
}

TEST(OutputFrame, FullDiskIsReportedOnceInModeW) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.s.pfile = "/dev/full";
    OutputServices sv = r.services(d);
    write_person_measure_file(r.run, d.s, d.a, sv);
    int problems = 0;
    for (const auto& l : r.host.lines) problems += l.find("PROBLEM:") != std::string::npos;
    EXPECT_EQ(problems, 1);
    EXPECT_TRUE(r.host.shows("PROBLEM: The disk is full (39): for file: /dev/full in mode W")) << r.host.screen();
    EXPECT_FALSE(unit_is_open(r.run, unit::kOutput));
}

TEST(OutputFrame, EndOfRunWritesNamedFilesInOrderUnlessFinishingIterations) {
    OutfileRun r;
    OutfileData d = rating_scale_data();
    d.s.grfile = r.dir.file("g.txt");
    d.s.sfile = r.dir.file("s.txt");
    d.s.pfile = r.dir.file("p.txt");
    d.s.isfile = "   ";  // blank: not asked for
    OutputServices sv = r.services(d);
    r.run.rs.finish_iterating = true;
    write_named_output_files(r.run, d.s, d.a, sv);
    EXPECT_TRUE(r.host.lines.empty());
    r.run.rs.finish_iterating = false;
    write_named_output_files(r.run, d.s, d.a, sv);
    std::vector<std::string> writing;
    for (const auto& l : r.host.lines)
        if (l.rfind("Writing", 0) == 0) writing.push_back(l);
    EXPECT_EQ(writing, (std::vector<std::string>{"Writing PERSON Measure file ...", "Writing Step Measure file ...",
                                                 "Writing graph plotting file ..."}));
}

namespace {
struct AfterRun : ::testing::Test {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    void SetUp() override {
        r.run.rs.report_closed = true;
        r.host.settings.editor = "editor";
    }
    bool request(char code) {
        OutputServices sv = r.services(d);
        return serve_output_file_request(r.run, d.s, d.a, sv, code);
    }
};
}  // namespace

TEST_F(AfterRun, FileGoesThroughTheHostAndOpensInTheEditor) {
    r.host.file_answers.push_back("  persons.txt  ");
    ASSERT_TRUE(request('P'));
    EXPECT_EQ(r.host.dialog_titles, std::vector<std::string>{"Person Measure File: PFILE="});
    EXPECT_EQ(r.host.line_file_path, "persons.txt");
    EXPECT_EQ(d.s.pfile, "persons.txt");
    EXPECT_EQ(r.host.line_file_closes, 1);
    EXPECT_EQ(r.host.programs_started, std::vector<std::string>{"editor persons.txt"});
    // The same lines as a file written during the run.
    OutfileRun during;
    OutfileData same = dichotomous_data();
    std::vector<std::string> expected = crlf_lines(during.write(same, 'P'));
    EXPECT_EQ(r.host.line_file, expected);
    EXPECT_FALSE(file_exists("persons.txt"));
}

TEST_F(AfterRun, BlankAnswerWritesNothing) {
    ASSERT_TRUE(request('G'));
    EXPECT_EQ(r.host.dialog_titles, std::vector<std::string>{"Probability Curve Graph File: GRFILE="});
    EXPECT_TRUE(r.host.line_file.empty());
    EXPECT_TRUE(r.host.menus.empty());
    EXPECT_TRUE(r.host.programs_started.empty());
}

TEST_F(AfterRun, CreateFailureIsReportedInModeO) {
    r.host.file_answers.push_back("x:/bad.txt");
    r.host.create_status = 3;
    ASSERT_TRUE(request('S'));
    EXPECT_TRUE(r.host.shows("PROBLEM: Drive or Directory Not Found (3): for file: x:/bad.txt in mode O"));
    EXPECT_TRUE(r.host.programs_started.empty());
    EXPECT_TRUE(d.s.sfile.empty());
}

TEST_F(AfterRun, UnknownCodesAreNotServed) {
    EXPECT_FALSE(request('Q'));
    EXPECT_TRUE(r.host.dialog_titles.empty());
}

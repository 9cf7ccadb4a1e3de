// The graphs work file ZVB and the labels of its groups.
#include <gtest/gtest.h>

#include "engine/outfiles/graphs_file.h"
#include "engine/run/file_units.h"
#include "tests/engine/outfiles/outfile_data.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {
std::string write_zvb(OutfileRun& r, OutfileData& d, bool expect_ok = true) {
    EXPECT_EQ(write_graphs_work_file(r.run, d.s, d.a, d.records), expect_ok);
    return read_file(graphs_work_file_path(r.run));
}
}  // namespace

TEST(GraphsWorkFile, OneDichotomousGroupHasTwentySixLines) {
    OutfileRun r;
    OutfileData d = dichotomous_data();
    d.s.umean = 0.5f;
    d.s.uscale = 12.0f;
    EXPECT_EQ(graphs_work_file_path(r.run), r.dir.file("ZVB042kv.txt"));
    std::string bytes = write_zvb(r, d);
    EXPECT_EQ(crlf_lines(bytes).size(), 26u);
    expect_golden("outfiles/dich_ZVB.txt", bytes);
    // One group: its label is the title, and no item label is read.
    EXPECT_EQ(crlf_lines(bytes)[24], "Arithmetic, 2nd form");
    EXPECT_EQ(d.records.label_reads, 0);
    EXPECT_EQ(d.records.reopens, 0);
    EXPECT_FALSE(unit_is_open(r.run, kGraphsWorkFileUnit));
}

TEST(GraphsWorkFile, GroupsWithoutStepsAreLeftOutButCountForTheRange) {
    OutfileRun r;
    OutfileData d = rating_scale_data();
    d.a.category_score_point_measure[8] = -30.0f;  // the single-category group's point
    std::string bytes = write_zvb(r, d);
    expect_golden("outfiles/rating_ZVB.txt", bytes);
    std::vector<std::string> lines = crlf_lines(bytes);
    EXPECT_EQ(lines[3], "  -30.0000");
    EXPECT_EQ(lines[6], "2         ");
    EXPECT_EQ(d.records.reopens, 1);
}

// Category points of a scale such as USCALE=10000 are wider than F10.4: they are written with
// fewer decimals, never as stars (which the graphs program could only read as 0).
TEST(GraphsWorkFile, WidePointsLoseDecimalsNotDigits) {
    OutfileRun r;
    OutfileData d = rating_scale_data();
    for (float& x : d.a.category_score_point_measure) x *= 10000.0f;
    d.a.category_score_point_measure[8] = -300000.0f;
    const std::vector<std::string> lines = crlf_lines(write_zvb(r, d));
    EXPECT_EQ(lines[3], "-300000.00");
    for (const std::string& l : lines) EXPECT_EQ(l.find('*'), std::string::npos) << l;
}

TEST(GraphsWorkFile, ModelCodes) {
    OutfileRun r;
    OutfileData d = rating_scale_data();
    d.a.group_model = {' ', 'F', 'S', 'R'};
    std::vector<std::string> lines = crlf_lines(write_zvb(r, d));
    EXPECT_EQ(lines[7], "12");
    EXPECT_EQ(lines[8], "11");
    // A two-category group of model "S" is a dichotomy.
    d.a.group_top_category[2] = 1;
    lines = crlf_lines(write_zvb(r, d));
    EXPECT_EQ(lines[8], "0");
}

TEST(GroupLabel, NamesTheGroupByItsFirstMeasuredItem) {
    OutfileData d = rating_scale_data();
    d.a.item_status[1] = 0;  // extreme: the next item of the group names it
    d.a.item_status[3] = 1;
    EXPECT_EQ(build_group_label(d.s, d.a, d.records, 1), R"(FOR GROUP: "A",  QUESTION NUMBER: 3  Appetite)");
    EXPECT_EQ(build_group_label(d.s, d.a, d.records, 2), R"(FOR GROUP: "B",  MODEL: "S",  QUESTION NUMBER: 2  Sleep)");
    // No measured item: number 0; the group character comes from any item of the group.
    EXPECT_EQ(build_group_label(d.s, d.a, d.records, 3), R"(FOR GROUP: "C",  QUESTION NUMBER: 0  ** unknown **)");
    d.s.groups_mode = 2;
    d.s.groups = "0";
    EXPECT_EQ(build_group_label(d.s, d.a, d.records, 3), R"(FOR GROUP: "0",  QUESTION NUMBER: 0  ** unknown **)");
    d.records.item_labels[2] = "Sleep " + std::string(100, 'z');
    std::string long_label = build_group_label(d.s, d.a, d.records, 2);
    EXPECT_EQ(long_label.size(), 80u);
    EXPECT_EQ(long_label.back(), 'z');
}

TEST(GraphsWorkFile, FailuresAreReportedAndNothingIsStarted) {
    OutfileRun r;
    OutfileData d = rating_scale_data();
    d.records.reopen_ok = false;
    EXPECT_FALSE(write_graphs_work_file(r.run, d.s, d.a, d.records));
    EXPECT_FALSE(file_exists(graphs_work_file_path(r.run)));
    r.run.rs.temp_directory = r.dir.file("missing/");
    d.records.reopen_ok = true;
    EXPECT_FALSE(write_graphs_work_file(r.run, d.s, d.a, d.records));
    EXPECT_TRUE(r.host.shows("PROBLEM: Unusable Output File Name (2): for file: " + r.dir.file("missing/ZVB042kv.txt") +
                             " in mode O"));
}

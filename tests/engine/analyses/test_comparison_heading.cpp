// The comparison chart heads each file's panel with the file's name, not its folder: two files
// of one folder under a folder named in Greek and CJK letters are told apart, the heading is
// UTF-8 and its bars stand over the frame's joints.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/analyses/measure_comparison.h"
#include "engine/driver/output_dispatch.h"
#include "tests/engine/tables/summary_fixture.h"
#include "tests/support/data_sets.h"

using namespace korvelan;
using namespace korvelan::testing;

TEST(ComparisonHeading, EachFileIsHeadedByItsNameWhole) {
    SummaryRun a(dichotomous_set("IFILE=i.txt\n"));
    ASSERT_EQ(a.exit_status, 0);
    const std::string folder = a.dir.file("δεδομένα 資料");
    std::filesystem::create_directory(folder);
    const std::string left = folder + "/αρχείο.txt", right = folder + "/右.txt";
    std::filesystem::copy_file(a.dir.file("i.txt"), left);
    std::filesystem::copy_file(a.dir.file("i.txt"), right);
    // The shell keeps the names as the file dialog gives them: full paths.
    a.run.rs.comparison = ComparisonSettings{'M', 'L', left, left, right, right};
    a.host.line_file.clear();
    a.run.rep.request.table = 99;
    dispatch_output_request(a.run);
    const std::vector<std::string>& chart = a.host.line_file;
    ASSERT_GE(chart.size(), 5u);
    const std::string& heading = chart[1];
    EXPECT_TRUE(utf8_text(heading)) << heading;
    EXPECT_EQ(heading.find("δεδομένα"), std::string::npos) << heading;
    // The left panel is as wide as the right one (both files hold the same measures); each
    // shows as much of its file's name as fits, from the start.
    EXPECT_TRUE(heading.find("|αρχ") != std::string::npos || heading.find(" αρχ") != std::string::npos)
        << heading;
    EXPECT_NE(heading.find("右"), std::string::npos) << heading;
    // The heading's bars stand in the screen columns of the separator's joints.
    EXPECT_EQ(frame_columns(heading), frame_columns(chart[3])) << heading << "\n" << chart[3];
}

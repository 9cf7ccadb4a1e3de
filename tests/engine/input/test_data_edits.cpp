#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/input/data_edits.h"
#include "engine/report/end_report.h"
#include "engine/run/control_reader.h"
#include "engine/run/file_units.h"
#include "engine/run/messages.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using korvelan::testing::crlf_lines;
using korvelan::testing::read_file;
using korvelan::testing::write_file;

namespace {

using Codes = std::vector<std::uint8_t>;

// Five persons answering four items with codes ABCD, their code records in ZNN.
struct DataEditTest : ::testing::Test {
    korvelan::testing::ScratchDir dir;
    korvelan::testing::CwdGuard cwd;
    korvelan::testing::TestHost host;
    korvelan::Run run;
    WorkFileLayout layout{4, 4, 8, false};
    WorkFiles files{layout};
    Codes buffer = Codes(4);
    std::vector<Codes> start{{1, 2, 3, 4}, {3, 3, 0, 1}, {3, 2, 2, 1}, {3, 1, 2, 2}, {3, 0, 4, 2}};

    DataEditTest() {
        if (::chdir(dir.path.c_str()) != 0) throw std::runtime_error("chdir");
        run.host = &host;
        run.rs.temp_directory = dir.path;
        run.rs.run_id = "001";
        run.cv.ni = 4;
        run.cv.codes = pad_right("ABCD", width::kCodes);
        run.cv.categs = 4;
        run.cv.makekey = 'Y';
        open_person_work_files(run, layout);
        for (std::size_t p = 0; p < start.size(); ++p)
            write_person_codes_record(run, files, p + 1, start[p]);
    }
    Codes codes(std::int64_t p) {
        Codes c(4);
        read_person_codes_record(run, files, p, c);
        return c;
    }
    bool edit(const std::string& text) {
        write_file(dir.file("ed.txt"), text);
        run.cv.edfile = pad_right("ed.txt", width::kFileName);
        try {
            apply_data_edits(run, files, 5, buffer);
            return true;
        } catch (const RunStopped&) {
            return false;
        }
    }
};

}  // namespace

TEST_F(DataEditTest, EditsChangeExactlyTheNamedResponses) {
    ASSERT_TRUE(
        edit("; persons items value\n"
             "3-5 2 B\n"
             "\n"
             "1, 2-9 \"C\"   ; items cut at NI\n"
             "4 1 `D\n"    // no closing mark: the XWIDE characters after it
             "2 4 ''\n"    // an empty pair is a blank: no code
             "6-9 1 A\n"   // beyond the persons: nothing
             "5 3 x\n"));  // not a code
    EXPECT_EQ(codes(1), (Codes{1, 3, 3, 3}));
    EXPECT_EQ(codes(2), (Codes{3, 3, 0, 0}));
    EXPECT_EQ(codes(3), (Codes{3, 2, 2, 1}));
    EXPECT_EQ(codes(4), (Codes{4, 2, 2, 2}));
    EXPECT_EQ(codes(5), (Codes{3, 2, 0, 2}));
    EXPECT_EQ(host.lines.at(0), " Processing EDFILE= data edit from: ed.txt");
    EXPECT_EQ(host.menus, (std::vector<std::string>{"Edit data EDFILE =ed.txt"}));
}

TEST_F(DataEditTest, InvalidLinesStopTheRun) {
    for (const char* line : {"3 x B", "3 2", "0 1 A", "4-2 1 A", "-1 1 A"}) {
        close_all_units(run);
        open_person_work_files(run, layout, RecordOpen::Keep);
        run.rs.run_failed = false;
        host.lines.clear();
        EXPECT_FALSE(edit(std::string("1 1 A\n; note\n   ") + line + " ; why\n")) << line;
        EXPECT_TRUE(host.shows(std::string("\nInvalid line in EDFILE= of: ") + line + " in EDFILE=ed.txt line 3\n"))
            << line;
        EXPECT_TRUE(run.rs.run_failed);
    }
}

// The value is looked up as a data response of XWIDE= columns: its first XWIDE characters,
// left-adjusted.
TEST_F(DataEditTest, WideValuesAreLookedUpAsDataResponses) {
    run.cv.xwide = 2;
    run.cv.codes = pad_right("1 2 10", width::kCodes);
    run.cv.categs = 3;
    ASSERT_TRUE(edit("1 1 \" 1\"\n1 2 10\n1 3 2\n1 4 \"102\"\n2 1-4 \"  \"\n3 1 `1\n"));
    EXPECT_EQ(codes(1), (Codes{1, 3, 2, 3}));
    EXPECT_EQ(codes(2), (Codes{0, 0, 0, 0}));
    EXPECT_EQ(codes(3), (Codes{1, 2, 2, 1}));
}

TEST_F(DataEditTest, MakekeyTakesTheMostFrequentCodeFirstListedOnTies) {
    std::vector<std::int8_t> persons{0, 1, 1, -3, 1, 0};  // person 3 was removed at input
    std::vector<std::int8_t> items{0, 1, 1, 1, -3};
    ItemDefinitionStrings strings;
    write_file(work_file_path(run, "ZIN"), "NI=4\r\n");  // the control lines read so far
    run.rs.report_file = dir.file("report.txt");
    ASSERT_EQ(open_unit(run, unit::kReport, run.rs.report_file, OpenMode::Write), 0);
    ASSERT_TRUE(make_answer_key(run, files, 5, persons, items, buffer, strings));
    // Item 1: C three times. Items 2 and 3: three codes once each, A and B listed first; counting
    // person 3 would make B win item 2. Item 4 is not counted (B would win it): A.
    EXPECT_EQ(strings.answer_keys, (std::vector<std::string>{"CABA"}));
    EXPECT_EQ(strings.key_scores, (std::vector<std::int32_t>{1}));
    EXPECT_EQ(run.cv.key_count, 1);
    EXPECT_EQ(
        host.lines,
        (std::vector<std::string>{"MAKEKEY=  constructed.  See Table 0.3 in Report Output File."}));
    run.report_end = append_saved_report_and_control_lines;
    finish_analysis_report(run);  // the key stands in Table 0.3 after the control lines
    const std::string report = read_file(run.rs.report_file);
    EXPECT_NE(report.find("TABLE 0.3"), std::string::npos);
    EXPECT_NE(report.find("\r\nNI=4\r\nMAKEKEY=Y constructed key follows:\r\nKEY1=\"CABA\"\r\n"),
              std::string::npos);

    run.cv.categs = 1;
    EXPECT_FALSE(make_answer_key(run, files, 5, persons, items, buffer, strings));
    run.cv.categs = 4;
    run.cv.makekey = 'N';
    EXPECT_FALSE(make_answer_key(run, files, 5, persons, items, buffer, strings));
}

TEST_F(DataEditTest, LongKeyLinesContinueAndReadBackAsTheSameKey) {
    std::string key;
    for (int i = 0; i < 145; ++i) key += "ABCD"[(i * 7) % 4];
    std::vector<std::string> lines = answer_key_control_lines(key);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "KEY1=\"" + key.substr(0, 70) + "+");
    EXPECT_EQ(lines[1], " +" + key.substr(70, 70) + "+");
    EXPECT_EQ(lines[2], " +" + key.substr(140) + "\"");
    EXPECT_EQ(answer_key_control_lines("AB"), (std::vector<std::string>{"KEY1=\"AB\""}));

    // Pasted into a control file, the lines give the key back.
    run.cv.ni = 145;
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    write_file(dir.file("ctl.txt"), text + "&END\n");
    ASSERT_EQ(open_unit(run, unit::kControl, dir.file("ctl.txt"), OpenMode::Read), 0);
    ItemDefinitionStrings strings;
    strings.answer_keys.resize(1);
    strings.key_scores.assign(1, -1);
    read_control_file(run, ReadPass::Second, &strings);
    EXPECT_EQ(strings.answer_keys[0], key);
}

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/input/mforms.h"
#include "engine/run/file_units.h"
#include "engine/run/messages.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using korvelan::testing::crlf_lines;
using korvelan::testing::read_file;
using korvelan::testing::write_file;

namespace {

struct MformsTest : ::testing::Test {
    korvelan::testing::ScratchDir dir;
    korvelan::testing::CwdGuard cwd;
    korvelan::testing::TestHost host;
    korvelan::Run run;
    MformsTest() {
        if (::chdir(dir.path.c_str()) != 0) throw std::runtime_error("chdir");
        run.host = &host;
        run.rs.temp_directory = dir.path;
        run.rs.run_id = "001";
        run.cv.name1 = 1;
        run.cv.item1 = 11;
        run.cv.xwide = 1;
    }
    // Reformats with the given instructions; false when the run stopped.
    bool reformat(const std::string& instructions) {
        write_file(dir.file("mf.txt"), instructions);
        run.cv.mforms = pad_right("mf.txt", width::kFileName);
        try {
            reformat_data_with_mforms(run);
            return true;
        } catch (const RunStopped&) {
            return false;
        }
    }
    std::vector<std::string> zmf() {
        std::vector<std::string> lines = crlf_lines(read_file(work_file_path(run, "ZMF")));
        if (!lines.empty() && lines.back().empty()) lines.pop_back();
        return lines;
    }
};

}  // namespace

TEST_F(MformsTest, TwoLinesPerPersonGiveTheRecordsOfOneLinePerPerson) {
    write_file(dir.file("two.txt"),
               "ANN       0101010101\n"
               "ANN       1111100000\n"
               "BOB       0011001100\n"
               "BOB       1010101010\n"
               "CID       1111111111\n");  // the last person lacks its second line
    ASSERT_TRUE(
        reformat("; two lines per person\n"
                 "D=two.txt\n"
                 "l=2\n"
                 "P1-3=1:1\n"
                 "I1-10=1:11   ; first ten items\n"
                 "I11-20=2:11\n"));
    EXPECT_EQ(zmf(),
              (std::vector<std::string>{"ANN       01010101011111100000",
                                        "BOB       00110011001010101010", "CID       1111111111"}));
    EXPECT_EQ(std::string(trim(run.cv.data_file)), work_file_path(run, "ZMF"));
    EXPECT_TRUE(host.shows("Opening: two.txt\nRecords processed: 3\n"));
    EXPECT_EQ(host.menus,
              (std::vector<std::string>{"Edit MFORMS=mf.txt", "Edit Data File=two.txt"}));
}

TEST_F(MformsTest, LiteralsBlocksAndSeveralDataFiles) {
    run.cv.xwide = 2;
    run.cv.data_file = pad_right("given.txt", width::kData);
    write_file(dir.file("a.txt"), "x1\ny2\n\x1Az3\n");  // the end-of-file byte ends a file
    write_file(dir.file("B.txt"), "w4\n");
    ASSERT_TRUE(
        reformat("C1=\"a\"\nC2-3=2\nI1='7'\nD=a.txt+ +B.txt\n"
                 "#\n"
                 "C1-2=\"Zz\"\nD=a.txt\n"));
    EXPECT_EQ(zmf(),
              (std::vector<std::string>{"a1        7", "a2        7", "a4        7", "Zz", "Zz"}));
    EXPECT_EQ(std::string(trim(run.cv.data_file)), "given.txt+" + work_file_path(run, "ZMF"));
}

TEST_F(MformsTest, FaultyInstructionsStopTheRun) {
    write_file(dir.file("d.txt"), "1\n");
    // A problem in a line names the file and the line (blank and comment lines counted).
    const std::pair<const char*, const char*> cases[] = {
        {"D=d.txt\n\nI5-3=1\n", "MFORMS= LESS-MORE VALUE PROBLEM: I5-3=1 in MFORMS=mf.txt line 3"},
        {"X1=2\n", "MFORMS= MISSING \"=\" SIGN: X1=2 in MFORMS=mf.txt line 1"},
        {"; note\nC1 2\n", "MFORMS= MISSING \"=\" SIGN: C1 2 in MFORMS=mf.txt line 2"},
        {"C1=   \n", "MFORMS= VALUE AFTER \"=\" MISSING: C1= in MFORMS=mf.txt line 1"},
        {"L=0\n", "MFORMS= MISSING LINE COUNT: L=0 in MFORMS=mf.txt line 1"},
        {"C=1\n", "MFORMS= MISSING VALUE: C=1 in MFORMS=mf.txt line 1"},
        {"C1=x\n", "MFORMS= \"=\" VALUE: C1=x in MFORMS=mf.txt line 1"},
        {"C1=2:0\n", "MFORMS= \"=\" VALUE: C1=2:0 in MFORMS=mf.txt line 1"},
        {"C1=1\n#\n", "MFORMS= \"DATA=\" MISSING"},
    };
    for (const auto& [text, message] : cases) {
        close_all_units(run);
        run.rs.run_failed = false;
        host.lines.clear();
        EXPECT_FALSE(reformat(text)) << text;
        EXPECT_TRUE(host.shows(std::string(message) + "\n")) << host.screen();
        EXPECT_TRUE(run.rs.run_failed) << text;
    }
}

TEST_F(MformsTest, MissingFilesAreReportedAsInputFiles) {
    run.cv.mforms = pad_right("nothere.txt", width::kFileName);
    EXPECT_THROW(reformat_data_with_mforms(run), RunStopped);
    EXPECT_EQ(host.lines.at(0), "MFORMS= FAILED");
    EXPECT_EQ(host.lines.at(1),
              "PROBLEM: Input File Not Found. Please specify full path. (2): for file: "
              "nothere.txt in mode I");

    host.lines.clear();
    EXPECT_FALSE(reformat("D=absent.txt\nC1=1\n"));
    EXPECT_TRUE(host.shows("Opening: absent.txt\nPROBLEM: Input File Not Found."));
    EXPECT_TRUE(run.rs.run_failed);
}

TEST_F(MformsTest, FarSourceLinesCostOnlyTheirCharacters) {
    // Twenty million lines per person: the buffer is 80 MB of characters, not a line object
    // per line; the data's one record takes both its lines and the blank rest.
    write_file(dir.file("d.txt"), "ab\ncd\n");
    ASSERT_TRUE(reformat("D=d.txt\nC1=1:1\nC2-3=2:1\nC4-6=20000000:2\n"));
    EXPECT_EQ(zmf(), (std::vector<std::string>{"acd"}));
    EXPECT_TRUE(host.shows("Records processed: 1\n"));

    close_all_units(run);
    host.lines.clear();
    EXPECT_FALSE(reformat("D=d.txt\nC1-3=100000000:1\n"));
    EXPECT_TRUE(host.shows(" 300000003 bytes of memory not available, MFORMS= not processed.\n"))
        << host.screen();
}

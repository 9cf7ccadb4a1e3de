#include <gtest/gtest.h>

#include "engine/input/item_definitions.h"
#include "engine/run/file_units.h"
#include "tests/support/analysis_run.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

struct ListFiles : ::testing::Test {
    ScratchDir dir;
    TestHost host;
    korvelan::Run run;
    void SetUp() override {
        run.host = &host;
        run.cv.ni = 6;
        run.cv.xwide = 1;
    }
    void TearDown() override { close_all_units(run); }
    std::string file(const std::string& text) {
        write_file(dir.file("list.txt"), text);
        return dir.file("list.txt");
    }
    bool read(void (*reader)(korvelan::Run&)) {
        try {
            reader(run);
            return true;
        } catch (const RunStopped&) {
            return false;
        }
    }
};

}  // namespace

TEST_F(ListFiles, EntriesRangesAndCodesOfTheGroupsList) {
    run.cv.groups_list =
        file("3-1 A\n0-2 B\n5\n; a comment\n-4 C\n1 2-5 A\n6 \"x\", extra\n9-12 Z\n");
    ASSERT_TRUE(read(read_groups_file));
    EXPECT_EQ(run.arrays.strings.groups, "BBA  x");
    EXPECT_EQ(run.cv.groups_mode, 1);
    EXPECT_TRUE(host.shows(" Processing GROUPS= from " + dir.file("list.txt") + "\n"));
    EXPECT_TRUE(host.shows("Value problem in Group=*: -4 C\n"));
    EXPECT_TRUE(host.shows("Value problem in Group=*: 1 2-5 A\n"));
}

TEST_F(ListFiles, ModelsListReadsAnEntryBeforeARangeAsTheRangeStart) {
    run.cv.models_list = file("1 2-5 a\n");
    ASSERT_TRUE(read(read_models_file));
    EXPECT_EQ(run.arrays.strings.models, "aaaaa ");
    EXPECT_EQ(run.cv.models_mode, 1);
    EXPECT_FALSE(host.shows("Value problem"));
}

TEST_F(ListFiles, ZeroCodesMeanOneGroupPerItemButAreModelCodes) {
    run.cv.groups_list = file("1-3 0\n");
    ASSERT_TRUE(read(read_groups_file));
    EXPECT_EQ(run.cv.groups_mode, 2);
    run.cv.models_list = file("1-3 0\n");
    ASSERT_TRUE(read(read_models_file));
    EXPECT_EQ(run.cv.models_mode, 1);
    run.cv.irefer_list = file("; nothing\n");
    ASSERT_TRUE(read(read_irefer_file));
    EXPECT_EQ(run.cv.irefer_mode, 0);
}

TEST_F(ListFiles, CodesGoToTheFirstColumnOfEachWideSlot) {
    run.cv.xwide = 2;
    run.cv.ni = 3;
    run.cv.irefer_list = file("2-3 B\n");
    ASSERT_TRUE(read(read_irefer_file));
    EXPECT_EQ(run.arrays.strings.irefer, "  B B ");
}

TEST_F(ListFiles, AMissingRescoreListOnlyStopsRescoring) {
    run.cv.rescore_list = dir.file("none.txt");
    run.cv.rescore_mode = 3;
    ASSERT_TRUE(read(read_rescore_file));
    EXPECT_EQ(run.cv.rescore_mode, 0);
    EXPECT_TRUE(
        host.shows("PROBLEM: Input File Not Found. Please specify full path. (2): for file: "));
    EXPECT_FALSE(run.rs.run_failed);
    run.cv.groups_list = dir.file("none.txt");
    EXPECT_FALSE(read(read_groups_file));
    EXPECT_TRUE(run.rs.run_failed);
}

TEST_F(ListFiles, BlankKeyScoresAreRewrittenWithTheKeyNumbers) {
    run.cv.xwide = 2;
    run.cv.key_scores = std::string(512, ' ');
    run.arrays.strings.key_scores = {1, 2};
    settle_key_scores(run);
    EXPECT_EQ(run.cv.key_scores.substr(0, 5), "1 2  ");
    EXPECT_EQ(run.arrays.strings.key_scores, (std::vector<std::int32_t>{1, 2}));
}

TEST_F(ListFiles, KeyScoresAreReadFromTheirFields) {
    run.cv.key_scores = "3A-9 7";
    run.arrays.strings.key_scores = {1, 2, 3, 4, 5, -1};
    settle_key_scores(run);
    // A letter, a minus sign alone or a blank field score 255; key 6 was never given.
    EXPECT_EQ(run.arrays.strings.key_scores, (std::vector<std::int32_t>{3, 255, 255, 9, 255, -1}));
    run.cv.xwide = 2;
    run.cv.key_scores = "-1 4";
    run.arrays.strings.key_scores = {1, 2};
    settle_key_scores(run);
    EXPECT_EQ(run.arrays.strings.key_scores, (std::vector<std::int32_t>{255, 4}));
}

TEST(DataLayoutRecords, GroupsRecordOfZeroGivesEveryItemItsOwnGroup) {
    AnalysisRun a;
    a.analyse(lines({"NI=3", "ITEM1=1", "NAME1=5", "GRP=Y", "&END", "0", "a", "b", "c",
                     "END LABELS", "101 P"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.run.cv.groups_mode, 2);
    EXPECT_EQ(a.run.arrays.groups, 3);
}

TEST(DataLayoutRecords, MissingRecordStopsTheRunNamingIt) {
    AnalysisRun a;
    a.analyse(lines({"NI=3", "ITEM1=1", "NAME1=5", "MODF=Y", "&END"}));
    EXPECT_EQ(a.exit_status, 1);
    EXPECT_TRUE(
        a.shows(" FAILURE TO READ CORRECTLY A \"MODELS\" RECORD.\n"
                " CHECK FOR CORRECT SEQUENCE IN CONTROL FILE:\n"
                "   SEE APPENDIX 2 IN USER'S GUIDE\n"))
        << a.host.screen();
}

TEST(DataLayoutRecords, ModelsRecordOfOneLetterSetsTheModelForAll) {
    AnalysisRun a;
    a.analyse(lines({"NI=3", "ITEM1=1", "NAME1=5", "CODES=012", "MODF=Y", "&END", "s", "a", "b",
                     "c", "END LABELS", "102 P"}));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.run.cv.models_mode, 2);
    EXPECT_EQ(a.run.arrays.group_model[1], 'S');
}

// Memory shortage during the set-up of the analysis arrays, simulated through the allocator's
// test hook, and the person status hold file.
#include <gtest/gtest.h>

#include "engine/run/analysis_allocation.h"
#include "engine/run/file_units.h"
#include "tests/support/analysis_run.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

std::string dichotomous(int persons) {
    std::vector<std::string> text = {"NI=2", "ITEM1=1", "NAME1=4", "&END", "a", "b", "END LABELS"};
    for (int p = 1; p <= persons; ++p)
        text.push_back(p % 2 ? "10 P" + std::to_string(p) : "01 P" + std::to_string(p));
    return lines(text);
}

auto refuse(MemoryBlock which, std::int64_t above) {
    return [which, above](MemoryBlock block, std::int64_t bytes) {
        return block == which && bytes > above;
    };
}

}  // namespace

TEST(MemoryShortage, ItemBlockIsFatal) {
    AnalysisRun a;
    a.run.input.refuse_memory = refuse(MemoryBlock::Items, 0);
    a.analyse(dichotomous(3));
    EXPECT_EQ(a.exit_status, 1);
    EXPECT_TRUE(
        a.shows("       156 bytes of memory not available. NOT ENOUGH MEMORY FOR       2 ITEMS "
                "IOSTAT= 10070"))
        << a.host.screen();
}

TEST(MemoryShortage, AnyStringBlockGivesOneMessageWithTheLastRequest) {
    AnalysisRun a;
    a.run.input.refuse_memory = refuse(MemoryBlock::AnswerKeys, 0);
    std::string ctl = dichotomous(3);
    a.analyse("KEY1=10\n" + ctl);
    EXPECT_EQ(a.exit_status, 1);
    EXPECT_TRUE(
        a.shows("        33 bytes of memory not available. NOT ENOUGH MEMORY FOR       2 "
                "KEY/RESCOR/GROUPS/MODELS/IVALUE IOSTAT=    -2"))
        << a.host.screen();
}

TEST(MemoryShortage, PersonStatusArrayHalvesAndExtraRecordsAreOnlyCounted) {
    AnalysisRun a;
    a.run.input.refuse_memory = refuse(MemoryBlock::PersonStatus, 100);
    a.analyse(dichotomous(65));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_EQ(a.run.arrays.person_status_capacity, 61);
    EXPECT_TRUE(a.shows("PERSONS SKIPPED AFTER 61\n"));
    EXPECT_TRUE(a.shows("      65 PERSON       Records Input."));
    EXPECT_TRUE(
        a.shows(" ONLY FIRST      61 OF      65 PERSONS       PROCESSED DUE TO MEMORY LIMITS"))
        << a.host.screen();
    EXPECT_EQ(a.run.arrays.persons, 61);
    EXPECT_EQ(a.person_label(61), "P61");
}

TEST(MemoryShortage, NoPersonStatusArrayAtAllIsFatal) {
    AnalysisRun a;
    a.run.input.refuse_memory = refuse(MemoryBlock::PersonStatus, 0);
    a.analyse(dichotomous(3));
    EXPECT_EQ(a.exit_status, 1);
    EXPECT_TRUE(
        a.shows("        39 bytes of memory not available. NOT ENOUGH MEMORY FOR       7 "
                "PERSON STATUS ARRAY IOSTAT= 10070"))
        << a.host.screen();
}

TEST(MemoryShortage, PersonBlockKeepsTheLargestCountThatFits) {
    AnalysisRun a;
    a.run.input.refuse_memory = refuse(MemoryBlock::Persons, 33 * 5 + 32);
    a.analyse("PSELECT=P{1-4}\n" + dichotomous(8));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_TRUE(a.shows("\n296 bytes of memory not available. Complete analysis not done.\n"))
        << a.host.screen();
    EXPECT_TRUE(
        a.shows(" ONLY FIRST       5 OF       8 PERSONS       PROCESSED DUE TO MEMORY LIMITS"));
    EXPECT_EQ(a.run.arrays.persons, 5);
    // The first persons in input order stay, with the statuses data input gave them.
    EXPECT_EQ(a.person_statuses(), (std::vector<int>{1, 1, 1, 1, -3}));
}

TEST(MemoryShortage, NotEvenOnePersonIsFatal) {
    AnalysisRun a;
    a.run.input.refuse_memory = refuse(MemoryBlock::Persons, 0);
    a.analyse(dichotomous(8));
    EXPECT_EQ(a.exit_status, 1);
    EXPECT_TRUE(
        a.shows("        65 bytes of memory not available. NOT ENOUGH MEMORY FOR       1 PERSONS "
                "IOSTAT= 10070"))
        << a.host.screen();
}

TEST(MemoryShortage, MemoryImagesAreOptionalAndSilent) {
    AnalysisRun a;
    a.run.input.refuse_memory = [](MemoryBlock block, std::int64_t) {
        return block == MemoryBlock::PersonRecordImage || block == MemoryBlock::ScoredResponseImage;
    };
    a.analyse(dichotomous(3));
    ASSERT_EQ(a.exit_status, 0) << a.host.screen();
    EXPECT_TRUE(a.run.arrays.person_record_image.empty());
    EXPECT_TRUE(a.run.arrays.scored_response_image.empty());
    EXPECT_FALSE(a.shows("memory"));
}

// ---- person status hold file --------------------------------------------------------------------

namespace {

struct Hold : ::testing::Test {
    ScratchDir temp;
    korvelan::Run run;
    void SetUp() override {
        run.rs.temp_directory = temp.path;
        run.rs.run_id = "321";
    }
    void TearDown() override { close_all_units(run); }
    void statuses(std::vector<int> s, std::int8_t fallback) {
        run.arrays.person_status_input.assign(20, fallback);
        for (std::size_t n = 0; n < s.size(); ++n)
            run.arrays.person_status_input[n + 1] = static_cast<std::int8_t>(s[n]);
        run.input.person_default_status = fallback;
    }
    std::vector<int> round_trip(std::int32_t persons) {
        const std::int32_t held = hold_person_statuses(run);
        run.arrays.persons = persons;
        allocate_person_block(run);
        restore_person_statuses(run, held);
        return {run.arrays.person_status.begin() + 1, run.arrays.person_status.end()};
    }
};

}  // namespace

TEST_F(Hold, StatusesUpToTheLastExceptionAreKept) {
    statuses({1, -3, 1, 1}, 1);
    run.arrays.persons = 6;
    run.input.highest_person_touched = 4;
    EXPECT_EQ(hold_person_statuses(run), 2);
    EXPECT_TRUE(file_exists(work_file_path(run, "ZUU")));
    EXPECT_TRUE(run.arrays.person_status_input.empty());
    run.arrays.persons = 6;
    allocate_person_block(run);
    restore_person_statuses(run, 2);
    EXPECT_EQ(
        std::vector<int>(run.arrays.person_status.begin() + 1, run.arrays.person_status.end()),
        (std::vector<int>{1, -3, 1, 1, 1, 1}));
    EXPECT_FALSE(file_exists(work_file_path(run, "ZUU")));
}

TEST_F(Hold, ListBeginningWithAReinstatementLeavesOthersDeleted) {
    statuses({1, -3, 1}, -3);
    run.input.highest_person_touched = 3;
    run.arrays.persons = 6;
    EXPECT_EQ(round_trip(6), (std::vector<int>{1, -3, 1, -3, -3, -3}));
}

TEST_F(Hold, NothingTouchedWritesNoFile) {
    statuses({}, 1);
    run.arrays.persons = 3;
    EXPECT_EQ(round_trip(3), (std::vector<int>{1, 1, 1}));
    EXPECT_FALSE(file_exists(work_file_path(run, "ZUU")));
}

TEST_F(Hold, FewerPersonsThanHeldReadOnlyTheirOwn) {
    statuses({-3, 1, -3}, 1);
    run.input.highest_person_touched = 3;
    run.arrays.persons = 3;
    const std::int32_t held = hold_person_statuses(run);
    EXPECT_EQ(held, 3);
    run.arrays.persons = 2;
    allocate_person_block(run);
    restore_person_statuses(run, held);
    EXPECT_EQ(
        std::vector<int>(run.arrays.person_status.begin() + 1, run.arrays.person_status.end()),
        (std::vector<int>{-3, 1}));
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/entry_sort.h"
#include "engine/run/file_units.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using korvelan::testing::ScratchDir;
using korvelan::testing::TestHost;

namespace {

using Entries = std::vector<std::int32_t>;

Entries listed(const EntryOrder& order) {
    return Entries(order.entries.begin(), order.entries.begin() + order.count);
}

// A full progress bar as the window shows it once a sort has ended.
const std::string kFullBar = ">" + std::string(75, '=') + "<";

}  // namespace

TEST(EntrySort, GapSequenceStartsBelowHalfThePowerOfThree) {
    EXPECT_EQ(shell_sort_gaps(100), (std::vector<int>{40, 13, 4, 1}));
    EXPECT_EQ(shell_sort_gaps(1), (std::vector<int>{1}));
    EXPECT_EQ(shell_sort_gaps(0), (std::vector<int>{1}));
    // ln(2n + 0.1) / ln 3 passes 3 between 13 and 14 entries.
    EXPECT_EQ(shell_sort_gaps(13), (std::vector<int>{4, 1}));
    EXPECT_EQ(shell_sort_gaps(14), (std::vector<int>{13, 4, 1}));
}

TEST(EntrySort, MeasureOrderKeepsExtremesAndBreaksNearTiesByTheLettersCase) {
    // Entries 2 and 4 differ by 0.00004: the same measure. 5 and 6 are extremes, 7 is dropped
    // and 8 deleted.
    const std::vector<float> measure{0, 0.5f, 1.23455f, -1.0f, 1.23451f, 3.0f, -3.0f, 9.0f, 9.0f};
    const std::vector<std::int8_t> status{0, 1, 1, 2, 1, 0, -1, -2, -3};
    EntryOrder order;
    EXPECT_EQ(select_and_sort_entries(order, measure, 8, 'M', status), 6);
    EXPECT_EQ(listed(order), (Entries{5, 2, 4, 1, 3, 6}));
    EXPECT_EQ(select_and_sort_entries(order, measure, 8, 'm', status), 6);
    EXPECT_EQ(listed(order), (Entries{5, 4, 2, 1, 3, 6}));
    // Measured entries only; "P" puts the lowest value first, near ties still ascending.
    EXPECT_EQ(select_and_sort_entries(order, measure, 8, 'G', status), 4);
    EXPECT_EQ(listed(order), (Entries{2, 4, 1, 3}));
    EXPECT_EQ(select_and_sort_entries(order, measure, 8, 'P', status), 4);
    EXPECT_EQ(listed(order), (Entries{3, 1, 2, 4}));
    EXPECT_EQ(select_and_sort_entries(order, measure, 8, 'E', status), 0);
    EXPECT_EQ(order.count, 0);
}

TEST(EntrySort, ShellSortAgreesWithAFullSortOnDistinctKeys) {
    // 500 keys at least 0.001 apart in random order: no ties, so the order is simply by key.
    const int n = 500;
    std::vector<float> key(n + 1, 0.0f);
    Entries expected;
    for (int e = 1; e <= n; ++e) expected.push_back(e);
    std::mt19937 random(7);
    std::shuffle(expected.begin(), expected.end(), random);
    for (int rank = 0; rank < n; ++rank) key[expected[rank]] = 2.0f - 0.001f * rank;
    const std::vector<std::int8_t> status(n + 1, 1);
    EntryOrder order;
    EXPECT_EQ(select_and_sort_entries(order, key, n, 'D', status), n);
    EXPECT_EQ(listed(order), expected);
}

TEST(EntrySort, FitOrderUsesTheLargerMeanSquareOrInfitAlone) {
    TestHost host;
    korvelan::Run run;
    run.host = &host;
    //                            1     2     3     4     5     6
    const std::vector<float> infit{0, 1.10f, 0.80f, 1.50f, 0.95f, 2.00f, 1.50004f};
    const std::vector<float> outfit{0, 1.90f, 0.70f, 1.20f, 1.40f, 5.00f, 1.10f};
    const std::vector<std::int8_t> status{0, 1, 1, 2, 1, 0, 1};  // 5 is extreme
    EntryOrder order;
    char letter = ' ';
    EXPECT_EQ(sort_entries_by_fit(run, order, 6, letter, status, outfit, infit, 'Y', 10), 5);
    EXPECT_EQ(letter, 'F');
    EXPECT_EQ(listed(order), (Entries{1, 3, 6, 4, 2}));
    EXPECT_EQ(host.lines, (std::vector<std::string>{"  Sorting by Fit for Table 10", kFullBar}));

    host.lines.clear();
    EXPECT_EQ(sort_entries_by_fit(run, order, 6, letter, status, outfit, infit, 'N', 6), 5);
    // Infits 1.5 and 1.50004 are the same key: ascending entry number.
    EXPECT_EQ(listed(order), (Entries{3, 6, 1, 4, 2}));
    EXPECT_EQ(host.lines, (std::vector<std::string>{"  Sorting by Infit for Table 6", kFullBar}));

    // One entry kept: no message, no progress, and still the fit letter.
    host.lines.clear();
    letter = 'M';
    const std::vector<std::int8_t> one{0, 0, -1, 1, 0, 0, -2};
    EXPECT_EQ(sort_entries_by_fit(run, order, 6, letter, one, outfit, infit, 'Y', 10), 1);
    EXPECT_EQ(listed(order), (Entries{3}));
    EXPECT_EQ(letter, 'F');
    EXPECT_TRUE(host.lines.empty());
    EXPECT_TRUE(host.open_chars.empty());
}

TEST(EntrySort, ValueOrderKeepsTheSignsOfTheEntries) {
    const std::vector<float> value{0, 0.50f, 0.505f, -1.0f, 2.0f, 0.3f};
    Entries list{1, -2, 3, -4, 5, 99};
    sort_entries_by_value(list, value, 5, -1);  // smallest value first; 99 is beyond the count
    EXPECT_EQ(list, (Entries{3, 5, 1, -2, -4, 99}));
    sort_entries_by_value(list, value, 5, 1);
    EXPECT_EQ(list, (Entries{-4, 1, -2, 5, 3, 99}));
}

namespace {

// Five items and four persons with labels in the work files; item 5 dropped, item 3 extreme.
struct LabelSortTest : ::testing::Test {
    ScratchDir dir;
    TestHost host;
    korvelan::Run run;
    std::vector<std::int8_t> item_status{0, 1, 1, 0, 1, -2};
    std::vector<std::int8_t> person_status{0, 1, 1, 1, 1};
    EntryOrder order;

    void SetUp() override {
        run.host = &host;
        run.rs.temp_directory = dir.path;
        run.rs.run_id = "123";
        run.cv.ni = 5;
        run.cv.itlen = 10;
        run.cv.namlen = 6;
        run.cv.item_numbering = 'N';
        run.cv.item_plural = pad_right("ITEMS", 13);
        run.cv.person_plural = pad_right("PERSONS", 13);
        run.arrays.items = 5;
        run.rep.request.table = 15;
        WorkFiles files(run_work_file_layout(run));
        ASSERT_EQ(open_item_label_work_file(run, 10), 0);
        const char* items[] = {"xxDelta", "aaAlpha", "bbCharlie", "zzAlpha", "ccBravo"};
        for (int i = 1; i <= 5; ++i)
            ASSERT_EQ(write_item_label_record(run, files, i, items[i - 1]), 0);
        open_person_work_files(run, run_work_file_layout(run));
        const char* persons[] = {"M03Kim", "F01Ann", "M02Bob", "F02Bob"};
        for (int p = 1; p <= 4; ++p) write_person_name_record(run, files, p, persons[p - 1]);
    }
    void TearDown() override { close_all_units(run); }

    Entries sort_items(int iso, std::size_t limit = SIZE_MAX) {
        EXPECT_EQ(sort_entries_by_label_for_table(run, ReportSide::Items, order, 5, item_status,
                                                  iso, 1, run.rep.request, limit),
                  4);
        return listed(order);
    }
};

}  // namespace

TEST_F(LabelSortTest, LabelsCompareFromTheStartColumnWithTiesByEntry) {
    // From column 3: Alpha (2), Alpha (4), Charlie (3), Delta (1); the dropped item is left out.
    EXPECT_EQ(sort_items(3), (Entries{2, 4, 3, 1}));
    EXPECT_EQ(run.rep.request.selectors[4], 3.0f);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"  Sorting ITEMS for Table 15.1", kFullBar}));
    // From column 1, and a start beyond the labels: all equal, so entry order.
    EXPECT_EQ(sort_items(1), (Entries{2, 3, 1, 4}));
    EXPECT_EQ(sort_items(400), (Entries{1, 2, 3, 4}));
    EXPECT_EQ(run.rep.request.selectors[4], 300.0f);
}

TEST_F(LabelSortTest, MapFieldSelectsTheComparedTextWhenTheStartIsZero) {
    run.cv.imap = pad_right("$S4W2", 60);
    // Columns 4-5: "el" (1), "lp" (2), "ha" (3), "lp" (4).
    EXPECT_EQ(sort_items(0), (Entries{1, 3, 2, 4}));
    // Without a map field a start of 0 (or below) compares from column 1.
    run.cv.imap = pad_right("", 60);
    EXPECT_EQ(sort_items(-2), (Entries{2, 3, 1, 4}));
    EXPECT_EQ(run.rep.request.selectors[4], 1.0f);
    EXPECT_EQ(host.lines.size(), 4u);  // two messages and two bars: no selection error
}

TEST_F(LabelSortTest, WithoutLabelMemoryTheLabelsAreReadAtEveryComparison) {
    run.cv.imap = pad_right("$S4W2", 60);
    for (int iso : {3, 0}) {
        const Entries in_memory = sort_items(iso);
        host.lines.clear();
        EXPECT_EQ(sort_items(iso, 0), in_memory) << "start column " << iso;
        // Five items of ten characters, or of the two the map field selects.
        const std::string bytes = iso == 3 ? "        50" : "        10";
        EXPECT_TRUE(host.shows(bytes + " bytes of memory not available, using disk work file ..."))
            << host.screen();
    }
}

TEST_F(LabelSortTest, RequestSelectorGivesTheStartColumnOfPersons) {
    run.rep.request.table = 16;
    run.rep.request.letters[4] = 'X';
    run.rep.request.selectors[4] = 2.6f;  // rounds to column 3
    EXPECT_EQ(sort_entries_by_label_for_table(run, ReportSide::Persons, order, 4, person_status,
                                              1, 3, run.rep.request),
              4);
    // From column 3 "2Bob" of persons 3 and 4 is a tie; from column 1 person 4 would come first.
    EXPECT_EQ(listed(order), (Entries{2, 3, 4, 1}));
    EXPECT_EQ(host.lines.at(0), "  Sorting PERSONS for Table 16.3");
}

TEST_F(LabelSortTest, ItemsWithoutLabelsStayInEntryOrderAndOneEntryIsNotSorted) {
    run.cv.item_numbering = 'Y';
    EXPECT_EQ(sort_items(3), (Entries{1, 2, 3, 4}));
    run.cv.item_numbering = 'N';
    item_status = {0, -2, -3, 1, -2, -2};
    EXPECT_EQ(sort_entries_by_label_for_table(run, ReportSide::Items, order, 5, item_status, 3,
                                              1, run.rep.request),
              1);
    EXPECT_EQ(listed(order), (Entries{3}));
    EXPECT_TRUE(host.lines.empty());
    EXPECT_TRUE(host.open_chars.empty());
}

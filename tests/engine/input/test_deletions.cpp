#include <gtest/gtest.h>

#include "engine/input/deletions.h"
#include "tests/engine/input/edit_file_fixture.h"

using namespace korvelan;
using korvelan::testing::EditFileTest;

namespace {

struct Deletions : EditFileTest {
    std::vector<std::int8_t> status = std::vector<std::int8_t>(16, 7);  // N = 15
    std::string list;

    DeletionSummary items(char question = 'N') {
        return apply_deletions(run, status, 15, question, list, EntitySide::Items, "ITEM", "ITEMS");
    }
    std::string deleted() const {
        std::string s;
        for (std::size_t e = 1; e < status.size(); ++e)
            if (status[e] == status::kDeleted) s += std::to_string(e) + " ";
        return s;
    }
};

}  // namespace

TEST_F(Deletions, ListedItemsAreReportedAsRunsAndListedAtTheEnd) {
    list = edit_file("del.txt", "3\n5-7 ; the middle block\n12\n");
    const DeletionSummary s = items();
    EXPECT_EQ(deleted(), "3 5 6 7 12 ");
    EXPECT_EQ(status[1], status::kMeasured);  // every other entry made active
    EXPECT_EQ(s.highest_entry, 12);
    EXPECT_EQ(s.list_mode, 1);
    write_deleted_item_listing(run, status, 15);
    EXPECT_EQ(host.lines.back(), " IDFILE=* 3 5-7 12 *");
    const auto lines = report_lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], " ");
    EXPECT_EQ(lines[1], "ITEM DELETIONS: 3 5-7 12");
    EXPECT_EQ(lines[2], " ");  // the listing's blank line in the report
    EXPECT_TRUE(host.shows(" Processing ITEMS   Deletions from: " + list));
    EXPECT_EQ(host.menus, std::vector<std::string>{"Edit ITEMS Delete IDFILE=" + list});
}

TEST_F(Deletions, LineFormsRangesAndIgnoredParts) {
    // "4 2" is the range 2-4; quoted text and comments are not read; "0" and numbers above N
    // name nothing; a blank line is skipped.
    list = edit_file("del.txt", "4 2\n\n9 \"13\"\n0\n20-30\n14-99\n");
    const DeletionSummary s = items();
    EXPECT_EQ(deleted(), "2 3 4 9 14 15 ");
    EXPECT_EQ(s.highest_entry, 15);
}

TEST_F(Deletions, ReinstatementLines) {
    // A list that begins with "+" keeps only the entries it names.
    list = edit_file("keep.txt", "+2\n+ 4-5\n");
    DeletionSummary s = items();
    EXPECT_EQ(s.list_mode, 0);
    EXPECT_EQ(deleted(), "1 3 6 7 8 9 10 11 12 13 14 15 ");
    // After ordinary lines a "+" line only reinstates.
    list = edit_file("mixed.txt", "1-5\n+3\n");
    s = items();
    EXPECT_EQ(s.list_mode, 1);
    EXPECT_EQ(deleted(), "1 2 4 5 ");
}

TEST_F(Deletions, PersonsAreNotReportedAndWorkFilesAreNotOffered) {
    list = edit_file("ZL1077kv.txt", "2\n");
    apply_deletions(run, status, 15, 'N', list, EntitySide::Persons, "PERSON", "PERSONS");
    EXPECT_EQ(deleted(), "2 ");
    EXPECT_TRUE(host.menus.empty());
    EXPECT_TRUE(report_lines().empty());
    // Nothing named keeps every entry; no deleted item, no listing.
    list.clear();
    items();
    EXPECT_EQ(deleted(), "");
    write_deleted_item_listing(run, status, 15);
    EXPECT_EQ(host.lines.size(), 1u);
}

TEST_F(Deletions, MissingFileEndsTheRun) {
    list = dir.file("absent.txt");
    EXPECT_THROW(items(), RunStopped);
    EXPECT_TRUE(run.rs.run_failed);
    EXPECT_TRUE(host.shows(
        "PROBLEM: Input File Not Found. Please specify full path. (2): for file: " + list +
        " in mode I"));
}

TEST_F(Deletions, DialogueReadsFilesAndTypedLines) {
    const std::string file = edit_file("more.txt", "1\n");
    answer({"y", file.c_str(), "N", "Y", "", "3-4", "+4", "0", "5"});
    items('Y');
    EXPECT_EQ(deleted(), "1 3 ");
    ASSERT_GE(host.prompts.size(), 5u);
    EXPECT_EQ(host.prompts[0], " DO YOU WANT TO READ SOME ITEMS   TO DELETE  FROM A FILE? ");
    EXPECT_EQ(host.prompts[1], "WHAT IS THE NAME OF THE DELETE  FILE? ");
    EXPECT_EQ(host.prompts[2], " DO YOU WANT TO READ MORE ITEMS   TO DELETE  FROM A FILE? ");
    EXPECT_EQ(host.prompts[3], " DO YOU WANT TO TYPE IN MORE ITEMS   TO DELETE ? ");
    EXPECT_EQ(host.prompts[4], "INPUT ITEM   TO DELETE  (0 TO END): ");
    EXPECT_TRUE(host.shows(" Processing ITEMS   Deletions from: Keyboard"));
    EXPECT_EQ(host.answers.size(), 1u);  // "0" ended the typed list
    EXPECT_TRUE(list.empty());
}

TEST_F(Deletions, NoDialogueWaitsWithoutInput) {
    // Batch mode: the dialogue takes "no" and says so once.
    run.rs.batch = true;
    answer({"Y"});
    items('Y');
    EXPECT_EQ(deleted(), "");
    EXPECT_EQ(count_lines_with("No answer can be typed"), 1);
    EXPECT_TRUE(host.shows(" No answer can be typed: NO is taken for: DO YOU WANT TO READ"));
    // Input ending in the middle of a typed list ends the list.
    run.rs.batch = false;
    host.answers.clear();
    host.lines.clear();
    answer({"N", "Y", "6"});
    items('Y');
    EXPECT_EQ(deleted(), "6 ");
    EXPECT_EQ(count_lines_with("No answer can be typed: the list ends at: INPUT ITEM"), 1);
}

TEST_F(Deletions, LongReportLinesBreakBeforeColumnSeventy) {
    status.assign(300, 1);
    std::string text;
    for (int e = 101; e <= 159; e += 2) text += std::to_string(e) + "\n";
    text += "162-163\n";
    list = edit_file("odd.txt", text);
    apply_deletions(run, status, 299, 'N', list, EntitySide::Items, "ITEM", "ITEMS");
    const auto lines = report_lines();
    ASSERT_EQ(lines.size(), 4u);
    // A line is full once a number ends at column 69 or beyond: 14 numbers after the heading,
    // then 16 more; the range is not started beyond column 64 and opens the third line.
    std::string first = "ITEM DELETIONS:";
    for (int e = 101; e <= 127; e += 2) first += " " + std::to_string(e);
    EXPECT_EQ(lines[1], first);
    std::string second;
    for (int e = 129; e <= 159; e += 2) second += std::to_string(e) + " ";
    EXPECT_EQ(lines[2], second.substr(0, second.size() - 1));
    EXPECT_EQ(lines[3], "162-163");
}

TEST_F(Deletions, EndListingBreaksAtFiveHundredColumns) {
    status.assign(1400, 1);
    for (int e = 1001; e <= 1399; e += 2) status[e] = status::kDeleted;
    write_deleted_item_listing(run, status, 1399);
    ASSERT_EQ(host.lines.size(), 3u);
    // " IDFILE=*" then numbers of four digits, five columns each: 98 fit in 501 columns.
    EXPECT_EQ(host.lines[0].substr(0, 15), " IDFILE=* 1001 ");
    EXPECT_EQ(host.lines[0].substr(host.lines[0].size() - 5), " 1195");
    EXPECT_LE(host.lines[0].size(), 501u);
    EXPECT_EQ(host.lines[1].substr(0, 6), " 1197 ");
    EXPECT_EQ(host.lines[2].substr(host.lines[2].size() - 7), " 1399 *");
}

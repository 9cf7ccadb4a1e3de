#include <gtest/gtest.h>

#include "engine/estimation/subsets.h"
#include "tests/engine/input/edit_file_fixture.h"

using namespace korvelan;
using korvelan::testing::EditFileTest;

namespace {

// Persons given as response strings ("10.." with "." missing), items numbered, one rating-scale
// group whose categories 0..top are recoded as given.
struct Subsets : EditFileTest {
    std::int32_t ni = 4;
    std::vector<std::int8_t> person_status;
    std::vector<std::int8_t> item_status;
    std::vector<std::int32_t> item_group;
    std::vector<std::int32_t> first_slot{0, 1};
    std::vector<std::int32_t> recoded{0, 0, 1};
    std::vector<std::int32_t> top{0, 1};
    std::vector<std::uint8_t> image;
    std::unique_ptr<WorkFiles> files;

    void persons(const std::vector<std::string>& responses) {
        const auto np = static_cast<std::int32_t>(responses.size());
        const WorkFileLayout layout{ni, 8, 30, true};
        open_person_work_files(run, layout);
        files = std::make_unique<WorkFiles>(layout);
        image.assign(static_cast<std::size_t>(np * ni), kMissingScore);
        files->scored_response_image = image;
        person_status.assign(static_cast<std::size_t>(np) + 1, 1);
        item_status.assign(static_cast<std::size_t>(ni) + 1, 1);
        item_group.assign(static_cast<std::size_t>(ni) + 1, 1);
        const char* names[] = {"Ann", "Bob", "Cid", "Dee", "Eve", "Fay", "Gus", "Hal"};
        for (std::int32_t p = 1; p <= np; ++p) {
            std::vector<std::uint8_t> scores;
            for (char c : responses[static_cast<std::size_t>(p - 1)])
                scores.push_back(c == '.' ? kMissingScore : static_cast<std::uint8_t>(c - '0'));
            write_person_scores_record(run, *files, p, scores);
            write_person_name_record(run, *files, p, names[p - 1]);
        }
    }
    std::int32_t check() {
        const ConnectivityInputs in{
            person_status, static_cast<std::int32_t>(person_status.size()) - 1,
            item_status,   item_group,
            first_slot,    recoded,
            top,           "PERSON",
            "ITEM"};
        return check_subset_connectivity(run, *files, in);
    }
};

}  // namespace

TEST_F(Subsets, TwoDisjointBlocksWarnAndListOneMemberEach) {
    persons({"10..", "01..", "10..", "..10", "..01", "..10"});
    EXPECT_EQ(check(), 2);
    const std::vector<std::string> expected{
        " WARNING: DATA AMBIGUOUSLY CONNECTED. THERE ARE 2 SUBSETS.",
        " These are members of different subsets:",
        " SUBSET 1:  PERSON:  1  Ann",
        " SUBSET 1:  ITEM:  1  I0001",
        " SUBSET 2:  PERSON:  4  Dee",
        " SUBSET 2:  ITEM:  3  I0003",
        " WARNING: DATA AMBIGUOUSLY CONNECTED. THERE ARE 2 SUBSETS LISTED ABOVE.",
    };
    EXPECT_EQ(host.lines, expected);
    EXPECT_EQ(run.rs.closing_note, expected.back());
    // In the report column 1 is the page-control column.
    const auto lines = report_lines();
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t k = 0; k < lines.size(); ++k) EXPECT_EQ(lines[k], expected[k].substr(1));
}

TEST_F(Subsets, ConnectedDataSayNothing) {
    persons({"10..", "0110", "..01", "1.0.", "0..1"});
    EXPECT_EQ(check(), 1);
    EXPECT_TRUE(host.lines.empty());
    EXPECT_TRUE(run.rs.closing_note.empty());
    EXPECT_TRUE(report_lines().empty());
}

TEST_F(Subsets, PersonsCrossingTheSeedPatternJoinIt) {
    // Ann 10, Bob 01 and Cid 01: Bob's 0 on item 1 after Ann's 1 shows both ends of item 1, so
    // Cid, answering like Bob, is compared with the subset in both directions.
    persons({"10..", "01..", "01.."});
    EXPECT_EQ(check(), 1);
}

TEST_F(Subsets, AnchoredPersonsJoinWithoutCommonItems) {
    persons({"10..", "01..", "..10", "..01"});
    person_status[2] = status::kAnchored;  // the subset becomes anchored through Bob
    person_status[3] = status::kAnchored;
    EXPECT_EQ(check(), 1);
    // Without anchors Cid and Dee are a subset of their own.
    person_status[2] = person_status[3] = 1 + status::kProxCompleteMark;
    EXPECT_EQ(check(), 2);
}

TEST_F(Subsets, ResponsesOnlyAtTheTopDoNotLink) {
    // Bob has no downward link to items that show only their top category, and no item of either
    // subset has shown both ends: no item is listed.
    persons({"11..", "11.."});
    EXPECT_EQ(check(), 2);
    EXPECT_TRUE(host.shows(" SUBSET 2:  PERSON:  2  Bob"));
    EXPECT_FALSE(host.shows("ITEM:"));
}

TEST_F(Subsets, NonParticipantsAndDroppedCategoriesTakeNoPart) {
    // Categories 0..3 of which 2 was dropped: recoded 0, 1, -3, 2; top category 2.
    ni = 2;
    recoded = {0, 0, 1, -3, 2};
    top = {0, 2};
    persons({"1.", "2.", "03", ".3"});
    person_status[3] = 0;   // extreme: not walked
    item_status[2] = -2;    // dropped item: its responses do not link
    EXPECT_EQ(check(), 3);  // Ann; Bob only in a dropped category; Dee only on a dropped item
    EXPECT_TRUE(host.shows(" SUBSET 1:  ITEM:  1  I0001"));  // a middle category marks the item
    EXPECT_TRUE(host.shows(" SUBSET 3:  PERSON:  4  Dee"));
}

TEST_F(Subsets, CheckThatCannotRunSaysSo) {
    persons({"10..", "..01"});
    person_status.resize(2);  // shorter than NP + 1
    const ConnectivityInputs in{person_status, 2,   item_status, item_group, first_slot,
                                recoded,       top, "PERSON",    "ITEM"};
    EXPECT_EQ(check_subset_connectivity(run, *files, in), 0);
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0],
              " WARNING: CONNECTIVITY (SUBSET) CHECK NOT DONE: ARRAYS SHORTER THAN NP= OR NI=");
    EXPECT_TRUE(run.rs.closing_note.empty());
}

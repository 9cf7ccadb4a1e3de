#include <gtest/gtest.h>

#include <vector>

#include "shell/menus/menu_model.h"

namespace korvelan {
namespace {

std::vector<std::string> titles(const MenuModel& m) {
    std::vector<std::string> t;
    for (const BarPosition& p : m.bar()) t.push_back(p.title);
    return t;
}

TEST(MenuModel, StartsWithTheFixedBar) {
    MenuModel m;
    EXPECT_EQ(titles(m), (std::vector<std::string>{"&File", "&Edit", "&Diagnosis", "Output &Tables",
                                                    "&Output Files", "&Batch", "&Help", "&Specification",
                                                    "&Compare Files", "&SPSS", "&Graphs"}));
    EXPECT_EQ(m.bar()[menu_bar::kHelp].command_id, 561);
    EXPECT_EQ(m.bar()[menu_bar::kSpecification].command_id, 568);
    EXPECT_EQ(m.popup(menu_bar::kHelp), nullptr);
    ASSERT_EQ(m.count(menu_bar::kFile), 9);
    EXPECT_TRUE(m.entry(menu_bar::kFile, 2)->separator);
    EXPECT_EQ(m.entry(menu_bar::kFile, 4)->text, "&Finish iterating");
    EXPECT_EQ(m.entry(menu_bar::kFile, 4)->accelerator, "Ctrl+F");
    EXPECT_EQ(m.entry(menu_bar::kFile, 9)->id, 510);
    EXPECT_TRUE(m.find(600)->grayed);
    EXPECT_FALSE(m.find(610)->grayed);
    for (int id = 703; id <= 707; ++id) EXPECT_TRUE(m.find(id)->grayed) << id;
    EXPECT_FALSE(m.entry(menu_bar::kSpss, 1)->grayed);
    EXPECT_TRUE(m.entry(menu_bar::kSpss, 2)->grayed);
    EXPECT_TRUE(m.entry(menu_bar::kSpss, 3)->grayed);
    EXPECT_FALSE(m.entry(menu_bar::kSpss, 4)->grayed);
    // The result entries of the Diagnosis menu follow "&About..." and a separator.
    ASSERT_EQ(m.count(menu_bar::kDiagnosis), 2);
    EXPECT_TRUE(m.entry(menu_bar::kDiagnosis, 2)->separator);
    EXPECT_EQ(m.entry(menu_bar::kGraphs, 3)->text, "&Thurstone Thresholds");
}

TEST(MenuModel, DynamicIdsOnlyGrowAndDeletionRenumbersNothing) {
    MenuModel m;
    std::vector<int> chosen;
    auto record = [&](const MenuChoice& c) { chosen.push_back(c.id); };
    EXPECT_EQ(m.append(menu_bar::kOutputFiles, 0, "A. first  ", record), 1);
    EXPECT_EQ(m.entry(menu_bar::kOutputFiles, 2)->id, 800);
    EXPECT_EQ(m.entry(menu_bar::kOutputFiles, 2)->text, "A. first");  // trailing blanks cut
    EXPECT_EQ(m.insert(menu_bar::kOutputFiles, 1, 0, "B. before", nullptr), 1);
    EXPECT_EQ(m.entry(menu_bar::kOutputFiles, 1)->id, 801);
    EXPECT_EQ(m.delete_entry(menu_bar::kOutputFiles, 1), 1);
    EXPECT_EQ(m.delete_entry(menu_bar::kOutputFiles, 0), 0);
    EXPECT_EQ(m.delete_entry(menu_bar::kOutputFiles, 9), 0);
    EXPECT_EQ(m.append(menu_bar::kOutputFiles, 0, "C. after", record), 1);
    EXPECT_EQ(m.entry(menu_bar::kOutputFiles, 3)->id, 802);
    EXPECT_EQ(m.entry(menu_bar::kOutputFiles, 2)->id, 800);
    // A refused entry (a bar command is no popup) consumes its id and writes its slot.
    EXPECT_EQ(m.append(menu_bar::kHelp, 0, "x", record), 0);
    EXPECT_EQ(m.handlers().next_id(), 804);
    ASSERT_NE(m.handlers().find(803), nullptr);
    EXPECT_EQ(m.handlers().find(801), nullptr);  // no handler was given
    (*m.handlers().find(800))(MenuChoice{800, false, "A. first"});
    EXPECT_EQ(chosen, std::vector<int>{800});
    // An insert past the end appends; before position 1 nothing is placed.
    EXPECT_EQ(m.insert(menu_bar::kBatch, 40, 0, "last", nullptr), 1);
    EXPECT_EQ(m.entry(menu_bar::kBatch, 3)->text, "last");
    EXPECT_EQ(m.insert(menu_bar::kBatch, 0, 0, "none", nullptr), 0);
    EXPECT_EQ(m.count(menu_bar::kBatch), 3);
    // A full table adds nothing more and hands out no id.
    while (!m.handlers().full()) m.append(menu_bar::kHelp, 0, "x", nullptr);
    const int next = m.handlers().next_id();
    EXPECT_EQ(m.append(menu_bar::kBatch, 0, "one too many", record), 0);
    EXPECT_EQ(m.handlers().next_id(), next);
    EXPECT_EQ(m.count(menu_bar::kBatch), 3);
}

TEST(MenuModel, SystemEntrySharesTheIdOfTheNextEntry) {
    MenuModel m;
    int calls = 0;
    m.add_system_entry("&Restart \"KORVELAN a.con\"");
    m.insert(menu_bar::kFile, 3, 0, "&Restart \"KORVELAN a.con\"", [&](const MenuChoice&) { ++calls; });
    m.add_system_entry("Edit Control File=a.con");
    ASSERT_EQ(m.system_entries().size(), 2u);
    EXPECT_EQ(m.system_entries()[1].id, 800);
    EXPECT_EQ(m.system_entries()[0].id, 801);  // the later addition shows first
    EXPECT_EQ(m.entry(menu_bar::kFile, 3)->id, 800);
    (*m.handlers().find(m.system_entries()[1].id))(MenuChoice{});
    EXPECT_EQ(calls, 1);
}

TEST(MenuModel, StatesFollowTheFlagsAndRedrawReportsChangesOnce) {
    MenuModel m;
    int redraws = 0;
    m.add_listener([&] { ++redraws; });
    // Entries inserted above it do not move the check of Finish iterating to another entry.
    m.insert(menu_bar::kFile, 1, 0, "Edit Control File=a.con", nullptr);
    m.insert(menu_bar::kFile, 2, 0, "Start another KORVELAN", nullptr);
    EXPECT_EQ(m.set_state_of_id(menu_cmd::kFinishIterating, menu_flag::kChecked), 1);
    EXPECT_TRUE(m.entry(menu_bar::kFile, 6)->checked);
    EXPECT_FALSE(m.entry(menu_bar::kFile, 7)->checked);
    m.set_state(menu_bar::kFile, 7, menu_flag::kGrayed | menu_flag::kChecked);
    EXPECT_TRUE(m.entry(menu_bar::kFile, 7)->grayed);
    EXPECT_TRUE(m.entry(menu_bar::kFile, 7)->checked);
    m.set_state(menu_bar::kFile, 7, menu_flag::kEnabled);
    EXPECT_FALSE(m.entry(menu_bar::kFile, 7)->grayed);
    EXPECT_FALSE(m.entry(menu_bar::kFile, 7)->checked);
    EXPECT_EQ(m.set_state(menu_bar::kFile, 40, 0), 0);
    m.redraw();
    m.redraw();
    EXPECT_EQ(redraws, 1);
    m.append(menu_bar::kFile, menu_flag::kSeparator | menu_flag::kGrayed, "ignored", nullptr);
    EXPECT_TRUE(m.entry(menu_bar::kFile, 12)->separator);
    EXPECT_EQ(m.entry(menu_bar::kFile, 12)->text, "");
    m.redraw();
    EXPECT_EQ(redraws, 2);
}

}  // namespace
}  // namespace korvelan

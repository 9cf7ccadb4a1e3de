// The menu entries added at start, placed the way the window places them.
#include <gtest/gtest.h>

#include <map>

#include "shell/services/startup_menus.h"

using namespace korvelan;

TEST(StartupMenus, EditMenuStartsWithTheTemplateThenTheEditor) {
    InitialSettings s;
    s.editor = "/opt/WORDPAD.EXE";
    const std::vector<StartupMenuEntry> entries = startup_menu_entries(s, "/opt/korvelan/");
    // Insert before a position, or append, as the window does.
    std::map<int, std::vector<std::string>> menus;
    for (const StartupMenuEntry& e : entries) {
        std::vector<std::string>& m = menus[e.menu];
        if (e.position == 0 || e.position > static_cast<int>(m.size())) m.push_back(e.text);
        else m.insert(m.begin() + (e.position - 1), e.text);
    }
    EXPECT_EQ(menus[1], (std::vector<std::string>{"Edit/create new control file from=/opt/korvelan/template.txt",
                                                  "Edit/create file with WORDPAD", "Edit initial settings"}));
    EXPECT_EQ(menus[0], (std::vector<std::string>{"Start another KORVELAN", "Excel="}));  // no spreadsheet
    EXPECT_EQ(menus[5], (std::vector<std::string>{"Edit batch file", "Run batch file"}));
    EXPECT_EQ(entries[0].menu, -1);
    EXPECT_EQ(entries[0].action, StartupAction::StartAnotherCopy);

    s.spreadsheet = "/usr/bin/gnumeric ";
    EXPECT_EQ(startup_menu_entries(s, "/x/")[2].text, "Excel=/usr/bin/gnumeric");
}

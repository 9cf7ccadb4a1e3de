// The files installed beside the program that its menus and dialogs name: the control-file
// template of the Edit menu and the batch file of the Batch menu's dialog, with its copy on the
// help page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <utility>

#include "shell/dialogs/info_texts.h"
#include "shell/services/startup_menus.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

namespace korvelan {
namespace {

std::string program_folder() {
    const std::string binary = KORVELAN_BINARY;
    return binary.substr(0, binary.rfind('/') + 1);
}

// The entry the start-up puts first in the Edit menu names a file that is there, and that file
// is a control file the program runs as it stands.
TEST(ShippedFiles, TheTemplateOfTheEditMenuIsBesideTheProgramAndRuns) {
    std::string entry;
    for (const StartupMenuEntry& e : startup_menu_entries(InitialSettings{}, program_folder()))
        if (e.text.rfind("Edit/create new control file from=", 0) == 0) entry = e.text;
    const std::string name = entry.substr(entry.find('=') + 1);
    ASSERT_TRUE(testing::file_exists(name)) << name;
    const std::string text = testing::read_file(name);
    EXPECT_EQ(text.front(), ';') << "the template starts with a comment";
    testing::ScratchDir work;
    testing::write_file(work.file("mine.txt"), text);
    const testing::ProgramResult r =
        testing::run_korvelan(work.path, {"mine.txt", "mine.out", "BATCH=YES"}, work.path);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_NE(testing::read_file(work.file("mine.out")).find("TABLE 0.1"), std::string::npos);
}

// The dialog names the batch file; it lies beside the program, runs in the shell without a
// fault as shipped, and the help page shows it whole, so that it can be renewed from there.
TEST(ShippedFiles, TheBatchFileTheDialogNamesIsShippedAndTheHelpPageHoldsIt) {
    std::string named;
    const std::regex bat_name("([A-Za-z]+\\.bat)");
    for (const std::string& line : info_text(kBatchDialog).lines) {
        std::smatch m;
        if (std::regex_search(line, m, bat_name)) {
            if (named.empty()) named = m[1];
            EXPECT_EQ(m[1], named) << "the dialog names two batch files";
        }
    }
    ASSERT_FALSE(named.empty());
    const std::string batch = program_folder() + named;
    ASSERT_TRUE(testing::file_exists(batch)) << batch;
    EXPECT_EQ(std::system(("/bin/sh '" + batch + "' > /dev/null 2>&1").c_str()), 0);

    std::string page = testing::read_file(program_folder() + "help/6411.html");
    for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
        for (std::size_t at; (at = page.find(entity)) != std::string::npos;) page.replace(at, std::string(entity).size(), character);
    EXPECT_NE(page.find(named), std::string::npos);
    EXPECT_NE(page.find(testing::read_file(batch)), std::string::npos) << "the help page's copy differs";
}

}  // namespace
}  // namespace korvelan

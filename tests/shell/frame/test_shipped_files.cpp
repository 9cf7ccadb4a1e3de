// The files installed beside the program that its menus and dialogs name: the control-file
// template of the Edit menu and the batch file of the Batch menu's dialog, with its copy on the
// help page; the batch file as installed runs from a terminal and from the Batch menu.
#include "tests/shell/frame/frame_fixture.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <thread>
#include <utility>

#include "shell/dialogs/info_texts.h"
#include "shell/services/qprocess_launcher.h"
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

// The batch file as installed, copied into a data folder with its first run line made to run:
// from a terminal it runs the korvelan on PATH; from Batch, Run batch file the program of that
// menu, and the window shows what it writes and then its exit status, a failed run's too.
TEST(ShippedFiles, TheInstalledBatchFileRunsKorvelanFromATerminalAndFromTheBatchMenu) {
    testing::ScratchDir dir;
    const std::string prefix = dir.path + "prefix/", data = dir.path + "data/";
    ASSERT_EQ(std::system(("cmake --install '" KORVELAN_BUILD_DIR "' --prefix '" + prefix + "' > '" + dir.path +
                           "install.log' 2>&1")
                              .c_str()),
              0)
        << testing::read_file(dir.path + "install.log");
    std::filesystem::create_directories(data);
    std::filesystem::copy_file(prefix + "share/korvelan/examples/tiny.txt", data + "exam1.con");
    const std::string shipped = testing::read_file(prefix + "share/korvelan/Taskroll.bat");
    const std::size_t line = shipped.find("# \"$KORVELAN\" exam1.con");
    ASSERT_NE(line, std::string::npos);
    const std::string batch = shipped.substr(0, line) + shipped.substr(line + 2);
    testing::write_file(data + "Taskroll.bat", batch);

    const int status = std::system(("cd '" + data + "' && env -u KORVELAN_PROGRAM PATH='" + prefix +
                                    "bin:/usr/bin:/bin' sh Taskroll.bat > screen.txt 2>&1")
                                       .c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << testing::read_file(data + "screen.txt");
    EXPECT_NE(testing::read_file(data + "exam1.out").find("TABLE 1."), std::string::npos);
    std::filesystem::remove(data + "exam1.out");

    testing::Frame f(KORVELAN_SOURCE_DIR "/shell/", prefix + "bin/korvelan");
    QProcessLauncher processes;
    f.launcher.watch = [&processes](const std::string& program, const std::vector<std::string>& arguments,
                                    const Launcher::Environment& environment, Launcher::Output output,
                                    Launcher::Ended ended) {
        return processes.start_watched(program, arguments, environment, output, ended);
    };
    f.window->menus().add_startup_entries();
    QAction* run = nullptr;
    for (QAction* a : f.window->menus().popup(menu_bar::kBatch)->actions())
        if (a->text() == "Run batch file") run = a;
    ASSERT_NE(run, nullptr);
    for (const std::string control : {"exam1.con", "missing.con"}) {
        std::string text = batch;
        text.replace(text.find("exam1.con"), 9, control);
        testing::write_file(data + "Taskroll.bat", text);
        f.prompter.answers.push_back(data + "Taskroll.bat");
        run->trigger();
        const std::string end = control == "exam1.con" ? "Batch file ended, exit status 0: " + data + "Taskroll.bat"
                                                       : "Batch file failed, exit status 1: " + data + "Taskroll.bat";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!f.shows(end) && std::chrono::steady_clock::now() < deadline) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_TRUE(f.shows(end)) << control;
        EXPECT_EQ(f.lines().back(), end);
    }
    // The runs' own screens came before: the report of the first, the problem of the second.
    EXPECT_TRUE(f.shows("Output written to " + data + "exam1.out")) << [&] {
        std::string all;
        for (const std::string& l : f.lines()) all += l + "\n";
        return all;
    }();
    EXPECT_TRUE(f.shows("missing.con"));
    EXPECT_NE(testing::read_file(data + "exam1.out").find("TABLE 1."), std::string::npos);
}

}  // namespace
}  // namespace korvelan

// The installed tree: `cmake --install` into a prefix that is then moved elsewhere must still
// give a working program that finds its shipped files, its graphs program and its libraries,
// with no build folder and no environment variable.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "shell/services/program_search.h"
#include "shell/services/startup_menus.h"
#include "shell/services/settings_file.h"
#include "tests/support/test_files.h"

namespace korvelan {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

// The sanitizer settings of the test run pass through a cleared environment.
std::string sanitizer_settings() {
    std::string kept;
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"})
        if (const char* value = std::getenv(name)) kept += std::string(" ") + name + "='" + value + "'";
    return kept;
}

int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool is_executable(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Without a file of its own beside it a program takes its shipped files from the share folder
// of its prefix; beside it they win (the build folder); with neither it keeps its own folder.
TEST(ShippedFiles, AreFoundBesideTheProgramElseInTheShareFolderOfItsPrefix) {
    ScratchDir dir;
    fs::create_directories(dir.path + "prefix/bin");
    fs::create_directories(dir.path + "prefix/share/korvelan/help");
    const std::string bin = dir.path + "prefix/bin/";
    EXPECT_EQ(shipped_files_directory(bin), bin) << "nothing shipped anywhere";
    testing::write_file(dir.path + "prefix/share/korvelan/help/index.html", "<html></html>");
    EXPECT_EQ(shipped_files_directory(bin), dir.path + "prefix/share/korvelan/");
    fs::create_directories(bin + "help");
    testing::write_file(bin + "help/index.html", "<html></html>");
    EXPECT_EQ(shipped_files_directory(bin), bin) << "the files beside the program come first";
}

class InstalledTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new ScratchDir;
        const std::string first = scratch_->path + "first";
        const std::string log = scratch_->path + "install.log";
        install_status_ = shell("cmake --install '" KORVELAN_BUILD_DIR "' --prefix '" + first + "' --strip > '" +
                                log + "' 2>&1");
        if (install_status_ != 0) {
            install_log_ = testing::read_file(log);
            return;
        }
        // Moved after installing: nothing may point back into the first prefix or the build.
        prefix_ = scratch_->path + "moved/elsewhere";
        fs::create_directories(scratch_->path + "moved");
        fs::rename(first, prefix_);
        prefix_ += "/";
    }
    static void TearDownTestSuite() {
        delete scratch_;
        scratch_ = nullptr;
    }
    void SetUp() override { ASSERT_EQ(install_status_, 0) << install_log_; }

    static ScratchDir* scratch_;
    static int install_status_;
    static std::string install_log_;
    static std::string prefix_;
};
ScratchDir* InstalledTree::scratch_ = nullptr;
int InstalledTree::install_status_ = -1;
std::string InstalledTree::install_log_;
std::string InstalledTree::prefix_;

TEST_F(InstalledTree, RunsTheExampleInBatchAndWritesItsTables) {
    const std::string work = scratch_->path + "work/";
    fs::create_directories(work);
    fs::copy_file(prefix_ + "share/korvelan/examples/tiny.txt", work + "tiny.txt");
    const std::string screen = work + "screen.txt";
    // A clean environment but for PATH and TMPDIR: no library path, no build folder.
    const int status = shell("cd '" + work + "' && env -i PATH=/usr/bin:/bin" + sanitizer_settings() + " TMPDIR='" + work + "' '" + prefix_ +
                             "bin/korvelan' tiny.txt tiny.out BATCH=Y > screen.txt 2>&1 < /dev/null");
    EXPECT_EQ(status, 0) << testing::read_file(screen);
    ASSERT_TRUE(testing::file_exists(work + "tiny.out")) << testing::read_file(screen);
    const std::string report = testing::read_file(work + "tiny.out");
    EXPECT_NE(report.find("TABLE 1."), std::string::npos);
    EXPECT_NE(report.find("TABLE 3."), std::string::npos);
}

TEST_F(InstalledTree, FindsItsHelpPagesTemplateBatchFileAndGraphsProgramInsideThePrefix) {
    const std::string bin = prefix_ + "bin/";
    const std::string shipped = shipped_files_directory(bin);
    EXPECT_EQ(shipped, prefix_ + "share/korvelan/");
    // Every help page the menus and dialogs open, and the index a missing page falls back to.
    for (const auto& entry : fs::directory_iterator(KORVELAN_SOURCE_DIR "/shell/help")) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(testing::file_exists(shipped + "help/" + name)) << name;
    }
    EXPECT_TRUE(testing::file_exists(help_topic_path(shipped, 6411)));
    InitialSettings settings;
    bool template_entry = false;
    for (const StartupMenuEntry& e : startup_menu_entries(settings, shipped)) {
        const std::size_t at = e.text.find("from=");
        if (at == std::string::npos) continue;
        template_entry = true;
        EXPECT_TRUE(testing::file_exists(e.text.substr(at + 5))) << e.text;
        EXPECT_EQ(e.text.substr(at + 5).rfind(prefix_, 0), 0u) << e.text;
    }
    EXPECT_TRUE(template_entry);
    EXPECT_TRUE(testing::file_exists(shipped + "Taskroll.bat"));
    // The graphs program is started from the program's own folder.
    EXPECT_TRUE(is_executable(bin + "talvorin"));
}

TEST_F(InstalledTree, ProgramsLoadTheirLibrariesFromThePrefix) {
    for (const char* program : {"korvelan", "talvorin"}) {
        const std::string out = scratch_->path + program + ".libs";
        // The dynamic loader lists what it would load without running the program.
        shell("env -i LD_TRACE_LOADED_OBJECTS=1 '" + prefix_ + "bin/" + program + "' > '" + out + "' 2>&1");
        const std::string libraries = testing::read_file(out);
        EXPECT_EQ(libraries.find("not found"), std::string::npos) << program << ":\n" << libraries;
        EXPECT_EQ(libraries.find(KORVELAN_BUILD_DIR), std::string::npos) << program << ":\n" << libraries;
    }
}

TEST_F(InstalledTree, DesktopEntriesNameInstalledProgramsAndIcons) {
    for (const char* program : {"korvelan", "talvorin"}) {
        const std::string entry = prefix_ + "share/applications/" + program + ".desktop";
        ASSERT_TRUE(testing::file_exists(entry)) << entry;
        const std::string text = testing::read_file(entry);
        EXPECT_NE(text.find(std::string("\nExec=") + program + " "), std::string::npos) << text;
        EXPECT_TRUE(is_executable(prefix_ + "bin/" + program));
        EXPECT_NE(text.find(std::string("\nIcon=") + program + "\n"), std::string::npos) << text;
        EXPECT_TRUE(testing::file_exists(prefix_ + "share/icons/hicolor/scalable/apps/" + program + ".svg"));
        if (shell("command -v desktop-file-validate > /dev/null 2>&1") == 0) {
            EXPECT_EQ(shell("desktop-file-validate '" + entry + "'"), 0) << entry;
        }
    }
}

}  // namespace
}  // namespace korvelan

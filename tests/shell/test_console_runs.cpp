// The korvelan program runs in the console without a display, whether or not BATCH=Y is given.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {
// Sets or unsets the display variables for the programs a test starts, and restores them.
struct DisplayEnvironment {
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    explicit DisplayEnvironment(const char* display) {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            const char* v = std::getenv(name);
            saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
            ::unsetenv(name);
        }
        if (display) ::setenv("DISPLAY", display, 1);
    }
    ~DisplayEnvironment() {
        for (const auto& [name, value] : saved) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            else ::unsetenv(name.c_str());
        }
    }
};

struct ConsoleRun : ::testing::Test {
    ScratchDir dir;
    ScratchDir temp;
    void SetUp() override {
        write_file(dir.file("tiny.txt"), read_file(std::string(KORVELAN_SOURCE_DIR) + "/examples/tiny.txt"));
    }
};
}  // namespace

TEST_F(ConsoleRun, WithoutDisplayNorBatchModeTheRunAsksInTheConsoleAndEnds) {
    DisplayEnvironment none(nullptr);
    ProgramResult r = run_korvelan(dir.path, {"tiny.txt"}, temp.path, 60, true);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_NE(r.screen.find(" Report output file name (or press Enter for temporary file): "), std::string::npos)
        << r.screen;
    EXPECT_NE(r.screen.find("Measures constructed: "), std::string::npos) << r.screen;

    r = run_korvelan(dir.path, {"tiny.txt", "tiny.out"}, temp.path, 60, true);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_NE(r.screen.find("Measures constructed: "), std::string::npos) << r.screen;
    EXPECT_TRUE(file_exists(dir.file("tiny.out")));
    EXPECT_TRUE(list_dir(temp.path).empty());  // work files deleted
}

TEST_F(ConsoleRun, ConsoleOptionIsNoFileNameAndADisplayStillRunsInTheConsole) {
    DisplayEnvironment display(":99");
    ProgramResult r = run_korvelan(dir.path, {"--console", "tiny.txt", "tiny.out", "BATCH=Y"}, temp.path);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_NE(r.screen.find(" Name of control file:\ntiny.txt"), std::string::npos) << r.screen;
    // No window exists yet: with a display and no batch mode the run is still a console run.
    r = run_korvelan(dir.path, {"tiny.txt", "tiny2.out"}, temp.path, 60, true);
    EXPECT_EQ(r.exit_status, 0) << r.screen;
    EXPECT_TRUE(file_exists(dir.file("tiny2.out")));
}

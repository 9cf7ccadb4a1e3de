// The choice between the console and the window, made from the arguments and the environment.
#include <gtest/gtest.h>

#include <map>

#include "shell/services/console_decision.h"

using namespace korvelan;

namespace {
EnvironmentLookup environment(std::map<std::string, std::string> vars) {
    return [vars](const char* name) -> const char* {
        auto it = vars.find(name);
        return it == vars.end() ? nullptr : it->second.c_str();
    };
}
using Args = std::vector<std::string>;
}  // namespace

TEST(ConsoleDecision, ADisplayOpensTheWindowUnlessBatchOrConsoleIsAsked) {
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const EnvironmentLookup env = environment({{display, ":1"}});
        EXPECT_EQ(choose_shell_mode({"exam.con", "exam.out"}, env).mode, ShellMode::Window) << display;
        EXPECT_EQ(choose_shell_mode({}, env).mode, ShellMode::Window) << display;
        EXPECT_EQ(choose_shell_mode({"exam.con", "exam.out", "BATCH=Y"}, env).mode, ShellMode::Console);
        EXPECT_EQ(choose_shell_mode({"b=yes", "exam.con"}, env).mode, ShellMode::Console);
        EXPECT_EQ(choose_shell_mode({"--console"}, env).mode, ShellMode::Console);
    }
    const EnvironmentLookup env = environment({{"DISPLAY", ":0"}});
    // A later BATCH=NO, a list value or an instruction after an empty argument is no batch mode.
    EXPECT_EQ(choose_shell_mode({"BATCH=Y", "BATCH=NO"}, env).mode, ShellMode::Window);
    EXPECT_EQ(choose_shell_mode({"BFILE=*", "x"}, env).mode, ShellMode::Window);
    EXPECT_EQ(choose_shell_mode({"a", "", "BATCH=Y"}, env).mode, ShellMode::Window);
    EXPECT_EQ(choose_shell_mode({"TITLE=BY=Y"}, env).mode, ShellMode::Window);
}

TEST(ConsoleDecision, NoDisplayMeansTheConsoleAndTheOptionIsNotPassedOn) {
    EXPECT_EQ(choose_shell_mode({"exam.con", "exam.out"}, environment({})).mode, ShellMode::Console);
    EXPECT_EQ(choose_shell_mode({"exam.con"}, environment({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}})).mode,
              ShellMode::Console);
    EXPECT_EQ(choose_shell_mode({}, nullptr).mode, ShellMode::Console);
    const ShellChoice c = choose_shell_mode({"--console", "exam.con", "exam.out", "TITLE=x"}, environment({}));
    EXPECT_EQ(c.engine_args, (Args{"exam.con", "exam.out", "TITLE=x"}));
}

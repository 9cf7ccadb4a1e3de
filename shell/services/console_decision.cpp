#include "shell/services/console_decision.h"

#include "engine/run/run_start.h"

namespace korvelan {

namespace {
bool has_display(const EnvironmentLookup& env) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = env ? env(name) : nullptr;
        if (value && *value) return true;
    }
    return false;
}
}  // namespace

ShellChoice choose_shell_mode(const std::vector<std::string>& args, const EnvironmentLookup& env) {
    ShellChoice choice;
    bool console_asked = false;
    for (const std::string& a : args) {
        if (a == kConsoleOption) console_asked = true;
        else choice.engine_args.push_back(a);
    }
    const bool console = console_asked || arguments_ask_for_batch(choice.engine_args) || !has_display(env);
    choice.mode = console ? ShellMode::Console : ShellMode::Window;
    return choice;
}

}  // namespace korvelan

// Whether korvelan runs in the console or opens its window, decided from the command line and
// the environment before any Qt object exists: BATCH=Y, --console, or no display (neither
// DISPLAY nor WAYLAND_DISPLAY nor QT_QPA_PLATFORM set) keep it in the console.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace korvelan {

enum class ShellMode { Console, Window };

struct ShellChoice {
    ShellMode mode = ShellMode::Console;
    std::vector<std::string> engine_args;  // the arguments without "--console"
};

// Looks an environment variable up (null when unset).
using EnvironmentLookup = std::function<const char*(const char*)>;

inline constexpr const char* kConsoleOption = "--console";

ShellChoice choose_shell_mode(const std::vector<std::string>& args, const EnvironmentLookup& env);

}  // namespace korvelan

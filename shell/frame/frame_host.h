// The engine's host services in the frame: the Input/Output window's console hooks and the menu
// calls (the desktop host), the file dialog, the editor and the help pages.
#pragma once

#include <functional>

#include "shell/frame/help_viewer.h"
#include "shell/services/file_prompt.h"
#include "shell/services/launcher.h"
#include "shell/window/desktop_host.h"

namespace korvelan {

class FrameHost : public DesktopHost {
public:
    FrameHost(TextWindow& window, Launcher& launcher, FilePrompter& prompter, const HelpViewer& help);

    // Called when the engine clears the finish-iterating request (the check mark goes).
    std::function<void()> on_finish_cleared;
    // Shows the Welcome dialog; the frame decides whether it is wanted.
    std::function<void()> on_welcome;

    WindowLine window_line();

    void clear_finish_iterating() override;
    std::string prompt_for_file_name(std::string_view title, std::string_view filter, FilePromptMode mode) override;
    void show_welcome_dialog() override;
    int run_program_with_argument(std::string_view program, std::string_view argument) override;
    bool show_help_topic(int context) override { return help_.show(context); }

private:
    Launcher& launcher_;
    FilePrompter& prompter_;
    const HelpViewer& help_;
};

}  // namespace korvelan

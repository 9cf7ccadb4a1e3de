#include "shell/frame/frame_host.h"

namespace korvelan {

FrameHost::FrameHost(TextWindow& window, Launcher& launcher, FilePrompter& prompter, const HelpViewer& help)
    : DesktopHost(window), launcher_(launcher), prompter_(prompter), help_(help) {}

WindowLine FrameHost::window_line() {
    return [this](std::string_view text) { write_text_window_line(text); };
}

void FrameHost::clear_finish_iterating() {
    DesktopHost::clear_finish_iterating();
    if (on_finish_cleared) on_finish_cleared();
}

std::string FrameHost::prompt_for_file_name(std::string_view title, std::string_view filter, FilePromptMode mode) {
    return korvelan::prompt_for_file_name(prompter_, window_line(), title, filter, mode);
}

void FrameHost::show_welcome_dialog() {
    if (on_welcome) on_welcome();
}

int FrameHost::run_program_with_argument(std::string_view program, std::string_view argument) {
    return korvelan::run_program_with_argument(launcher_, window_line(), program, argument);
}

}  // namespace korvelan

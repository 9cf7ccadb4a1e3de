// The engine's host services in the frame: the Input/Output window's console hooks (the desktop
// host), the menus of the frame's menu model, the file dialog, the editor and the help pages.
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

    // Where the menu calls of the engine go (the frame's menu model); none: they are ignored.
    void set_menus(MenuServices* menus) { menus_ = menus; }
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

    void insert_menu_item(int menu, int position, std::string_view text, MenuHandler h) override;
    void append_menu_item(int menu, std::string_view text, MenuHandler h) override;
    void add_system_menu_item(std::string_view text) override;
    void delete_menu_item(int menu, int position) override;
    void set_file_prompt_menu_enabled(bool enabled) override;
    void build_result_menus(int state) override;
    void set_result_menus_enabled(int state) override;
    void add_edit_menu_entry(std::string_view label, std::string_view path) override;

private:
    Launcher& launcher_;
    FilePrompter& prompter_;
    const HelpViewer& help_;
    MenuServices* menus_ = nullptr;
};

}  // namespace korvelan

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

void FrameHost::insert_menu_item(int menu, int position, std::string_view text, MenuHandler h) {
    if (menus_) menus_->insert_menu_item(menu, position, text, h);
}

void FrameHost::append_menu_item(int menu, std::string_view text, MenuHandler h) {
    if (menus_) menus_->append_menu_item(menu, text, h);
}

void FrameHost::add_system_menu_item(std::string_view text) {
    if (menus_) menus_->add_system_menu_item(text);
}

void FrameHost::delete_menu_item(int menu, int position) {
    if (menus_) menus_->delete_menu_item(menu, position);
}

void FrameHost::set_file_prompt_menu_enabled(bool enabled) {
    if (menus_) menus_->set_file_prompt_menu_enabled(enabled);
}

void FrameHost::build_result_menus(int state) {
    if (menus_) menus_->build_result_menus(state);
}

void FrameHost::set_result_menus_enabled(int state) {
    if (menus_) menus_->set_result_menus_enabled(state);
}

void FrameHost::add_edit_menu_entry(std::string_view label, std::string_view path) {
    if (menus_) menus_->add_edit_menu_entry(label, path);
}

}  // namespace korvelan

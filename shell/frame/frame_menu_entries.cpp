// The entries the engine and the start-up add to the frame's menus, the handlers bound to them,
// and the states the frame's own commands change.
#include <QAction>

#include "engine/run/message_texts.h"
#include "engine/run/numtext.h"
#include "shell/frame/frame_menus.h"
#include "shell/frame/frame_window.h"
#include "shell/services/settings_file.h"

namespace korvelan {

namespace {
using menu_cmd::kFinishIterating;
constexpr int kSystemMenu = -1;

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

EntryHandler from_engine(MenuHandler h) {
    return [h](const MenuChoice& c) { h(c.text); };
}
}  // namespace

EntryHandler FrameMenus::handler_for(StartupAction action) {
    FrameWindow& f = frame_;
    switch (action) {
        case StartupAction::StartAnotherCopy:
            return [&f](const MenuChoice&) {
                run_program_with_argument(f.services().launcher, f.host().window_line(), f.services().program_path, " ");
            };
        case StartupAction::StartSpreadsheet:
            return [&f](const MenuChoice& c) {
                start_spreadsheet_from_menu(f.services().launcher, f.host().window_line(), c.text);
            };
        case StartupAction::EditFile: return handler_for_text("=");
        case StartupAction::EditInitialSettings: return [](const MenuChoice&) {};  // the frame opens the dialog
        case StartupAction::EditBatchFile:
        case StartupAction::RunBatchFile: {
            const bool edit = action == StartupAction::EditBatchFile;
            return [&f, edit](const MenuChoice&) {
                const std::string name = f.host().prompt_for_file_name(
                    edit ? "Batch file to edit" : "Batch file to run", f.host().initial_settings().filter,
                    FilePromptMode::Open);
                if (trim(name).empty()) return;
                if (edit) f.host().run_program_with_argument(f.host().initial_settings().editor, name);
                else run_batch_file(f.services().launcher, name);
            };
        }
    }
    return {};
}

// The engine's entries: the restarts start this program on the control file (the first one
// then closes the window); every other entry that names a file after "=" opens it in the editor.
EntryHandler FrameMenus::handler_for_text(std::string_view text) {
    FrameWindow& f = frame_;
    const bool exit_first = contains(text, msg::kMenuExitRestart);
    if (exit_first || contains(text, msg::kMenuRestart)) {
        return [&f, exit_first](const MenuChoice&) {
            f.host().run_program_with_argument(f.services().program_path, f.run().rs.control_file);
            if (exit_first) f.close();
        };
    }
    if (!contains(text, "=")) return {};
    return [&f](const MenuChoice& c) {
        edit_file_from_menu(f.services().launcher, f.host().window_line(), f.host().initial_settings(),
                            f.run().rs.temp_directory, c.text);
    };
}

void FrameMenus::add_startup_entries() {
    for (const StartupMenuEntry& e : startup_menu_entries(frame_.host().initial_settings(), frame_.services().program_dir)) {
        if (e.menu == kSystemMenu) model_.add_system_entry(e.text);
        else if (e.position == 0) model_.append(e.menu, 0, e.text, handler_for(e.action));
        else model_.insert(e.menu, e.position, menu_flag::kByPosition, e.text, handler_for(e.action));
    }
    changed();
}

void FrameMenus::choose_dynamic(int id) {
    const EntryHandler* found = model_.handlers().find(id);
    const MenuEntry* entry = model_.find(id);
    if (!found || !entry) return;
    // Copies: the handler may change the menus.
    const EntryHandler handler = *found;
    const MenuChoice choice{id, entry->checked, entry->text};
    if (contains(choice.text, "Edit initial")) {
        frame_.edit_initial_settings();
        return;
    }
    frame_.run().rep.request.table = 0;
    handler(choice);
}

void FrameMenus::insert_menu_item(int menu, int position, std::string_view text, MenuHandler h) {
    model_.insert(menu, position, menu_flag::kByPosition, text, h ? from_engine(h) : handler_for_text(text));
    changed();
}

void FrameMenus::append_menu_item(int menu, std::string_view text, MenuHandler h) {
    model_.append(menu, 0, text, h ? from_engine(h) : handler_for_text(text));
    changed();
}

// The window manager owns the system menu: the entry is kept in the model only.
void FrameMenus::add_system_menu_item(std::string_view text) { model_.add_system_entry(text); }

void FrameMenus::delete_menu_item(int menu, int position) {
    model_.delete_entry(menu, position);
    changed();
}

void FrameMenus::set_file_prompt_menu_enabled(bool enabled) {
    model_.set_state_of_id(menu_cmd::kOpenFile, enabled ? menu_flag::kEnabled : menu_flag::kGrayed);
    changed();
}

void FrameMenus::build_result_menus(int) {}

void FrameMenus::set_result_menus_enabled(int state) {
    model_.set_state_of_id(menu_cmd::kRequestSubtables, state);
    for (int id = menu_cmd::kFirstGraph; id <= menu_cmd::kLastGraph; ++id) model_.set_state_of_id(id, state);
    changed();
}

void FrameMenus::add_edit_menu_entry(std::string_view label, std::string_view path) {
    const std::string text = std::string(label) + std::string(trim(path));
    model_.append(menu_bar::kEdit, 0, text, handler_for_text("="));
    changed();
}

void FrameMenus::set_finish_iterating_mark(bool checked) {
    model_.set_state_of_id(kFinishIterating, checked ? menu_flag::kChecked : menu_flag::kEnabled);
    changed();
}

void FrameMenus::set_edit_commands_enabled(bool enabled) {
    for (int id : {menu_cmd::kCut, menu_cmd::kCopy, menu_cmd::kDelete})
        model_.set_state_of_id(id, enabled ? menu_flag::kEnabled : menu_flag::kGrayed);
    changed();
}

void FrameMenus::spss_selection_made() {
    model_.set_state_of_id(menu_cmd::kSpssSelect, menu_flag::kChecked);
    model_.set_state_of_id(menu_cmd::kSpssEdit, menu_flag::kEnabled);
    model_.set_state_of_id(menu_cmd::kSpssConstruct, menu_flag::kEnabled);
    changed();
}

}  // namespace korvelan

// The entries the engine and the start-up add to the frame's menus, the handlers bound to them,
// and the states the frame's own commands change.
#include <QAction>
#include <filesystem>

#include "engine/run/message_texts.h"
#include "engine/run/numtext.h"
#include "shell/frame/frame_menus.h"
#include "shell/frame/frame_window.h"
#include "shell/menus/dynamic_dispatch.h"
#include "shell/services/program_search.h"
#include "shell/services/settings_file.h"

namespace korvelan {

namespace {
using menu_cmd::kFinishIterating;
constexpr int kSystemMenu = -1;

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string current_folder() {
    std::error_code ec;
    std::string folder = std::filesystem::current_path(ec).string();
    if (ec || folder.empty()) return {};
    if (folder.back() != '/') folder += '/';
    return folder;
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
                else run_batch_file(f.services().launcher, f.host().window_line(), name, f.services().program_path);
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
    // The engine adds an entry as it writes the file, under the name the control file gives:
    // a relative name is the file in the folder current then, wherever a later file prompt
    // has moved the current folder to.
    return [&f, folder = current_folder()](const MenuChoice& c) {
        edit_file_from_menu(f.services().launcher, f.host().window_line(), f.host().initial_settings(),
                            f.run().rs.temp_directory, c.text, folder);
    };
}

void FrameMenus::add_startup_entries() {
    for (const StartupMenuEntry& e : startup_menu_entries(frame_.host().initial_settings(), shipped_files_directory(frame_.services().program_dir))) {
        if (e.menu == kSystemMenu) model_.add_system_entry(e.text);
        else if (e.position == 0) model_.append(e.menu, 0, e.text, handler_for(e.action));
        else model_.insert(e.menu, e.position, menu_flag::kByPosition, e.text, handler_for(e.action));
    }
    changed();
}

void FrameMenus::choose_dynamic(int id) {
    // The dialogs some entries open before their handler, on the frame's dialogs.
    struct Dialogs : DynamicCommandDialogs {
        FrameWindow& f;
        explicit Dialogs(FrameWindow& frame) : f(frame) {}
        void edit_initial_settings() override { f.edit_initial_settings(); }
        void select_weights() override { f.services().dialogs.weights(&f, f.help_request(), f.run()); }
        bool choose_xfile_fields() override { return f.services().dialogs.xfile_fields(&f, f.help_request(), f.run()); }
        // The Table number is already set: it chooses the form of the dialog.
        bool choose_grouping(int) override { return f.services().dialogs.specification(&f, f.help_request(), f.run()); }
    } dialogs(frame_);
    dispatch_dynamic_command(id, model_, frame_.run(), dialogs);
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

// The frame's menus: the menu model with its Qt view on the frame's menu bar, serving the
// engine's menu calls, the start-up entries and the handlers of the entries added at run time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/run/host_services.h"
#include "shell/menus/menu_model.h"
#include "shell/services/startup_menus.h"

class QAction;
class QMenu;

namespace korvelan {

class FrameWindow;

class FrameMenus : public MenuServices {
public:
    explicit FrameMenus(FrameWindow& frame);
    ~FrameMenus() override;

    // The entries the start-up adds (File, Edit, Batch), from the settings.
    void add_startup_entries();
    // A dynamic entry chosen (id 800 or more): the dialogs some entries open first, then its
    // handler.
    void choose_dynamic(int id);

    void set_finish_iterating_mark(bool checked);
    void set_edit_commands_enabled(bool enabled);
    // A selection file was written: "Select" checked, "Edit" and "Construct" enabled.
    void spss_selection_made();
    // The popup at a bar position (0 File ... 10 Graphs); null for the bar commands.
    QMenu* popup(int menu) const;
    // The action of a command id on the bar; null when there is none.
    QAction* action(int id) const;
    const MenuModel& model() const { return model_; }

    void insert_menu_item(int menu, int position, std::string_view text, MenuHandler h) override;
    void append_menu_item(int menu, std::string_view text, MenuHandler h) override;
    void add_system_menu_item(std::string_view text) override;
    void delete_menu_item(int menu, int position) override;
    void set_file_prompt_menu_enabled(bool enabled) override;
    void build_result_menus(int state) override;
    void set_result_menus_enabled(int state) override;
    void add_edit_menu_entry(std::string_view label, std::string_view path) override;

private:
    struct Parts;
    void rebuild();
    void add_action(QAction* action, int id, const std::string& accelerator);
    // The model changed: the bar follows it.
    void changed();
    // The handler of an entry the engine or the start-up adds, from its action or text.
    EntryHandler handler_for(StartupAction action);
    EntryHandler handler_for_text(std::string_view text);

    FrameWindow& frame_;
    MenuModel model_;
    std::unique_ptr<Parts> parts_;
};

}  // namespace korvelan

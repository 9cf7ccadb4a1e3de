// The frame's menus: the menu model drawn on the frame's menu bar, the engine's menu calls served
// on it, the start-up entries, and the handlers and dialogs of the entries added at run time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/run/host_services.h"
#include "shell/menus/menu_model.h"
#include "shell/menus/menu_services.h"
#include "shell/services/startup_menus.h"

class QAction;
class QMenu;

namespace korvelan {

class FrameWindow;
class QtMenuView;

class FrameMenus {
public:
    explicit FrameMenus(FrameWindow& frame);
    ~FrameMenus();

    // Where the engine's menu calls go.
    MenuServices& engine_menus() { return engine_menus_; }

    // The entries the start-up adds (File, Edit, Batch), from the settings.
    void add_startup_entries();
    // An entry added at run time chosen (id 800 or more): the dialogs some entries open first,
    // then its handler.
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

private:
    void apply_accelerators();
    // The model changed: the bar follows it.
    void changed();
    // The handler of an entry the engine or the start-up adds, from its action or text.
    EntryHandler handler_for(StartupAction action);
    EntryHandler handler_for_text(std::string_view text);

    FrameWindow& frame_;
    MenuModel model_;
    ModelMenuServices engine_menus_;
    std::unique_ptr<QtMenuView> view_;
};

}  // namespace korvelan

// The engine's menu calls served on the menu model: the entries the run start, data input and
// the output dispatcher add, the result menus and their switching. The desktop host hands its
// menu calls to this object.
#pragma once

#include <functional>
#include <string_view>

#include "engine/run/host_services.h"
#include "engine/run/run.h"
#include "shell/menus/menu_model.h"

namespace korvelan {

class ModelMenuServices : public MenuServices {
public:
    explicit ModelMenuServices(MenuModel& menus) : menus_(menus) {}

    // The run whose results the result entries request.
    void attach(Run& run) { run_ = &run; }
    // The handler of an entry the engine adds without one ("Edit Control File=...", the restart
    // entries), chosen by its text; none when not set.
    using HandlerForText = std::function<EntryHandler(std::string_view text)>;
    void set_engine_entry_handlers(HandlerForText f) { handler_for_text_ = std::move(f); }
    // Makes the handler of each Edit-menu entry of a file (opens the file named after "=") as
    // the entry is added.
    void set_edit_entry_handler(std::function<EntryHandler()> make) { make_edit_handler_ = std::move(make); }

    void insert_menu_item(int menu, int position, std::string_view text, MenuHandler h) override;
    void append_menu_item(int menu, std::string_view text, MenuHandler h) override;
    void add_system_menu_item(std::string_view text) override;
    void delete_menu_item(int menu, int position) override;
    void set_file_prompt_menu_enabled(bool enabled) override;
    // Builds the result entries once per process; later calls do nothing.
    void build_result_menus(int state) override;
    void set_result_menus_enabled(int state) override;
    void add_edit_menu_entry(std::string_view label, std::string_view path) override;

private:
    EntryHandler handler_for(std::string_view text, MenuHandler h) const;

    MenuModel& menus_;
    Run* run_ = nullptr;
    HandlerForText handler_for_text_;
    std::function<EntryHandler()> make_edit_handler_;
    bool results_built_ = false;
};

}  // namespace korvelan

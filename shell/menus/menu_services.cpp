#include "shell/menus/menu_services.h"

#include <string>

#include "shell/menus/result_handlers.h"
#include "shell/menus/result_menus.h"

namespace korvelan {

EntryHandler ModelMenuServices::handler_for(std::string_view text, MenuHandler h) const {
    if (h) return [h](const MenuChoice& c) { h(c.text); };
    return handler_for_text_ ? handler_for_text_(text) : EntryHandler{};
}

void ModelMenuServices::insert_menu_item(int menu, int position, std::string_view text, MenuHandler h) {
    menus_.insert(menu, position, menu_flag::kByPosition, text, handler_for(text, h));
    menus_.redraw();
}

void ModelMenuServices::append_menu_item(int menu, std::string_view text, MenuHandler h) {
    menus_.append(menu, 0, text, handler_for(text, h));
    menus_.redraw();
}

void ModelMenuServices::add_system_menu_item(std::string_view text) {
    menus_.add_system_entry(text);
    menus_.redraw();
}

void ModelMenuServices::delete_menu_item(int menu, int position) {
    menus_.delete_entry(menu, position);
    menus_.redraw();
}

void ModelMenuServices::set_file_prompt_menu_enabled(bool enabled) {
    menus_.set_state_of_id(menu_cmd::kOpenFile, enabled ? menu_flag::kEnabled : menu_flag::kGrayed);
    menus_.redraw();
}

void ModelMenuServices::build_result_menus(int state) {
    if (!run_ || results_built_) return;
    results_built_ = true;
    korvelan::build_result_menus(menus_, *run_, state, result_handlers(*run_, menus_));
}

void ModelMenuServices::set_result_menus_enabled(int state) {
    if (run_ && results_built_) korvelan::set_result_menus_enabled(menus_, *run_, state);
}

void ModelMenuServices::add_edit_menu_entry(std::string_view label, std::string_view path) {
    menus_.append(menu_bar::kEdit, 0, std::string(label) + std::string(path),
                  make_edit_handler_ ? make_edit_handler_() : EntryHandler{});
    menus_.redraw();
}

}  // namespace korvelan

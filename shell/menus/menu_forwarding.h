// A host whose menu calls go to menu services handed over later (the frame's menus); until then,
// and without them, the calls are ignored.
#pragma once

#include <string_view>

#include "engine/run/host_services.h"

namespace korvelan {

template <class Host>
class MenuForwarding : public Host {
public:
    using Host::Host;
    void set_menu_services(MenuServices* menus) { menus_ = menus; }

    void insert_menu_item(int menu, int position, std::string_view text, MenuHandler h) override {
        if (menus_) menus_->insert_menu_item(menu, position, text, h);
    }
    void append_menu_item(int menu, std::string_view text, MenuHandler h) override {
        if (menus_) menus_->append_menu_item(menu, text, h);
    }
    void add_system_menu_item(std::string_view text) override {
        if (menus_) menus_->add_system_menu_item(text);
    }
    void delete_menu_item(int menu, int position) override {
        if (menus_) menus_->delete_menu_item(menu, position);
    }
    void set_file_prompt_menu_enabled(bool enabled) override {
        if (menus_) menus_->set_file_prompt_menu_enabled(enabled);
    }
    void build_result_menus(int state) override {
        if (menus_) menus_->build_result_menus(state);
    }
    void set_result_menus_enabled(int state) override {
        if (menus_) menus_->set_result_menus_enabled(state);
    }
    void add_edit_menu_entry(std::string_view label, std::string_view path) override {
        if (menus_) menus_->add_edit_menu_entry(label, path);
    }

private:
    MenuServices* menus_ = nullptr;
};

}  // namespace korvelan

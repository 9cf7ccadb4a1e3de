// A recording host whose menus are a menu model, and dialogs that answer as a test says.
#pragma once

#include <string>
#include <vector>

#include "shell/menus/dynamic_dispatch.h"
#include "shell/menus/menu_forwarding.h"
#include "shell/menus/menu_services.h"
#include "tests/support/test_host.h"

namespace korvelan::testing {

class MenuHost : public MenuForwarding<TestHost> {
public:
    MenuModel model;
    ModelMenuServices services{model};
    MenuHost() { set_menu_services(&services); }

    // Whether the result entries were grayed each time a program was started (the editor opens
    // a Table file while its request is served).
    std::vector<bool> grayed_at_start;
    int run_program_with_argument(std::string_view program, std::string_view argument) override {
        grayed_at_start.push_back(model.entry(menu_bar::kOutputTables, 6)->grayed);
        return TestHost::run_program_with_argument(program, argument);
    }

    // The id of the first entry of the popup whose text is `text`; 0 when there is none.
    int id_of(int menu, std::string_view text) const {
        for (const MenuEntry& e : *model.popup(menu))
            if (e.text == text) return e.id;
        return 0;
    }
};

// Dialogs that record what was opened and answer with the settings below.
struct ScriptedDialogs : DynamicCommandDialogs {
    std::vector<std::string> opened;
    bool accept = true;
    std::string xfile_fields;  // written to the run when the XFILE= dialog is accepted
    Run* run = nullptr;
    void edit_initial_settings() override { opened.push_back("settings"); }
    void select_weights() override { opened.push_back("weights"); }
    bool choose_xfile_fields() override {
        opened.push_back("xfile");
        if (accept && run) run->rs.xfile_fields = xfile_fields;
        return accept;
    }
    bool choose_grouping(int table) override {
        opened.push_back("grouping " + std::to_string(table));
        return accept;
    }
};

}  // namespace korvelan::testing

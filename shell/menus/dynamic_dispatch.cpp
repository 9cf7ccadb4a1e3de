#include "shell/menus/dynamic_dispatch.h"

#include <string>

namespace korvelan {

namespace {

// The entry of the id: in a popup, else in the system menu.
const MenuEntry* entry_of(const MenuModel& menus, int id) {
    if (const MenuEntry* e = menus.find(id)) return e;
    for (const MenuEntry& e : menus.system_entries())
        if (e.id == id) return &e;
    return nullptr;
}

// The Table of a grouping entry ("27. ...", "28.", "30.", "31."), else 0.
int grouping_table(const std::string& text) {
    for (int t : {27, 28, 30, 31})
        if (text.rfind(std::to_string(t) + ".", 0) == 0) return t;
    return 0;
}

}  // namespace

DynamicOutcome dispatch_dynamic_command(int id, const MenuModel& menus, Run& run,
                                        DynamicCommandDialogs& dialogs) {
    const MenuEntry* entry = entry_of(menus, id);
    if (!menus.handlers().is_dynamic(id) || !entry) return DynamicOutcome::NotDynamic;
    const MenuChoice choice{id, entry->checked, entry->text};
    // The initial settings are served for any such entry, also before the report is closed.
    if (choice.text.find("Edit initial") != std::string::npos) {
        dialogs.edit_initial_settings();
        return DynamicOutcome::DialogOnly;
    }
    const EntryHandler* handler = menus.handlers().find(id);
    if (!handler) return DynamicOutcome::NotDynamic;
    run.rep.request.table = 0;
    if (run.rs.report_closed) {
        if (choice.text.find("Weight") != std::string::npos) {
            dialogs.select_weights();
            return DynamicOutcome::DialogOnly;
        }
        if (choice.text.find("Observation File XFILE") != std::string::npos) {
            if (!dialogs.choose_xfile_fields() ||
                run.rs.xfile_fields.find_first_not_of(' ') == std::string::npos)
                return DynamicOutcome::Cancelled;
        } else if (const int t = grouping_table(choice.text)) {
            run.rep.request.table = t;
            if (!dialogs.choose_grouping(t)) return DynamicOutcome::Cancelled;
        }
    }
    // The handler may rebuild the menu it stands in: it runs from a copy.
    const EntryHandler call = *handler;
    call(choice);
    return DynamicOutcome::HandlerCalled;
}

}  // namespace korvelan

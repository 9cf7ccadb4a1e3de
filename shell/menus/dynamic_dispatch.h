// The choice of an entry added at run time: some entries open a dialog first (the initial
// settings, the weights, the XFILE= fields, the grouping of Tables 27, 28, 30 and 31); the rest
// go straight to their handler.
#pragma once

#include "engine/run/run.h"
#include "shell/menus/menu_model.h"

namespace korvelan {

// The dialogs a run-time entry may open; each returns what the dialog decided.
class DynamicCommandDialogs {
public:
    virtual ~DynamicCommandDialogs() = default;
    virtual void edit_initial_settings() = 0;
    virtual void select_weights() = 0;
    // False when cancelled; the chosen fields are in run.rs.xfile_fields.
    virtual bool choose_xfile_fields() = 0;
    // The grouping of Table 27, 28, 30 or 31; false when cancelled.
    virtual bool choose_grouping(int table) = 0;
};

enum class DynamicOutcome {
    NotDynamic,     // no handler and no dialog for the id
    DialogOnly,     // a dialog served the entry
    Cancelled,      // the dialog came first and decided against the request
    HandlerCalled,
};

DynamicOutcome dispatch_dynamic_command(int id, const MenuModel& menus, Run& run,
                                        DynamicCommandDialogs& dialogs);

}  // namespace korvelan

// The menu entries the desktop shell adds at start, before the run: what they say, where they
// go and what choosing them does. The window builds its menus from this list.
#pragma once

#include <string>
#include <vector>

#include "engine/run/host_services.h"

namespace korvelan {

enum class StartupAction {
    StartAnotherCopy,
    StartSpreadsheet,
    EditFile,
    EditInitialSettings,
    EditBatchFile,
    RunBatchFile,
};

struct StartupMenuEntry {
    int menu;      // 0 File, 1 Edit, ..., 5 Batch; -1 the frame's system menu
    int position;  // inserted before this 1-based position; 0 appended
    std::string text;
    StartupAction action;
};

// In the order they are added. `shipped_dir`, the folder of the shipped files, ends in "/".
std::vector<StartupMenuEntry> startup_menu_entries(const InitialSettings& settings,
                                                   const std::string& shipped_dir);

}  // namespace korvelan

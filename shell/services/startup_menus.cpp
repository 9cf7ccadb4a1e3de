#include "shell/services/startup_menus.h"

#include "engine/run/numtext.h"
#include "engine/run/run.h"
#include "shell/services/settings_file.h"

namespace korvelan {

namespace {
constexpr int kSystemMenu = -1;
constexpr int kFileMenu = 0;
constexpr int kEditMenu = 1;
constexpr int kBatchMenu = 5;
}  // namespace

std::vector<StartupMenuEntry> startup_menu_entries(const InitialSettings& settings,
                                                   const std::string& shipped_dir) {
    const std::string another = std::string("Start another ") + kProgramWord;
    return {
        {kSystemMenu, 6, another, StartupAction::StartAnotherCopy},
        {kFileMenu, 2, another, StartupAction::StartAnotherCopy},
        {kFileMenu, 0, "Excel=" + std::string(trim(settings.spreadsheet)), StartupAction::StartSpreadsheet},
        {kEditMenu, 1, "Edit/create file with " + editor_display_name(settings.editor), StartupAction::EditFile},
        {kEditMenu, 1, "Edit/create new control file from=" + shipped_dir + "template.txt", StartupAction::EditFile},
        {kEditMenu, 0, "Edit initial settings", StartupAction::EditInitialSettings},
        {kBatchMenu, 0, "Edit batch file", StartupAction::EditBatchFile},
        {kBatchMenu, 0, "Run batch file", StartupAction::RunBatchFile},
    };
}

}  // namespace korvelan

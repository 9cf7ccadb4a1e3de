#include "shell/frame/desktop_start.h"

#include <QApplication>
#include <cstdlib>

#include "engine/run/messages.h"
#include "shell/frame/desktop_dialogs.h"
#include "shell/frame/file_dialog_prompter.h"
#include "shell/frame/frame_menus.h"
#include "shell/frame/frame_window.h"
#include "shell/services/program_search.h"
#include "shell/services/qprocess_launcher.h"
#include "shell/services/settings_file.h"

namespace korvelan {

int run_desktop(int argc, char** argv, const std::vector<std::string>& engine_args) {
    QApplication app(argc, argv);
    QProcessLauncher launcher;
    DesktopDialogs dialogs;
    FileDialogPrompter prompter;
    const std::string program_dir = program_directory();
    const char* path = std::getenv("PATH");
    const std::string search_path = path ? path : "";
    FrameServices services{launcher,
                           dialogs,
                           prompter,
                           HelpViewer(shipped_files_directory(program_dir)),
                           program_dir,
                           QCoreApplication::applicationFilePath().toStdString(),
                           settings_file_path(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))};
    Run run;
    run.args = engine_args;
    FrameWindow frame(run, services);
    frame.resize(900, 640);
    frame.showMaximized();
    FrameHost& host = frame.host();
    host.settings() = load_initial_settings(
        services.settings_path, default_initial_settings(find_text_editor(search_path), find_spreadsheet(search_path)),
        host.window_line());
    frame.menus().add_startup_entries();
    const int status = frame.run_engine();
    delete_work_files_at_exit(run);
    return status;
}

}  // namespace korvelan

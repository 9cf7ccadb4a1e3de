// The frame window of the desktop program: the Input/Output window in its middle, the menu bar
// of the menu model, the fixed commands and their accelerators, the right-click menu and the
// orderly shutdown. The engine runs inside it on the one GUI thread (run_engine); every command
// reaches it through the event pumps of the engine, so a command can arrive in the middle of a
// run. Each Qt entry point catches a stop of the engine: it never crosses the event loop.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "engine/run/run.h"
#include "shell/frame/frame_dialogs.h"
#include "shell/frame/frame_host.h"
#include "shell/frame/help_viewer.h"
#include "shell/services/file_prompt.h"
#include "shell/services/launcher.h"
#include "shell/window/text_store.h"
#include "shell/window/text_window.h"

class QMenu;

namespace korvelan {

class FrameMenus;

// What the frame starts, asks and opens with; tests pass recording ones.
struct FrameServices {
    Launcher& launcher;
    FrameDialogs& dialogs;
    FilePrompter& prompter;
    HelpViewer help;
    std::string program_dir;    // ends in "/": the graphs program lies there, the shipped files there or
                                // in ../share/korvelan/ (shipped_files_directory)
    std::string program_path;   // this program, for "Start another" and the restart entries
    std::string settings_path;  // the settings file
};

class FrameWindow : public QMainWindow {
public:
    FrameWindow(Run& run, FrameServices services, QWidget* parent = nullptr);
    ~FrameWindow() override;

    // Runs the analysis of the run's arguments in the window and returns its exit status once
    // the window has been closed (or the run ended without a window to idle in).
    int run_engine();
    // A command of the menus or accelerators, by its id.
    void command(int id);
    // Finish iterating: the engine's request flag and the check mark of the command.
    void set_finish_iterating();
    void clear_finish_iterating();
    // "Edit initial settings": the settings dialog; OK rewrites the settings file.
    void edit_initial_settings();
    // The dialogs' Help buttons: the frame's help page of the context number.
    HelpRequest help_request() const;

    // The popup the right-click shows: Output Tables once the run has finished, else File.
    QMenu* context_menu() const;
    // Ends the process when the window closes in the middle of a computation (tests replace it).
    std::function<void(int status)> end_process;

    FrameHost& host() { return host_; }
    TextWindow& text_window() { return text_; }
    FrameMenus& menus() { return *menus_; }
    GraphsLauncher& graphs() { return graphs_; }
    Run& run() { return run_; }
    const FrameServices& services() const { return services_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Runs a step at a Qt entry point: a stop of the engine or a fault of the program ends
    // there, with its message shown in the window.
    void guarded(const std::function<void()>& step);
    void dispatch(int id);
    bool dispatch_help_and_information(int id);
    bool dispatch_run_requests(int id);
    bool dispatch_spss(int id);
    bool dispatch_console(int id);
    void show_welcome();

    Run& run_;
    FrameServices services_;
    TextStore store_;
    TextWindow text_;
    FrameHost host_;
    GraphsLauncher graphs_;
    std::unique_ptr<FrameMenus> menus_;
    bool engine_running_ = false;
};

}  // namespace korvelan

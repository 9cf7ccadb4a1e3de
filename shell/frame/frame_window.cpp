#include "shell/frame/frame_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <exception>

#include "engine/driver/run_analysis.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "shell/frame/frame_menus.h"

namespace korvelan {

FrameWindow::FrameWindow(Run& run, FrameServices services, QWidget* parent)
    : QMainWindow(parent),
      run_(run),
      services_(std::move(services)),
      text_(store_),
      host_(text_, services_.launcher, services_.prompter, services_.help),
      graphs_(services_.launcher, services_.program_dir,
              [this](std::string_view text, std::string_view caption) {
                  return services_.dialogs.ask_yes_no(this, text, caption);
              }),
      menus_(std::make_unique<FrameMenus>(*this)) {
    setWindowTitle(QString::fromLatin1(kProgramWord));
    setCentralWidget(&text_);
    end_process = [this](int status) { host_.end_program(status); };
    host_.set_menu_services(&menus_->engine_menus());
    host_.on_finish_cleared = [this] { menus_->set_finish_iterating_mark(false); };
    host_.on_welcome = [this] { show_welcome(); };
    text_.on_edit_commands = [this](bool enabled) { menus_->set_edit_commands_enabled(enabled); };
    // The Input/Output window fills the frame and shows no caption of its own: the name it was
    // saved under goes into the frame's title.
    connect(&text_, &QWidget::windowTitleChanged, this, [this](const QString& title) {
        setWindowTitle(QString::fromLatin1(kProgramWord) + QStringLiteral(" - [") + title + QStringLiteral("]"));
    });
    run_.host = &host_;
    menus_->set_edit_commands_enabled(false);
}

FrameWindow::~FrameWindow() {
    // The central widget is a member: take it back before the window deletes its children.
    takeCentralWidget();
    if (run_.host == &host_) run_.host = nullptr;
}

int FrameWindow::run_engine() {
    engine_running_ = true;
    const int status = run_analysis(run_);
    engine_running_ = false;
    return status;
}

void FrameWindow::guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (const RunStopped&) {
        // The stop has shown its message and ended the request; the window goes on.
    } catch (const std::exception& e) {
        host_.write_text_window_line(std::string(msg::kUnexpectedError) + e.what());
    }
}

void FrameWindow::command(int id) {
    guarded([&] { dispatch(id); });
}

void FrameWindow::set_finish_iterating() {
    host_.request_finish_iterating();
    menus_->set_finish_iterating_mark(true);
}

void FrameWindow::clear_finish_iterating() { host_.clear_finish_iterating(); }

void FrameWindow::show_welcome() {
    InitialSettings& settings = host_.settings();
    if (settings.welcome == 'N' || !trim(run_.rs.control_file).empty()) return;
    services_.dialogs.welcome(this, help_request(), services_.settings_path, settings);
}

HelpRequest FrameWindow::help_request() const {
    return [this](int context) { services_.help.show(context); };
}

QMenu* FrameWindow::context_menu() const {
    return menus_->popup(run_.rs.finished ? 3 : 0);
}

// The idle loop here waits for events instead of polling, so the right-click leaves its idle
// counter alone.
void FrameWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (QMenu* menu = context_menu()) menu->exec(event->globalPos());
    event->accept();
}

void FrameWindow::closeEvent(QCloseEvent* event) {
    guarded([&] { finish_analysis_report(run_); });
    delete_work_files_at_exit(run_);
    // A close in the middle of a computation cannot wait for it: the process ends here.
    const bool computing = engine_running_ && !host_.idling() && !host_.read_waiting();
    host_.quit();
    event->accept();
    if (computing && end_process) end_process(run_exit_status(run_));
}

}  // namespace korvelan

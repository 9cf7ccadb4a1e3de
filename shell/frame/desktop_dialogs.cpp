#include "shell/frame/desktop_dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include "shell/dialogs/initial_settings_dialog.h"
#include "shell/dialogs/instruction_dialog.h"
#include "shell/dialogs/text_dialogs.h"
#include "shell/dialogs/weights_dialog.h"
#include "shell/dialogs/welcome_dialog.h"
#include "shell/dialogs/xfile_dialog.h"

namespace korvelan {

DesktopDialogs::DesktopDialogs() = default;
DesktopDialogs::~DesktopDialogs() = default;

int DesktopDialogs::modal(QDialog& dialog) { return dialog.exec(); }

void DesktopDialogs::information(QWidget* owner, int dialog) {
    InfoDialog d(dialog, owner);
    modal(d);
}

void DesktopDialogs::welcome(QWidget* owner, const HelpRequest& help, const std::string& settings_path,
                             InitialSettings& settings) {
    show_welcome(owner, help, settings_path, settings, [this](QDialog& d) { return modal(d); });
}

void DesktopDialogs::initial_settings(QWidget* owner, const HelpRequest& help, const std::string& settings_path,
                                      InitialSettings& running, ConsoleWindowServices& console) {
    InitialSettingsDialog d(running, settings_path, console, help, owner);
    modal(d);
}

void DesktopDialogs::weights(QWidget* owner, const HelpRequest& help, Run& run) {
    WeightsDialog d(run, help, owner);
    modal(d);
}

bool DesktopDialogs::xfile_fields(QWidget* owner, const HelpRequest& help, Run& run) {
    XFileDialog d(run, help, owner);
    return modal(d) == QDialog::Accepted;
}

bool DesktopDialogs::specification(QWidget* owner, const HelpRequest& help, Run& run) {
    SpecificationDialog d(run, help, owner);
    return modal(d) == QDialog::Accepted;
}

void DesktopDialogs::request_subtables(QWidget* owner, const HelpRequest& help, Run& run) {
    SubtableDialog d(run, help, owner);
    modal(d);
}

void DesktopDialogs::problem(QWidget* owner, const std::string& text) {
    show_problem_dialog(owner, text, [this](QDialog& d) { return modal(d); });
}

// The dialog is painted before the conversion takes the thread; user input waits until it ends.
void DesktopDialogs::spss_progress(QWidget* owner, bool shown) {
    if (!shown) {
        progress_.reset();
        return;
    }
    progress_ = std::make_unique<SpssProgressDialog>(owner);
    progress_->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool DesktopDialogs::ask_yes_no(QWidget* owner, std::string_view text, std::string_view caption) {
    const auto answer = QMessageBox::question(owner, QString::fromStdString(std::string(caption)),
                                              QString::fromStdString(std::string(text)),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}

}  // namespace korvelan

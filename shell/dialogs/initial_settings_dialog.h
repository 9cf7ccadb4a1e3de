// "Korvelan Initial Settings": the editor, spreadsheet, file filter and temporary directory, the
// report-name prompt and the Welcome dialog. OK changes the running settings and rewrites the
// settings file (see apply_settings_choice); Cancel changes nothing.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QRadioButton>
#include <string>

#include "engine/run/host_services.h"
#include "shell/dialogs/dialog_help.h"
#include "shell/dialogs/settings_choice.h"

namespace korvelan {

class InitialSettingsDialog : public QDialog {
public:
    InitialSettingsDialog(InitialSettings& running, std::string settings_path,
                          ConsoleWindowServices& console, HelpRequest help, QWidget* parent = nullptr);

    SettingsChoice choice() const;
    void set_choice(const SettingsChoice& choice);
    // The status of the settings file's rewrite by the last OK (0 when it was written).
    int write_status() const { return write_status_; }

    void accept() override;

private:
    InitialSettings& running_;
    std::string path_;
    ConsoleWindowServices& console_;
    QComboBox* editor_ = nullptr;
    QComboBox* spreadsheet_ = nullptr;
    QComboBox* filter_ = nullptr;
    QComboBox* temp_ = nullptr;
    QRadioButton* prompt_yes_ = nullptr;
    QRadioButton* prompt_no_ = nullptr;
    QRadioButton* welcome_yes_ = nullptr;
    QRadioButton* welcome_no_ = nullptr;
    int write_status_ = 0;
};

}  // namespace korvelan

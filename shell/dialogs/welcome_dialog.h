// "Korvelan Welcome": offers help at start-up and lets the user turn the offer off.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <string>

#include "engine/run/host_services.h"

#include "shell/dialogs/dialog_help.h"

namespace korvelan {

class WelcomeDialog : public QDialog {
public:
    explicit WelcomeDialog(HelpRequest help, QWidget* parent = nullptr);

    // "Don't ask again" ticked: the start-up then turns the Welcome setting off.
    bool dont_ask_again() const { return dont_ask_->isChecked(); }
    void set_dont_ask_again(bool ticked) { dont_ask_->setChecked(ticked); }
    // "Yes Please!": the help topic, then the dialog closes.
    void yes_please();

private:
    HelpRequest help_;
    QCheckBox* dont_ask_ = nullptr;
};

// Start-up: shows the dialog modally and, when "Don't ask again" was ticked, turns the Welcome
// setting off in the settings and the settings file (see finish_welcome).
void show_welcome(QWidget* owner, HelpRequest help, const std::string& settings_path,
                  InitialSettings& settings, const ModalRun& modal = {});

}  // namespace korvelan

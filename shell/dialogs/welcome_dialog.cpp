#include "shell/dialogs/welcome_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/dialogs/settings_choice.h"

namespace korvelan {

WelcomeDialog::WelcomeDialog(HelpRequest help, QWidget* parent) : QDialog(parent), help_(std::move(help)) {
    setWindowTitle("Korvelan Welcome");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Welcome to Korvelan!"));
    layout->addWidget(new QLabel("Would you like help setting up your analysis?"));
    dont_ask_ = new QCheckBox("Don't ask again");
    layout->addWidget(dont_ask_);
    auto* row = new QHBoxLayout;
    auto* yes = new QPushButton("Yes Please!");
    auto* no = new QPushButton("No");
    yes->setDefault(true);
    connect(yes, &QPushButton::clicked, this, &WelcomeDialog::yes_please);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(yes);
    row->addWidget(no);
    layout->addLayout(row);
}

void WelcomeDialog::yes_please() {
    if (help_) help_(help_context::kWelcome);
    accept();
}

void show_welcome(QWidget* owner, HelpRequest help, const std::string& settings_path,
                  InitialSettings& settings, const ModalRun& modal) {
    WelcomeDialog dialog(std::move(help), owner);
    if (modal) modal(dialog);
    else dialog.exec();
    finish_welcome(dialog.dont_ask_again(), settings_path, settings);
}

}  // namespace korvelan

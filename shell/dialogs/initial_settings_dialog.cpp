#include "shell/dialogs/initial_settings_dialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "shell/dialogs/dialog_parts.h"

namespace korvelan {

namespace {

constexpr int kBoxLength = 32000;

// A Yes/No pair of its own, in one row.
QWidget* yes_no_row(QWidget* owner, QRadioButton*& yes, QRadioButton*& no) {
    auto* row = new QWidget(owner);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    yes = new QRadioButton("Yes");
    no = new QRadioButton("No");
    auto* group = new QButtonGroup(row);
    group->addButton(yes);
    group->addButton(no);
    layout->addWidget(yes);
    layout->addWidget(no);
    layout->addStretch();
    return row;
}

}  // namespace

InitialSettingsDialog::InitialSettingsDialog(InitialSettings& running, std::string settings_path,
                                             ConsoleWindowServices& console, HelpRequest help,
                                             QWidget* parent)
    : QDialog(parent), running_(running), path_(std::move(settings_path)), console_(console) {
    setWindowTitle("Korvelan Initial Settings");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("When KORVELAN restarts:"));
    auto* form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    editor_ = text_box("", kBoxLength);
    spreadsheet_ = text_box("", kBoxLength);
    filter_ = text_box("", kBoxLength);
    temp_ = text_box("", kBoxLength);
    form->addRow("Editor path: (if output tables do not display, change this)", editor_);
    form->addRow("Excel path:", spreadsheet_);
    form->addRow("Filter for file selection:", filter_);
    form->addRow("Temporary directory for work files:", temp_);
    form->addRow("Prompt for output file name?", yes_no_row(this, prompt_yes_, prompt_no_));
    form->addRow("Show \"Welcome\" help?", yes_no_row(this, welcome_yes_, welcome_no_));
    layout->addLayout(form);
    layout->addWidget(new QLabel("To reset to default values, delete file \"Korvelan.ini\" and restart Korvelan."));
    add_ok_cancel_help(*this, *layout, help, help_context::kInitialSettings);
    set_choice(settings_shown(running_));
}

SettingsChoice InitialSettingsDialog::choice() const {
    SettingsChoice c;
    c.editor = stext(editor_->currentText());
    c.spreadsheet = stext(spreadsheet_->currentText());
    c.filter = stext(filter_->currentText());
    c.temp_directory = stext(temp_->currentText());
    c.report_prompt = !prompt_no_->isChecked();
    c.welcome = !welcome_no_->isChecked();
    return c;
}

void InitialSettingsDialog::set_choice(const SettingsChoice& c) {
    editor_->setEditText(qtext(c.editor));
    spreadsheet_->setEditText(qtext(c.spreadsheet));
    filter_->setEditText(qtext(c.filter));
    temp_->setEditText(qtext(c.temp_directory));
    (c.report_prompt ? prompt_yes_ : prompt_no_)->setChecked(true);
    (c.welcome ? welcome_yes_ : welcome_no_)->setChecked(true);
}

void InitialSettingsDialog::accept() {
    const SettingsChoice c = choice();
    QDialog::accept();
    write_status_ = apply_settings_choice(running_, c, path_, console_);
}

}  // namespace korvelan

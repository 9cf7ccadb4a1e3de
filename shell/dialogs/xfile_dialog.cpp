#include "shell/dialogs/xfile_dialog.h"

#include <QFormLayout>
#include <QVBoxLayout>

#include "shell/dialogs/dialog_parts.h"

namespace korvelan {

namespace {

constexpr const char* kBoxTexts[kXFileBoxes] = {
    "Person Entry Number", "Item Entry Number", "Response value after scoring",
    "Response value after recounting", "Expected response value",
    "Model variance of observed around expected", "Standardized residual", "Score residual",
    "Measure difference", "Log-probability of observed response", "Response code in data file",
    "Include missing observations", "Include observations for extreme scores"};
constexpr int kLimitLength = 15;

}  // namespace

XFileDialog::XFileDialog(Run& run, HelpRequest help, QWidget* parent) : QDialog(parent), run_(run) {
    setWindowTitle("Fields in Analyzed Response File: XFILE=");
    auto* layout = new QVBoxLayout(this);
    for (std::size_t k = 0; k < boxes_.size(); ++k) {
        boxes_[k] = new QCheckBox(kBoxTexts[k]);
        layout->addWidget(boxes_[k]);
    }
    auto* form = new QFormLayout;
    person_ = text_box("", kLimitLength);
    item_ = text_box("", kLimitLength);
    person_->setMinimumContentsLength(15);
    item_->setMinimumContentsLength(15);
    form->addRow("Only for Person:", person_);
    form->addRow("Only for Item:", item_);
    layout->addLayout(form);
    add_ok_cancel_help(*this, *layout, help, help_context::kXFile);
    set_boxes(xfile_boxes_shown());
}

XFileBoxes XFileDialog::boxes() const {
    XFileBoxes ticked{};
    for (std::size_t k = 0; k < boxes_.size(); ++k) ticked[k] = boxes_[k]->isChecked();
    return ticked;
}

void XFileDialog::set_boxes(const XFileBoxes& ticked) {
    for (std::size_t k = 0; k < boxes_.size(); ++k) boxes_[k]->setChecked(ticked[k]);
}

std::string XFileDialog::person_text() const { return stext(person_->currentText()); }
std::string XFileDialog::item_text() const { return stext(item_->currentText()); }
void XFileDialog::set_person_text(const std::string& text) { person_->setEditText(qtext(text)); }
void XFileDialog::set_item_text(const std::string& text) { item_->setEditText(qtext(text)); }

void XFileDialog::accept() {
    const XFileChoice choice =
        xfile_choice(boxes(), person_text(), item_text(), run_.arrays.persons, run_.arrays.items);
    store_xfile_choice(run_, choice);
    set_person_text(choice.person_text);
    set_item_text(choice.item_text);
    if (choice.closes) QDialog::accept();
}

void XFileDialog::reject() {
    cancel_xfile_choice(run_);
    QDialog::reject();
}

}  // namespace korvelan

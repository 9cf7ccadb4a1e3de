#include "shell/dialogs/instruction_dialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "shell/dialogs/dialog_parts.h"
#include "shell/dialogs/instruction_choice.h"
#include "shell/dialogs/subtable_request.h"

namespace korvelan {

namespace {
constexpr int kInstructionLength = 32000;
constexpr int kRequestLength = 80;
}  // namespace

SpecificationDialog::SpecificationDialog(Run& run, HelpRequest help, QWidget* parent)
    : QDialog(parent), run_(run) {
    const int table = run.rep.request.table;
    const std::optional<GroupingLabels> grouping = grouping_labels(table);
    setWindowTitle(grouping ? "Please select grouping for this Table:" : "Control Specification = Value");
    auto* layout = new QVBoxLayout(this);
    above_ = new QLabel(grouping ? qtext(grouping->above) : QString("Specification = Value"));
    layout->addWidget(above_);
    auto* row = new QHBoxLayout;
    beside_ = new QLabel(grouping ? qtext(grouping->beside) : QString());
    beside_->setVisible(grouping.has_value());
    box_ = text_box(specification_shown(run.cv, table), kInstructionLength);
    row->addWidget(beside_);
    row->addWidget(box_, 1);
    layout->addLayout(row);
    add_ok_cancel_help(*this, *layout, help, help_context::kSpecification);
}

std::string SpecificationDialog::text() const { return stext(box_->currentText()); }
void SpecificationDialog::set_text(const std::string& text) { box_->setEditText(qtext(text)); }

std::string SpecificationDialog::beside_label() const {
    return beside_->isHidden() ? std::string() : stext(beside_->text());
}
std::string SpecificationDialog::above_label() const {
    return grouping_labels(run_.rep.request.table) ? stext(above_->text()) : std::string();
}

void SpecificationDialog::accept() {
    const std::string typed = text();
    QDialog::accept();
    apply_specification(run_, typed);
}

void SpecificationDialog::reject() {
    cancel_specification(run_);
    QDialog::reject();
}

SubtableDialog::SubtableDialog(Run& run, HelpRequest help, QWidget* parent) : QDialog(parent), run_(run) {
    setWindowTitle("Request Table and Subtable");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Enter here:  Table.Subtable"));
    box_ = text_box("", kRequestLength);
    layout->addWidget(box_);
    add_ok_cancel_help(*this, *layout, help, help_context::kSubtables);
}

std::string SubtableDialog::text() const { return stext(box_->currentText()); }
void SubtableDialog::set_text(const std::string& text) { box_->setEditText(qtext(text)); }

void SubtableDialog::accept() {
    const std::string typed = text();
    QDialog::accept();
    served_ = serve_subtable_request(run_, typed);
}

}  // namespace korvelan

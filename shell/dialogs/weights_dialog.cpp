#include "shell/dialogs/weights_dialog.h"

#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/run/numtext.h"
#include "shell/dialogs/dialog_parts.h"
#include "shell/dialogs/weight_choice.h"

namespace korvelan {

namespace {

constexpr const char* kChoiceTexts[] = {"Include all with specified weights", "Exclude weight 0",
                                        "Report only weight 0", "Report all and reweight 1"};

QGroupBox* choice_group(const char* title, QButtonGroup*& buttons, QWidget* owner) {
    auto* group = new QGroupBox(title);
    auto* layout = new QVBoxLayout(group);
    buttons = new QButtonGroup(owner);
    int id = weight_choice::kAll;
    for (const char* text : kChoiceTexts) {
        auto* radio = new QRadioButton(text);
        buttons->addButton(radio, id++);
        layout->addWidget(radio);
    }
    return group;
}

// Ticks the radio of the choice; any other number leaves none ticked.
void tick(QButtonGroup& buttons, int choice) {
    buttons.setExclusive(false);
    for (QAbstractButton* b : buttons.buttons()) b->setChecked(buttons.id(b) == choice);
    buttons.setExclusive(true);
}

bool weighted(const std::string& setting) { return !trim(setting).empty(); }

}  // namespace

WeightsDialog::WeightsDialog(Run& run, HelpRequest help, QWidget* parent) : QDialog(parent), run_(run) {
    setWindowTitle("Weights on Reports");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Processing of Weights for Reports"));
    person_group_ = choice_group("Person Weights:", persons_, this);
    item_group_ = choice_group("Item Weights:", items_, this);
    layout->addWidget(person_group_);
    layout->addWidget(item_group_);
    add_ok_cancel_help(*this, *layout, help, help_context::kWeights);
    person_group_->setHidden(!weighted(run.cv.pweight));
    item_group_->setHidden(!weighted(run.cv.iweight));
    set_person_ticked(run.input.person_weight_report);
    set_item_ticked(run.input.item_weight_report);
}

void WeightsDialog::set_person_ticked(int choice) { tick(*persons_, choice); }
void WeightsDialog::set_item_ticked(int choice) { tick(*items_, choice); }

void WeightsDialog::accept() {
    const int items = weight_choice_of(weighted(run_.cv.iweight), item_ticked());
    const int persons = weight_choice_of(weighted(run_.cv.pweight), person_ticked());
    QDialog::accept();
    apply_weight_choice(item_weight_side(run_), items);
    apply_weight_choice(person_weight_side(run_), persons);
}

}  // namespace korvelan

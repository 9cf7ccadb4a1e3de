// "Weights on Reports": how the reports treat the person and the item weights. A side without
// weights (PWEIGHT= or IWEIGHT= blank) has its group hidden. OK applies the choices (see
// apply_weight_choice); Cancel changes nothing.
#pragma once

#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>

#include "engine/run/run.h"
#include "shell/dialogs/dialog_help.h"

namespace korvelan {

class WeightsDialog : public QDialog {
public:
    WeightsDialog(Run& run, HelpRequest help, QWidget* parent = nullptr);

    // The ticked radio of a side: 1 to 4, 0 when none is ticked.
    int person_ticked() const { return persons_->checkedId() < 0 ? 0 : persons_->checkedId(); }
    int item_ticked() const { return items_->checkedId() < 0 ? 0 : items_->checkedId(); }
    void set_person_ticked(int choice);
    void set_item_ticked(int choice);
    bool person_group_shown() const { return !person_group_->isHidden(); }
    bool item_group_shown() const { return !item_group_->isHidden(); }

    void accept() override;

private:
    Run& run_;
    QGroupBox* person_group_ = nullptr;
    QGroupBox* item_group_ = nullptr;
    QButtonGroup* persons_ = nullptr;
    QButtonGroup* items_ = nullptr;
};

}  // namespace korvelan

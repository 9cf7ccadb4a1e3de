// "Fields in Analyzed Response File: XFILE=": the fields and observations of the observation
// file and the one person and one item it may be limited to. OK stores the choice in the run
// (see xfile_choice) and closes only when a field is chosen; Cancel chooses nothing, so that no
// file is written.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <array>
#include <string>

#include "engine/run/run.h"
#include "shell/dialogs/dialog_help.h"
#include "shell/dialogs/xfile_choice.h"

namespace korvelan {

class XFileDialog : public QDialog {
public:
    XFileDialog(Run& run, HelpRequest help, QWidget* parent = nullptr);

    XFileBoxes boxes() const;
    void set_boxes(const XFileBoxes& boxes);
    std::string person_text() const;
    std::string item_text() const;
    void set_person_text(const std::string& text);
    void set_item_text(const std::string& text);

    void accept() override;
    void reject() override;

private:
    Run& run_;
    std::array<QCheckBox*, kXFileBoxes> boxes_{};
    QComboBox* person_ = nullptr;
    QComboBox* item_ = nullptr;
};

}  // namespace korvelan

// The dialogs that pass typed text to the finished run: "Control Specification = Value" (one
// control instruction), its grouping form "Please select grouping for this Table:" for Tables
// 27, 28, 30 and 31, and "Request Table and Subtable".
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <string>

#include "engine/run/run.h"
#include "shell/dialogs/dialog_help.h"

namespace korvelan {

// The form follows run.rep.request.table (the frame sets it first: 0 for one control
// instruction, or the grouped Table). OK applies the instruction (see apply_specification);
// Cancel sets the Table number to -1 so that no Table follows.
class SpecificationDialog : public QDialog {
public:
    SpecificationDialog(Run& run, HelpRequest help, QWidget* parent = nullptr);

    std::string text() const;
    void set_text(const std::string& text);
    // The grouping form's labels beside and above the box (empty in the plain form).
    std::string beside_label() const;
    std::string above_label() const;

    void accept() override;
    void reject() override;

private:
    Run& run_;
    QComboBox* box_ = nullptr;
    QLabel* beside_ = nullptr;
    QLabel* above_ = nullptr;
};

// OK serves the typed request (see serve_subtable_request).
class SubtableDialog : public QDialog {
public:
    SubtableDialog(Run& run, HelpRequest help, QWidget* parent = nullptr);

    std::string text() const;
    void set_text(const std::string& text);
    // Whether the last OK served a Table.
    bool served() const { return served_; }

    void accept() override;

private:
    Run& run_;
    QComboBox* box_ = nullptr;
    bool served_ = false;
};

}  // namespace korvelan

// The dialogs that only show text: the information dialogs with their "Continue" button, the
// problem dialog of the SPSS conversions and the modeless progress dialog shown while they read
// an SPSS file.
#pragma once

#include <QDialog>
#include <QLabel>
#include <string>
#include <vector>

#include "shell/dialogs/dialog_help.h"

namespace korvelan {

// About (100), Table Descriptions (107), Batch mode (201) or File Comparison (573); any button
// closes it.
class InfoDialog : public QDialog {
public:
    explicit InfoDialog(int dialog, QWidget* parent = nullptr);
    std::vector<std::string> lines() const;

private:
    std::vector<QLabel*> lines_;
};

// "Problem discovered ...": the problem text and OK.
class ProblemDialog : public QDialog {
public:
    explicit ProblemDialog(const std::string& message, QWidget* parent = nullptr);
    std::string text() const;

private:
    QLabel* text_ = nullptr;
};

// Shows the problem dialog modally with the given owner.
void show_problem_dialog(QWidget* owner, const std::string& message, const ModalRun& modal = {});

// "Processing SPSS File ...": modeless, without controls; the conversion shows it around its
// work and destroys it afterwards.
class SpssProgressDialog : public QDialog {
public:
    explicit SpssProgressDialog(QWidget* parent = nullptr);
};

}  // namespace korvelan

// Pieces the dialogs share: the OK, Cancel and Help row, an editable text box, the texts of
// std::string values.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QString>
#include <QVBoxLayout>
#include <string>
#include <string_view>

#include "shell/dialogs/dialog_help.h"

namespace korvelan {

// OK calls the dialog's accept(), Cancel its reject(), Help asks for the help topic of the
// context number.
void add_ok_cancel_help(QDialog& dialog, QVBoxLayout& layout, const HelpRequest& help, int context);

// An editable box that shows the text and takes at most max_length characters.
QComboBox* text_box(std::string_view text, int max_length);

// UTF-8 both ways, the text of the engine and of the Input/Output window.
inline QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string stext(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace korvelan

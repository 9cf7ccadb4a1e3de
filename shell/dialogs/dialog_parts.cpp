#include "shell/dialogs/dialog_parts.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

namespace korvelan {

void add_ok_cancel_help(QDialog& dialog, QVBoxLayout& layout, const HelpRequest& help, int context) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::Help);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    buttons->button(QDialogButtonBox::Cancel)->setText("Cancel");
    buttons->button(QDialogButtonBox::Help)->setText("Help");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, &dialog, [help, context] {
        if (help) help(context);
    });
    layout.addWidget(buttons);
}

QComboBox* text_box(std::string_view text, int max_length) {
    auto* box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setMaxLength(max_length);
    box->setEditText(qtext(text));
    box->setMinimumContentsLength(40);
    return box;
}

}  // namespace korvelan

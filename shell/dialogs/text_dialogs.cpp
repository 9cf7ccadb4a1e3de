#include "shell/dialogs/text_dialogs.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "shell/dialogs/dialog_parts.h"
#include "shell/dialogs/info_texts.h"

namespace korvelan {

InfoDialog::InfoDialog(int dialog, QWidget* parent) : QDialog(parent) {
    const InfoText info = info_text(dialog);
    setWindowTitle(qtext(info.title));
    auto* layout = new QVBoxLayout(this);
    for (const std::string& line : info.lines) {
        auto* label = new QLabel(qtext(line));
        label->setAlignment(Qt::AlignHCenter);
        layout->addWidget(label);
        lines_.push_back(label);
    }
    auto* button = new QPushButton("Continue");
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(button, 0, Qt::AlignHCenter);
}

std::vector<std::string> InfoDialog::lines() const {
    std::vector<std::string> out;
    for (const QLabel* label : lines_) out.push_back(stext(label->text()));
    return out;
}

ProblemDialog::ProblemDialog(const std::string& message, QWidget* parent) : QDialog(parent) {
    setWindowTitle(kProblemTitle);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(qtext(problem_text(message)));
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    layout->addWidget(text_);
    auto* ok = new QPushButton("OK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

std::string ProblemDialog::text() const { return stext(text_->text()); }

void show_problem_dialog(QWidget* owner, const std::string& message, const ModalRun& modal) {
    ProblemDialog dialog(message, owner);
    if (modal) modal(dialog);
    else dialog.exec();
}

SpssProgressDialog::SpssProgressDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(kSpssProgressText);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(kSpssProgressText));
}

}  // namespace korvelan

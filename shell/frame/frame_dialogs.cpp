#include "shell/frame/frame_dialogs.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <initializer_list>

#include "engine/run/run.h"

namespace korvelan {

namespace {

QString lines(std::initializer_list<const char*> texts) {
    QStringList all;
    for (const char* t : texts) all << QString::fromLatin1(t);
    return all.join('\n');
}

void show_information(QWidget* owner, const char* title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(title), text, QMessageBox::NoButton, owner);
    box.addButton(QStringLiteral("Continue"), QMessageBox::AcceptRole);
    box.exec();
}

std::optional<std::string> ask_line(QWidget* owner, const char* title, const char* label) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner, QString::fromLatin1(title), QString::fromLatin1(label),
                                               QLineEdit::Normal, {}, &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

}  // namespace

void PlainFrameDialogs::about(QWidget* owner) {
    show_information(owner, "About KORVELAN",
                     lines({"KORVELAN Rasch Measurement", "Version "}) + QString::number(static_cast<double>(kVersionNumber), 'f', 2) + "  " +
                         QString::fromLatin1(kVersionDateText));
}

void PlainFrameDialogs::table_descriptions(QWidget* owner) {
    show_information(owner, "KORVELAN Tables",
                     lines({"KORVELAN Tables", "This menu becomes available", "when processing is completed.",
                            "Select Table with mouse.", "It is written to a temporary file",
                            "and displayed on the screen.", "Use \"Save As\" option to keep in", "permanent file."}));
}

void PlainFrameDialogs::batch_mode(QWidget* owner) {
    show_information(owner, "KORVELAN in Batch mode",
                     lines({"KORVELAN in Batch Mode", "To do multiple KORVELAN runs one after another:",
                            "First,  Edit Taskroll.bat", "You can put Extra specifications on each line.",
                            "Then,   Run Taskroll.bat", "KORVELAN will run in background mode.",
                            "If Taskroll.bat is damaged, renew it from Help",
                            "Change KORVELAN into KORVELAN in Taskroll.bat"}));
}

void PlainFrameDialogs::file_comparison(QWidget* owner) {
    show_information(owner, "File Comparison",
                     lines({"This produces a simple chart", "comparing the left and right files",
                            "Select left and right files to compare.", "These must be in KORVELAN format,",
                            "PFILE= or IFILE= format.", "Select column on which to compare them."}));
}

WelcomeAnswer PlainFrameDialogs::welcome(QWidget* owner) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Korvelan Welcome"),
                    lines({"Welcome to Korvelan!", "Would you like help setting up your analysis?"}),
                    QMessageBox::NoButton, owner);
    QPushButton* yes = box.addButton(QStringLiteral("Yes Please!"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    auto* again = new QCheckBox(QStringLiteral("Don't ask again"), &box);
    box.setCheckBox(again);
    box.exec();
    return {box.clickedButton() == yes, again->isChecked()};
}

bool PlainFrameDialogs::initial_settings(QWidget*, InitialSettings&) {
    if (edit_settings_) edit_settings_();
    return false;
}

std::optional<std::string> PlainFrameDialogs::specification(QWidget* owner) {
    return ask_line(owner, "Control Specification = Value", "Control Specification = Value");
}

std::optional<std::string> PlainFrameDialogs::request_subtables(QWidget* owner) {
    return ask_line(owner, "Request Table and Subtable", "Enter here:  Table.Subtable");
}

void PlainFrameDialogs::problem(QWidget* owner, std::string_view text) {
    QMessageBox::warning(owner, QStringLiteral("Problem discovered ..."), QString::fromStdString(std::string(text)));
}

bool PlainFrameDialogs::ask_yes_no(QWidget* owner, std::string_view text, std::string_view caption) {
    const auto answer = QMessageBox::question(owner, QString::fromStdString(std::string(caption)),
                                              QString::fromStdString(std::string(text)),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}

}  // namespace korvelan

#include "shell/frame/file_dialog_prompter.h"

#include <QFileDialog>
#include <QStringList>

namespace korvelan {

std::optional<std::string> FileDialogPrompter::choose(const FilePromptRequest& request) {
    QFileDialog dialog(owner_, QString::fromStdString(request.title), QString::fromStdString(request.directory));
    const bool save = request.mode == FilePromptMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(QString::fromStdString(dialog_filter_text(request.filters)).split(QStringLiteral(";;")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace korvelan

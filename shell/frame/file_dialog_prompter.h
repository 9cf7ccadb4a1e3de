// The file dialog behind the open-or-save prompt: offers the request's filters, starts in its
// directory with its first pattern, and asks for an existing file or a name to write.
#pragma once

#include "shell/services/file_prompt.h"

class QWidget;

namespace korvelan {

class FileDialogPrompter : public FilePrompter {
public:
    explicit FileDialogPrompter(QWidget* owner = nullptr) : owner_(owner) {}
    std::optional<std::string> choose(const FilePromptRequest& request) override;

private:
    QWidget* owner_;
};

}  // namespace korvelan

// The file prompt: builds the filters, starts in the current directory, asks a prompter (the
// file dialog, or a scripted one in tests) and returns the chosen file's absolute path. The
// chosen file's directory becomes the current directory, and a change is shown.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/host_services.h"
#include "shell/services/file_filters.h"
#include "shell/services/window_line.h"

namespace korvelan {

struct FilePromptRequest {
    FilePromptMode mode = FilePromptMode::Open;
    std::string title;
    std::vector<FilterPair> filters;
    std::string directory;     // where the prompt starts, ending in "/"
    std::string initial_name;  // the directory and the first pattern
};

class FilePrompter {
public:
    virtual ~FilePrompter() = default;
    // The chosen file (absolute, or relative to the request's directory); nullopt when cancelled.
    virtual std::optional<std::string> choose(const FilePromptRequest& request) = 0;
};

// The chosen file's absolute path, or empty when cancelled. `filter` is a settings filter text.
std::string prompt_for_file_name(FilePrompter& prompter, const WindowLine& window, std::string_view title,
                                 std::string_view filter, FilePromptMode mode);

}  // namespace korvelan

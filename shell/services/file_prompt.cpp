#include "shell/services/file_prompt.h"

#include <unistd.h>

#include <filesystem>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/whole_files.h"

namespace korvelan {

namespace {
std::string current_directory() {
    std::error_code ec;
    std::string d = std::filesystem::current_path(ec).string();
    return ec ? std::string() : d;
}
}  // namespace

std::string prompt_for_file_name(FilePrompter& prompter, const WindowLine& window, std::string_view title,
                                 std::string_view filter, FilePromptMode mode) {
    namespace fs = std::filesystem;
    FilePromptRequest request;
    request.mode = mode;
    request.title = std::string(title);
    const FilterPair caller = filter_pair(filter);
    request.filters = prompt_filters(title, {caller});
    const std::string before = current_directory();
    request.directory = before.empty() || before.back() == '/' ? before : before + "/";
    request.initial_name = request.directory + caller.pattern;
    std::string path;
    fs::path absolute;
    for (;;) {
        const std::optional<std::string> chosen = prompter.choose(request);
        if (!chosen || chosen->empty()) return {};
        absolute = fs::path(request.directory) / fs::path(*chosen);
        path = absolute.lexically_normal().string();
        // A name to be written is tried now: one the file system refuses, or a file or folder the
        // user may not write, is said and the name asked for again.
        const int refusal = mode == FilePromptMode::Save ? refusal_of_output_name(path) : 0;
        if (refusal == 0) break;
        if (window) window(file_error_line(status_from_errno(refusal), path, 'O'));
    }
    const std::string folder = absolute.lexically_normal().parent_path().string();
    if (!folder.empty() && folder != before && ::chdir(folder.c_str()) == 0 && window)
        window(std::string(msg::kCurrentDirectory) + folder);
    return path;
}

}  // namespace korvelan

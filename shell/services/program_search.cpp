#include "shell/services/program_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace korvelan {

namespace {
// Editors that open a file in a window of their own, the first found is used.
constexpr const char* kEditors[] = {"gedit", "gnome-text-editor", "kate",    "kwrite",  "mousepad",
                                    "pluma", "xed",               "geany",   "featherpad", "leafpad"};
struct Spreadsheet {
    const char* program;
    const char* option;
};
constexpr Spreadsheet kSpreadsheets[] = {{"libreoffice", " --calc"}, {"localc", ""}, {"gnumeric", ""}};

bool is_executable_file(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}
}  // namespace

std::string find_on_path(std::string_view name, std::string_view search_path) {
    if (name.empty()) return {};
    std::size_t start = 0;
    while (start <= search_path.size()) {
        std::size_t colon = search_path.find(':', start);
        if (colon == std::string_view::npos) colon = search_path.size();
        std::string dir(search_path.substr(start, colon - start));
        if (!dir.empty()) {
            if (dir.back() != '/') dir += '/';
            const std::string candidate = dir + std::string(name);
            if (is_executable_file(candidate)) return candidate;
        }
        start = colon + 1;
    }
    return {};
}

std::string find_text_editor(std::string_view search_path) {
    for (const char* editor : kEditors) {
        std::string found = find_on_path(editor, search_path);
        if (!found.empty()) return found;
    }
    return "xdg-open";
}

std::string find_spreadsheet(std::string_view search_path) {
    for (const Spreadsheet& s : kSpreadsheets) {
        std::string found = find_on_path(s.program, search_path);
        if (!found.empty()) return found + s.option;
    }
    return {};
}

std::string program_directory() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    std::string dir = exe.parent_path().string();
    return dir.empty() || dir.back() != '/' ? dir + "/" : dir;
}

std::string shipped_files_directory(const std::string& program_dir) {
    namespace fs = std::filesystem;
    // The help index marks a folder of shipped files: every build and install puts it there.
    const auto holds_shipped_files = [](const fs::path& dir) {
        std::error_code ec;
        return fs::is_regular_file(dir / "help" / "index.html", ec);
    };
    if (holds_shipped_files(program_dir)) return program_dir;
    const fs::path installed = (fs::path(program_dir) / ".." / "share" / "korvelan").lexically_normal();
    if (holds_shipped_files(installed)) return installed.string() + "/";
    return program_dir;
}

std::string help_topic_path(const std::string& shipped_dir, int context) {
    return shipped_dir + "help/" + std::to_string(context) + ".html";
}

}  // namespace korvelan

#include "shell/services/launcher.h"

#include <cerrno>
#include <filesystem>

#include "engine/run/file_units.h"
#include "engine/run/numtext.h"

namespace korvelan {

namespace {
constexpr std::size_t kCommandPart = 1024;

std::string part(std::string_view text) {
    std::string_view t = trim(text);
    return std::string(t.substr(0, std::min(t.size(), kCommandPart)));
}

void start_editor(Launcher& launcher, const WindowLine& window, const InitialSettings& settings,
                  std::string_view file) {
    run_program_with_argument(launcher, window, settings.editor, file);
}

// xdg-open opens a file with the program the desktop associates with it; given nothing it
// opens nothing.
bool needs_a_file(std::string_view editor) {
    const std::vector<std::string> words = split_program_setting(editor);
    if (words.empty()) return false;
    const std::string& program = words.front();
    return std::filesystem::path(program).filename() == "xdg-open" && words.size() == 1;
}
}  // namespace

std::string command_line_text(std::string_view program, std::string_view argument) {
    std::string arg = part(argument);
    if (arg.find(' ') != std::string::npos) arg = "\"" + arg + "\"";
    return part(program) + " " + arg;
}

std::vector<std::string> split_program_setting(std::string_view program) {
    const std::string whole = part(program);
    std::error_code ec;
    if (whole.empty() || std::filesystem::is_regular_file(whole, ec)) return {whole};
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, in_word = false;
    for (char c : whole) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if (c == ' ' && !quoted) {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word) words.push_back(word);
    return words;
}

int run_program_with_argument(Launcher& launcher, const WindowLine& window, std::string_view program,
                              std::string_view argument) {
    std::vector<std::string> argv = split_program_setting(program);
    const std::string arg = part(argument);
    if (!arg.empty()) argv.push_back(arg);
    std::optional<long long> pid;
    if (!argv.empty() && !argv[0].empty()) {
        const std::string name = argv[0];
        argv.erase(argv.begin());
        pid = launcher.start_detached(name, argv);
    }
    if (pid) return 0;
    if (window) {
        window(kStartWarning);
        window(command_line_text(program, argument));
    }
    return status_from_errno(ENOENT);
}

bool run_batch_file(Launcher& launcher, std::string_view name) {
    const std::string file = part(name);
    return !file.empty() && launcher.start_detached("/bin/sh", {file}).has_value();
}

void edit_file_from_menu(Launcher& launcher, const WindowLine& window, const InitialSettings& settings,
                         std::string_view temp_directory, std::string_view entry,
                         std::string_view base_directory) {
    const std::size_t eq = entry.find('=');
    if (eq == std::string_view::npos || eq + 1 >= entry.size()) {
        if (needs_a_file(settings.editor)) {
            if (window) {
                window(kStartWarning);
                window(command_line_text(settings.editor, ""));
            }
            return;
        }
        start_editor(launcher, window, settings, " ");
    } else if (entry[eq + 1] == '=') {
        start_editor(launcher, window, settings,
                     std::string(trim(temp_directory)) + std::string(entry.substr(eq + 2)));
    } else {
        const std::string_view name = trim(entry.substr(eq + 1));
        const bool relative = !name.empty() && name.front() != '/';
        start_editor(launcher, window, settings,
                     relative ? std::string(base_directory) + std::string(name) : std::string(name));
    }
}

void start_spreadsheet_from_menu(Launcher& launcher, const WindowLine& window, std::string_view entry) {
    const std::size_t eq = entry.find('=');
    if (eq == std::string_view::npos || trim(entry.substr(eq + 1)).empty()) return;
    run_program_with_argument(launcher, window, entry.substr(eq + 1), " ");
}

bool GraphsLauncher::launch(int graph_type, std::string_view work_file, std::string_view run_id) {
    if (previous_ && launcher_.is_running(*previous_)) {
        const std::string question = "\"Graphs " + std::string(run_id) +
                                     "\" may already be on Task Bar.  Load new copy?";
        if (!ask_ || !ask_(question, "Graphs requested:")) return false;
    }
    const std::optional<long long> pid = launcher_.start_detached(
        program_dir_ + "talvorin", {std::to_string(graph_type), part(work_file)});
    if (!pid) return false;
    previous_ = pid;
    return true;
}

}  // namespace korvelan

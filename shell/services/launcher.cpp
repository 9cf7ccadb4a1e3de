#include "shell/services/launcher.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>

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

namespace {

// The output of a running batch file, shown in the window a line at a time in the order it came,
// then how the file ended. Showing a line lets the window take events, among them more output or
// the end: those only queue behind the lines not yet shown.
class BatchFileOutput {
public:
    BatchFileOutput(WindowLine window, std::string file) : window_(std::move(window)), file_(std::move(file)) {}
    void add(std::string_view bytes) {
        pending_.append(bytes);
        show();
    }
    void end(int status) {
        status_ = status;
        show();
    }

private:
    void show() {
        if (showing_ || !window_) return;
        showing_ = true;
        for (;;) {
            const std::size_t eol = pending_.find('\n');
            if (eol != std::string::npos || (status_ && !pending_.empty())) {
                std::string line = pending_.substr(0, eol);
                pending_.erase(0, eol == std::string::npos ? pending_.size() : eol + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                window_(line);
            } else if (status_) {
                window_(*status_ == 0   ? "Batch file ended, exit status 0: " + file_
                        : *status_ > 0  ? "Batch file failed, exit status " + std::to_string(*status_) + ": " + file_
                                        : "Batch file was stopped by a signal: " + file_);
                status_.reset();
                break;
            } else {
                break;
            }
        }
        showing_ = false;
    }

    WindowLine window_;
    std::string file_;
    std::string pending_;
    std::optional<int> status_;
    bool showing_ = false;
};

}  // namespace

bool run_batch_file(Launcher& launcher, const WindowLine& window, std::string_view name,
                    std::string_view program_path) {
    const std::string file = part(name);
    if (file.empty()) return false;
    auto shown = std::make_shared<BatchFileOutput>(window, file);
    if (launcher.start_watched("/bin/sh", {file}, {{kProgramVariable, std::string(program_path)}},
                               [shown](std::string_view bytes) { shown->add(bytes); },
                               [shown](int status) { shown->end(status); }))
        return true;
    if (window) {
        window(kStartWarning);
        window(command_line_text("/bin/sh", file));
    }
    return false;
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

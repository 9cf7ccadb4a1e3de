#include "shell/services/settings_file.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/run/numtext.h"
#include "engine/run/text_columns.h"
#include "engine/run/text_lines.h"
#include "shell/services/line_file.h"

namespace korvelan {

namespace {

bool with_n(std::string_view line) { return line.find_first_of("Nn") != std::string_view::npos; }

// The value of a text setting: after the first "=" (the whole line without one), left-adjusted,
// cut to the field before a character that does not fit whole; a blank value keeps the old one.
void set_text(std::string& field, std::string_view line, std::size_t width) {
    const std::size_t eq = line.find('=');
    std::string_view value = trim(eq == std::string_view::npos ? line : line.substr(eq + 1));
    if (value.empty()) return;
    field = std::string(trim_right(utf8_prefix(value, width)));
}

// A program or folder name: one longer than its field would name another, so it is not taken
// and the old one stays.
void set_name(std::string& field, std::string_view line, std::size_t width) {
    const std::size_t eq = line.find('=');
    if (trim(eq == std::string_view::npos ? line : line.substr(eq + 1)).size() > width) return;
    set_text(field, line, width);
}

std::string in_quotes(std::string_view text) { return "\"" + std::string(trim_right(text)) + "\""; }

// Writes the lines in order, stopping at the first failure.
template <std::size_t N>
int write_lines(const std::string& path, const std::string (&lines)[N], bool with_excel) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    LineFile file;
    int status = file.create_output_file(path);
    for (std::size_t i = 0; status == 0 && i < N; ++i) {
        if (lines[i].empty() && !with_excel) continue;
        status = file.write_file_line(lines[i]);
    }
    const int closed = file.close();
    return status != 0 ? status : closed;
}

std::string yes_no(bool yes) { return yes ? "Yes" : "No"; }

// Makes sure the file's last line ends, so that an appended line stands on its own.
void end_last_line(const std::string& path) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary | std::ios::ate);
    if (!f || f.tellg() <= 0) return;
    f.seekg(-1, std::ios::end);
    char last = 0;
    if (!f.get(last) || last == '\n') return;
    f.seekp(0, std::ios::end);
    f.write("\r\n", 2);
}

}  // namespace

std::string settings_file_path(const char* xdg_config_home, const char* home) {
    auto given = [](const char* v) { return v && !trim(v).empty(); };
    std::string dir;
    if (given(xdg_config_home)) dir = xdg_config_home;
    else if (given(home)) dir = std::string(home) + (std::string_view(home).back() == '/' ? ".config" : "/.config");
    else return {};
    if (dir.back() != '/') dir += '/';
    return dir + "korvelan.ini";
}

InitialSettings default_initial_settings(std::string editor, std::string spreadsheet) {
    InitialSettings s;
    s.editor = std::move(editor);
    s.spreadsheet = std::move(spreadsheet);
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp && *tmp ? tmp : "/tmp";
    if (dir.back() != '/') dir += '/';
    s.temp_directory = dir + "korvelan/";
    s.filter = "All Files (*.*)";
    s.report_prompt = 'Y';
    s.welcome = 'Y';
    return s;
}

void apply_settings_line(InitialSettings& s, std::string_view raw) {
    std::string line(raw.substr(0, raw.find(';')));
    std::replace(line.begin(), line.end(), '"', ' ');
    const std::string_view text = trim_left(line);
    auto starts = [&](std::string_view key) { return text.substr(0, key.size()) == key; };
    if (starts("Editor")) set_name(s.editor, text, settings_width::kEditor);
    else if (starts("Excel")) set_name(s.spreadsheet, text, settings_width::kPath);
    else if (starts("Temp")) set_name(s.temp_directory, text, settings_width::kPath);
    else if (starts("Filter")) set_text(s.filter, text, settings_width::kFilter);
    else if (starts("Welcome")) { if (with_n(text)) s.welcome = 'N'; }
    else if (starts("Report")) { if (with_n(text)) s.report_prompt = 'N'; }
}

bool read_settings_file(const std::string& path, InitialSettings& settings) {
    TextLineFile in;
    if (!in.open(path)) return false;
    std::string line;
    int status = 0;
    while ((status = in.next(line)) == 0) apply_settings_line(settings, line);
    return status == -1;
}

int write_settings_file(const std::string& path, const InitialSettings& s) {
    const bool excel = !trim(s.spreadsheet).empty();
    const std::string lines[] = {
        "Editor=" + in_quotes(s.editor),
        excel ? "Excel=" + in_quotes(s.spreadsheet) : std::string(),
        "Filter=" + std::string(trim_right(s.filter)),
        "Temporary directory=" + in_quotes(s.temp_directory),
        "Reportprompt=" + yes_no(s.report_prompt != 'N'),
        "Welcome=" + yes_no(s.welcome != 'N')};
    return write_lines(path, lines, excel);
}

int construct_settings_file(const std::string& path, const InitialSettings& s) {
    const bool excel = !trim(s.spreadsheet).empty();
    const std::string lines[] = {
        "Editor=" + in_quotes(s.editor),
        "Temporary directory=" + in_quotes(s.temp_directory),
        "Filter=" + std::string(trim_right(s.filter)),
        excel ? "Excel=" + in_quotes(s.spreadsheet) : std::string(),
        "Reportprompt=Yes",
        "Welcome=Yes"};
    return write_lines(path, lines, excel);
}

bool append_welcome_off(const std::string& path) {
    {
        std::ifstream exists(path);
        if (!exists) return false;
    }
    end_last_line(path);
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return false;
    out << "Welcome=No\r\n";
    return static_cast<bool>(out);
}

InitialSettings load_initial_settings(const std::string& path, const InitialSettings& defaults,
                                      const WindowLine& window) {
    InitialSettings settings = defaults;
    end_last_line(path);
    if (read_settings_file(path, settings)) return settings;
    if (window) window(kConstructingSettings);
    construct_settings_file(path, defaults);
    return defaults;
}

std::string editor_display_name(std::string_view editor_path) {
    std::string_view path = trim(editor_path);
    if (path.empty()) path = "xdg-open";
    const std::size_t sep = path.find_last_of("/\\");
    std::string name(sep == std::string_view::npos ? path : path.substr(sep + 1));
    if (!name.empty() && name.back() == '"') name.pop_back();
    if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".EXE") == 0) name.resize(name.size() - 4);
    return name;
}

}  // namespace korvelan

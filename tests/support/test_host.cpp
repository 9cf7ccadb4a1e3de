#include "tests/support/test_host.h"

#include <fstream>

namespace korvelan::testing {

void TestHost::write_text_window_line(std::string_view text) {
    if (!open_chars.empty()) {
        lines.push_back(open_chars);
        open_chars.clear();
    }
    lines.emplace_back(text);
}

void TestHost::send_char_to_text_window(char c) {
    if (c == '\r') {
        lines.push_back(open_chars);
        open_chars.clear();
    } else {
        open_chars.push_back(c);
    }
}

std::optional<std::string> TestHost::console_read_line() {
    if (answers.empty()) return std::nullopt;
    std::string a = answers.front();
    answers.pop_front();
    return a;
}

int TestHost::create_output_file(const std::string& path) {
    if (create_status != 0) return create_status;
    line_file_path = path;
    line_file.clear();
    if (mirror_to_disk) {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        if (!file) return 2;
    }
    return 0;
}

void TestHost::close_file_handle() {
    ++line_file_closes;
    if (!mirror_to_disk || line_file_path.empty()) return;
    std::ofstream file(line_file_path, std::ios::binary | std::ios::trunc);
    for (const std::string& l : line_file) file << l << "\r\n";
}

std::string TestHost::prompt_for_file_name(std::string_view title, std::string_view, FilePromptMode mode) {
    dialog_titles.emplace_back(title);
    dialog_modes.push_back(mode);
    if (file_answers.empty()) return {};
    std::string a = file_answers.front();
    file_answers.pop_front();
    return a;
}

int TestHost::open_input_file(const std::string& path) {
    input_path = path;
    return 0;
}

int TestHost::read_file_line(std::string& line, int& count, int capacity) {
    if (input_lines.empty()) return -1;
    const std::string next = input_lines.front();
    input_lines.pop_front();
    count = static_cast<int>(next.size());
    line = next.substr(0, static_cast<std::size_t>(capacity));
    return 0;
}

int TestHost::write_file_line(std::string_view text) {
    line_file.emplace_back(text);
    return 0;
}

std::string TestHost::screen() const {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s + open_chars;
}

bool TestHost::shows(std::string_view text) const { return screen().find(text) != std::string::npos; }

}  // namespace korvelan::testing

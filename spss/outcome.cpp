#include "spss/outcome.h"

#include <utility>

#include "engine/run/numtext.h"
#include "engine/run/whole_file.h"

namespace korvelan::spss {

Outcome problem(std::string message, bool edit_selection_file) {
    Outcome o;
    o.kind = OutcomeKind::Problem;
    o.message = std::move(message);
    o.edit_selection_file = edit_selection_file;
    return o;
}

Outcome work_file_failure(std::string description, std::string code, int number) {
    Outcome o;
    o.kind = OutcomeKind::WorkFileFailure;
    o.work_file = {std::move(description), std::move(code), number, {}, 0};
    o.message = o.work_file.description;
    return o;
}

Outcome work_file_read_failure(std::string description, std::string code, int number, std::string path,
                               int read_error) {
    Outcome o = work_file_failure(std::move(description), std::move(code), number);
    o.work_file.unreadable_path = std::move(path);
    o.work_file.read_error = read_error;
    return o;
}

std::string cannot_open_message(const std::string& path, int status) {
    return "Cannot open file: " + path + int_to_text10(status);
}

bool TextOutput::create(const std::string& path) {
    out_.open(path, std::ios::binary | std::ios::trunc);
    return out_.is_open();
}

void TextOutput::line(std::string_view text) {
    out_ << trim_right(text) << "\r\n";
}

bool TextOutput::close() {
    if (!out_.is_open()) return true;
    out_.close();
    return !out_.fail();
}

bool read_text_lines(const std::string& path, std::vector<std::string>& lines, int* error) {
    lines.clear();
    std::string bytes;
    const int status = read_whole_file(path, bytes);
    if (error) *error = status;
    if (status != 0) return false;
    std::string current;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(current);
    return true;
}

}  // namespace korvelan::spss

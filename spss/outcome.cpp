#include "spss/outcome.h"

#include <fcntl.h>
#include <unistd.h>

#include <iterator>
#include <utility>

#include "engine/run/numtext.h"
#include "engine/run/whole_files.h"

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
    o.work_file = {std::move(description), std::move(code), number};
    o.message = o.work_file.description;
    return o;
}

std::string cannot_open_message(const std::string& path, int status) {
    return "Cannot open file: " + path + int_to_text10(status);
}

TextOutput::~TextOutput() {
    if (out_.is_open()) out_.close();
    discard_aside_file(aside_);
}

bool TextOutput::create(const std::string& path) {
    std::string written = path;
    if (written_aside(path)) {
        const int fd = create_aside_file(path, O_WRONLY, aside_);
        if (fd < 0) return false;
        ::close(fd);
        written = aside_;
        target_ = absolute_name(path);
    }
    out_.open(written, std::ios::binary | std::ios::trunc);
    return out_.is_open();
}

void TextOutput::line(std::string_view text) {
    out_ << trim_right(text) << "\r\n";
}

bool TextOutput::close() {
    if (!out_.is_open()) return true;
    out_.close();
    bool whole = !out_.fail();
    if (!aside_.empty()) {
        if (whole) whole = commit_aside_file(aside_, target_) == 0;
        else discard_aside_file(aside_);
        aside_.clear();
    }
    return whole;
}

bool read_text_lines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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

#include "spss/outcome.h"

#include <cerrno>
#include <utility>

#include "engine/run/numtext.h"
#include "engine/run/text_lines.h"

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
    TextLineFile in;
    if (!in.open(path)) {
        if (error) *error = errno;
        return false;
    }
    std::string line;
    int status = 0;
    while ((status = in.next(line)) == 0) lines.push_back(line);
    if (status == -1) {
        if (error) *error = 0;
        return true;
    }
    // The reader leaves the errno of a failed read; a line without end reads as a file too large.
    if (error) *error = status == kLineRunsOn ? EFBIG : (errno != 0 ? errno : EIO);
    lines.clear();
    return false;
}

}  // namespace korvelan::spss

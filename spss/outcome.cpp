#include "spss/outcome.h"

#include <iterator>
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
    o.work_file = {std::move(description), std::move(code), number};
    o.message = o.work_file.description;
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

bool read_text_lines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    TextLineFile in;
    if (!in.open(path)) return false;
    std::string line;
    int status = 0;
    while ((status = in.next(line)) == 0) lines.push_back(line);
    return status == -1;
}

}  // namespace korvelan::spss

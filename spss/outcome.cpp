#include "spss/outcome.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>
#include <utility>

#include "engine/run/numtext.h"
#include "engine/run/text_lines.h"
#include "engine/run/whole_files.h"
#include "spss/spss_file.h"

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

std::string declared_missing_line(const Outcome& outcome) {
    if (outcome.kind != OutcomeKind::Done || outcome.declared_missing_written <= 0) return {};
    return "Values declared missing in the SPSS file, written as missing: " +
           std::to_string(outcome.declared_missing_written);
}

std::string cannot_open_message(const std::string& path, int status) {
    return "Cannot open file: " + path + int_to_text10(status) + " (" + SpssFile::status_text(status) + ")";
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
    // The reader leaves the errno of a failed read; a line without end reads as a file too large,
    // NUL bytes (UTF-16 without its mark) as bytes that are not text.
    if (error)
        *error = status == kLineRunsOn ? EFBIG : status == kLineHasNul ? EILSEQ : (errno != 0 ? errno : EIO);
    lines.clear();
    return false;
}

}  // namespace korvelan::spss

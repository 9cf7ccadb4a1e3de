#include "engine/outfiles/output_frame.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <exception>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"

namespace korvelan {

char item_groups_character(const OutputSettings& s, const AnalysisArrays& a, std::int32_t i) {
    if (s.groups_mode == 1) {
        const std::string& g = a.strings.groups;
        return i >= 1 && static_cast<std::size_t>(i) <= g.size() ? g[static_cast<std::size_t>(i) - 1] : ' ';
    }
    return s.groups.empty() ? ' ' : s.groups[0];
}

void compress_csv_line(std::string& line, char csv) {
    const std::size_t n = trim_right(line).size();
    std::size_t out = 0;
    bool inside = false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = line[i];
        if (inside) {
            if (c == '"') inside = false;
        } else if (c == '"') {
            inside = true;
        } else if (c == ' ') {
            continue;
        } else if (c == ',' && csv == 'T') {
            c = '\t';
        }
        line[out++] = c;
    }
    line.resize(out);
}

void append_quoted(std::string& line, std::string_view text) {
    line += '"';
    for (char c : text) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

namespace {
// Decimal digits of n, with "-" for a negative number.
std::string_view integer_text(std::int64_t n, char (&buf)[24]) {
    auto r = std::to_chars(buf, buf + sizeof buf, n);
    return std::string_view(buf, static_cast<std::size_t>(r.ptr - buf));
}
}  // namespace

void append_entry_number(std::string& line, std::int64_t n, int w) {
    char buf[24];
    std::string_view digits = integer_text(n, buf);
    if (static_cast<int>(digits.size()) < w) line.append(static_cast<std::size_t>(w) - digits.size(), ' ');
    line += digits;
}

void append_int_field(std::string& line, std::int64_t n, int w) {
    if (w <= 0) return;
    char buf[24];
    std::string_view digits = integer_text(n, buf);
    if (static_cast<int>(digits.size()) > w) {
        line.append(static_cast<std::size_t>(w), '*');
        return;
    }
    line.append(static_cast<std::size_t>(w) - digits.size(), ' ');
    line += digits;
}

void append_number_field(std::string& line, float x, int w, int d, bool csv) {
    if (csv) append_full_number(line, x, d);
    else append_fixed_field(line, x, w, d);
}

void append_integer_field(std::string& line, std::int64_t n, int w, bool csv) {
    char buf[24];
    if (csv) line += integer_text(n, buf);
    else append_int_field(line, n, w);
}

OutputFile::OutputFile(Run& run, std::string_view file_name)
    : run_(run), name_(trim(file_name)), reported_(name_) {}

OutputFile::OutputFile(Run& run, std::string_view file_name, std::string_view reported_name)
    : run_(run), name_(trim(file_name)), reported_(reported_name) {}

OutputFile::~OutputFile() {
    // Left by an exception, the file is not whole.
    if (std::uncaught_exceptions() > 0) failed_ = true;
    close();
}

bool OutputFile::open(std::string_view menu_label) {
    if (names_input_or_report_file(run_, name_)) {
        note_output_file_failure(run_, std::string(msg::kOutputOverInput) + name_);
        return false;
    }
    if (!run_.rs.report_closed) {
        if (open_unit(run_, unit::kOutput, name_, OpenMode::Replace) != 0) {
            report_output_file_error(run_, reported_, 'O');
            return false;
        }
        own_unit_ = true;
    }
    opened_ = true;
    if (run_.host && !menu_label.empty()) run_.host->add_edit_menu_entry(menu_label, name_);
    return true;
}

bool OutputFile::write(std::string_view line) {
    if (!opened_ || closed_ || failed_) return false;
    line = trim_right(line);
    int status;
    if (own_unit_) {
        status = write_unit_line(run_, unit::kOutput, line);
    } else {
        status = run_.host ? run_.host->write_file_line(line) : 10001;
        run_.rs.io_status = status;
    }
    if (status != 0) {
        report_output_file_error(run_, reported_, 'W');
        failed_ = true;
    }
    return !failed_;
}

bool OutputFile::write_lines(std::string_view text) {
    if (!opened_ || closed_ || failed_) return false;
    if (!own_unit_) {
        for (std::size_t at = 0; at < text.size() && !failed_;) {
            const std::size_t end = text.find("\r\n", at);
            write(text.substr(at, end - at));
            at = end + 2;
        }
        return !failed_;
    }
    errno = 0;
    std::FILE* f = run_.units.open[unit::kOutput].file;
    if (std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
        run_.rs.io_status = status_from_errno(errno == 0 ? EIO : errno);
        report_output_file_error(run_, reported_, 'W');
        failed_ = true;
    }
    return !failed_;
}

void OutputFile::close() {
    closed_ = true;
    if (!own_unit_) return;
    own_unit_ = false;
    // A file not written in full is dropped: the earlier file of its name stays as it was.
    if (failed_) {
        drop_unit(run_, unit::kOutput);
        return;
    }
    int status = close_unit(run_, unit::kOutput);
    if (status != 0 && !failed_) {
        run_.rs.io_status = status;
        report_output_file_error(run_, reported_, 'W');
        failed_ = true;
    }
}

}  // namespace korvelan

#include "engine/input/data_edits.h"

#include <algorithm>
#include <string>

#include "engine/input/response_scoring.h"
#include "engine/run/control_reader.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

constexpr std::size_t kEditLineWidth = 80;

// The nine quotation marks: ASCII and the Windows code page 1252 low and curly marks.
bool is_quote(char c) {
    switch (static_cast<unsigned char>(c)) {
        case 0x22:
        case 0x27:
        case 0x60:
        case 0x82:
        case 0x84:
        case 0x91:
        case 0x92:
        case 0x93:
        case 0x94:
            return true;
        default:
            return false;
    }
}

// "n" or "n1-n2", both at least 1 and in order.
bool parse_range(std::string_view token, std::int64_t& first, std::int64_t& last) {
    const std::size_t dash = token.find('-', 1);
    if (parse_integer_from_text(token.substr(0, dash), first) != 0 || first < 1) return false;
    last = first;
    if (dash == std::string_view::npos) return true;
    return parse_integer_from_text(token.substr(dash + 1), last) == 0 && last >= first;
}

// The next word of the line from pos on (blanks skipped); pos moves past it.
std::string_view next_word(std::string_view line, std::size_t& pos) {
    const std::size_t b = line.find_first_not_of(' ', pos);
    if (b == std::string_view::npos) {
        pos = line.size();
        return {};
    }
    std::size_t e = line.find(' ', b);
    if (e == std::string_view::npos) e = line.size();
    pos = e;
    return line.substr(b, e - b);
}

struct DataEdit {
    std::int64_t first_person = 0;
    std::int64_t last_person = 0;
    std::int64_t first_item = 0;
    std::int64_t last_item = 0;
    std::string value;
};

// Reads "persons items value" from a prepared line. The value is the text between a quotation
// mark and the next one of the same kind (without that one, the XWIDE characters after the
// mark; an empty pair is a blank), or else the rest of the line.
bool parse_edit_line(std::string_view line, int xwide, DataEdit& edit) {
    std::size_t pos = 0;
    if (!parse_range(next_word(line, pos), edit.first_person, edit.last_person)) return false;
    if (!parse_range(next_word(line, pos), edit.first_item, edit.last_item)) return false;
    pos = line.find_first_not_of(' ', pos);
    if (pos == std::string_view::npos) return false;
    const char q = line[pos];
    if (is_quote(q)) {
        const std::size_t close = line.find(q, pos + 1);
        if (close != std::string_view::npos)
            edit.value = std::string(line.substr(pos + 1, close - pos - 1));
        else
            edit.value = pad_bytes(line.substr(pos + 1), static_cast<std::size_t>(xwide));
        if (edit.value.empty()) edit.value = " ";
    } else {
        edit.value = std::string(trim_right(line.substr(pos)));
    }
    return true;
}

}  // namespace

void apply_data_edits(Run& run, WorkFiles& files, std::int64_t persons,
                      std::span<std::uint8_t> codes) {
    const std::string name(trim(run.cv.edfile));
    if (run.host) {
        run.host->write_text_window_line(msg::kEdfileProcessing + name);
        if (name.find(msg::kWorkFileTail) == std::string::npos)
            run.host->add_edit_menu_entry(msg::kMenuEditEdfile, name);
    }
    if (check_input_file_last_line(run, unit::kEdit, name) != 0) stop_run_as_failed(run);
    if (open_unit(run, unit::kEdit, name, OpenMode::Read) != 0) fail_on_file_error(run, name, 'I');

    const std::int64_t ni =
        std::min<std::int64_t>(run.cv.ni, static_cast<std::int64_t>(codes.size()));
    std::string line;
    for (;;) {
        int status = read_unit_line(run, unit::kEdit, line);
        if (status > 0) fail_on_file_error(run, name, 'R');
        if (status != 0) break;
        if (line.size() > kEditLineWidth) line.resize(kEditLineWidth);
        const std::size_t semi = line.find(';');
        if (semi != std::string::npos) line.resize(semi);
        for (char& c : line)
            if (c == ',' || c == '+' || static_cast<unsigned char>(c) < ' ') c = ' ';
        use_code_characters(run.cv.code_characters, line);
        const std::string_view text = trim(line);
        if (text.empty()) continue;
        DataEdit edit;
        if (!parse_edit_line(text, run.cv.xwide, edit))
            fatal_message(run, msg::kEdfileInvalidLine + std::string(text) +
                                   line_place(msg::kEdfileWord, name, unit_lines_read(run, unit::kEdit)));

        const auto code = static_cast<std::uint8_t>(find_response_code(run.cv, edit.value));
        const std::int64_t last_person = std::min(edit.last_person, persons);
        const std::int64_t last_item = std::min(edit.last_item, ni);
        for (std::int64_t p = edit.first_person; p <= last_person; ++p) {
            read_person_codes_record(run, files, p, codes);
            for (std::int64_t i = edit.first_item; i <= last_item; ++i)
                codes[static_cast<std::size_t>(i - 1)] = code;
            write_person_codes_record(run, files, p, codes);
        }
    }
    close_unit(run, unit::kEdit);
    run.rs.io_status = 0;
}

}  // namespace korvelan

// File-name values of control instructions and the in-line lists that follow a value of "*":
// their lines are copied into a scratch file whose path becomes the variable's value.
#include "engine/run/control_reading.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

enum ListStatus { kListNotClosed = 1, kListClosed = 2, kListProblem = 3 };

// Reads the lines of an in-line list up to its closing line (first non-blank character "*").
// With copy set, the data lines go to the scratch file "Z" + tag + run id + "kv.txt", whose
// path then becomes the field's value; a list without data lines leaves the field unchanged.
int read_inline_list(Run& run, ControlReading& rd, const KeywordRule& rule, bool copy) {
    const bool from_file = current_unit(rd) > 0;
    const std::string path = work_file_path(run, std::string("Z") + rule.tag);
    bool opened = false;
    int result = kListClosed;
    std::string raw;
    for (;;) {
        int status = read_list_line(run, rd, raw);
        if (status != 0) {
            result = status;
            break;
        }
        if (copy && rd.pass == ReadPass::First && unit_is_open(run, unit::kControlCopy)) {
            std::int32_t io = run.rs.io_status;
            write_unit_line(run, unit::kControlCopy, trim_right(raw));
            run.rs.io_status = io;
        }
        std::string line = raw;
        if (from_file) {
            std::size_t semi = line.find(';');
            if (semi != std::string::npos) line.resize(semi);
        }
        std::string_view text = trim(line);
        if (text.empty()) continue;
        if (text[0] == '*') break;
        std::size_t amp = line.find('&');
        if (amp != std::string::npos) {
            std::string end = line.substr(amp, 4);
            uppercase_whole_string(end);
            if (end == "&END") {
                result = kListNotClosed;
                break;
            }
        }
        if (!copy) continue;
        if (!opened) {
            if (open_unit(run, unit::kEdit, path, OpenMode::Write) != 0) {
                instruction_file_problem(run, rd, path, 'O');
                return kListProblem;
            }
            opened = true;
        }
        for (char& c : line)
            if (c == '\t') c = ' ';
        if (write_unit_line(run, unit::kEdit, trim_right(line)) != 0) {
            std::int32_t io = run.rs.io_status;
            close_unit(run, unit::kEdit);
            run.rs.io_status = io;
            instruction_file_problem(run, rd, path, 'W');
            return kListProblem;
        }
    }
    if (opened) {
        int status = close_unit(run, unit::kEdit);
        if (status != 0) {
            run.rs.io_status = status;
            instruction_file_problem(run, rd, path, 'W');
            return kListProblem;
        }
        store_text(run.cv, rule.field, path);
    }
    return result;
}

// A named input file must be readable; a column selection ("$S...") names no file.
void check_file_name_value(Run& run, const std::string& field) {
    std::string name(trim(field));
    if (name.empty() || name.find("$S") != std::string::npos || name.find("$s") != std::string::npos)
        return;
    check_input_file_last_line(run, unit::kLastLineCheck, name);
}

}  // namespace

bool store_file_name_value(Run& run, ControlReading& rd, const KeywordRule& rule,
                           std::string_view value) {
    if (value == "*") {
        int status = read_inline_list(run, rd, rule, rd.pass != ReadPass::Second);
        if (status == kListProblem) return false;
        if (status == kListNotClosed) return instruction_problem(run, rd, msg::kNoClosingListLine + rd.name);
        return true;
    }
    // The second reading does not store file names again.
    if (rd.pass == ReadPass::Second) return true;
    if (value[0] == '*') value = trim_left(value.substr(1));
    store_text(run.cv, rule.field, value);
    check_file_name_value(run, run.cv.*rule.field.text);
    return true;
}

}  // namespace korvelan

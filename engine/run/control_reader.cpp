// The reading loop of the control instructions: the control file, nested SPFILE= files and
// the extra instructions, with continuation lines and the ZIN copy of every line read.
#include "engine/run/control_reader.h"

#include <filesystem>

#include "engine/run/control_reading.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

constexpr std::size_t kTypedLineWidth = 80;

void copy_to_zin(Run& run, const ControlReading& rd, std::string_view line) {
    if (rd.pass != ReadPass::First || !unit_is_open(run, unit::kControlCopy)) return;
    std::int32_t status = run.rs.io_status;
    write_unit_line(run, unit::kControlCopy, trim_right(line));
    run.rs.io_status = status;
}

// Whether anything but blanks and control characters stands before the comment.
bool holds_text(std::string_view line) {
    for (char c : line.substr(0, line.find(';')))
        if (static_cast<unsigned char>(c) > ' ') return true;
    return false;
}

void cut_to_line_width(std::string& line) {
    if (line.size() > kInstructionLineWidth) line.resize(kInstructionLineWidth);
}

// The extra instructions: the words of the typed line when one was typed, else the
// instruction arguments of the command line.
void collect_extra_instructions(const Run& run, ControlReading& rd) {
    std::string_view typed = run.rs.extra_specifications;
    typed = typed.substr(0, std::min(typed.size(), kTypedLineWidth));
    if (!trim(typed).empty()) {
        rd.extra_typed = true;
        std::size_t i = 0;
        while (i < typed.size()) {
            std::size_t b = typed.find_first_not_of(' ', i);
            if (b == std::string_view::npos) break;
            std::size_t e = typed.find(' ', b);
            if (e == std::string_view::npos) e = typed.size();
            rd.extra.emplace_back(typed.substr(b, e - b));
            i = e;
        }
    } else {
        rd.extra = run.rs.command_instructions;
    }
}

// A read failure other than the end of the file loses instructions: the run stops.
[[noreturn]] void stop_on_read_failure(Run& run, int unit_number) {
    std::string name = unit_path(run, unit_number);
    std::int32_t status = run.rs.io_status;
    show_message_line(run, msg::kControlReadFailed + name);
    run.rs.io_status = status;
    fail_on_file_error(run, name, 'R');
}

// Joins the lines that follow a line ending in "+": each must begin with "+" after blanks (or
// with ";" when the joined text already holds a comment).
void join_continuation_lines(Run& run, ControlReading& rd, int unit_number, std::string& line) {
    for (;;) {
        std::size_t length = trim_right(line).size();
        if (length == 0 || line[length - 1] != '+') return;
        std::string next;
        int status = read_unit_line(run, unit_number, next);
        if (status > 0) stop_on_read_failure(run, unit_number);
        if (status != 0) {
            instruction_problem(run, rd, msg::kContinuationProblem + std::string(trim_right(line)));
            return;
        }
        copy_to_zin(run, rd, next);
        std::string head = line.substr(0, length - 1);
        std::string part = next.substr(0, std::min(next.size(), kInstructionLineWidth + 1 - length));
        std::size_t marker = part.find('+');
        if (head.find(';') != std::string::npos) marker = std::min(marker, part.find(';'));
        bool leading_blanks_only = marker != std::string::npos;
        for (std::size_t i = 0; leading_blanks_only && i < marker; ++i)
            if (static_cast<unsigned char>(part[i]) > ' ') leading_blanks_only = false;
        if (!leading_blanks_only) {
            instruction_problem(run, rd,
                                msg::kContinuationProblem + std::string(trim_right(head + part)));
            return;
        }
        line = head + part.substr(marker + 1);
    }
}

// After "&END" or the end of a file: back to the file that named this one, or on from the
// control file to the extra instructions. Only running out ends the extra instructions.
void end_of_source(Run& run, ControlReading& rd) {
    if (!rd.spfiles.empty()) {
        close_unit(run, rd.spfiles.back().unit);
        rd.spfiles.pop_back();
    } else if (rd.base == ControlReading::Base::ControlFile) {
        rd.base = ControlReading::Base::Extra;
        rd.word_counter = 0;
    }
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

std::string instruction_place(const Run& run, const ControlReading& rd) {
    if (rd.line_number < 1 || current_unit(rd) <= 0) return {};
    if (rd.spfiles.empty()) return line_place("", run.rs.control_file, rd.line_number);
    return line_place(msg::kSpfileWord, rd.spfiles.back().path, rd.line_number);
}

int current_unit(const ControlReading& rd) {
    if (!rd.spfiles.empty()) return rd.spfiles.back().unit;
    switch (rd.base) {
        case ControlReading::Base::ControlFile: return unit::kControl;
        case ControlReading::Base::Extra: return 0;
        default: return -1;
    }
}

int read_list_line(Run& run, ControlReading& rd, std::string& list_line) {
    int u = current_unit(rd);
    if (u > 0) {
        int status = read_unit_line(run, u, list_line);
        if (status > 0) stop_on_read_failure(run, u);
        if (status != 0) return 1;
        cut_to_line_width(list_line);
        return 0;
    }
    // The extra instructions (or nothing at run time): running out closes the list.
    if (u < 0 || rd.word_counter >= rd.extra.size()) return 2;
    list_line = rd.extra[rd.word_counter++];
    return 0;
}

bool begin_supplementary_file(Run& run, ControlReading& rd, const KeywordRule& rule,
                              std::string_view value, const std::string& line) {
    if (rd.pass == ReadPass::Runtime) return true;
    std::string_view v = value;
    if (v == "*") v = "";
    else if (!v.empty() && v[0] == '*') v = trim_left(v.substr(1));
    store_text(run.cv, rule.field, v);
    std::string name(trim(run.cv.*rule.field.text));
    if (name.empty()) return true;
    if (name.find(msg::kWorkFileTail) == std::string::npos && run.host)
        run.host->add_edit_menu_entry(msg::kMenuEditSpfile, name);
    if (rd.spfiles.size() >= kMaxSupplementaryDepth) {
        show_message_line(run, msg::kSpfileFailed + line);
        return instruction_problem(run, rd, msg::kSpfileTooDeep);
    }
    bool itself = same_file(name, run.rs.control_file);
    for (const SupplementaryFile& f : rd.spfiles) itself = itself || same_file(name, f.path);
    if (itself) {
        show_message_line(run, msg::kSpfileFailed + line);
        return instruction_problem(run, rd, msg::kSpfileIncludesItself + name);
    }
    int u = kFirstSupplementaryUnit + static_cast<int>(rd.spfiles.size());
    if (open_unit(run, u, name, OpenMode::Read) != 0) {
        std::int32_t status = run.rs.io_status;
        show_message_line(run, msg::kSpfileFailed + line + instruction_place(run, rd));
        run.rs.io_status = status;
        return instruction_file_problem(run, rd, name, 'I');
    }
    rd.spfiles.push_back({u, name});
    return true;
}

int check_input_file_last_line(Run& run, int unit_number, const std::string& name) {
    close_unit(run, unit_number);
    if (open_unit(run, unit_number, name, OpenMode::Read) != 0) {
        report_file_error(run, name, 'I');
        return run.rs.io_status;
    }
    close_unit(run, unit_number);
    return 0;
}

void read_control_file(Run& run, ReadPass pass, ItemDefinitionStrings* strings) {
    ControlReading rd;
    rd.pass = pass;
    rd.strings = strings;
    collect_extra_instructions(run, rd);
    if (pass == ReadPass::First && !unit_is_open(run, unit::kControlCopy))
        open_unit(run, unit::kControlCopy, work_file_path(run, "ZIN"), OpenMode::Write);
    std::string line;
    for (;;) {
        int u = current_unit(rd);
        if (u < 0) break;
        bool source_ended = false;
        if (u > 0) {
            int status = read_unit_line(run, u, line);
            if (status > 0) stop_on_read_failure(run, u);
            if (status != 0) {
                source_ended = true;
            } else {
                rd.line_number = unit_lines_read(run, u);
                cut_to_line_width(line);
                copy_to_zin(run, rd, line);
                if (u == unit::kControl && holds_text(line)) run.rs.control_file_instructions = true;
                join_continuation_lines(run, rd, u, line);
            }
        } else {
            if (rd.word_counter >= rd.extra.size()) {
                rd.base = ControlReading::Base::Finished;
                continue;
            }
            line = rd.extra[rd.word_counter++];
            rd.line_number = 0;
            // File-name arguments hold neither "=" nor ";".
            if (!rd.extra_typed && line.find_first_of("=;") == std::string::npos) continue;
            copy_to_zin(run, rd, line);
        }
        if (!source_ended) {
            rd.end_flag = false;
            parse_control_instruction(run, rd, line);
            if (!rd.end_flag) continue;
        }
        end_of_source(run, rd);
    }
    if (pass == ReadPass::First) close_unit(run, unit::kControlCopy);
    run.rs.io_status = 0;
}

void set_control_defaults(Run& run) {
    if (run.host) run.host->write_text_window_line(msg::kReadingControlVariables);
    run.cv = ControlVariables{};
    run.cv.batch_flag = run.rs.batch ? 'Y' : 'N';
    run.cv.title = pad_bytes(run.rs.control_file, width::kTitle);
    run.rep.persons_input = 0;
    run.rep.request.table = 0;
    read_control_file(run, ReadPass::First);
}

RuntimeInstructionResult parse_runtime_instruction(Run& run, std::string_view text) {
    ControlReading rd;
    rd.pass = ReadPass::Runtime;
    rd.base = ControlReading::Base::Finished;
    RuntimeInstructionResult result;
    result.ok = parse_control_instruction(run, rd, std::string(text));
    result.name = rd.name;
    return result;
}

}  // namespace korvelan

#include "engine/input/mforms.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/input/data_records.h"
#include "engine/input/record_alignment.h"
#include "engine/input/response_scoring.h"
#include "engine/run/control_reader.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/text_columns.h"

namespace korvelan {

namespace {

constexpr std::size_t kInstructionLineWidth = 512;
// The largest line buffer or output record a block may ask for; beyond it the block is refused
// as memory that cannot be had.
constexpr std::int64_t kMaxBlockBytes = std::int64_t{1} << 28;
// A first line beginning with this byte ends a data file.
constexpr char kEndOfFileByte = 26;

// The input lines of one person record, each `width` characters, one after another: a block may
// ask for millions of short lines, which cost no more than their characters this way. A column
// is a character: a character of several bytes stands in `text` as its first byte, and
// its UTF-8 bytes are kept in `several` by its place in `text`.
struct PersonLines {
    std::string text;
    std::size_t width = 1;
    std::unordered_map<std::size_t, std::uint32_t> several;
    LineColumns columns;  // the line being taken
    ColumnUnit unit = ColumnUnit::Characters;  // what a column of the data file is
};

bool is_work_file(std::string_view name) {
    return name.find(msg::kWorkFileTail) != std::string_view::npos;
}

std::string count_text(std::int64_t n) {
    return std::string(trim(int_to_text_left(n)));
}

// The number at the start of the text, or -1 when it holds no digit.
int leading_number(std::string_view text) {
    int pos = 0;
    int value = 0;
    parse_first_integer(text, pos, value);
    return pos < 0 ? -1 : value;
}

// A problem in an instruction line: the message, the line and where it stands in the file.
[[noreturn]] void line_problem(Run& run, const char* text, const std::string& line) {
    fatal_message(run, text + line +
                           line_place(msg::kMformsWord, run.cv.mforms,
                                      unit_lines_read(run, unit::kMformsInstructions)));
}

// "n" or "n-m" between the letter and "=": the first and last unit of the target span.
void parse_target_span(Run& run, std::string_view span_text, const std::string& line, int& n,
                       int& m) {
    std::size_t dash = span_text.find('-');
    n = leading_number(span_text.substr(0, dash));
    if (n < 1) line_problem(run, msg::kMformsMissingValue, line);
    m = n;
    if (dash != std::string_view::npos) m = leading_number(span_text.substr(dash + 1));
    if (m < n) line_problem(run, msg::kMformsLessMore, line);
}

// Adds the instructions of one Cn=, In= or Pn= line: a copy of the span from a line and column,
// or one literal character for every column of the span.
void add_column_instruction(Run& run, MformsBlock& block, char kind, std::string_view span_text,
                            std::string_view value, const std::string& line) {
    int n = 0;
    int m = 0;
    parse_target_span(run, span_text, line, n, m);
    const ControlVariables& cv = run.cv;
    const std::int64_t units = static_cast<std::int64_t>(m) - n + 1;
    std::int64_t target = n;
    std::int64_t width = units;
    if (kind == 'I') {
        const std::int64_t x = std::max(cv.xwide, 1);
        target = cv.item1 + (static_cast<std::int64_t>(n) - 1) * x;
        width = units * x;
    } else if (kind == 'P') {
        target = static_cast<std::int64_t>(cv.name1) + n - 1;
    }
    if (target < 1 || target + width - 1 > kMaxBlockBytes)
        line_problem(run, msg::kMformsMissingValue, line);

    const char quote = value[0];
    if (quote == '"' || quote == '\'') {
        std::string_view literal = value.substr(1);
        literal = literal.substr(0, literal.find(quote));
        // One character of the literal a target column.
        std::size_t at = 0;
        for (std::int64_t k = 0; k < width; ++k) {
            MformsInstruction in;
            in.source_line = MformsInstruction::kLiteral;
            in.literal = ' ';
            if (const std::size_t n = utf8_character_size(literal, at); n > 0) {
                in.literal = 0;
                for (std::size_t b = n; b-- > 0;)
                    in.literal = (in.literal << 8) | static_cast<unsigned char>(literal[at + b]);
                block.several_byte_literals = block.several_byte_literals || n > 1;
                at += n;
            }
            in.target_column = static_cast<std::int32_t>(target + k);
            block.instructions.push_back(in);
        }
        return;
    }
    std::size_t colon = value.find(':');
    int source_line = 1;
    int source_column = leading_number(value.substr(0, colon));
    if (colon != std::string_view::npos) {
        source_line = source_column;
        source_column = leading_number(value.substr(colon + 1));
    }
    if (source_line < 1 || source_column < 1 ||
        static_cast<std::int64_t>(source_column) + width - 1 > kMaxBlockBytes)
        line_problem(run, msg::kMformsEqualsValue, line);
    MformsInstruction in;
    in.source_line = source_line;
    in.source_column = source_column;
    in.width = static_cast<std::int32_t>(width);
    in.target_column = static_cast<std::int32_t>(target);
    block.instructions.push_back(in);
}

// The kind of an instruction line: its first letter above the blank, in upper case ("D" for
// D=, DATA=, data=, ...), or a blank for a blank line.
char instruction_kind(std::string_view line) {
    for (char c : line) {
        if (static_cast<unsigned char>(c) <= ' ') continue;
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    }
    return ' ';
}

// One instruction line, comment cut and left-justified. Keywords are read in upper case; the
// values (data file names, literals) keep the case in which they were written.
void parse_instruction_line(Run& run, MformsBlock& block, const std::string& line) {
    std::string upper = line;
    uppercase_whole_string(upper);
    const char kind = instruction_kind(line);
    if (kind == '#') {
        write_mforms_block(run, block);
        block.lines_per_person = 0;
        return;
    }
    const std::size_t eq = line.find('=');
    if (std::string_view("CDILP").find(kind) == std::string_view::npos || eq == std::string::npos)
        line_problem(run, msg::kMformsMissingEquals, line);
    const std::string_view value = trim(std::string_view(line).substr(eq + 1));
    if (value.empty()) line_problem(run, msg::kMformsValueMissing, line);
    const std::string_view span_text = std::string_view(upper).substr(1, eq - 1);
    switch (kind) {
        case 'D':
            block.data_files = std::string(value);
            return;
        case 'L': {
            int n = leading_number(value);
            if (n < 1) line_problem(run, msg::kMformsMissingLineCount, line);
            block.lines_per_person = n;
            return;
        }
        default:
            add_column_instruction(run, block, kind, span_text, value, line);
            return;
    }
}

// The lines of one person, held in one buffer of equal-width lines: the first already read,
// then the further lines (blank from the end of the file on). Each line is cut or blank-padded
// to the width.
void read_person_lines(Run& run, PersonLines& lines, const std::string& first,
                       const std::string& name) {
    std::string text = first;
    lines.several.clear();
    const std::size_t count = lines.text.size() / lines.width;
    for (std::size_t k = 0; k < count; ++k) {
        char* line = lines.text.data() + k * lines.width;
        if (k > 0) {
            int status = read_unit_line(run, unit::kMformsData, text);
            if (status > 0) fail_on_file_error(run, name, 'R');
            if (status != 0) {
                std::fill(line, lines.text.data() + lines.text.size(), ' ');
                return;
            }
        }
        std::fill(line, line + lines.width, ' ');
        const std::string_view bytes =
            lines.columns.decode(text, lines.unit, run.cv.code_characters) ? std::string_view(text)
                                                                           : lines.columns.bytes;
        const std::size_t n = std::min(lines.width, bytes.size());
        bytes.copy(line, n);
        for (std::size_t c = 0; c < n && !lines.columns.cells.empty(); ++c)
            if (lines.columns.cells[c] > 0xFF || lines.columns.cells[c] == 0)
                lines.several[k * lines.width + c] = lines.columns.cells[c];
    }
}

// The output record of the person whose lines are in hand: every instruction applied in order;
// returns its text (trailing blanks cut), in UTF-8 while the lines hold characters of several
// bytes (cells then holds the UTF-8 bytes of every column, text their text).
std::string_view assemble_record(const MformsBlock& block, const PersonLines& lines,
                                 std::string& record, std::vector<std::uint32_t>& cells,
                                 std::string& text) {
    std::fill(record.begin(), record.end(), ' ');
    const bool several = !lines.several.empty() || block.several_byte_literals;
    if (several) cells.assign(record.size(), ' ');
    for (const MformsInstruction& in : block.instructions) {
        const std::size_t at = static_cast<std::size_t>(in.target_column - 1);
        if (in.source_line == MformsInstruction::kLiteral) {
            record[at] = static_cast<char>(in.literal & 0xFF);
            if (several) cells[at] = in.literal;
        } else {
            // The line width covers every source column + width - 1 of the block.
            const std::size_t from = static_cast<std::size_t>(in.source_line - 1) * lines.width +
                                     static_cast<std::size_t>(in.source_column - 1);
            lines.text.copy(record.data() + at, static_cast<std::size_t>(in.width), from);
            for (std::size_t k = 0; several && k < static_cast<std::size_t>(in.width); ++k) {
                const auto found = lines.several.find(from + k);
                cells[at + k] = found != lines.several.end()
                                    ? found->second
                                    : static_cast<unsigned char>(record[at + k]);
            }
        }
    }
    std::string_view written = trim_right(record);
    if (several) {
        text.clear();
        append_cell_text(cells.data(), written.size(), text);
        written = text;
    }
    return written;
}

// Reads the persons of the data file open on its unit one after another: fn(status) with each
// person's lines in hand; stops at the end of the file or at a first line that ends the data.
template <typename Person>
void read_persons(Run& run, PersonLines& lines, const std::string& name, Person fn) {
    std::string first;
    for (;;) {
        int status = read_unit_line(run, unit::kMformsData, first);
        if (status > 0) fail_on_file_error(run, name, 'R');
        if (status != 0 || (!first.empty() && first[0] == kEndOfFileByte)) break;
        read_person_lines(run, lines, first, name);
        fn();
    }
}

// What a column of the data file is: the records the block makes line up their responses at
// ITEM1= by the unit the file is written in.
ColumnUnit decide_data_file_columns(Run& run, const MformsBlock& block, const std::string& name,
                                    PersonLines& lines, std::string& record) {
    // Lines from a pipe pass once: they are read by characters.
    if (!unit_can_rewind(run, unit::kMformsData)) return ColumnUnit::Characters;
    std::vector<std::uint32_t> cells;
    std::string text;
    const ResponseCoder coder(run.cv);
    const auto item1 = static_cast<std::size_t>(std::max(run.cv.item1, 1) - 1);
    const std::size_t need = item1 + static_cast<std::size_t>(std::max(run.cv.ni, 0)) *
                                         static_cast<std::size_t>(std::max(run.cv.xwide, 1));
    std::string columns;
    const ColumnUnit unit = decide_column_unit(
        run, unit::kMformsData, 0, name,
        fits_by_each_unit([&](Run& r, int, ColumnUnit u, std::vector<RecordFit>& fits) {
            lines.unit = u;
            read_persons(r, lines, name, [&] {
                assemble_record(block, lines, record, cells, text);
                columns.assign(record);
                if (columns.size() < need) columns.resize(need, ' ');
                fits.push_back({count_response_misfits(coder, r.cv, columns.data() + item1),
                                unit_lines_read(r, unit::kMformsData)});
            });
        }));
    rewind_unit(run, unit::kMformsData);
    return unit;
}

// Reformats one data file into ZMF; returns the number of person records written.
std::int64_t reformat_data_file(Run& run, const MformsBlock& block, const std::string& name,
                                PersonLines& lines, std::string& record) {
    std::vector<std::uint32_t> cells;
    std::string text;
    if (run.host) {
        if (!is_work_file(name)) run.host->add_edit_menu_entry(msg::kMenuEditDataFile, name);
        run.host->write_text_window_line(msg::kMformsOpening + name);
    }
    if (check_input_file_last_line(run, unit::kMformsData, name) != 0) stop_run_as_failed(run);
    if (open_unit(run, unit::kMformsData, name, OpenMode::Read) != 0)
        fail_on_file_error(run, name, 'I');
    lines.unit = decide_data_file_columns(run, block, name, lines, record);
    run.input.mforms_column_unit = static_cast<std::uint8_t>(lines.unit);
    std::int64_t count = 0;
    read_persons(run, lines, name, [&] {
        const std::string_view written = assemble_record(block, lines, record, cells, text);
        if (write_unit_line(run, unit::kMformsOutput, written) != 0)
            stop_with_file_error(run, msg::kProblemWithWorkFile, work_file_path(run, "ZMF"), 'W');
        ++count;
    });
    close_unit(run, unit::kMformsData);
    return count;
}

}  // namespace

void write_mforms_block(Run& run, MformsBlock& block) {
    if (block.instructions.empty()) return;
    if (trim(block.data_files).empty()) fatal_message(run, msg::kMformsDataMissing);

    // Lines per person, the width of each line and of the output record.
    std::int64_t lines_needed = std::max(block.lines_per_person, 1);
    std::int64_t line_width = 1;
    std::int64_t record_width = 1;
    for (const MformsInstruction& in : block.instructions) {
        const std::int64_t span = in.source_line == MformsInstruction::kLiteral ? 1 : in.width;
        record_width = std::max<std::int64_t>(record_width, in.target_column + span - 1);
        if (in.source_line == MformsInstruction::kLiteral) continue;
        lines_needed = std::max<std::int64_t>(lines_needed, in.source_line);
        line_width = std::max<std::int64_t>(line_width, in.source_column + in.width - 1);
    }
    const std::int64_t bytes = lines_needed * line_width + record_width;
    PersonLines lines;
    std::string record;
    try {
        if (bytes > kMaxBlockBytes) throw std::bad_alloc();
        lines.width = static_cast<std::size_t>(line_width);
        lines.text.assign(static_cast<std::size_t>(bytes - record_width), ' ');
        record.assign(static_cast<std::size_t>(record_width), ' ');
    } catch (const std::bad_alloc&) {
        fatal_message(run, int_to_text10(bytes) + msg::kMformsNoMemory);
    }

    for (const std::string& name : names_of_file_list(block.data_files)) {
        std::int64_t count = reformat_data_file(run, block, name, lines, record);
        if (run.host)
            run.host->write_text_window_line(msg::kMformsRecordsProcessed + count_text(count));
    }
    block.instructions.clear();
    block.several_byte_literals = false;
    block.data_files.clear();
}

namespace {

// A data-files line (D=, DATA=, in any case) whose names run past the instruction width would
// name other files: it is refused, named as it is written.
void refuse_long_file_name(Run& run, const std::string& line) {
    const std::string_view text = trim_right(line);
    const std::size_t eq = text.find('=');
    if (text.size() <= kInstructionLineWidth || eq == std::string_view::npos) return;
    if (instruction_kind(text) != 'D') return;
    std::string head(text.substr(0, eq));
    for (char& c : head)
        if (static_cast<unsigned char>(c) < ' ') c = ' ';
    const std::size_t start = text.find_first_not_of(' ', eq + 1);
    const std::string why = std::string(trim(head)) + "=" + msg::kFileNameHas + std::to_string(text.size() - start) +
                            msg::kFileNameBytes + std::to_string(kInstructionLineWidth - start) +
                            msg::kFileNameCanBeUsed;
    line_problem(run, msg::kFileNameTooLong, why);
}

}  // namespace

void reformat_data_with_mforms(Run& run) {
    const std::string name(trim(run.cv.mforms));
    if (run.host && !is_work_file(name)) run.host->add_edit_menu_entry(msg::kMenuEditMforms, name);
    // The instruction file is an input file: a failure is reported as one.
    if (open_unit(run, unit::kMformsInstructions, name, OpenMode::Read) != 0)
        stop_with_file_error(run, msg::kMformsFailed, name, 'I');
    const std::string zmf = work_file_path(run, "ZMF");
    if (open_unit(run, unit::kMformsOutput, zmf, OpenMode::Write) != 0)
        stop_with_file_error(run, msg::kMformsWorkFileProblem, zmf, 'O');

    MformsBlock block;
    std::string line;
    for (;;) {
        int status = read_unit_line(run, unit::kMformsInstructions, line);
        if (status > 0) stop_with_file_error(run, msg::kMformsFileProblem, name, 'I');
        if (status != 0) break;
        std::size_t semi = line.find(';');
        if (semi != std::string::npos) line.resize(semi);
        refuse_long_file_name(run, line);
        if (line.size() > kInstructionLineWidth) line.resize(kInstructionLineWidth);
        for (char& c : line)
            if (static_cast<unsigned char>(c) < ' ') c = ' ';
        line = std::string(trim(line));
        if (line.empty()) continue;
        parse_instruction_line(run, block, line);
    }
    write_mforms_block(run, block);
    close_unit(run, unit::kMformsInstructions);
    if (int status = close_unit(run, unit::kMformsOutput); status != 0) {
        run.rs.io_status = status;
        stop_with_file_error(run, msg::kProblemWithWorkFile, zmf, 'W');
    }

    std::string data(trim(run.cv.data_file));
    data = data.empty() ? zmf : data + "+" + zmf;
    run.cv.data_file = pad_bytes(data, width::kData);
}

}  // namespace korvelan

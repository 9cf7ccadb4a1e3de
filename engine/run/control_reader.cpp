#include "engine/run/control_reader.h"

#include "engine/run/file_units.h"

namespace korvelan {

namespace {
void apply_instruction(Run& run, std::string_view line) {
    std::string_view text = trim(line.substr(0, std::min(line.find(';'), line.size())));
    std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) return;
    std::string_view name = trim(text.substr(0, eq));
    std::string_view value = trim(text.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (istarts_with(name, "TI")) run.cv.title = pad_right(value, 60);
    else if (istarts_with(name, "B")) run.rs.batch = !value.empty() && (value[0] == 'Y' || value[0] == 'y' || value[0] == '1');
}
}  // namespace

void read_control_file(Run& run, int pass) {
    if (pass != 1) return;
    run.cv.title = pad_right(run.rs.control_file, 60);
    std::string line;
    while (read_unit_line(run, unit::kControl, line) == 0) {
        write_unit_line(run, unit::kControlCopy, line);
        if (istarts_with(trim_left(line), "&END")) break;
        apply_instruction(run, line);
    }
    for (const std::string& instruction : run.rs.command_instructions) {
        write_unit_line(run, unit::kControlCopy, instruction);
        apply_instruction(run, instruction);
    }
    if (!trim(run.rs.extra_specifications).empty()) {
        write_unit_line(run, unit::kControlCopy, run.rs.extra_specifications);
        apply_instruction(run, run.rs.extra_specifications);
    }
    run.rs.io_status = 0;
}

}  // namespace korvelan

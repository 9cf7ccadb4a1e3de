#include "engine/report/table_list.h"

#include <string>

#include "engine/report/request_frame.h"
#include "engine/run/control_reader.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {
// Characters of a list line that are read.
constexpr std::size_t kListLineWidth = 80;
// The ending every work-file name shares; the work file of an in-line list ends with it.
constexpr std::string_view kWorkFileEnding = "kv.txt";
}  // namespace

bool open_table_selection_file(Run& run) {
    const std::string name(trim(run.cv.tfile));
    if (name.find(kWorkFileEnding) == std::string::npos)
        add_edit_menu_entry(run, msg::kMenuEditTfile, name);
    if (check_input_file_last_line(run, unit::kTableList, name) == 0 &&
        open_unit(run, unit::kTableList, name, OpenMode::Read) == 0)
        return true;
    // The Tables of the list are not written: the run has not done what it was asked.
    note_output_file_failure(run, std::string(msg::kProblemOpeningTableFile) + name);
    return false;
}

int read_table_selection_line(Run& run, TableRequest& request) {
    std::string line;
    for (;;) {
        const int status = read_unit_line(run, unit::kTableList, line);
        if (status > 0) {
            note_output_file_failure(
                run, std::string(msg::kProblemReadingTableFile) + std::string(trim(run.cv.tfile)));
            close_unit(run, unit::kTableList);
            return status;
        }
        if (status < 0) {
            close_unit(run, unit::kTableList);
            run.rs.io_status = -1;
            return -1;
        }
        line.resize(kListLineWidth, ' ');
        const std::size_t comment = line.find_first_of(";\"");
        if (comment != std::string::npos)
            line.replace(comment, std::string::npos, kListLineWidth - comment, ' ');
        if (trim(line).empty()) continue;
        // A line without a number must not repeat the request before it.
        request.table = 0;
        parse_numeric_input_line(line, request);
        run.rs.io_status = 0;
        return 0;
    }
}

}  // namespace korvelan

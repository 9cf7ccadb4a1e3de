#include "engine/report/end_report.h"

#include <string>

#include "engine/report/table_heading.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {
// Copies the lines of a work file, whole, to the report output file; stops at the first failure.
void copy_work_file_to_report(Run& run, std::string_view code) {
    if (open_unit(run, unit::kOutput, work_file_path(run, code), OpenMode::Read) != 0) return;
    std::string line;
    while (read_unit_line(run, unit::kOutput, line) == 0) {
        if (write_unit_line(run, unit::kReport, trim_right(line)) != 0) {
            run.rs.report_write_failed = true;
            break;
        }
    }
    close_unit(run, unit::kOutput);
}
}  // namespace

void append_saved_report_and_control_lines(Run& run) {
    copy_work_file_to_report(run, "ZFR");
    if (open_unit(run, unit::kOutput, work_file_path(run, "ZIN"), OpenMode::Read) != 0) return;
    close_unit(run, unit::kOutput);
    run.rep.request.table = 0;
    run.rep.sub_table_counter = 2;
    write_table_heading(run, 1);
    copy_work_file_to_report(run, "ZIN");
}

void copy_report_to_work_file(Run& run) {
    open_unit(run, unit::kOutput, work_file_path(run, "ZFR"), OpenMode::Write);
    if (close_unit(run, unit::kReport) != 0) run.rs.report_write_failed = true;
    if (open_unit(run, unit::kReport, run.rs.report_file, OpenMode::Read) == 0) {
        std::string line;
        while (read_unit_line(run, unit::kReport, line) == 0) {
            // Lines are copied whole: nothing of a wide report line is lost.
            if (write_unit_line(run, unit::kOutput, trim_right(line)) != 0) break;
        }
        close_unit(run, unit::kReport);
    }
    close_unit(run, unit::kOutput);
    if (open_unit(run, unit::kReport, run.rs.report_file, OpenMode::Write) != 0) {
        run.rs.report_write_failed = true;
        report_file_error(run, run.rs.report_file, 'O');
    }
    run.rep.page_line_counter = -1;
    run.rs.io_status = 0;
}

void show_report_on_screen(Run& run) {
    if (unit_is_open(run, unit::kSummary) && rewind_unit(run, unit::kSummary) == 0) {
        std::string text;
        while (read_unit_line(run, unit::kSummary, text) == 0) {
            ReportLineBuffer line;
            line.put(1, std::string_view(text).substr(0, std::min<std::size_t>(text.size(), 79)));
            int n = std::max(line.length(), 2);
            if (run.cv.box_to_ascii != 'N') convert_box_characters_to_ascii(line, n);
            if (run.host) run.host->write_text_window_line(line.view(2, n));
        }
    }
    if (run.host)
        run.host->write_text_window_line(std::string(msg::kOutputWrittenTo) +
                                         std::string(trim(run.rs.report_file)));
    run.rs.io_status = 0;
}

void report_work_file_failure(Run& run, std::string_view description, std::string_view code_letters,
                              int unit_number) {
    show_message_line(run, std::string(msg::kFileFailure) + std::string(trim(description)) +
                               msg::kFileFailureForFile + "Z" + std::string(code_letters) +
                               run.rs.run_id + "kv.txt(" + std::to_string(unit_number) + ")" +
                               msg::kFileFailureErrorCode + std::to_string(run.rs.io_status));
}

}  // namespace korvelan

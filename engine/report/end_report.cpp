#include "engine/report/end_report.h"

#include <filesystem>
#include <string>

#include "engine/report/table_heading.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_file.h"
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
    const std::string zfr = work_file_path(run, "ZFR");
    const std::string& report = run.rs.report_file;
    // What failed: the copy's own write (open, line or close) or the reading of the report.
    int write_status = open_unit(run, unit::kOutput, zfr, OpenMode::Write);
    int read_status = write_status == 0 ? rewind_report_file(run) : 0;
    if (write_status == 0 && read_status == 0) {
        std::string line;
        // Lines are copied whole: nothing of a wide report line is lost.
        while ((read_status = read_unit_line(run, unit::kReport, line)) == 0)
            if ((write_status = write_unit_line(run, unit::kOutput, trim_right(line))) != 0) break;
        if (read_status < 0) read_status = 0;
    }
    const int closed = close_unit(run, unit::kOutput);
    if (closed != 0 && write_status == 0) write_status = closed;
    if (write_status != 0 || read_status != 0) {
        // The report is emptied only once its copy is complete. Otherwise it keeps what it holds,
        // the Tables follow it there, and no partial copy is appended at the end of the run.
        std::error_code ec;
        std::filesystem::remove(zfr, ec);
        if (write_status != 0) show_message_line(run, write_failure_line(write_status, zfr));
        if (read_status != 0) {
            run.rs.io_status = read_status;
            report_file_error(run, report, 'R');
        }
        if (restart_report_file(run, true) != 0) {
            run.rs.report_write_failed = true;
            report_file_error(run, report, 'O');
        }
        show_message_line(run, std::string(msg::kReportCopyFailed) + std::string(trim(report)));
        run.rs.io_status = 0;
        return;
    }
    if (restart_report_file(run, false) != 0) {
        run.rs.report_write_failed = true;
        report_file_error(run, report, 'O');
    }
    run.rep.page_line_counter = -1;
    run.rs.io_status = 0;
}

void show_report_on_screen(Run& run) {
    if (unit_is_open(run, unit::kSummary) && rewind_unit(run, unit::kSummary) == 0) {
        std::string text;
        while (read_unit_line(run, unit::kSummary, text) == 0) {
            ReportLineBuffer line;
            // The line's first 79 columns (a wide character takes two).
            line.put(1, display_prefix(text, 79));
            int n = std::max(line.length(), 2);
            if (run.cv.box_to_ascii != 'N') convert_box_characters_to_ascii(line, n);
            if (run.host) run.host->write_text_window_line(drawn_text(line.view(2, n), false));
        }
    }
    // Named as written once it is closed whole (the run end).
    run.rs.report_to_announce = true;
    run.rs.io_status = 0;
}

void report_work_file_failure(Run& run, std::string_view description, std::string_view code_letters,
                              int unit_number) {
    show_message_line(run, std::string(msg::kFileFailure) + std::string(trim(description)) +
                               msg::kFileFailureForFile + std::string(code_letters) +
                               run.rs.run_id + msg::kWorkFileTail + " (" + fmt_i(unit_number, 3) + ")" +
                               msg::kFileFailureErrorCode + fmt_i(run.rs.io_status, 6));
}

}  // namespace korvelan

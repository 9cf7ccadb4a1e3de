#include "engine/run/messages.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <thread>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_file.h"
#include "engine/run/report_line.h"
#include "engine/run/whole_files.h"

namespace korvelan {

namespace {

constexpr std::size_t kMessageLimit = 1024;
constexpr std::size_t kMessageField = 80;

std::string cut(std::string_view s, std::size_t n) { return std::string(s.substr(0, std::min(n, s.size()))); }

}  // namespace

void show_message_line(Run& run, std::string_view text) {
    std::string line = cut(trim_right(text), kMessageLimit);
    if (run.host) run.host->write_text_window_line(line);
    if (run.rs.batch && !run.rs.report_closed && unit_is_open(run, unit::kReport)) {
        std::int32_t status = run.rs.io_status;
        write_unit_line(run, unit::kReport, line);
        run.rs.io_status = status;
    }
}

std::string file_error_text(int status, char mode) {
    for (const msg::FileErrorText& row : msg::kFileErrorMessages) {
        if (row.code != status) continue;
        if (row.mode != 0 && row.mode != mode) continue;
        return row.text;
    }
    if (status >= 20000 && status < 30000) return std::strerror(status - 20000);
    return msg::kFileErrorFallback;
}

std::string file_error_line(int status, std::string_view file_name, char mode) {
    // A folder named where a file belongs is refused by the system as access denied; it is a
    // mistake of the name, not of rights.
    std::error_code ec;
    const bool folder = status == 5 && !file_name.empty() &&
                        std::filesystem::is_directory(std::string(trim(file_name)), ec);
    std::string field = cut(folder ? std::string(msg::kFileIsFolder) : file_error_text(status, mode), kMessageField);
    field = std::string(trim_right(field));
    std::string code = std::string(trim(int_to_text_left(status)));
    // The code two positions after the text, then ": for file"; all cut at 80 characters.
    field += " (" + code + ")";
    field = cut(field, kMessageField);
    field = std::string(trim_right(field)) + msg::kForFile;
    field = cut(field, kMessageField);
    std::string_view name = file_name;
    std::size_t nul = name.find('\0', 1);
    if (nul != std::string_view::npos) name = name.substr(0, nul);
    else name = trim_right(name);
    name = name.substr(0, std::min(name.size(), kMessageLimit));
    return msg::kFileProblem + std::string(trim_right(field)) + ": " + std::string(name) + msg::kInMode +
           std::string(1, mode);
}

std::string line_place(std::string_view keyword, std::string_view path, std::int64_t line) {
    return msg::kPlaceIn + std::string(keyword) + std::string(trim(path)) + msg::kAtLine + std::to_string(line);
}

void report_file_error(Run& run, std::string_view file_name, char mode) {
    show_message_line(run, file_error_line(run.rs.io_status, file_name, mode));
}

void note_output_file_failure(Run& run, std::string_view line) {
    show_message_line(run, line);
    if (!run.rs.report_closed) run.rs.output_failures.emplace_back(trim_right(line));
}

void report_output_file_error(Run& run, std::string_view file_name, char mode) {
    note_output_file_failure(run, file_error_line(run.rs.io_status, file_name, mode));
}

void fail_on_file_error(Run& run, std::string_view file_name, char mode) {
    report_file_error(run, file_name, mode);
    stop_run_as_failed(run);
}

std::string write_failure_line(int status, std::string_view path, char mode) {
    const std::filesystem::path written{std::string(trim(path))};
    std::string why;
    if (mode == 'W' && status == status_from_errno(ENOSPC)) {
        std::string folder = written.parent_path().string();
        if (folder.empty()) folder = ".";
        if (folder.back() != '/') folder += '/';
        why = msg::kNoSpaceOnDiskOf + folder;
    } else {
        why = std::string(trim(file_error_text(status, mode)));
    }
    return (mode == 'W' ? msg::kWriteOf : msg::kReadOf) + written.string() + msg::kWriteFailed + why;
}

namespace {
// The file-error line of the file known as file_name, then the line naming its path.
[[noreturn]] void fail_naming_path(Run& run, std::string_view file_name, std::string_view path, char mode) {
    const int status = run.rs.io_status;
    report_file_error(run, file_name, mode);
    show_message_line(run, write_failure_line(status, path, mode));
    stop_run_as_failed(run);
}
}  // namespace

void fail_on_write_error(Run& run, std::string_view file_name, std::string_view path) {
    fail_naming_path(run, file_name, path, 'W');
}

void stop_with_file_error(Run& run, std::string_view text, std::string_view file_name, char mode,
                          std::string_view path) {
    const int status = run.rs.io_status;
    show_message_line(run, text);
    run.rs.io_status = status;
    if (mode == 'W') fail_on_write_error(run, file_name, path.empty() ? file_name : path);
    if (mode == 'R' && !path.empty()) fail_naming_path(run, file_name, path, mode);
    fail_on_file_error(run, file_name, mode);
}

void stop_analysis_and_idle(Run& run) {
    finish_analysis_report(run);
    run.rs.idle_counter = 0;
    while (run.host && run.host->keep_idling()) {
        if (run.rs.idle_counter > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        } else if (run.rs.idle_counter > INT_MIN) {
            // Counts down while idle; saturates instead of overflowing.
            --run.rs.idle_counter;
        }
        run.host->pump_messages();
    }
    throw RunStopped{};
}

void stop_run_as_failed(Run& run) {
    run.rs.run_failed = true;
    run.rs.io_status = -1;
    stop_analysis_and_idle(run);
}

void fatal_message(Run& run, std::string_view text) {
    show_message_line(run, text);
    stop_run_as_failed(run);
}

void refuse_report_named_like_input(Run& run, std::string_view input) {
    drop_unit(run, unit::kReport);
    fatal_message(run, msg::kReportSameAsInput + std::string(trim(input)));
}

namespace {
// The output files that failed are named once more at the end of the report and of the screen,
// where a user looks first: a run that did not write them all has not succeeded.
void repeat_output_file_failures(Run& run, bool to_report) {
    if (run.rs.output_failures.empty()) return;
    run.rs.run_failed = true;
    std::vector<std::string> lines{msg::kOutputFilesNotWritten};
    lines.insert(lines.end(), run.rs.output_failures.begin(), run.rs.output_failures.end());
    for (const std::string& line : lines) {
        if (!to_report) {
            if (run.host) run.host->write_text_window_line(line);
        } else if (unit_is_open(run, unit::kReport) && write_unit_line(run, unit::kReport, line) != 0) {
            run.rs.report_write_failed = true;
        }
    }
}
}  // namespace

void finish_analysis_report(Run& run) {
    if (run.rs.report_closed) return;
    run.cv.prox_limit = 0;
    if (run.host) run.host->set_result_menus_enabled(0);
    // An output file still open here was cut short by the stop: it does not replace its name.
    drop_unit(run, unit::kOutput);
    // Flush the lines still buffered in the control-line copy before it is read back.
    for (auto& [u, f] : run.units.open)
        if (f.writing) std::fflush(f.file);
    if (unit_is_open(run, unit::kReport)) {
        if (run.report_end) run.report_end(run);
        repeat_output_file_failures(run, true);
        const bool named_before = run.rs.report_write_failed;
        if (const int status = close_report_file(run); status != 0 && !named_before) {
            // The report is lost at its close (the earlier one, if any, stays): it is named on
            // the screen with the other files not written.
            run.rs.report_write_failed = true;
            run.rs.output_failures.push_back(file_error_line(status, run.rs.report_file, 'W'));
            if (run.host) run.host->write_text_window_line(run.rs.output_failures.back());
        }
    }
    // The report is named as written only once it is closed whole.
    if (run.rs.report_to_announce && !run.rs.report_write_failed && run.host)
        run.host->write_text_window_line(std::string(msg::kOutputWrittenTo) + std::string(trim(run.rs.report_file)));
    run.rs.report_to_announce = false;
    repeat_output_file_failures(run, false);
    if (run.rs.report_write_failed) run.rs.run_failed = true;
    if (run.host) {
        if (run.rs.run_failed) {
            run.host->write_text_window_line(msg::kRunFailed);
            // Under it, the files the run replaced all the same (its report among them).
            if (!finished_files().empty())
                run.host->write_text_window_line(finished_files_sentence(msg::kRunFailedFiles));
        } else {
            run.host->write_text_window_line(msg::kRunSucceeded);
            if (!trim(run.rs.closing_note).empty())
                run.host->write_text_window_line(trim_right(run.rs.closing_note));
        }
    }
    close_unit(run, unit::kControl);
    run.rs.report_closed = true;
    run.rs.finished = true;
}

void delete_work_files_at_exit(Run& run) {
    close_all_units(run);
    if (run.rs.run_id.empty()) return;
    namespace fs = std::filesystem;
    const std::string suffix = run.rs.run_id + "kv.txt";
    auto sweep = [&](const std::string& dir) {
        if (dir.empty()) return;
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            std::string name = it->path().filename().string();
            if (name.size() == 3 + suffix.size() && name.compare(3, suffix.size(), suffix) == 0) {
                std::error_code rm;
                fs::remove(it->path(), rm);
            }
        }
    };
    sweep(run.rs.temp_directory);
    if (run.rs.output_directory != run.rs.temp_directory) sweep(run.rs.output_directory);
}

int run_exit_status(const Run& run) { return (run.rs.run_failed || run.rs.report_write_failed) ? 1 : 0; }

}  // namespace korvelan

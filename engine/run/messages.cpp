#include "engine/run/messages.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <thread>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"
#include "engine/run/report_file.h"

namespace korvelan {

namespace {

constexpr std::size_t kMessageLimit = 1024;
constexpr std::size_t kMessageField = 80;

struct FileErrorRow {
    int code;
    char mode;  // 'I' only for input-file rows, 0 for any mode
    const char* text;
};

// Ordered: the first row whose code (and mode, where given) matches gives the text.
constexpr FileErrorRow kFileErrorMessages[] = {
    // The program's own texts for the commonest cases.
    {-2, 0, "Use File Menu to add BLANK LINE at end of"},
    {2, 'I', "Input File Not Found. Please specify full path."},
    {6416, 'I', "Input File Not Found. Please specify full path."},
    {2, 0, "Unusable Output File Name"},
    {6416, 0, "Unusable Output File Name"},
    {3, 0, "Drive or Directory Not Found"},
    {6422, 0, "Not Enough Disk Space"},
    {0, 0, "Processing has stopped"},
    {kLineRunsOn, 0, "Line too long: no line end within 1 MB"},
    // Short texts for the platform codes.
    {1, 0, "Invalid function"},
    {4, 0, "Too many open files"},
    {5, 0, "Access denied"},
    {6, 0, "Invalid internal file identifier"},
    {7, 0, "Storage control blocks destroyed"},
    {8, 0, "Insufficient memory"},
    {9, 0, "Invalid block address"},
    {10, 0, "Environment incorrect"},
    {11, 0, "Incorrect program format"},
    {12, 0, "Invalid access code"},
    {13, 0, "Invalid data"},
    {14, 0, "Insufficient memory"},
    {15, 0, "Invalid drive"},
    {16, 0, "Current directory cannot be removed"},
    {17, 0, "File cannot be moved to a different disk drive"},
    {18, 0, "No more files"},
    {19, 0, "Media is write protected"},
    {20, 0, "Specified drive cannot be found"},
    {21, 0, "The drive is not ready"},
    {22, 0, "The device does recognize the command"},
    {23, 0, "Data error"},
    {24, 0, "Command length is incorrect"},
    {25, 0, "Drive seek error"},
    {26, 0, "The specified disk cannot be accessed"},
    {27, 0, "The specified sector cannot be found"},
    {28, 0, "The printer is out of paper"},
    {29, 0, "Cannot write to specified device"},
    {30, 0, "Cannot read from specified device"},
    {31, 0, "Device is not responding"},
    {32, 0, "The file is already open by another process"},
    {33, 0, "Another process has locked the file"},
    {34, 0, "The wrong disk is the drive"},
    {36, 0, "Too many files open for sharing"},
    {38, 0, "Reached end of file"},
    {39, 0, "The disk is full"},
    // The file layer's own codes.
    {10000, 0, "File not open for read"},
    {10001, 0, "File not open for write"},
    {10002, 0, "File not found"},
    {10003, 0, "Record length negative or 0"},
    {10013, 0, "Attempt to read past end of file"},
    {10014, 0, "Bad file specification"},
    {10016, 0, "Illegal character in numeric input"},
    {10018, 0, "Maximum record number exceeded"},
    {10023, 0, "Illegal direct access record number"},
    {10030, 0, "Specifications in re-open do not match previous open"},
    {10032, 0, "Cannot open an existing file with STATUS=NEW"},
    {10038, 0, "Attempt to read past end of record"},
    {10060, 0, "Attempt to write a record longer than specified record length"},
    {10070, 0, "Runtime memory allocation fails"},
    // A second block of the program's own texts.
    {-1, 0, "   Unexpected end of file"},
    {6405, 0, " Unexpected end of file"},
    {6501, 0, " Unexpected end of file"},
    {6100, 0, "Integer control variable outside the range -32,676 to 32,676"},
    {6101, 0, "An integer is expected, but something else has been found"},
    {6103, 0, "A number is expected, but something else has been found"},
    {6209, 0, "You assigned two files with the same name"},
    {6311, 0, "You are trying to process more than 32,676 persons"},
    {6413, 0, "You have specified two different files with the same name"},
    {6414, 0, "You tried to access a protected file or a directory index"},
    {6417, 0, "Increase your FILES= statement in your CONFIG.SYS file"},
    {6421, 0, "You tried to write to a read-only or file already in use."},
    {6700, 0, "Your analysis requires more RAM memory"},
    {6205, 0, "(FORMAT=) \"A\" edit descriptor problem"},
    {6502, 0, "(FORMAT=) Repeat field not a positive integer"},
    {6503, 0, "(FORMAT=) Multiple repeat field, e.g. 2*3 instead of 6"},
    {6504, 0, "(FORMAT=) Invalid number, e.g. 7D mistyped for 70"},
    {6980, 0, "(FORMAT=) Integer expected, e.g. T2Z mistyped for T22"},
    {6981, 0, "(FORMAT=) FORMAT= must start with ("},
    {6982, 0, "(FORMAT=) Positive integer required, e.g. 0X is not allowed"},
    {6983, 0, "(FORMAT=) Invalid repeat count"},
    {6984, 0, "(FORMAT=) An integer must precede X"},
    {6985, 0, "(FORMAT=) B must be followed by N or Z"},
    {6986, 0, "(FORMAT=) Parentheses () can go no more than 16 levels deep"},
    {6987, 0, "(FORMAT=) F,D,E,G fields must contain ."},
    {6988, 0, "(FORMAT=) Not enough ) in format"},
    {6989, 0, "(FORMAT=) Unknown or missing character"},
    {6990, 0, "(FORMAT=) Too many leading zeroes specified in I format"},
    {6991, 0, "(FORMAT=) Numerical value greater than 32766"},
    {6099, 0, "Computer capacity exceeded"},
    {6104, 0, "Computer capacity exceeded"},
    // Platform system messages for the codes the file layer produces.
    {80, 0, "The file exists."},
    {82, 0, "The directory or file cannot be created."},
};

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
    for (const FileErrorRow& row : kFileErrorMessages) {
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
    field = std::string(trim_right(field)) + ": for file";
    field = cut(field, kMessageField);
    std::string_view name = file_name;
    std::size_t nul = name.find('\0', 1);
    if (nul != std::string_view::npos) name = name.substr(0, nul);
    else name = trim_right(name);
    name = name.substr(0, std::min(name.size(), kMessageLimit));
    return "PROBLEM: " + std::string(trim_right(field)) + ": " + std::string(name) + " in mode " +
           std::string(1, mode);
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

std::string write_failure_line(int status, std::string_view path) {
    const std::filesystem::path written{std::string(trim(path))};
    std::string why;
    if (status == status_from_errno(ENOSPC)) {
        std::string folder = written.parent_path().string();
        if (folder.empty()) folder = ".";
        if (folder.back() != '/') folder += '/';
        why = msg::kNoSpaceOnDiskOf + folder;
    } else {
        why = std::string(trim(file_error_text(status, 'W')));
    }
    return msg::kWriteOf + written.string() + msg::kWriteFailed + why;
}

void fail_on_write_error(Run& run, std::string_view file_name, std::string_view path) {
    const int status = run.rs.io_status;
    report_file_error(run, file_name, 'W');
    show_message_line(run, write_failure_line(status, path));
    stop_run_as_failed(run);
}

void stop_with_file_error(Run& run, std::string_view text, std::string_view file_name, char mode,
                          std::string_view path) {
    const int status = run.rs.io_status;
    show_message_line(run, text);
    run.rs.io_status = status;
    if (mode == 'W') fail_on_write_error(run, file_name, path.empty() ? file_name : path);
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
    repeat_output_file_failures(run, false);
    if (run.rs.report_write_failed) run.rs.run_failed = true;
    if (run.host) {
        if (run.rs.run_failed) {
            run.host->write_text_window_line(msg::kRunFailed);
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

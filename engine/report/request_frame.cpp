#include "engine/report/request_frame.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "engine/input/data_input.h"
#include "engine/report/end_report.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/record_files.h"

namespace korvelan {

namespace {

// One person or item work file: unit, code, description for the failure line.
struct WorkFileUnit {
    int unit;
    const char* code;
    const char* description;
};

constexpr WorkFileUnit kWorkFileUnits[] = {
    {unit::kItemLabels, "ZJJ", msg::kItemWorkFile},
    {unit::kScores, "ZMM", msg::kScoredFile},
    {unit::kCodes, "ZNN", msg::kCodesFile},
    {unit::kPersonLabels, "ZPP", msg::kPersonResponseFile},
    {unit::kPersonRecords, "ZQQ", msg::kWorkFile},
};

// The first Table file clash code and the last: "41-" follows the plain name, "999" ends.
constexpr int kFirstClash = 41;
constexpr int kLastClash = 999;

std::int32_t record_length_of(const Run& run, int unit_number) {
    switch (unit_number) {
        case unit::kItemLabels:
            return run.rs.item_label_record_length;
        case unit::kPersonLabels:
            return WorkFiles(run_work_file_layout(run)).name_record_length();
        case unit::kPersonRecords:
            return static_cast<std::int32_t>(sizeof(PersonWorkFields));
        default:
            return std::max(run.cv.ni, 1);
    }
}

void make_entries_positive(EntryOrder& order) {
    for (std::int32_t& e : order.entries) e = std::abs(e);
}

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

}  // namespace

bool open_run_work_files(Run& run, bool reopen, std::vector<int>* opened) {
    for (const WorkFileUnit& w : kWorkFileUnits) {
        if (record_unit_is_open(run, w.unit)) {
            if (!reopen) continue;
            close_record_unit(run, w.unit);
        }
        const std::string path = work_file_path(run, w.code);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) {
            run.rs.io_status = status_from_errno(ENOENT);
        } else if (open_record_unit(run, w.unit, path, record_length_of(run, w.unit),
                                    RecordOpen::Keep) == 0) {
            if (opened) opened->push_back(w.unit);
            continue;
        }
        report_work_file_failure(run, w.description, w.code + 1, w.unit);
        return false;
    }
    return true;
}

bool begin_output_request(Run& run) {
    if (run.rs.finish_iterating) {
        if (run.host) run.host->clear_finish_iterating();
        run.rs.finish_iterating = false;
    }
    run.rep.heading_flag = 'Y';
    make_entries_positive(run.rep.item_order);
    make_entries_positive(run.rep.person_order);
    return open_run_work_files(run, true);
}

std::string table_file_name(const Run& run, int table, int clash) {
    std::string code;
    if (clash == 0)
        code = fmt_i(table + 100, 3).substr(1) + "-";
    else if (clash < 100)
        code = fmt_i(clash, 2) + "-";
    else
        code = fmt_i(clash, 3);
    return code + run.rs.run_id + "kv.txt";
}

std::optional<std::string> create_table_file(Run& run, int table) {
    const std::string& dir = run.rs.output_directory;
    std::string name = table_file_name(run, table, 0);
    for (int clash = kFirstClash; exists(dir + name); ++clash) {
        if (clash > kLastClash) {
            show_message_line(run, std::string(msg::kNoFreeTableFileName) +
                                       std::string(trim(int_to_text_left(table))) + msg::kIn + dir);
            return std::nullopt;
        }
        name = table_file_name(run, table, clash);
    }
    const std::string path = dir + name;
    run.rs.io_status = run.host ? run.host->create_output_file(path) : status_from_errno(ENODEV);
    if (run.rs.io_status != 0) {
        report_file_error(run, name, 'W');
        return std::nullopt;
    }
    add_edit_menu_entry(
        run, std::string(msg::kMenuEditTable) + std::string(trim(int_to_text_left(table))) + "=",
        path);
    return path;
}

void end_table_request(Run& run, const std::optional<std::string>& table_file) {
    if (table_file && run.host) {
        run.host->close_file_handle();
        std::error_code ec;
        const auto size = std::filesystem::file_size(*table_file, ec);
        if (!ec && size > 0)
            run.host->run_program_with_argument(run.host->initial_settings().editor, *table_file);
    }
    run.rep.request.letters.fill(' ');
    run.rep.request.selectors.fill(0.0f);
    if (run.rs.finish_iterating) {
        if (run.host) run.host->clear_finish_iterating();
        run.rs.finish_iterating = false;
    }
}

void add_edit_menu_entry(Run& run, std::string_view label, std::string_view path) {
    if (!run.host) return;
    path = trim(path);
    const std::string& temp = run.rs.temp_directory;
    if (!temp.empty() && path.substr(0, temp.size()) == temp)
        run.host->add_edit_menu_entry(std::string(label) + "=", path.substr(temp.size()));
    else
        run.host->add_edit_menu_entry(label, path);
}

}  // namespace korvelan

// The item label work file built again from a new ILFILE= after the run. The label file is read
// through once before ZJJ is touched, so a file that cannot be read leaves the labels as they were.
#include <algorithm>
#include <string>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/runtime_specification.h"

namespace korvelan {

namespace {

constexpr std::size_t kLabelLineWidth = 300;
constexpr int kShortestLabelRecord = 5;

// A label line: at most 300 characters, cut at its first ";", trailing blanks removed.
std::string_view label_text(std::string& line) {
    if (line.size() > kLabelLineWidth) line.resize(kLabelLineWidth);
    const std::size_t semi = line.find(';');
    if (semi != std::string::npos) line.resize(semi);
    return trim_right(line);
}

int report_problem(Run& run, const char* text, std::string_view name, char mode) {
    const std::int32_t status = run.rs.io_status;
    close_unit(run, unit::kOutput);
    show_message_line(run, text);
    run.rs.io_status = status;
    report_file_error(run, name, mode);
    run.rs.io_status = 0;
    return 0;
}

std::string count_text(std::int64_t n) {
    return std::string(trim(int_to_text_left(n)));
}

}  // namespace

int rebuild_item_label_work_file(Run& run) {
    const std::string name(trim(run.cv.ilfile));
    close_unit(run, unit::kOutput);
    if (open_unit(run, unit::kOutput, name, OpenMode::Read) != 0)
        return report_problem(run, msg::kItemLabelOpenFailure, name, 'I');
    if (run.host && name.find(msg::kWorkFileTail) == std::string::npos)
        run.host->add_edit_menu_entry(std::string(msg::kMenuEditLabelsPrefix) +
                                          std::string(trim(run.cv.item_word)) +
                                          msg::kMenuEditLabelsSuffix,
                                      name);

    // First reading: the longest label.
    int length = kShortestLabelRecord;
    std::string line;
    int status;
    while ((status = read_unit_line(run, unit::kOutput, line)) == 0)
        length = std::max(length, static_cast<int>(label_text(line).size()));
    if (status > 0) return report_problem(run, msg::kItemLabelReadFailureLine, name, 'R');
    close_unit(run, unit::kOutput);

    WorkFiles files = run_work_files(run);
    run.rs.item_label_record_length = 0;
    if (open_item_label_work_file(run, length) != 0)
        return report_problem(run, msg::kItemWorkFileSetUp, msg::kItemWorkFile, 'O');
    run.rs.item_label_record_length = length;
    if (open_unit(run, unit::kOutput, name, OpenMode::Read) != 0)
        return report_problem(run, msg::kItemLabelReopenFailure, name, 'I');

    // Second reading: one record per label line that is not blank.
    std::int64_t k = 0;
    while ((status = read_unit_line(run, unit::kOutput, line)) == 0) {
        const std::string_view text = label_text(line);
        if (text.empty()) continue;
        if (write_item_label_record(run, files, ++k, text) != 0)
            return report_problem(run, msg::kItemLabelWriteFailure, work_file_path(run, "ZJJ"),
                                  'W');
    }
    if (status > 0) return report_problem(run, msg::kItemLabelReadFailureLine, name, 'R');
    close_unit(run, unit::kOutput);

    const std::int64_t ni = run.cv.ni;
    if (k == 0)
        show_message_line(run, msg::kNoItemLabels + count_text(ni));
    else if (k != ni)
        show_message_line(
            run, msg::kWrongNumberOfItemLabels + count_text(k) + msg::kButNi + count_text(ni));
    std::string label;
    for (std::int64_t i = k + 1; i <= ni; ++i) {
        make_item_number_label(i, run.cv.ni, label);
        if (write_item_label_record(run, files, i, trim_right(label)) != 0)
            return report_problem(run, msg::kItemLabelWriteFailure, work_file_path(run, "ZJJ"),
                                  'W');
    }
    run.rs.io_status = 0;
    return length;
}

}  // namespace korvelan

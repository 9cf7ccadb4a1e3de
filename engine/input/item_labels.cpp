#include "engine/input/item_labels.h"

#include <algorithm>
#include <string>

#include "engine/input/data_records.h"
#include "engine/input/work_files.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

constexpr std::size_t kLabelLineWidth = 300;
constexpr std::int32_t kShortestLabelRecord = 5;

std::string number(std::int64_t n) {
    return std::string(trim(int_to_text_left(n)));
}

// Reads one label line: cut at 300 characters and at its first ";".
int read_label_line(Run& run, int unit_number, std::string& line) {
    int status = read_unit_line(run, unit_number, line);
    if (status != 0) return status;
    if (line.size() > kLabelLineWidth) line.resize(character_offset(line, kLabelLineWidth));
    std::size_t semi = line.find(';');
    if (semi != std::string::npos) line.resize(semi);
    return 0;
}

std::string ilfile_name(const Run& run) {
    return std::string(trim(run.cv.ilfile));
}

}  // namespace

bool is_end_of_labels_line(std::string_view line) {
    std::string packed;
    for (char c : line)
        if (c != ' ') packed.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    return packed == "ENDNAMES" || packed == "ENDLABELS";
}

void copy_item_labels_to_work_file(Run& run) {
    const std::string path = work_file_path(run, "ZIL");
    run.cv.ilfile = pad_bytes(path, std::max<std::size_t>(width::kFileName, path.size()));
    if (open_unit(run, unit::kEdit, path, OpenMode::Write) != 0)
        stop_with_file_error(run, msg::kItemLabelOpenFailure, path, 'O');
    if (run.cv.item_numbering == 'Y') {
        close_unit(run, unit::kEdit);
        return;
    }
    std::int64_t count = 0;
    std::string line;
    for (;;) {
        int status = read_label_line(run, unit::kControl, line);
        if (status < 0) break;
        if (status > 0) stop_with_file_error(run, msg::kErrorReadingItemLabels, path, 'R');
        blank_control_characters(line);
        if (trim(line).empty()) continue;
        if (is_end_of_labels_line(line)) break;
        if (write_unit_line(run, unit::kEdit, trim_right(line)) != 0)
            stop_with_file_error(run, msg::kItemLabelWriteFailure, path, 'W');
        ++count;
    }
    if (count != run.cv.ni)
        show_message_line(run,
                          msg::kItemLabelsCount + number(count) + msg::kButNi + number(run.cv.ni));
    close_unit(run, unit::kEdit);
    run.rs.io_status = 0;
}

void skip_item_labels_in_control_file(Run& run) {
    std::string line;
    for (;;) {
        if (read_label_line(run, unit::kControl, line) != 0) fatal_message(run, msg::kPutEndLabels);
        if (is_end_of_labels_line(line)) return;
    }
}

std::int32_t build_item_label_work_file(Run& run, LabelProblem on_problem) {
    // A problem stops the run during data input; after the run it is reported, 0 is returned
    // and the run goes on.
    auto problem = [&](const char* text, const std::string& file, char mode) -> std::int32_t {
        if (on_problem == LabelProblem::Stop) stop_with_file_error(run, text, file, mode);
        const std::int32_t status = run.rs.io_status;
        close_unit(run, unit::kOutput);
        show_message_line(run, text);
        run.rs.io_status = status;
        report_file_error(run, file, mode);
        run.rs.io_status = 0;
        return 0;
    };
    close_unit(run, unit::kOutput);
    const std::string name = ilfile_name(run);
    std::int32_t longest = kShortestLabelRecord;
    if (open_unit(run, unit::kOutput, name, OpenMode::Read) != 0)
        return problem(msg::kItemLabelOpenFailure, name, 'I');
    if (name.find(msg::kWorkFileTail) == std::string::npos && run.host)
        run.host->add_edit_menu_entry(std::string(msg::kMenuEdit) +
                                          std::string(trim(run.cv.item_word)) +
                                          msg::kMenuEditLabelsSuffix,
                                      name);
    // First reading: the longest label. ZJJ is not touched before the file has been read through.
    // The record holds the longest label's bytes; the label field of the Tables is as wide as
    // the longest label on the screen.
    std::string line;
    int status;
    std::int32_t record_length = kShortestLabelRecord;
    while ((status = read_label_line(run, unit::kOutput, line)) == 0) {
        const std::string_view text = trim_right(line);
        record_length = std::max(record_length, static_cast<std::int32_t>(text.size()));
        longest = std::max(longest, static_cast<std::int32_t>(display_width(text)));
    }
    if (status > 0) return problem(msg::kItemLabelReadFailureLine, name, 'R');
    close_unit(run, unit::kOutput);
    close_record_unit(run, unit::kItemLabels);
    run.rs.item_label_record_length = 0;
    if (open_item_label_work_file(run, record_length) != 0)
        return problem(msg::kItemWorkFileSetUp, msg::kItemWorkFile, 'O');
    run.rs.item_label_record_length = record_length;
    if (open_unit(run, unit::kOutput, name, OpenMode::Read) != 0)
        return problem(msg::kItemLabelReopenFailure, name, 'I');

    // Second reading: one record per label line that is not blank.
    WorkFileLayout layout;
    layout.ni = run.cv.ni;
    WorkFiles files(layout);
    const std::string zjj = work_file_path(run, "ZJJ");
    std::int64_t k = 0;
    while ((status = read_label_line(run, unit::kOutput, line)) == 0) {
        // Control codes in a label would stand for drawing characters in the Tables.
        blank_control_characters(line);
        if (trim(line).empty()) continue;
        if (write_item_label_record(run, files, ++k, line) != 0)
            return problem(msg::kItemLabelWriteFailure, zjj, 'W');
    }
    if (status > 0) return problem(msg::kItemLabelReadFailureLine, name, 'R');
    close_unit(run, unit::kOutput);
    const std::int64_t ni = run.cv.ni;
    if (k == 0)
        show_message_line(run, msg::kNoItemLabels + number(ni));
    else if (k != ni)
        show_message_line(run,
                          msg::kWrongNumberOfItemLabels + number(k) + msg::kButNi + number(ni));
    std::string label;
    for (std::int64_t i = k + 1; i <= ni; ++i) {
        make_item_number_label(i, run.cv.ni, label);
        if (write_item_label_record(run, files, i, trim_right(label)) != 0)
            return problem(msg::kItemLabelWriteFailure, zjj, 'W');
    }
    // The labels gathered last reach the file now: a write that fails is reported here.
    if (flush_record_unit(run, unit::kItemLabels) != 0)
        return problem(msg::kItemLabelWriteFailure, zjj, 'W');
    run.rs.io_status = 0;
    return longest;
}

void measure_item_labels(Run& run) {
    WorkFileLayout layout;
    layout.ni = run.cv.ni;
    layout.itlen = run.cv.itlen;
    layout.items_numbered = run.cv.item_numbering == 'Y';
    WorkFiles files(layout);
    std::int32_t widest = 1;
    std::string label;
    for (std::int64_t i = 1; i <= run.cv.ni; ++i) {
        read_item_label_record(run, files, i, label);
        widest = std::max(widest, static_cast<std::int32_t>(display_width(trim_right(label))));
    }
    run.input.longest_item_label = widest;
}

}  // namespace korvelan

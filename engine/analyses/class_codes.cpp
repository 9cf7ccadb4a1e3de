#include "engine/analyses/class_codes.h"

#include <algorithm>

#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// Longest specification line read from a file of specifications.
constexpr std::size_t kSpecificationWidth = 260;
// Characters of the code area of a specification.
constexpr int kCodeAreaWidth = 2000;

void report_and_show(Run& run, const std::string& text) {
    write_report_text(run, text);
    show_message_line(run, text);
}

bool holds_selection(std::string_view value) {
    return value.find("$S") != std::string_view::npos || value.find("$s") != std::string_view::npos;
}

}  // namespace

void for_each_specification(Run& run, const SpecificationSetting& setting,
                            const std::function<void(std::string_view)>& run_set) {
    const std::string value(trim(*setting.value));
    const std::string name(setting.report_name);
    const std::string table(trim(int_to_text_left(run.rep.request.table)));
    if (value.empty()) {
        report_and_show(run,
                        msg::kTableNotPrinted + table + msg::kNotPrinted + name + "= NOT SPECIFIED");
        return;
    }
    if (holds_selection(value)) {
        run_set(value);
        return;
    }
    // A file that cannot be read loses the Table asked for: the run has not done what it was asked.
    if (open_unit(run, unit::kClassSpecifications, value, OpenMode::Read) != 0) {
        const std::string text = msg::kInvalidClassFile + name + msg::kInvalidClassFileName + value;
        write_report_text(run, text);
        note_output_file_failure(run, text);
        setting.value->clear();
        return;
    }
    std::string line;
    int status = 0;
    bool any = false;
    while ((status = read_unit_line_for_output(run, unit::kClassSpecifications, line)) == 0) {
        if (line.size() > kSpecificationWidth) line.resize(kSpecificationWidth);
        const std::string specification(trim_right(line));
        if (trim(specification).empty()) continue;
        // Only a line with a column selection counts: a file of comments, of a Ctrl-Z or of
        // other lines selects nothing, as an empty one.
        any = any || holds_selection(specification);
        run_set(specification);
    }
    if (status > 0 && status != kLineRunsOn && status != kLineHasNul) {
        report_output_file_error(run, value, 'I');
    } else if (!any && status < 0) {
        // A file without a selection loses its Table as an unreadable one does.
        const std::string text =
            msg::kTableNotPrinted + table + msg::kNotPrinted + name + msg::kClassFileHoldsNone + value;
        write_report_text(run, text);
        note_output_file_failure(run, text);
    }
    close_unit(run, unit::kClassSpecifications);
}

bool LabelCodeTable::parse(Run& run, std::string_view specification, std::string_view keyword) {
    codes_.clear();
    width_ = 0;
    if (!parse_field_selection(run, specification, keyword, SelectionUse::Label, selection_)) return false;
    SelectedText blank;
    apply_field_selection(selection_, "", blank);
    width_ = std::min(blank.count, kCodeAreaWidth);
    return width_ > 0;
}

std::string LabelCodeTable::code_of(std::string_view label) const {
    SelectedText out;
    apply_field_selection(selection_, label, out);
    // A column is a character: the code is width() characters, blank-padded.
    return pad_characters(out.text(), static_cast<std::size_t>(width_));
}

std::string LabelCodeTable::code_of_entry(Run& run, ReportSide side, std::int32_t entry) const {
    return code_of(side_label(run, side, entry));
}

int LabelCodeTable::find(std::string_view code) const {
    for (std::size_t g = 0; g < codes_.size(); ++g)
        if (codes_[g] == code) return static_cast<int>(g) + 1;
    return 0;
}

int LabelCodeTable::add(std::string_view code) {
    if (const int g = find(code); g > 0) return g;
    if (static_cast<std::int64_t>(codes_.size()) >= capacity()) return 0;
    codes_.push_back(pad_characters(code, static_cast<std::size_t>(width_)));
    return count();
}

void LabelCodeTable::set_first(std::string_view code) {
    codes_.clear();
    codes_.push_back(pad_characters(code, static_cast<std::size_t>(width_)));
}

std::string side_label(Run& run, ReportSide side, std::int32_t entry) {
    WorkFiles files = run_work_files(run);
    std::string label;
    if (side == ReportSide::Items) read_item_label_record(run, files, entry, label);
    else read_person_name_record(run, files, entry, label);
    return label;
}

void show_processing_line(Run& run, std::string_view keyword, std::string_view specification) {
    if (run.host)
        run.host->write_text_window_line(msg::kProcessingKeyword + std::string(keyword) + "=" +
                                         std::string(specification));
}

}  // namespace korvelan

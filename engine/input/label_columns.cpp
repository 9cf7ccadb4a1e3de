#include "engine/input/label_columns.h"

#include "engine/input/selections.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

constexpr int kItemAnchorUnit = 11;  // ZIA
constexpr int kItemWeightUnit = 12;  // ZIW

struct LabelColumnFile {
    int unit;
    FieldSelection selection;
    bool open = false;
    std::string path;
    std::string typed;  // the selection as the instruction gave it
    std::int64_t written = 0;
};

// When the value is a column selection that selects something, it is kept and the value becomes
// the path of the work file, opened on its unit.
void open_when_selection(Run& run, std::string& value, std::string& kept, const char* name,
                         const char* code, LabelColumnFile& file) {
    if (value.find("$S") == std::string::npos && value.find("$s") == std::string::npos) return;
    if (!parse_field_selection(run, value, name, SelectionUse::Label, file.selection)) return;
    SelectedText probe;
    apply_field_selection(file.selection, "", probe);
    if (probe.count <= 0) return;
    kept = value;
    file.typed = value;
    file.path = work_file_path(run, code);
    value = file.path;
    if (open_unit(run, file.unit, file.path, OpenMode::Write) != 0)
        stop_with_file_error(run, msg::kProblemWithWorkFile, file.path, 'O');
    file.open = true;
}

void write_selected_value(Run& run, LabelColumnFile& file, std::int32_t item,
                          std::string_view label) {
    if (!file.open) return;
    SelectedText selected;
    apply_field_selection(file.selection, label, selected);
    const std::string_view value = trim(selected.text());
    if (value.empty()) return;
    const std::string line = std::string(trim(int_to_text_left(item))) + " " + std::string(value);
    if (write_unit_line(run, file.unit, line) != 0)
        stop_with_file_error(run, msg::kProblemWithWorkFile, file.path, 'W');
    ++file.written;
}

void warn_when_nothing_found(Run& run, const LabelColumnFile& file, const char* name) {
    if (file.open && file.written == 0) show_message_line(run, selection_found_nothing(name, file.typed));
}

void close_files(Run& run, LabelColumnFile& anchors, LabelColumnFile& weights) {
    warn_when_nothing_found(run, anchors, "IAFILE");
    warn_when_nothing_found(run, weights, "IWEIGHT");
    if (anchors.open && close_unit(run, anchors.unit) != 0)
        stop_with_file_error(run, msg::kProblemWithWorkFile, anchors.path, 'W');
    if (weights.open && close_unit(run, weights.unit) != 0)
        stop_with_file_error(run, msg::kProblemWithWorkFile, weights.path, 'W');
}

}  // namespace

std::string selection_found_nothing(std::string_view name, std::string_view selection) {
    return msg::kSelectionFoundNothing + std::string(name) + "=" + std::string(trim(selection)) +
           msg::kSelectionFoundNothingTail;
}

void build_item_weight_anchor_work_files(Run& run, WorkFiles& files,
                                         std::vector<std::int8_t>& item_status,
                                         ItemLabelColumns& columns) {
    LabelColumnFile weights{kItemWeightUnit, {}, false, {}, {}, 0};
    LabelColumnFile anchors{kItemAnchorUnit, {}, false, {}, {}, 0};
    open_when_selection(run, columns.iweight, columns.weight_selection, "IWEIGHT", "ZIW", weights);
    open_when_selection(run, columns.iafile, columns.anchor_selection, "IAFILE", "ZIA", anchors);

    const std::string_view pattern = trim(columns.iselect);
    const bool selecting = !pattern.empty() && pattern != "*";
    if (!selecting && !weights.open && !anchors.open) return;

    const std::int32_t ni =
        std::min(files.layout.ni, static_cast<std::int32_t>(item_status.size()) - 1);
    std::string label;
    for (std::int32_t i = 1; i <= ni; ++i) {
        read_item_label_record(run, files, i, label);
        if (selecting && !is_selected(match_label_selection(pattern, label, files.layout.itlen)))
            item_status[static_cast<std::size_t>(i)] = status::kDeleted;
        write_selected_value(run, anchors, i, label);
        write_selected_value(run, weights, i, label);
    }
    close_files(run, anchors, weights);
}

}  // namespace korvelan

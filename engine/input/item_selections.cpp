#include "engine/input/item_selections.h"

#include <string>

#include "engine/input/selections.h"
#include "engine/input/work_files.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

constexpr int kItemAnchorUnit = 11;
constexpr int kItemWeightUnit = 12;

struct ColumnFile {
    std::string ControlVariables::*value;
    std::string InputState::*kept;
    const char* name;
    const char* code;
    int unit;
    bool open = false;
    FieldSelection selection;

    ColumnFile(std::string ControlVariables::*v, std::string InputState::*k, const char* n, const char* c, int u)
        : value(v), kept(k), name(n), code(c), unit(u) {}
};

[[noreturn]] void stop_on_work_file(Run& run, const std::string& path) {
    const std::int32_t status = run.rs.io_status;
    show_message_line(run, msg::kProblemWithWorkFile);
    run.rs.io_status = status;
    fail_on_file_error(run, path, 'O');
}

// A column selection that selects something becomes the work file's source; the variable then
// names the work file. An invalid selection leaves the variable as it was.
void open_column_file(Run& run, ColumnFile& f) {
    std::string& value = run.cv.*f.value;
    if (!holds_column_selection(value)) return;
    const std::string selection(trim(value));
    if (!parse_field_selection(run, selection, f.name, SelectionUse::Label, f.selection)) return;
    SelectedText probe;
    apply_field_selection(f.selection, "", probe);
    if (probe.count <= 0) return;
    run.input.*f.kept = selection;
    const std::string path = work_file_path(run, f.code);
    value = pad_right(path, width::kFileName);
    if (open_unit(run, f.unit, path, OpenMode::Write) != 0) stop_on_work_file(run, path);
    f.open = true;
}

void write_column_line(Run& run, const ColumnFile& f, std::int32_t item, std::string_view label) {
    if (!f.open) return;
    SelectedText out;
    apply_field_selection(f.selection, label, out);
    std::string_view text = trim(out.text());
    if (text.empty()) return;
    if (write_unit_line(run, f.unit, std::string(trim(int_to_text_left(item))) + " " + std::string(text)) != 0)
        stop_on_work_file(run, unit_path(run, f.unit));
}

}  // namespace

bool holds_column_selection(std::string_view value) {
    return value.find("$S") != std::string_view::npos || value.find("$s") != std::string_view::npos;
}

void build_item_weight_anchor_work_files(Run& run) {
    ColumnFile weights{&ControlVariables::iweight, &InputState::item_weight_selection, "IWEIGHT", "ZIW",
                       kItemWeightUnit};
    ColumnFile anchors{&ControlVariables::iafile, &InputState::item_anchor_selection, "IAFILE", "ZIA",
                       kItemAnchorUnit};
    open_column_file(run, weights);
    open_column_file(run, anchors);
    const std::string_view pattern = trim(run.cv.iselect);
    const bool selecting = pattern != "*";
    if (!selecting && !weights.open && !anchors.open) return;
    if (run.cv.ni >= 1) {
        WorkFileLayout layout;
        layout.ni = run.cv.ni;
        layout.itlen = run.cv.itlen;
        layout.items_numbered = run.cv.item_numbering == 'Y';
        WorkFiles files(layout);
        std::string label;
        for (std::int32_t i = 1; i <= run.cv.ni; ++i) {
            read_item_label_record(run, files, i, label);
            if (selecting && !is_selected(match_label_selection(pattern, label, run.cv.itlen)))
                run.arrays.item_status[static_cast<std::size_t>(i)] = status::kDeleted;
            write_column_line(run, anchors, i, label);
            write_column_line(run, weights, i, label);
        }
    }
    close_unit(run, kItemAnchorUnit);
    close_unit(run, kItemWeightUnit);
    run.rs.io_status = 0;
}

}  // namespace korvelan

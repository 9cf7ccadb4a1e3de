#include "engine/input/item_selections.h"

#include <algorithm>

#include "engine/input/data_input.h"
#include "engine/input/label_columns.h"

namespace korvelan {

bool holds_column_selection(std::string_view value) {
    return value.find("$S") != std::string_view::npos || value.find("$s") != std::string_view::npos;
}

bool item_label_pass_needed(const Run& run) {
    return holds_column_selection(run.cv.iweight) || holds_column_selection(run.cv.iafile) ||
           trim(run.cv.iselect) != "*";
}

void select_items_by_label_columns(Run& run) {
    ItemLabelColumns columns;
    columns.iweight = std::string(trim(run.cv.iweight));
    columns.iafile = std::string(trim(run.cv.iafile));
    columns.iselect = std::string(trim(run.cv.iselect));
    WorkFiles files = run_work_files(run);
    build_item_weight_anchor_work_files(run, files, run.arrays.item_status, columns);
    // A work file's path is held whole, however long the temporary folder's name.
    run.cv.iweight =
        pad_bytes(columns.iweight, std::max<std::size_t>(width::kFileName, columns.iweight.size()));
    run.cv.iafile =
        pad_bytes(columns.iafile, std::max<std::size_t>(width::kFileName, columns.iafile.size()));
    if (!columns.weight_selection.empty())
        run.input.item_weight_selection = columns.weight_selection;
    if (!columns.anchor_selection.empty())
        run.input.item_anchor_selection = columns.anchor_selection;
    run.rs.io_status = 0;
}

}  // namespace korvelan

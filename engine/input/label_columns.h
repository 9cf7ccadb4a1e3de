// Item weights and item anchors given as columns of the item labels (IWEIGHT=$S..W.., IAFILE=
// $S..E..): the selected text of every item becomes a line "item value" of an edit file in the
// temporary directory (ZIW, ZIA), which the weight and anchor readers then read like any other.
// The same pass over the item labels applies ISELECT= to the items.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/input/work_files.h"
#include "engine/run/run.h"

namespace korvelan {

struct ItemLabelColumns {
    std::string iweight;           // IWEIGHT=: a column selection becomes the ZIW file's path
    std::string iafile;            // IAFILE=: a column selection becomes the ZIA file's path
    std::string weight_selection;  // the selections kept once IWEIGHT= and IAFILE= name the files
    std::string anchor_selection;
    std::string iselect = "*";  // ISELECT=
};

// Builds ZIW and ZIA from the item labels (read through the item label work file) when IWEIGHT=
// or IAFILE= is a valid column selection, and deletes (status -3) the items whose labels do not
// match ISELECT=. A selection in error leaves its value as a file name. A work file that cannot
// be written ends the run.
void build_item_weight_anchor_work_files(Run& run, WorkFiles& files,
                                         std::vector<std::int8_t>& item_status,
                                         ItemLabelColumns& columns);

// The warning line of a label column selection (IAFILE=, IWEIGHT=, PAFILE=, PWEIGHT=) that found
// a value in no label: nothing is anchored or weighted by it.
std::string selection_found_nothing(std::string_view name, std::string_view selection);

}  // namespace korvelan

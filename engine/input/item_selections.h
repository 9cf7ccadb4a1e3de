// The pass over the item labels that applies ISELECT= and turns IWEIGHT= and IAFILE= given as
// column selections of the labels ("$S1W4") into the entry-list work files ZIW and ZIA.
#pragma once

#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// Whether a value is a column selection ("$S" in either case).
bool holds_column_selection(std::string_view value);

// Whether the pass is needed: IWEIGHT= or IAFILE= select columns, or ISELECT= is not "*".
bool item_label_pass_needed(const Run& run);

// Runs the pass with the run's settings: items whose labels ISELECT= rejects get status -3, and
// IWEIGHT= / IAFILE= name their work files once built (the selections are kept whole in
// run.input). The item labels must be in place.
void select_items_by_label_columns(Run& run);

}  // namespace korvelan

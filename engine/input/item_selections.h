// Item weights and anchors taken from columns of the item labels (IWEIGHT= or IAFILE= given as
// a column selection such as "$S1W4"), turned into ordinary entry-list work files, and the
// ISELECT= selection of items by their labels.
#pragma once

#include "engine/run/run.h"

namespace korvelan {

// Whether a value is a column selection ("$S" in either case).
bool holds_column_selection(std::string_view value);

// Writes ZIW / ZIA (one line "item value" per item whose selected text is not blank) when
// IWEIGHT= / IAFILE= select columns, and points those variables at the work files; deletes
// (status -3) the items whose labels ISELECT= rejects. The item labels must be in place.
void build_item_weight_anchor_work_files(Run& run);

}  // namespace korvelan

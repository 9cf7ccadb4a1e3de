// The per-item strings of the second reading: answer keys, IVALUEx= rows and the GROUPS=,
// MODELS=, RESCORE= and IREFER= strings, given in the control instructions, as records in data
// layout right after "&END", or in their own list files; and the scores of the answer keys.
#pragma once

#include <string>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// The second reading: every per-item string given in the instructions or in data layout, then
// the key scores. The strings must already be allocated (run.arrays.strings).
void read_keyed_control_lists(Run& run);

// Key scores from "KEYS": blank, it is rewritten with each key's own number; otherwise field n
// (XWIDE characters) is key n's score, 255 when blank, negative or unreadable.
void settle_key_scores(Run& run);

// List files: one line per entry or range ("3", "1-5", "5-1") followed by the code. Each sets its
// string's mode from what it read. A list that cannot be read ends the run, except the RESCORE=
// list, which leaves the run without rescoring.
void read_groups_file(Run& run);
void read_models_file(Run& run);
void read_irefer_file(Run& run);
void read_rescore_file(Run& run);

}  // namespace korvelan

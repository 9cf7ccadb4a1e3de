// The control-instruction dialog and the grouping dialog of the subtotal and DIF/DPF Tables: one
// control instruction typed after the run, applied by the engine's run-time parser.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// The grouping setting a Table asks for, and how the dialog names it.
struct GroupingLabels {
    std::string keyword;  // "ISUBTOTAL"
    std::string beside;   // "ISUBTOTAL =", beside the box
    std::string above;    // "ISUBTOTAL = $S..W.. in Item Label for Table 27"
};

// Tables 27, 28, 30 and 31 are grouped; any other Table number (0: the control-instruction dialog)
// gives none.
std::optional<GroupingLabels> grouping_labels(int table);

// The box on opening: the Table's grouping setting without trailing blanks, "$S1W1" when it is
// blank; empty for a Table that is not grouped.
std::string specification_shown(const ControlVariables& cv, int table);

// The instruction the text makes: for a grouped Table a text without "=" gets "<keyword>=" in
// front; any other text (an empty one too) stays as typed.
std::string specification_instruction(int table, std::string_view text);

// OK: the instruction of the text for run.rep.request.table goes to the run-time parser.
void apply_specification(Run& run, std::string_view text);

// Cancel: no Table follows.
inline void cancel_specification(Run& run) { run.rep.request.table = -1; }

}  // namespace korvelan

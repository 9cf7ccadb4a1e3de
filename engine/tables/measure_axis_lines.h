// The two lines around the horizontal measure axis of the keyforms and the category displays:
// the tick labels and the rule with the "NUM" and item-word titles; and the text of a category
// as these plots show it.
#pragma once

#include <string>

#include "engine/report/plot_axis.h"
#include "engine/run/run.h"

namespace korvelan {

// The tick labels from line position 1: the lowest label, left-justified, from position 2, and
// one five-column label ending under each tick (position k x columns_per_tick + 2). Where the
// lowest label would reach the first tick's label, the one that gives way (the lowest, unless
// lowest_label_wins) is left out whole, so that neither shows cut.
std::string axis_label_line(const PlotAxis& axis, bool lowest_label_wins);

// " ├" then per tick columns_per_tick - 1 rule characters and "┼", the last one "┤"; then two
// blanks, "NUM", three blanks and the item word.
std::string axis_rule_line(const PlotAxis& axis, const std::string& item_word);

// The code of CODES= entry k (1-based, XWIDE= characters), trimmed; empty for an index outside
// the codes. A plot line holds it a byte a column (code_field); the line is shown through
// shown_codes.
std::string code_text(const ControlVariables& cv, int k);

// The text of category value v of the item: its code (or the digit v mod 10 when no code scores
// as v), replaced by character n + 1 of the "AL" setting when the code reads as a number n
// within that setting's trimmed length.
std::string category_code_text(const Run& run, int value, int item);

}  // namespace korvelan

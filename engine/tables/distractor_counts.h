// The order of the rows of the category, option and distractor table and the flag of a code
// chosen by persons no abler than those of a lower-scored code; the figures themselves come from
// the option tally the DISFILE= file shares (engine/estimation/option_tally.h).
#pragma once

#include <vector>

#include "engine/estimation/option_tally.h"

namespace korvelan {

// The order of the codes: "S" and "V" by score value, "U" and "C" by use, "A" and "M" by average
// measure, "D" as CODES= lists them; 1, 3, 5 or 7. Any other letter becomes "S".
int option_order_mode(char& osort);
// Sorts the code order (positions 1..C in order[0..C-1]) of the item by exchange, starting from
// the order the item before left, all keys ascending: score value, then average measure; weight,
// then score value, then average measure; average measure, then score value. Mode 7 keeps it.
void sort_code_order(const OptionFrequencies& f, int item, int mode, std::vector<int>& order);

// Whether some other code of the item with a lower score value is given by persons of an
// average measure equal to or above this code's, measures taken along the logits (a negative
// USCALE= turns the reported averages round).
bool measure_disordered(const ControlVariables& cv, const OptionFrequencies& f, int item, int code);

}  // namespace korvelan

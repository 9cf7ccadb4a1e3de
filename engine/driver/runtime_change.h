// The change of one control instruction after the run, as the shell's Specification dialog asks:
// the instruction is parsed as a control-file line, then the results of the run are brought into
// line with the changed value, so that every later Table and output file sees it. Persons or
// items are re-selected, the measures rescaled or recentred, the item labels rebuilt, or the
// expected-score points and thresholds computed again.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/input/work_files.h"
#include "engine/run/run.h"

namespace korvelan {

// Parses one "Variable=Value" instruction (text up to a NUL character, if any) and applies it to
// the finished run. The person and item work files that are not open are opened for the change
// and closed afterwards; one that cannot be opened is reported and nothing changes. A faulty
// instruction, or one naming a variable that sizes arrays or work files, is reported by the
// parser and changes nothing. Always returns.
void apply_runtime_specification(Run& run, std::string_view instruction);

// Selects the persons by PSELECT= (items by ISELECT=) and summarises the selected ones again:
// deselected entries (status - 10) are first reinstated unless keep_deselections is set; an
// entry that takes part (status -1 or above) and whose label does not match is deselected. The
// summary slots of the side, its counts and both residual-correlation marks are made afresh,
// and the window shows the plural word, " SELECTED: " and the count. Returns that count.
std::int64_t reselect_persons(Run& run, WorkFiles& files, bool keep_deselections);
std::int64_t reselect_items(Run& run, WorkFiles& files, bool keep_deselections);

// Rescales every stored user-unit value from old_uscale to the USCALE= now in force, about the
// origin UMEAN=: measures, standard errors, displacements (persons in their work records),
// summary slots, category points and average measures. With a change of sign the extreme codes
// 0 and -1 (and their deselected forms) are exchanged.
void rescale_measures(Run& run, WorkFiles& files, float old_uscale);

// Moves every measure so that the item mean (person mean when UMEAN= is set on persons) becomes
// UMEAN=.
void recentre_measures(Run& run);

}  // namespace korvelan

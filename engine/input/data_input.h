// Data input: the data records of an analysis turned into the person work files. One call lays
// out the category slots, builds the item label work file, reads every data record (pass 1:
// label, selection, response codes to ZPP and ZNN), reports the count of records input and
// scores every person (pass 2: ZNN codes scored to ZMM).
#pragma once

#include <vector>

#include "engine/input/work_files.h"
#include "engine/run/run.h"

namespace korvelan {

// The whole of data input. Sets NP (run.arrays.persons), the records input and the longest
// person label; every failure inside ends the run.
void read_data_input(Run& run);

// The category values the codes of each rating-scale group score: element g (1..groups) flags
// the values 0..its size - 1, the last one flagged being the group's top value (empty: no code
// scores anything). A value scored for missing responses (MISSING=) counts for every group, and
// MAKEKEY= (whose key scores codes 1) for value 1.
std::vector<std::vector<bool>> values_scored_by_group(const Run& run);

// The category slots of the rating-scale groups from the scoring of every code of every item:
// group_top_value, group_first_slot, the slot count C and the highest category M. Ends the
// run when no code scores 1 or above.
void lay_out_category_slots(Run& run);

// The layout of the work files for this run's settings.
WorkFileLayout run_work_file_layout(const Run& run);

// The work files of the run as the record readers see them: the layout from the control values
// and the memory images of the analysis arrays.
WorkFiles run_work_files(Run& run);

}  // namespace korvelan

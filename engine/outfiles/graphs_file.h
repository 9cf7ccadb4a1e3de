// The graphs work file ZVB: the rating-scale structure of every group, one value a line, read
// by the graphs program. It is rewritten in full for every graph request.
#pragma once

#include <string>

#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// Unit of the graphs work file while it is written.
inline constexpr int kGraphsWorkFileUnit = 25;

std::string graphs_work_file_path(const Run& run);

// The label of group g in the graphs work file, at most 80 characters: the title when the
// analysis has one group, else the group character, the model letter when it is not "R", and
// the number and label of the group's first measured item.
std::string build_group_label(const OutputSettings& s, const AnalysisArrays& a,
                              EntryRecords& records, std::int32_t g);

// Writes ZVB in the temporary directory. Returns true when the whole file was written; after a
// failure (reported here) the graphs program should not be started on it.
bool write_graphs_work_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                            EntryRecords& records);

}  // namespace korvelan

// The person and item measure files PFILE= and IFILE=: one line per entry, in entry order,
// whatever its status. Later runs read these files back (as anchor files and in the comparison
// of two measure files), so the fixed columns of the record are fixed for good.
#pragma once

#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// Writes the PFILE= (persons) or IFILE= (items) file named in the settings. Persons' standard
// errors, mean-squares, counts, scores, point-biserials and displacements come from their work
// records, items' from the arrays. Failures are reported and end only this file.
void write_measure_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                        EntryRecords& records, Entity side);

}  // namespace korvelan

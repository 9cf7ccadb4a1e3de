// The response files: the scored response file RFILE= (one line per person: the label and every
// scored response) and the observation file XFILE= (one line per observation with its model
// values), written in the fields and for the observations that the settings choose.
#pragma once

#include <cstdint>
#include <span>

#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// The positions of OutputSettings::xfile_fields, from 0.
namespace xfield {
inline constexpr int kPerson = 0, kItem = 1, kObserved = 2, kOrdered = 3, kExpectation = 4,
                     kVariance = 5, kZscore = 6, kResidual = 7, kMeasure = 8, kLogProbability = 9,
                     kCode = 10, kMissing = 11, kExtreme = 12, kOnlyPerson = 13, kOnlyItem = 14;
}

// XFILE=: for every person above status -3 in the range and every item in the range, one line
// of the chosen fields (fixed columns, or quoted and comma- or tab-separated), after two heading
// lines under HLINES=Y. Missing observations and those of extreme or unmeasured entries are
// written when the settings choose them. A failure is reported and ends this file only.
void write_observation_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                            EntryRecords& records, CategoryCurves& curves);

// RFILE=: one line per person, the label in max(30, longest label) columns, then each scored
// response right-justified in as many columns as the largest category value has digits.
// person_status is the persons' status array as it stands (during data input, the input one).
void write_scored_response_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                EntryRecords& records, std::span<const std::int8_t> person_status);

}  // namespace korvelan

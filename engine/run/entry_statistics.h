// The statistics of one item or person as the measure files and the run-time summary of
// measures read them: an item's all from the item arrays, a person's measure and standardized
// fits from the person arrays and the rest from the person's work record.
#pragma once

#include <cstdint>

#include "engine/run/analysis_arrays.h"

namespace korvelan {

struct EntryStatistics {
    float measure = 0.0f;
    float count = 0.0f;
    float raw_score = 0.0f;
    float standard_error = 0.0f;
    float infit_mnsq = 0.0f, infit_zstd = 0.0f;
    float outfit_mnsq = 0.0f, outfit_zstd = 0.0f;
    float displacement = 0.0f;
    float point_biserial = 0.0f;
};

// Item i's statistics; 0 where an array does not reach i.
EntryStatistics item_statistics(const AnalysisArrays& a, std::int64_t i);
// Person n's statistics, given the person's work record.
EntryStatistics person_statistics(const AnalysisArrays& a, std::int64_t n,
                                  const PersonWorkFields& record);

}  // namespace korvelan

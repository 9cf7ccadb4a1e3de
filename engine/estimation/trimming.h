// CUTLOW=/CUTHIGH= trimming: after PROX, observations of persons far from an item's difficulty
// (person measure minus item measure beyond the limits) become missing, and PROX runs again.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/estimation/estimation_observer.h"
#include "engine/input/work_files.h"
#include "engine/run/run.h"

namespace korvelan {

// The limits come in user units (0: no limit on that side) and leave as logits, |value / USCALE|.
// Only responses of measured or anchored persons on measured or anchored items are dropped; the
// changed person records are written back to the scored responses. The framed lines "DROPPING
// OUT OF RANGE OBSERVATIONS ..." and the result, and the progress, go to the observer. Returns
// the number of observations dropped: the estimation runs PROX again when it is above 0. With
// both limits 0 nothing happens and nothing is written.
std::int64_t drop_out_of_range_observations(Run& run, WorkFiles& files,
                                            const std::vector<std::int8_t>& person_status,
                                            const std::vector<float>& person_measure,
                                            std::int32_t np,
                                            const std::vector<std::int8_t>& item_status,
                                            const std::vector<float>& item_measure, float& cut_low,
                                            float& cut_high, float uscale,
                                            EstimationObserver& observer);

}  // namespace korvelan

// The frequency of every raw score of a score table: how many persons stand at each score's
// measure. Table 20.2 and the person score file count them with this one routine.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

// The row of each person of status -1 or above: the score whose measure lies nearest to the
// person's measure (halfway goes to the lower score; below the lowest and above the highest to
// the ends). The measures are in user units, uscale their scale. None when the measures do not
// rise with the score or a value is not finite.
std::optional<std::vector<std::int32_t>> score_frequencies(const AnalysisArrays& a,
                                                           const std::vector<float>& measure,
                                                           float uscale);

}  // namespace korvelan

// The status of a person as the checks between PROX and the iterations read it: PROX adds 16 to
// the status of a person whose responses are complete, and that mark is not part of the status.
#pragma once

#include <cstdint>

#include "engine/run/analysis_arrays.h"

namespace korvelan {

inline std::int8_t status_without_prox_mark(std::int8_t s) {
    return s > 8 ? static_cast<std::int8_t>(s - status::kProxCompleteMark) : s;
}

}  // namespace korvelan

#include "engine/estimation/score_frequencies.h"

#include <algorithm>
#include <cmath>

#include "engine/estimation/estimation_common.h"

namespace korvelan {

namespace {

// Interpolation search for x in the rising values t[0..n]: the row whose value is nearest.
std::int32_t score_row(const std::vector<float>& t, float x) {
    std::int32_t lo = 0, hi = static_cast<std::int32_t>(t.size()) - 1;
    if (x <= t[0]) return 0;
    if (x >= t[static_cast<std::size_t>(hi)]) return hi;
    // Here t[lo] < x < t[hi] always, so the bracket never has equal ends.
    for (;;) {
        if (hi == lo + 1) return 2.0f * x <= t[static_cast<std::size_t>(lo)] + t[static_cast<std::size_t>(hi)] ? lo : hi;
        const float tl = t[static_cast<std::size_t>(lo)], th = t[static_cast<std::size_t>(hi)];
        auto probe = static_cast<std::int32_t>(static_cast<float>(lo) +
                                               static_cast<float>(hi - lo - 2) * (x - tl) / (th - tl) + 1.0f);
        probe = std::clamp(probe, lo + 1, hi - 1);
        const float tp = t[static_cast<std::size_t>(probe)];
        if (tp < x) lo = probe;
        else if (x < tp) hi = probe;
        else return probe;
    }
}

}  // namespace

std::optional<std::vector<std::int32_t>> score_frequencies(const AnalysisArrays& a,
                                                           const std::vector<float>& measure,
                                                           float uscale) {
    const float scale = uscale == 0.0f ? 1.0f : uscale;
    std::vector<float> t(measure.size());
    for (std::size_t k = 0; k < t.size(); ++k) {
        t[k] = measure[k] / scale;
        if (!std::isfinite(t[k]) || (k > 0 && t[k] < t[k - 1])) return std::nullopt;
    }
    std::vector<std::int32_t> count(t.size(), 0);
    if (t.empty()) return count;
    for (int n = 1; n <= a.persons; ++n) {
        if (base_status(array_value(a.person_status, n, status::kDeleted)) < status::kExtremeMinimum) continue;
        const float x = a.person_measure[static_cast<std::size_t>(n)] / scale;
        if (!std::isfinite(x)) return std::nullopt;
        ++count[static_cast<std::size_t>(score_row(t, x))];
    }
    return count;
}

}  // namespace korvelan

#include "engine/estimation/summary_stats.h"

#include <algorithm>
#include <cmath>

namespace korvelan {

void accumulate_summary_slot(SummarySlot& slot, float value, float weight) {
    if (!(weight > 0.0f)) return;
    const double w = weight;
    const double v = value;
    slot.count += w;
    slot.sum += v * w;
    slot.sum_squares += v * v * w;
    if (!slot.has_value) {
        slot.has_value = true;
        slot.minimum = value;
        slot.maximum = value;
    } else {
        slot.minimum = std::min(slot.minimum, value);
        slot.maximum = std::max(slot.maximum, value);
    }
}

void add_summary_slot(SummarySlot& slot, const SummarySlot& other) {
    slot.count += other.count;
    slot.sum += other.sum;
    slot.sum_squares += other.sum_squares;
}

void finish_summary_slot(SummarySlot& slot) {
    if (!(slot.count > 0.0)) return;
    const double mean = slot.sum / slot.count;
    slot.mean = static_cast<float>(mean);
    slot.sd =
        static_cast<float>(std::sqrt(std::max(slot.sum_squares / slot.count - mean * mean, 0.0)));
}

SeparationReliability compute_separation_reliability(float a, float b, float sd) {
    const double rmse_squared = static_cast<double>(b) * b + static_cast<double>(a) * a;
    const double observed = static_cast<double>(sd) * sd;
    const double true_variance = observed - rmse_squared;
    SeparationReliability r;
    const double rmse = std::sqrt(std::max(rmse_squared, 0.0));
    r.rmse = static_cast<float>(rmse);
    if (true_variance > 0.0 && observed > 0.0 && rmse > 0.0) {
        const double adjusted = std::sqrt(true_variance);
        r.reliability = static_cast<float>(true_variance / observed);
        r.adjusted_sd = static_cast<float>(adjusted);
        r.separation = static_cast<float>(adjusted / rmse);
    }
    return r;
}

}  // namespace korvelan

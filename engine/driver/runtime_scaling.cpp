// Rescaling and recentring of the stored user-unit values after a run-time change of USCALE= or
// UMEAN=.
#include <cmath>

#include "engine/driver/runtime_change.h"

namespace korvelan {

namespace {

constexpr int kMeasureSlots[] = {3, 11, 19, 22};
constexpr int kErrorSlots[] = {4, 12, 17, 18, 20, 21, 23, 24};

// Whether the entry holds a measure: it takes part (status -1 or above) or was deselected after
// the run (-11 .. -6). Dropped, deleted and inestimable entries hold 0 and keep it.
bool holds_measure(std::int8_t s) {
    return s > status::kDropped || (s >= -11 && s <= -6);
}

// A change of sign of USCALE= turns the highest measure into the lowest: the extreme codes are
// exchanged, deselected ones too.
std::int8_t exchange_extreme_code(std::int8_t s) {
    switch (s) {
        case 0:
            return -1;
        case -1:
            return 0;
        case -10:
            return -11;
        case -11:
            return -10;
        case -20:
            return -21;
        case -21:
            return -20;
        default:
            return s;
    }
}

// The slot's sums restated from its count, mean and S.D., so that they agree with the values.
void restate_sums(SummarySlot& slot) {
    if (!(slot.count > 0.0)) return;
    const double mean = slot.mean;
    const double sd = slot.sd;
    slot.sum = mean * slot.count;
    slot.sum_squares = (sd * sd + mean * mean) * slot.count;
}

std::int64_t entries(std::int64_t n, std::size_t status_size) {
    return std::min<std::int64_t>(n, static_cast<std::int64_t>(status_size) - 1);
}

template <typename F>
void for_each_slot(std::vector<float>& v, F f) {
    for (std::size_t k = 1; k < v.size(); ++k) v[k] = f(v[k]);
}

}  // namespace

void rescale_measures(Run& run, WorkFiles& files, float old_uscale) {
    AnalysisArrays& a = run.arrays;
    const float f = run.cv.uscale / old_uscale;
    const float af = std::fabs(f);
    const float m0 = run.cv.umean;
    const bool exchange = f < 0.0f;
    auto measure = [&](float v) { return (v - m0) * f + m0; };

    const std::int64_t persons = entries(a.persons, a.person_status.size());
    for (std::int64_t n = 1; n <= persons; ++n) {
        const auto k = static_cast<std::size_t>(n);
        std::int8_t& s = a.person_status[k];
        if (exchange) s = exchange_extreme_code(s);
        if (holds_measure(s) && k < a.person_measure.size())
            a.person_measure[k] = measure(a.person_measure[k]);
        PersonWorkFields w;
        read_person_work_record(run, files, n, w);
        w.standard_error = std::fabs(w.standard_error * f);
        w.displacement = w.displacement * f;
        write_person_work_record(run, files, n, w);
    }
    a.estimation.person_largest_displacement *= af;
    a.estimation.item_largest_displacement *= af;
    const std::int64_t items = entries(a.items, a.item_status.size());
    for (std::int64_t n = 1; n <= items; ++n) {
        const auto k = static_cast<std::size_t>(n);
        std::int8_t& s = a.item_status[k];
        if (exchange) s = exchange_extreme_code(s);
        if (k < a.item_displacement.size()) a.item_displacement[k] *= f;
        if (holds_measure(s) && k < a.item_measure.size())
            a.item_measure[k] = measure(a.item_measure[k]);
        if (k < a.item_standard_error.size())
            a.item_standard_error[k] = std::fabs(a.item_standard_error[k] * f);
    }

    for (int k : kErrorSlots) {
        SummarySlot& slot = a.summary[static_cast<std::size_t>(k)];
        slot.mean = std::fabs(slot.mean * f);
        slot.sd = std::fabs(slot.sd * f);
        slot.minimum = std::fabs(slot.minimum * f);
        slot.maximum = std::fabs(slot.maximum * f);
        restate_sums(slot);
    }
    for (int k : kMeasureSlots) {
        SummarySlot& slot = a.summary[static_cast<std::size_t>(k)];
        slot.sd *= af;
        slot.mean = measure(slot.mean);
        slot.minimum = measure(slot.minimum);
        slot.maximum = measure(slot.maximum);
        if (slot.maximum < slot.minimum) std::swap(slot.minimum, slot.maximum);
        restate_sums(slot);
    }

    EstimationResults& est = a.estimation;
    est.person_mean_measure = measure(est.person_mean_measure);
    est.item_mean_measure = measure(est.item_mean_measure);
    est.person_sd_measure *= af;
    est.item_sd_measure *= af;

    for_each_slot(a.group_average_difference, [&](float v) { return v * f; });
    for (std::vector<float>* v : {&a.category_half_point_measure, &a.category_score_point_measure,
                                  &a.category_thurstone_threshold})
        for_each_slot(*v, [&](float x) { return x * af; });
    for (std::vector<float>* v : {&a.category_observed_average, &a.category_expected_average})
        for_each_slot(*v, [&](float x) { return x * f; });
}

void recentre_measures(Run& run) {
    AnalysisArrays& a = run.arrays;
    const float mean = run.cv.umean_on_items == 'Y' ? a.summary[11].mean : a.summary[3].mean;
    const float shift = run.cv.umean - mean;
    if (shift == 0.0f) return;
    auto move = [&](std::vector<std::int8_t>& statuses, std::vector<float>& measures,
                    std::int64_t count) {
        count = entries(count, statuses.size());
        for (std::int64_t n = 1; n <= count; ++n) {
            const auto k = static_cast<std::size_t>(n);
            if (holds_measure(statuses[k]) && k < measures.size()) measures[k] += shift;
        }
    };
    move(a.person_status, a.person_measure, a.persons);
    move(a.item_status, a.item_measure, a.items);
    a.estimation.person_mean_measure += shift;
    a.estimation.item_mean_measure += shift;
    for (int k : kMeasureSlots) {
        SummarySlot& slot = a.summary[static_cast<std::size_t>(k)];
        slot.mean += shift;
        slot.minimum += shift;
        slot.maximum += shift;
        restate_sums(slot);
    }
}

}  // namespace korvelan

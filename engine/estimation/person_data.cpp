#include "engine/estimation/person_data.h"

#include <stdexcept>

namespace korvelan {

namespace {
template <class T>
void at_least(std::vector<T>& v, std::int32_t n, T fill = T{}) {
    if (v.size() < static_cast<std::size_t>(n) + 1) v.resize(static_cast<std::size_t>(n) + 1, fill);
}
}  // namespace

void prepare_estimation_arrays(AnalysisArrays& a) {
    const std::int32_t ni = a.items, np = a.persons, g = a.groups, c = a.slots;
    for (auto* v : {&a.item_measure, &a.item_infit_zstd, &a.item_standard_error,
                    &a.item_outfit_mnsq, &a.item_infit_mnsq, &a.item_outfit_zstd,
                    &a.item_max_possible_score, &a.item_raw_score, &a.item_count,
                    &a.item_point_biserial, &a.item_displacement, &a.item_shown_score,
                    &a.item_shown_count})
        at_least(*v, ni);
    at_least(a.item_max_attainable_score, ni + 1);
    at_least(a.item_estimation_score, ni + 1);
    at_least(a.item_order, ni);
    for (auto* v : {&a.person_measure, &a.person_outfit_zstd, &a.person_infit_zstd,
                    &a.person_outfit_mnsq, &a.person_infit_mnsq, &a.person_shown_score,
                    &a.person_shown_count})
        at_least(*v, np);
    at_least(a.person_order, np);
    for (auto* v : {&a.group_weight_sum, &a.group_pivot, &a.group_average_difference}) at_least(*v, g);
    at_least(a.group_pivot_flag, g, static_cast<std::uint8_t>('N'));
    for (auto* v : {&a.step_calibration, &a.step_weighted_difference_sum,
                    &a.step_weighted_difference_square_sum, &a.step_information,
                    &a.category_half_point_measure, &a.category_score_point_measure,
                    &a.category_outfit_mnsq, &a.category_infit_mnsq,
                    &a.category_observed_average, &a.category_expected_average,
                    &a.category_thurstone_threshold, &a.category_expected_count,
                    &a.category_observed_count})
        at_least(*v, c);
    for (auto* v : {&a.category_count_first, &a.category_count_second, &a.category_recoded,
                    &a.category_status, &a.category_value})
        at_least(*v, c);
    at_least(a.step_values_by_category, a.top_value);
    if (!a.item_weights.empty()) at_least(a.group_weight_values, g);
}

PersonData::PersonData(Run& run) {
    AnalysisArrays& a = run.arrays;
    const std::size_t np = static_cast<std::size_t>(a.persons);
    items_ = static_cast<std::size_t>(a.items);
    if (a.scored_response_image.size() < np * items_)
        throw std::runtime_error("scored responses of the persons are not in memory");
    if (a.person_record_image.size() < np * kPersonRecordFields)
        a.person_record_image.assign(np * kPersonRecordFields, 0.0f);
    scores_ = a.scored_response_image.data();
    records_ = a.person_record_image.data();
}

}  // namespace korvelan

// PROX: each iteration makes one pass over the persons with the measures of the previous
// iteration (persons, then items, then steps), so the order of the passes does not matter.
#include "engine/estimation/prox.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "engine/estimation/category_use.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit_formulas.h"
#include "engine/estimation/person_data.h"
#include "engine/estimation/prox_persons.h"
#include "engine/estimation/weighted_sums.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

void insert_extreme_value(int& count, float value, float* list, bool descending, int items) {
    int at = count;
    list[at] = value;
    while (at > 0 && (descending ? list[at - 1] < value : list[at - 1] > value)) {
        list[at] = list[at - 1];
        list[at - 1] = value;
        --at;
    }
    count = std::min({count + 1, (items + 1) / 2, 5});
}

float extreme_range(const float* highest, const float* lowest, int k, int active) {
    if (k <= 0 || k >= active) return 0.0f;
    double sum = 0.0;
    for (int j = 0; j < k; ++j) sum += static_cast<double>(highest[j]) - lowest[j];
    return static_cast<float>(sum / k);
}

namespace {

struct ExtremeLists {
    float highest[6] = {}, lowest[6] = {};
    int high_count = 0, low_count = 0, active = 0;
    void add(float v, int items) {
        insert_extreme_value(high_count, v, highest, true, items);
        insert_extreme_value(low_count, v, lowest, false, items);
        ++active;
    }
    float range() const { return extreme_range(highest, lowest, high_count, active); }
};

bool allocate_point_biserial(Run& run, ProxSums& z, int ni, int np) {
    try {
        for (auto* v : {&z.pb_item_count, &z.pb_item_score, &z.pb_item_next_count,
                        &z.pb_item_next_score})
            v->assign(static_cast<std::size_t>(ni) + 1, 0.0);
        z.pb_person_count.assign(static_cast<std::size_t>(np) + 1, 0.0);
        z.pb_person_score.assign(static_cast<std::size_t>(np) + 1, 0.0);
        z.pb_item_pairs.assign(static_cast<std::size_t>(ni) + 1, WeightedPairSums{});
        z.pb_person.assign(static_cast<std::size_t>(np) + 1, 0.0f);
        return true;
    } catch (const std::bad_alloc&) {
        const long long bytes = 8LL * (static_cast<long long>(ni) + np);
        show_message_line(run, std::string(trim(int_to_text_left(bytes))) + msg::kPointBiserialMemory);
        return false;
    }
}

}  // namespace

CategoryUse category_values_in_use(Run& run) {
    AnalysisArrays& a = run.arrays;
    CategoryUse use(static_cast<std::size_t>(std::max(a.groups, 0)) + 1);
    for (int g = 1; g <= a.groups; ++g) {
        const auto slots = static_cast<std::size_t>(group_slot_count(a, g));
        use[static_cast<std::size_t>(g)].assign(slots, 0);
    }
    const CountedEntries counted = entries_the_estimation_counts(run);
    for (int g = 1; g <= a.groups; ++g) {
        std::vector<char>& used = use[static_cast<std::size_t>(g)];
        for (std::size_t k = 0; k < used.size(); ++k) {
            const auto s = static_cast<std::size_t>(a.group_first_slot[g]) + k;
            used[k] = counted.counted_in_slot[s] > 0     ? kCountedUse
                      : counted.responded_in_slot[s] != 0 ? kResponseUse
                                                          : 0;
        }
    }
    return use;
}

std::vector<int> lowest_values_in_use(const AnalysisArrays& a, const CategoryUse& use) {
    std::vector<int> lowest(use.size(), a.slots + 1);
    for (std::size_t g = 1; g < use.size(); ++g) {
        const auto first =
            std::find_if(use[g].begin(), use[g].end(), [](char u) { return u != 0; });
        if (first != use[g].end()) lowest[g] = static_cast<int>(first - use[g].begin());
    }
    return lowest;
}

PhaseOutcome estimate_prox(Run& run, const EstimationSettings& settings,
                           EstimationObserver& observer) {
    AnalysisArrays& a = run.arrays;
    EstimationResults& est = a.estimation;
    prepare_estimation_arrays(a);
    const int np = a.persons, ni = a.items, ng = a.groups;
    const float x = settings.extreme_score_adjustment;
    const bool flipped = settings.uscale <= 0.0f;  // extreme codes swap with a reversed scale
    const int top_code = flipped ? -1 : 0, bottom_code = flipped ? 0 : -1;

    est.iteration_counter = 0;
    // The first numbering knows which categories the responses use: anchors on the others are
    // left out (the report names them before the PROX box), then the numbering starts each
    // group at the lowest value in use.
    std::vector<int> lowest;
    if (!est.categories_recounted) {
        const CategoryUse use = category_values_in_use(run);
        release_unused_step_anchors(a, use, settings.keep_unobserved_steps == 'Y');
        lowest = lowest_values_in_use(a, use);
    }
    observer.phase_started(EstimationPhase::Prox);
    renumber_categories_at_start(a, lowest);
    std::fill(a.person_shown_score.begin(), a.person_shown_score.end(), 0.0f);
    std::fill(a.person_shown_count.begin(), a.person_shown_count.end(), 0.0f);

    ProxSums z;
    const std::size_t items1 = static_cast<std::size_t>(ni) + 1;
    const std::size_t slots1 = static_cast<std::size_t>(a.slots) + 1;
    for (auto* v : {&z.respondent_sum, &z.respondent_squares, &z.count, &z.raw, &z.maximum,
                    &z.model_score, &z.model_maximum, &z.shown_score, &z.shown_count})
        v->assign(items1, 0.0);
    for (auto* v : {&z.slot_count, &z.slot_sum, &z.slot_squares}) v->assign(slots1, 0.0);
    bool point_biserial = settings.point_biserial == 'Y' && allocate_point_biserial(run, z, ni, np);
    std::vector<int> active_items_in_group(static_cast<std::size_t>(ng) + 1, 0);
    ProxPersonPass persons_pass(run, settings, z);

    bool first_phase = true, closing = false;
    float previous_person_range = 0.0f, previous_item_range = 0.0f;
    PhaseOutcome outcome;
    ProxRow row;
    // The first row counts the categories numbered at the start, not the slots the coding laid out.
    row.persons = np, row.items = ni, row.categories = 0;
    for (int g = 1; g <= ng; ++g) row.categories += a.group_top_category[g] + 1;

    for (;;) {
        const int iteration = ++est.iteration_counter;
        const bool first_iteration = iteration == 1;
        bool changed = false;
        float largest_change = 0.0f, step_change = 0.0f;

        // The completeness mark needs rating-scale items only and ordinary estimation.
        bool mark_allowed = settings.target != 'Y';
        for (int i = 1; i <= ni && mark_allowed; ++i)
            if (a.item_status[i] >= -1 && a.group_model[a.item_group[i]] != 'R') mark_allowed = false;

        if (first_phase)
            for (auto* v : {&z.count, &z.raw, &z.maximum}) std::fill(v->begin(), v->end(), 0.0);
        for (auto* v : {&z.respondent_sum, &z.respondent_squares, &z.model_score, &z.model_maximum})
            std::fill(v->begin(), v->end(), 0.0);
        for (auto* v : {&z.slot_count, &z.slot_sum, &z.slot_squares})
            std::fill(v->begin(), v->end(), 0.0);
        if (point_biserial && !closing) {
            std::fill(z.pb_item_next_count.begin(), z.pb_item_next_count.end(), 0.0);
            std::fill(z.pb_item_next_score.begin(), z.pb_item_next_score.end(), 0.0);
        }
        if (point_biserial && closing)
            std::fill(z.pb_item_pairs.begin(), z.pb_item_pairs.end(), WeightedPairSums{});
        set_group_weights(a);
        observer.iteration_starting(EstimationPhase::Prox);

        // Persons.
        ProxIteration it;
        it.first_iteration = first_iteration, it.first_phase = first_phase, it.closing = closing;
        it.point_biserial = point_biserial, it.mark_allowed = mark_allowed;
        const ProxPersonResult persons_result = persons_pass.run(it, observer);
        changed |= persons_result.changed;
        largest_change = persons_result.largest_change;
        const double anchor_shift = persons_result.anchor_shift, anchor_weight = persons_result.anchor_weight;
        if (anchor_weight > 0.0) {
            const float shift = static_cast<float>(anchor_shift / anchor_weight);
            for (int p = 1; p <= np; ++p)
                if (std::abs(base_status(a.person_status[p])) < 2) a.person_measure[p] -= shift;
        }
        if (point_biserial && !closing) {
            z.pb_item_count.swap(z.pb_item_next_count);
            z.pb_item_score.swap(z.pb_item_next_score);
        }

        // Items.
        double item_shift = 0.0, item_shift_weight = 0.0;
        for (int i = ni; i >= 1; --i) {
            const int t = a.item_status[i];
            if (t < -1) continue;
            int st = t;
            if (z.maximum[i] > 0.0) {
                if (st == 1) {
                    const ScoreEnd end = reachable_score_end(z.raw[i], z.maximum[i]);
                    if (end == ScoreEnd::kHighest) st = bottom_code;
                    else if (end == ScoreEnd::kLowest) st = top_code;
                }
            } else {
                st = inestimable(st);
            }
            if (st != t) {
                changed = true;
            } else {
                if (closing && point_biserial) {
                    float r;
                    if (z.pb_item_pairs[i].correlation(r)) a.item_point_biserial[i] = r;
                }
                if (!first_phase) {
                    if (z.model_maximum[i] == 0.0) {
                        st = inestimable(st);
                        changed = true;
                    } else {
                        z.model_score[i] =
                            std::clamp(z.model_score[i], static_cast<double>(x), z.model_maximum[i] - x);
                    }
                }
            }
            a.item_status[i] = static_cast<std::int8_t>(st);
            a.item_estimation_score[i] = static_cast<float>(z.model_score[i]);
            a.item_max_attainable_score[i] = static_cast<float>(z.model_maximum[i]);
            if (st < -1 || !(z.count[i] > 0.0)) continue;
            const float estimate = normal_approximation(z.respondent_sum[i], z.respondent_squares[i],
                                                        z.count[i], z.maximum[i] - z.raw[i],
                                                        z.maximum[i]);
            const float old = a.item_measure[i];
            if (st < 2) {
                const float change = old - estimate;
                if (st == 1 && std::fabs(change) > std::fabs(largest_change)) largest_change = change;
                a.item_measure[i] = estimate;
            } else {
                item_shift += (static_cast<double>(estimate) - old) * item_weight(a, i);
                item_shift_weight += item_weight(a, i);
            }
        }
        for (int i = 1; i <= ni; ++i) {
            a.item_raw_score[i] = static_cast<float>(z.raw[i]);
            a.item_count[i] = static_cast<float>(z.count[i]);
            a.item_max_possible_score[i] = static_cast<float>(z.maximum[i]);
            if (first_iteration) {
                a.item_shown_score[i] = static_cast<float>(z.shown_score[i]);
                a.item_shown_count[i] = static_cast<float>(z.shown_count[i]);
            }
        }

        // Origin: the measured items (or persons) are centred unless anchors fix the frame.
        bool anchors = false;
        for (int p = 1; p <= np && !anchors; ++p) anchors = base_status(a.person_status[p]) >= 2;
        for (int i = 1; i <= ni && !anchors; ++i) anchors = a.item_status[i] >= 2;
        const bool free_origin = settings.anchor_units == 'N' || !anchors;
        if (settings.origin_on_items == 'Y' && free_origin) {
            item_shift = item_shift_weight = 0.0;
            for (int i = 1; i <= ni; ++i)
                if (a.item_status[i] == 1) {
                    item_shift += static_cast<double>(a.item_measure[i]) * item_weight(a, i);
                    item_shift_weight += item_weight(a, i);
                }
        }
        if (item_shift_weight != 0.0) {
            const float shift = static_cast<float>(item_shift / item_shift_weight);
            for (int i = 1; i <= ni; ++i)
                if (std::abs(a.item_status[i]) < 2) a.item_measure[i] -= shift;
        }
        if (settings.origin_on_items == 'N' && free_origin) {
            double sum = 0.0, weight = 0.0;
            for (int p = 1; p <= np; ++p)
                if (base_status(a.person_status[p]) == 1) {
                    sum += static_cast<double>(a.person_measure[p]) * person_weight(a, p);
                    weight += person_weight(a, p);
                }
            if (weight != 0.0) {
                const float mean = static_cast<float>(sum / weight);
                for (int p = 1; p <= np; ++p)
                    if (std::abs(base_status(a.person_status[p])) < 2) a.person_measure[p] -= mean;
            }
        }

        ExtremeLists persons, items;
        for (int p = 1; p <= np; ++p)
            if (base_status(a.person_status[p]) > 0) persons.add(a.person_measure[p], ni);
        std::fill(active_items_in_group.begin(), active_items_in_group.end(), 0);
        for (int i = 1; i <= ni; ++i)
            if (a.item_status[i] > 0) {
                items.add(a.item_measure[i], ni);
                ++active_items_in_group[a.item_group[i]];
            }

        // Steps, from the observed counts and differences of this pass.
        for (int c = 1; c <= a.slots; ++c) {
            a.category_observed_count[c] = static_cast<float>(z.slot_count[c]);
            a.step_weighted_difference_sum[c] = static_cast<float>(z.slot_sum[c]);
            a.step_weighted_difference_square_sum[c] = static_cast<float>(z.slot_squares[c]);
        }
        const int categories =
            estimate_prox_steps(a, settings, active_items_in_group, changed, step_change);
        if (changed) est.reestimate_flag = 1;

        const float person_range = persons.range(), item_range = items.range();
        row.iteration = iteration;
        row.person_range = person_range, row.item_range = item_range;
        row.measure_change = largest_change, row.step_change = step_change;
        observer.prox_row(row);
        row.persons = persons.active, row.items = items.active, row.categories = categories;
        est.active_persons = persons.active, est.active_items = items.active;
        est.active_categories = categories;
        if (persons.active == 0 || items.active == 0) fatal_message(run, msg::kNoNonExtremeEntries);

        // Stop rule: never in the first phase; then on request, at the iteration limit, or when
        // neither extreme range grew by more than half a logit. Without a limit a batch run
        // stops when the ranges settle; otherwise it waits for "Finish iterating".
        const bool finish = observer.finish_iterating_requested();
        std::optional<PhaseEnd> end;
        if (!first_phase) {
            const bool settled = !(person_range - previous_person_range > 0.5f) &&
                                 !(item_range - previous_item_range > 0.5f);
            const bool limited = settings.prox_limit != 0;
            if (finish) end = PhaseEnd::Stopped;
            else if (settled && (limited || run.rs.batch)) end = PhaseEnd::Converged;
            else if (limited && iteration >= settings.prox_limit) end = PhaseEnd::LimitReached;
            if (!end && iteration >= kIterationLimit) end = PhaseEnd::LimitReached;
        }
        previous_person_range = person_range;
        previous_item_range = item_range;
        closing = first_phase && !changed;
        if (closing) first_phase = false;
        if (end) {
            outcome.end = *end;
            outcome.iterations = iteration;
            break;
        }
    }
    observer.prox_finished({est.active_persons, est.active_items, est.active_categories});
    return outcome;
}

}  // namespace korvelan

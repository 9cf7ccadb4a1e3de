#include "engine/estimation/ucon.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/ucon_persons.h"

namespace korvelan {

namespace {

constexpr double kEps = kSmallestPositiveValue;
constexpr float kDamping = kUconDamping;

void compete_change(float change, float& largest) {
    if (std::fabs(change) >= std::fabs(largest)) largest = change;
}

}  // namespace

void set_bias_factors(AnalysisArrays& a, const EstimationSettings& settings) {
    EstimationResults& est = a.estimation;
    est.person_bias_factor = est.item_bias_factor = 1.0f;
    if (settings.stbias != 'Y' && settings.paired != 'Y') return;
    if (settings.paired == 'Y') {
        est.person_bias_factor = est.item_bias_factor = 0.5f;
    } else {
        double tops = 0.0;
        int active_items = 0;
        for (int i = 1; i <= a.items; ++i)
            if (a.item_status[i] > 0) tops += a.group_top_category[a.item_group[i]], ++active_items;
        const int mbar = std::max(active_items > 0 ? nint(tops / active_items) : 1, 1);
        const double persons = a.estimation.active_persons, items = a.estimation.active_items;
        if (persons > 1) est.person_bias_factor = static_cast<float>(((persons - 1) * mbar) / ((persons - 1) * mbar + 1));
        if (items > 1) est.item_bias_factor = static_cast<float>(((items - 1) * mbar) / ((items - 1) * mbar + 1));
    }
    bool anchors = false;
    for (int p = 1; p <= a.persons && !anchors; ++p) anchors = base_status(a.person_status[p]) >= 2;
    for (int i = 1; i <= a.items && !anchors; ++i) anchors = a.item_status[i] >= 2;
    if (!anchors) return;
    for (int p = 1; p <= a.persons; ++p) a.person_measure[p] /= est.person_bias_factor;
    for (int i = 1; i <= a.items; ++i)
        if (a.item_status[i] > -3) a.item_measure[i] /= est.item_bias_factor;
}

PhaseOutcome run_ucon_iterations(Run& run, const EstimationSettings& settings,
                                 EstimationObserver& observer) {
    AnalysisArrays& a = run.arrays;
    EstimationResults& est = a.estimation;
    const int np = a.persons, ni = a.items;
    const bool target = settings.target == 'Y';
    const float x = settings.extreme_score_adjustment;
    const double h0 = static_cast<double>(x) * 0.25;

    set_bias_factors(a, settings);
    est.iteration_counter = 0;
    est.probe_distance = 2.0f;
    std::vector<float> previous_step(a.step_calibration);

    if (settings.ucon_limit >= 0) observer.phase_started(EstimationPhase::Ucon);

    bool anchors = false;
    for (int p = 1; p <= np && !anchors; ++p) anchors = base_status(a.person_status[p]) >= 2;
    for (int i = 1; i <= ni && !anchors; ++i) anchors = a.item_status[i] >= 2;
    const bool free_origin = settings.anchor_units == 'N' || !anchors;
    const bool centre_persons = settings.origin_on_items == 'N' && free_origin;
    const bool centre_items = settings.origin_on_items == 'Y' && free_origin;

    // Everything the iterations use is allocated here, once.
    UconPersonPass persons(run, settings, centre_persons);
    UconPersonSums sums;
    std::vector<float> previous_person(static_cast<std::size_t>(np) + 1),
        previous_item(static_cast<std::size_t>(ni) + 1);

    PhaseOutcome outcome;
    for (;;) {
        if (settings.ucon_limit < 0) break;
        const int iteration = ++est.iteration_counter;
        observer.iteration_starting(EstimationPhase::Ucon);
        LeastConverged least;
        const float probe = est.probe_distance;
        persons.run(probe, previous_person, observer, sums);
        least.person_residual = sums.person_residual, least.person = sums.person;
        const double centre_sum = sums.centre_sum, centre_weight = sums.centre_weight;
        const std::vector<double>&item_expected = sums.item_expected, &item_probe = sums.item_probe;
        const std::vector<double>&item_score = sums.item_score, &item_maximum = sums.item_maximum;

        // Persons: centring and the largest change (ties go to the later visit, walking down).
        const float person_mean = centre_weight != 0.0 ? static_cast<float>(centre_sum / centre_weight) : 0.0f;
        for (int n = np; n >= 1; --n) {
            if (std::abs(base_status(a.person_status[n])) >= 2) continue;
            a.person_measure[n] -= person_mean;
            compete_change(a.person_measure[n] - previous_person[n], least.logit_change);
        }

        // Items.
        double item_sum = 0.0, item_weight_sum = 0.0;
        for (int i = ni; i >= 1; --i) {
            const int t = a.item_status[i];
            if (target) {
                a.item_max_attainable_score[i] = static_cast<float>(item_maximum[i]);
                a.item_estimation_score[i] = static_cast<float>(item_score[i]);
            }
            if (std::abs(t) >= 2) continue;
            const double maximum = a.item_max_attainable_score[i];
            const double goal = ucon_score_target(a.item_estimation_score[i], maximum, x, target, h0,
                                             t == -1 ? 1 : t == 0 ? -1 : 0);
            const double e = item_expected[i], e2 = item_probe[i];
            const double a1 = floored_log_odds(e, maximum), a2 = floored_log_odds(e2, maximum);
            const double a3 = floored_log_odds(goal, maximum);
            float step = std::fabs(a1 - a2) < kEps
                             ? static_cast<float>(e - goal)
                             : static_cast<float>((a3 - a1) * kDamping * probe / (a2 - a1));
            step = bound_step(step);
            previous_item[i] = a.item_measure[i];
            const double residual = goal - e;
            if (std::fabs(residual) > std::fabs(least.item_residual)) least.item_residual = residual, least.item = i;
            a.item_measure[i] += step;
            if (t == 1 && centre_items) {
                item_sum += static_cast<double>(a.item_measure[i]) * item_weight(a, i);
                item_weight_sum += item_weight(a, i);
            }
        }
        const float item_mean = item_weight_sum != 0.0 ? static_cast<float>(item_sum / item_weight_sum) : 0.0f;
        for (int i = ni; i >= 1; --i) {
            if (std::abs(a.item_status[i]) >= 2) continue;
            a.item_measure[i] -= item_mean;
            compete_change(a.item_measure[i] - previous_item[i], least.logit_change);
        }

        update_ucon_steps(a, sums.slot_expected, sums.slot_observed, previous_step, least);
        for (int k = 1; k <= a.slots; ++k) {
            a.step_weighted_difference_sum[k] = static_cast<float>(sums.slot_expected[k]);
            a.step_weighted_difference_square_sum[k] = previous_step[k];
        }

        UconRow row;
        row.iteration = iteration;
        row.person_marked = std::fabs(least.item_residual) <= std::fabs(least.person_residual);
        const double residual = row.person_marked ? least.person_residual : least.item_residual;
        row.residual = static_cast<float>(residual);
        row.logit_change = least.logit_change;
        row.person = least.person, row.item = least.item;
        if (least.step_change == 0.0f) least.category_residual = 0.0;
        row.category = least.category;
        row.category_residual = static_cast<float>(least.category_residual);
        row.step_change = least.step_change;
        est.probe_distance = std::max(std::fabs(least.logit_change), 0.01f);
        observer.ucon_row(row);

        const bool finish = observer.finish_iterating_requested();
        const double lc = settings.logit_change_limit, rc = settings.score_residual_limit;
        const bool steps_done = std::fabs(least.step_change) < lc || std::fabs(least.category_residual) < rc;
        const bool measures_done = std::fabs(least.logit_change) < lc || std::fabs(residual) < rc;
        outcome.iterations = iteration;
        if (steps_done && measures_done) outcome.end = PhaseEnd::Converged;
        else if (finish) outcome.end = PhaseEnd::Stopped;
        else if (iteration == settings.ucon_limit || iteration > kIterationLimit)
            outcome.end = PhaseEnd::LimitReached;
        if (outcome.end != PhaseEnd::NotRun) break;
    }
    observer.ucon_finished(outcome);
    for (int n = 1; n <= np; ++n)
        if (a.person_status[n] > 8)
            a.person_status[n] = static_cast<std::int8_t>(a.person_status[n] - status::kProxCompleteMark);
    return outcome;
}

}  // namespace korvelan

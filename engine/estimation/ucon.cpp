#include "engine/estimation/ucon.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/person_data.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

namespace {

constexpr double kEps = kSmallestPositiveValue;
constexpr float kDamping = 0.7f;

// Per-chunk results of the person pass that are not per item or slot, a cache line each.
struct alignas(kCacheLine) ChunkTotals {
    double residual = 0.0;  // largest person residual of the chunk (first of equal magnitude)
    std::int32_t person = 0;
    double centre_sum = 0.0, centre_weight = 0.0;
};

// Partial sums of one chunk: per item E, E2 (and the information-weighted score and maximum),
// per slot the expected count (and the information-weighted observed count).
struct PartialLayout {
    std::size_t items1, slots1;
    std::size_t expected() const { return 0; }
    std::size_t probe() const { return items1; }
    std::size_t score() const { return 2 * items1; }
    std::size_t maximum() const { return 3 * items1; }
    std::size_t slot_expected() const { return 4 * items1; }
    std::size_t slot_observed() const { return 4 * items1 + slots1; }
    std::size_t stride() const { return 4 * items1 + 2 * slots1; }
};

// Score target of an entry: the observed score kept off the extremes, or, for the
// information-weighted estimation, kept between h0 and R - h0 around the midpoint.
double score_target(double r, double maximum, float x, bool target, double h0, int extreme) {
    if (!target) return std::min(std::max(r, static_cast<double>(x)), maximum - x);
    const double h = maximum / 2.0;
    if (extreme == 1) return std::max(maximum - h0, h);  // at its maximum
    if (extreme == -1) return std::min(h0, h);           // at its minimum
    return std::min(std::max(r, std::min(h0, h)), std::max(maximum - h0, h));
}

double floored_log_odds(double v, double maximum) {
    return log_ratio_with_floor(static_cast<float>(v), static_cast<float>(maximum - v));
}

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
    PersonData data(run);
    const int np = a.persons, ni = a.items;
    const bool target = settings.target == 'Y';
    const float x = settings.extreme_score_adjustment;
    const double h0 = static_cast<double>(x) * 0.25;

    set_bias_factors(a, settings);
    est.iteration_counter = 0;
    est.probe_distance = 2.0f;
    std::vector<float> previous_step(a.step_calibration);

    if (settings.ucon_limit >= 0) observer.phase_started(EstimationPhase::Ucon);

    // Everything the iterations use is allocated here, once.
    const PartialLayout layout{static_cast<std::size_t>(ni) + 1, static_cast<std::size_t>(a.slots) + 1};
    const ChunkPlan plan = plan_person_chunks(np, layout.stride());
    ChunkBlocks<double> partial(plan.chunks, layout.stride());
    std::vector<ChunkTotals> totals(plan.chunks);
    const std::size_t probability_stride = static_cast<std::size_t>(a.top_value) + 2;
    ChunkBlocks<float> probabilities(plan.chunks, probability_stride * 2);
    std::vector<double> item_expected(layout.items1), item_probe(layout.items1),
        item_score(layout.items1), item_maximum(layout.items1);
    std::vector<double> slot_expected(layout.slots1), slot_observed(layout.slots1);
    std::vector<float> previous_person(static_cast<std::size_t>(np) + 1),
        previous_item(layout.items1);
    WorkerPool pool(plan.chunks > 1 ? settings.threads : 1);

    bool anchors = false;
    for (int p = 1; p <= np && !anchors; ++p) anchors = base_status(a.person_status[p]) >= 2;
    for (int i = 1; i <= ni && !anchors; ++i) anchors = a.item_status[i] >= 2;
    const bool free_origin = settings.anchor_units == 'N' || !anchors;
    const bool centre_persons = settings.origin_on_items == 'N' && free_origin;
    const bool centre_items = settings.origin_on_items == 'Y' && free_origin;

    float probe = est.probe_distance;
    // One chunk of the person pass: sums into the chunk's partial sums, moves its persons.
    auto person_chunk = [&](int c) {
        double* sums = partial[c];
        std::fill(sums, sums + layout.stride(), 0.0);
        double* e_item = sums + layout.expected();
        double* e2_item = sums + layout.probe();
        double* r_item = sums + layout.score();
        double* m_item = sums + layout.maximum();
        double* x_slot = sums + layout.slot_expected();
        double* o_slot = sums + layout.slot_observed();
        ChunkTotals& tot = totals[c];
        tot = ChunkTotals{};
        float* p = probabilities[c];
        float* p2 = p + probability_stride;
        for (int n = plan.first(c), last = plan.last(c, np); n <= last; ++n) {
            const int s = base_status(a.person_status[n]);
            if (s <= -2) continue;
            const float b = a.person_measure[n];
            const float* record = data.record(n);
            double maximum = record[record_field::kModelMaximum];
            double score = record[record_field::kModelScore];
            if (target) maximum = score = 0.0;
            const float wp = person_weight(a, n);
            const std::uint8_t* scores = data.scores(n);
            double e_sum = 0.0, e2_sum = 0.0;
            for (int i = ni; i >= 1; --i) {
                const int t = a.item_status[i];
                if (!(t > 0 || (t > -2 && s > 0))) continue;
                const int g = a.item_group[i];
                const int xr = recoded_category(a, g, scores[i - 1]);
                if (xr < 0) continue;
                const float wi = item_weight(a, i);
                const float wc = combined_weight(a, i, wp, wi);
                const float d = b - a.item_measure[i];
                const CategoryModel cm = group_model_view(a, g);
                const bool chain = uses_step_chain(cm);
                const float e = chain ? compute_success_failure_step_probabilities(cm, d, xr, p)
                                      : compute_category_probabilities(cm, d, p);
                const float e2 = chain ? compute_success_failure_step_probabilities(cm, d - probe, xr, p2)
                                       : compute_category_probabilities(cm, d - probe, p2);
                double v = 1.0;  // information weight of the observation
                if (target) {
                    double a_score, b_max;
                    const int m = cm.top;
                    if (!chain) {
                        double s2 = 0.0;
                        for (int k = 1; k <= m; ++k) s2 += static_cast<double>(k) * k * p[k];
                        v = s2 - static_cast<double>(e) * e;
                        a_score = xr * v, b_max = m * v;
                    } else {
                        v = 0.0;
                        for (int k = 1; k <= m; ++k) v += (1.0 - p[k]) * static_cast<double>(p[k]);
                        if (xr == 0) a_score = 0.0, b_max = (cm.model == 'S' ? 1 : m) * v;
                        else if (cm.model == 'S') a_score = xr * v, b_max = std::min(xr + 1, m) * v;
                        else a_score = v, b_max = (m - xr + 1) * v;
                    }
                    if (s > 0) {
                        r_item[i] += a_score * wp, m_item[i] += b_max * wp;
                        if (t > 0) o_slot[a.group_first_slot[g] + xr] += v * wc;
                    }
                    if (t > 0) score += a_score * wi, maximum += b_max * wi;
                }
                if (s > 0) {
                    e_item[i] += e * v * wp;
                    e2_item[i] += e2 * v * wp;
                    if (t > 0) {
                        double* xs = x_slot + a.group_first_slot[g];
                        for (int k = 0; k <= cm.top; ++k)
                            if (p[k] > 0.0f) xs[k] += static_cast<double>(p[k]) * wc;
                    }
                }
                if (t > 0) e_sum += e * v * wi, e2_sum += e2 * v * wi;
            }
            const double goal = score_target(score, maximum, x, target, h0, s == 0 ? 1 : s == -1 ? -1 : 0);
            float step;
            const double big_a = (maximum - e2_sum) * e_sum, big_b = (maximum - e_sum) * e2_sum;
            const double a1 = floored_log_odds(e_sum, maximum), a2 = floored_log_odds(e2_sum, maximum);
            if (big_b > 0.0 && big_a - big_b > kEps && a1 - a2 > kEps) {
                const double a3 = floored_log_odds(goal, maximum);
                step = static_cast<float>(kDamping * probe * (a3 - a1) / (a1 - a2));
            } else {
                step = static_cast<float>(goal - e_sum);
            }
            step = bound_step(step);
            previous_person[n] = b;
            if (std::abs(s) < 2) {
                const double residual = goal - e_sum;
                if (std::fabs(residual) > std::fabs(tot.residual)) tot.residual = residual, tot.person = n;
                const float moved = b + step;
                a.person_measure[n] = moved;
                if (s == 1 && centre_persons) tot.centre_sum += static_cast<double>(moved) * wp, tot.centre_weight += wp;
            }
        }
    };
    auto progress = [&](int done) {
        if (done < plan.chunks) observer.progress(std::min(np, done * plan.size), np);
    };

    PhaseOutcome outcome;
    for (;;) {
        if (settings.ucon_limit < 0) break;
        const int iteration = ++est.iteration_counter;
        observer.iteration_starting(EstimationPhase::Ucon);
        LeastConverged least;
        probe = est.probe_distance;

        pool.run(plan.chunks, person_chunk, progress);
        observer.progress(np, np);

        // Chunk sums in chunk order: the same totals whatever the number of threads.
        std::fill(item_expected.begin(), item_expected.end(), 0.0);
        std::fill(item_probe.begin(), item_probe.end(), 0.0);
        std::fill(item_score.begin(), item_score.end(), 0.0);
        std::fill(item_maximum.begin(), item_maximum.end(), 0.0);
        std::fill(slot_expected.begin(), slot_expected.end(), 0.0);
        for (std::size_t k = 0; k < layout.slots1; ++k)
            slot_observed[k] = target ? 0.0 : a.category_observed_count[k];
        double centre_sum = 0.0, centre_weight = 0.0;
        for (int c = 0; c < plan.chunks; ++c) {
            const double* sums = partial[c];
            for (std::size_t i = 0; i < layout.items1; ++i) {
                item_expected[i] += sums[layout.expected() + i];
                item_probe[i] += sums[layout.probe() + i];
                item_score[i] += sums[layout.score() + i];
                item_maximum[i] += sums[layout.maximum() + i];
            }
            for (std::size_t k = 0; k < layout.slots1; ++k) {
                slot_expected[k] += sums[layout.slot_expected() + k];
                slot_observed[k] += sums[layout.slot_observed() + k];
            }
            if (std::fabs(totals[c].residual) > std::fabs(least.person_residual))
                least.person_residual = totals[c].residual, least.person = totals[c].person;
            centre_sum += totals[c].centre_sum, centre_weight += totals[c].centre_weight;
        }

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
            const double goal = score_target(a.item_estimation_score[i], maximum, x, target, h0,
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

        update_ucon_steps(a, slot_expected, slot_observed, previous_step, least);
        for (int k = 1; k <= a.slots; ++k) {
            a.step_weighted_difference_sum[k] = static_cast<float>(slot_expected[k]);
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
        if (finish) outcome.end = PhaseEnd::Stopped;
        else if (steps_done && measures_done) outcome.end = PhaseEnd::Converged;
        else if (iteration == settings.ucon_limit || iteration > kIterationLimit)
            outcome.end = PhaseEnd::LimitReached;
        if (outcome.end != PhaseEnd::NotRun) break;
    }
    observer.ucon_finished();
    for (int n = 1; n <= np; ++n)
        if (a.person_status[n] > 8)
            a.person_status[n] = static_cast<std::int8_t>(a.person_status[n] - status::kProxCompleteMark);
    return outcome;
}

}  // namespace korvelan

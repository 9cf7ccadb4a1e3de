#include "engine/estimation/score_search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <map>
#include <tuple>
#include <cmath>

#include "engine/estimation/estimation_common.h"

namespace korvelan {

namespace {

constexpr double kEps = 9.35762297e-14;  // exp(-30)
constexpr double kInformationFloor = 0.001;
constexpr int kLargestTop = 254;

// The expected score and its variance at one measure difference.
struct Expectation {
    double score = 0.0, variance = 0.0;
};

// Under every model the expected score is the mean of the category probabilities and the
// variance their spread about it: the chains too are scored by the categories they reach, so
// the expected score rises with the measure and every score has one measure.
Expectation expect(const CategoryModel& g, float difference) {
    std::array<float, kLargestTop + 1> p;
    const CategoryModel group{std::min(g.top, kLargestTop), g.model, g.steps, g.status};
    Expectation e;
    if (group.top < 0) return e;
    std::fill_n(p.begin(), group.top + 1, 0.0f);
    e.score = compute_category_probabilities(group, difference, p.data());
    for (int k = 1; k <= group.top; ++k) e.variance += static_cast<double>(k) * k * p[k];
    e.variance -= e.score * e.score;
    return e;
}

template <typename T>
T array_value_span(std::span<const T> v, int n) {
    return n >= 0 && static_cast<std::size_t>(n) < v.size() ? v[static_cast<std::size_t>(n)] : T{};
}

double log_odds(double s, double maximum) {
    return std::log(std::max(s / std::max(maximum - s, kEps), kEps));
}

float side_weight(const ScoreSearchSide& side, int n) {
    return side.weights.empty() ? 1.0f : array_value_span(side.weights, n);
}

bool active(const ScoreSearchSide& side, int n) {
    return n < static_cast<int>(side.status.size()) && base_status(side.status[n]) > 0 &&
           side_weight(side, n) > 0.0f;
}

float to_logit(float value, const ScoreSearchScale& s, float factor) {
    const float scale = (s.uscale == 0.0f ? 1.0f : s.uscale) * factor;
    return (value - s.umean) / (scale == 0.0f ? 1.0f : scale);
}

struct BracketPoint {
    double score = -1.0;  // -1: not set
    float measure = 0.0f;
};

// The bracketing search shared by both sides. `rising` tells whether the expected score rises
// with the searched measure (persons) or falls (items); `interpolate` chooses log-odds
// interpolation inside the bracket (items) over halving it (persons).
template <typename ExpectedAt>
ScoreMeasure bracket_search(float start, double score, double maximum, const ScoreSearchScale& s,
                            bool rising, double tolerance_factor, ExpectedAt expected_at) {
    const double t = std::min(std::max(score, static_cast<double>(s.extreme_fraction)),
                              maximum - s.extreme_fraction);
    const double lt = log_odds(t, maximum);
    const float up = rising ? 1.0f : -1.0f;  // the measure change that raises the score
    float b = to_logit(start, s, s.own_factor);
    BracketPoint lo, hi;  // lower and higher expected score
    ScoreMeasure r;
    double information = 0.0;
    for (;;) {
        const Expectation e = expected_at(b);
        if (!std::isfinite(e.score) || !std::isfinite(e.variance)) break;
        const double es = std::min(e.score, maximum);
        information = e.variance;
        ++r.iterations;
        const BracketPoint current{es, b};
        float next = b;
        if (lo.score < 0.0) {
            lo = current;
            next = b + (es < t ? up : -up);
        } else {
            // A point whose score ties with a bracket point on the same side of the target
            // lies further along the walk (the score has saturated there): it takes that
            // point's place, so that the walk goes on instead of stepping back.
            if (hi.score < 0.0) {
                hi = current;
                if (hi.score < lo.score || (hi.score == lo.score && es >= t)) std::swap(lo, hi);
            } else if (es < t) {
                if (es >= hi.score) lo = hi, hi = current;
                else if (es > lo.score || t < lo.score) lo = current;
            } else {
                if (es <= lo.score) hi = lo, lo = current;
                else if (es < hi.score || t > hi.score) hi = current;
            }
            if (lo.score > t) next = lo.measure - up;
            else if (hi.score < t) next = hi.measure + up;
            else if (!rising && hi.score > lo.score)
                next = static_cast<float>(lo.measure + (lt - log_odds(lo.score, maximum)) *
                                                           (hi.measure - lo.measure) /
                                                           (log_odds(hi.score, maximum) -
                                                            log_odds(lo.score, maximum)));
            else
                next = (lo.measure + hi.measure) / 2.0f;  // also when the bracket scores are equal
        }
        if (!std::isfinite(next)) break;
        const float change = next - b;
        b = next;
        if (change == 0.0f ||
            (std::fabs(change) <= s.logit_change_limit * tolerance_factor &&
             std::fabs(es - t) <= s.residual_limit * tolerance_factor)) {
            r.converged = true;
            break;
        }
        if (r.iterations >= s.iteration_cap) break;
    }
    const float scale = s.uscale == 0.0f ? 1.0f : s.uscale;
    r.standard_error = static_cast<float>(std::fabs(s.own_factor * scale) /
                                          std::sqrt(std::max(std::fabs(information), kInformationFloor)));
    r.information = static_cast<float>(information);
    if (s.paired) r.standard_error *= 1.4142f, r.information *= 0.5f;
    r.measure = b * s.own_factor * scale + s.umean;
    return r;
}

}  // namespace

ScoreSearchScale score_search_scale(const Run& run, bool persons) {
    const ControlVariables& cv = run.cv;
    const EstimationResults& est = run.arrays.estimation;
    ScoreSearchScale s;
    s.umean = cv.umean;
    s.uscale = cv.uscale;
    s.own_factor = persons ? est.person_bias_factor : est.item_bias_factor;
    s.other_factor = persons ? est.item_bias_factor : est.person_bias_factor;
    s.paired = cv.pai_flag == 'Y';
    s.extreme_fraction = cv.extreme_correction;
    s.logit_change_limit = cv.logit_change_limit;
    s.residual_limit = cv.residual_limit;
    return s;
}

namespace {

// Gathers the entries into kinds (see ScoreEntryList): add() one entry after another, then
// finish().
struct KindGathering {
    using Key = std::tuple<std::uint32_t, std::uint64_t, std::int32_t>;
    ScoreEntryList list;
    std::vector<double> counts;
    std::map<Key, std::size_t> kinds;

    void add(float logit, double weight, std::int32_t group_number, const CategoryModel& group) {
        const Key key{std::bit_cast<std::uint32_t>(logit), std::bit_cast<std::uint64_t>(weight),
                      group_number};
        const auto [at, added] = kinds.try_emplace(key, list.kinds.size());
        if (added) {
            list.kinds.push_back({logit, weight, group});
            counts.push_back(0.0);
        }
        counts[at->second] += 1.0;
    }
    ScoreEntryList finish(int threads) {
        for (std::size_t j = 0; j < list.kinds.size(); ++j) list.kinds[j].weight *= counts[j];
        const std::size_t n = list.kinds.size();
        list.blocks = std::max(static_cast<int>((n + kScoreEntryBlock - 1) / kScoreEntryBlock), 1);
        list.block_sums.assign(static_cast<std::size_t>(list.blocks) * 2, 0.0);
        if (list.blocks > 1) list.pool = std::make_unique<WorkerPool>(threads, list.blocks);
        return std::move(list);
    }
};

}  // namespace

ScoreEntryList score_item_list(const ScoreSearchItems& items, const ScoreSearchScale& scale,
                               int threads) {
    const ScoreSearchSide& side = items.side;
    KindGathering gather;
    for (int i = 1; i <= side.count; ++i) {
        if (!active(side, i)) continue;
        const int g = array_value_span(items.item_group, i);
        if (g < 1 || g > items.groups.count) continue;
        gather.add(to_logit(array_value_span(side.measures, i), scale, scale.other_factor),
                   side_weight(side, i), g,
                   group_view(items.groups, g - 1, items.steps, items.category_status));
    }
    return gather.finish(threads);
}

ScoreEntryList score_person_list(const ScoreSearchSide& persons, const CategoryModel& group,
                                 const ScoreSearchScale& scale, int threads) {
    KindGathering gather;
    gather.list.persons = true;
    for (int n = 1; n <= persons.count; ++n) {
        if (!active(persons, n)) continue;
        gather.add(to_logit(array_value_span(persons.measures, n), scale, scale.other_factor),
                   side_weight(persons, n), 0, group);
    }
    return gather.finish(threads);
}

namespace {

// The expected score and variance of block k of the kinds at the searched measure m (logits).
Expectation block_expectation(const ScoreEntryList& list, int k, float m) {
    const std::size_t first = static_cast<std::size_t>(k) * kScoreEntryBlock;
    const std::size_t last = std::min(first + kScoreEntryBlock, list.kinds.size());
    double score = 0.0, variance = 0.0;
    for (std::size_t j = first; j < last; ++j) {
        const ScoreEntry& kind = list.kinds[j];
        const float x = list.persons ? kind.logit - m : m - kind.logit;
        if (kind.group.top == 1) {
            // A dichotomous item: what expect() gives, without its general category loop.
            const double p = static_cast<float>(dichotomous_success_probability(kind.group.steps[1], x));
            score += kind.weight * p, variance += kind.weight * (p - p * p);
            continue;
        }
        const Expectation e = expect(kind.group, x);
        score += kind.weight * e.score, variance += kind.weight * e.variance;
    }
    return {score, variance};
}

// A trial every kPaceWindow sums: its first kPaceTrial sums on the workers, the next kPaceTrial
// on the calling thread alone.
constexpr int kPaceWindow = 256;
constexpr int kPaceTrial = 2;

// Runs the sums of the blocks on the workers or on the calling thread, as the pace says, and
// times them during a trial.
template <class Task>
void pace_blocks(ScoreEntryList& list, Task& task) {
    ScoreSumPace& pace = list.pace;
    const int step = pace.count++ % kPaceWindow;
    const bool trial = step < 2 * kPaceTrial;
    const bool on_workers = trial ? step < kPaceTrial : pace.on_workers;
    const auto begin = std::chrono::steady_clock::now();
    if (on_workers) {
        list.pool->run(list.blocks, task);
    } else {
        for (int k = 0; k < list.blocks; ++k) task(k);
    }
    if (!trial) return;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (step == 0) pace.worker_seconds = pace.own_seconds = 0.0;
    (on_workers ? pace.worker_seconds : pace.own_seconds) += seconds;
    if (step == 2 * kPaceTrial - 1) pace.on_workers = pace.worker_seconds <= pace.own_seconds;
}

Expectation side_expectation(ScoreEntryList& list, float m) {
    if (list.blocks <= 1 || !list.pool) return block_expectation(list, 0, m);
    auto task = [&](int k) {
        const Expectation e = block_expectation(list, k, m);
        list.block_sums[static_cast<std::size_t>(k) * 2] = e.score;
        list.block_sums[static_cast<std::size_t>(k) * 2 + 1] = e.variance;
    };
    pace_blocks(list, task);
    Expectation sum;
    for (int k = 0; k < list.blocks; ++k) {
        sum.score += list.block_sums[static_cast<std::size_t>(k) * 2];
        sum.variance += list.block_sums[static_cast<std::size_t>(k) * 2 + 1];
    }
    return sum;
}

}  // namespace

ScoreMeasure find_person_measure_for_score(float start, float score, float maximum,
                                           ScoreEntryList& items, const ScoreSearchScale& scale) {
    return bracket_search(start, score, maximum, scale, true, 0.01,
                          [&](float b) { return side_expectation(items, b); });
}

ScoreMeasure find_person_measure_for_score(float start, float score, float maximum,
                                           const ScoreSearchItems& items,
                                           const ScoreSearchScale& scale) {
    ScoreEntryList list = score_item_list(items, scale, 1);
    return find_person_measure_for_score(start, score, maximum, list, scale);
}

ScoreMeasure find_item_measure_for_score(float start, float score, float maximum,
                                         ScoreEntryList& persons, const ScoreSearchScale& scale) {
    return bracket_search(start, score, maximum, scale, false, 0.1,
                          [&](float d) { return side_expectation(persons, d); });
}

ScoreMeasure find_item_measure_for_score(float start, float score, float maximum,
                                         const ScoreSearchSide& persons, const CategoryModel& group,
                                         const ScoreSearchScale& scale) {
    ScoreEntryList list = score_person_list(persons, group, scale, 1);
    return find_item_measure_for_score(start, score, maximum, list, scale);
}

ScoreSearchItems score_search_items(const Run& run) {
    const AnalysisArrays& a = run.arrays;
    ScoreSearchItems s;
    s.side = {a.item_status, a.item_measure, a.item_weights, a.items};
    s.item_group = a.item_group;
    s.groups = rating_scale_groups(a);
    s.steps = a.step_calibration.data();
    s.category_status = a.category_status.data();
    return s;
}

ScoreSearchSide score_search_persons(const Run& run) {
    const AnalysisArrays& a = run.arrays;
    return {a.person_status, a.person_measure, a.person_weights, a.persons};
}

}  // namespace korvelan

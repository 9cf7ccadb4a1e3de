#include "engine/estimation/ucon_persons.h"

#include <algorithm>
#include <cmath>

namespace korvelan {

namespace {
constexpr double kEps = kSmallestPositiveValue;
}  // namespace

UconPersonPass::UconPersonPass(Run& run, const EstimationSettings& settings, bool centre_persons)
    : run_(run),
      a_(run.arrays),
      data_(run),
      target_(settings.target == 'Y'),
      centre_persons_(centre_persons),
      x_(settings.extreme_score_adjustment),
      h0_(static_cast<double>(settings.extreme_score_adjustment) * 0.25),
      layout_{static_cast<std::size_t>(a_.items) + 1, static_cast<std::size_t>(a_.slots) + 1},
      plan_(plan_person_chunks(a_.persons, layout_.stride())),
      partial_(plan_.chunks, layout_.stride()),
      totals_(plan_.chunks),
      chain_probabilities_(plan_.chunks, 2 * (static_cast<std::size_t>(a_.top_value) + 2)),
      pool_(plan_.chunks > 1 ? settings.threads : 1, plan_.chunks),
      rows_(pool_.size()) {}

void UconPersonPass::run(float probe, std::vector<float>& previous, EstimationObserver& observer,
                         UconPersonSums& sums) {
    probe_ = probe;
    plain_group_ = plain_group();
    plain_top_ = plain_group_ > 0 ? a_.group_top_category[plain_group_] : 0;
    for (int v = 0; v < 256 && plain_group_ > 0; ++v)
        plain_recoded_[static_cast<std::size_t>(v)] = static_cast<std::int16_t>(
            std::max(-1, recoded_category(a_, plain_group_, static_cast<std::uint8_t>(v))));
    const int np = a_.persons;
    const RowItems items(a_, probe);
    auto task = [&](int c) { chunk(c, items, previous); };
    auto progress = [&](int done) {
        if (done < plan_.chunks) observer.progress(std::min(np, done * plan_.size), np);
    };
    pool_.run(plan_.chunks, task, progress);
    observer.progress(np, np);
    combine(sums);
}

// The group of every item a sweep visits when the sweep is plain (no weights, no information
// weighting) and those items all belong to one rating-scale group with 1 to kMostPlainTop steps;
// 0 otherwise.
int UconPersonPass::plain_group() const {
    const AnalysisArrays& a = a_;
    if (target_ || !a.person_weights.empty() || !a.item_weights.empty()) return 0;
    int group = 0;
    for (int i = 1; i <= a.items; ++i) {
        if (a.item_status[i] <= -2) continue;
        const int g = a.item_group[i];
        if (group != 0 && g != group) return 0;
        group = g;
    }
    if (group == 0) return 0;
    const CategoryModel cm = group_model_view(a, group);
    return cm.top >= 1 && cm.top <= kMostPlainTop && !uses_step_chain(cm) ? group : 0;
}

void UconPersonPass::chunk(int c, const RowItems& items, std::vector<float>& previous) {
    switch (plain_top_) {
        case 1: return plain_chunk<1>(c, items, previous);
        case 2: return plain_chunk<2>(c, items, previous);
        case 3: return plain_chunk<3>(c, items, previous);
        case 4: return plain_chunk<4>(c, items, previous);
        default: return general_chunk(c, items, previous);
    }
}

// The rows of the thread that runs chunk c, and the chunk's totals cleared.
PersonRows& UconPersonPass::start_chunk(int c, const RowItems& items) {
    totals_[c] = Totals{};
    PersonRows& rows = rows_[static_cast<std::size_t>(WorkerPool::thread_index())];
    rows.start(items);
    return rows;
}

// Person n as a chunk starts on it; false for a person the pass leaves out.
bool UconPersonPass::begin_person(int n, Person& person) const {
    person.s = base_status(a_.person_status[n]);
    if (person.s <= -2) return false;
    person.n = n;
    person.b = a_.person_measure[n];
    const float* record = data_.record(n);
    person.maximum = target_ ? 0.0 : record[record_field::kModelMaximum];
    person.score = target_ ? 0.0 : record[record_field::kModelScore];
    person.wp = person_weight(a_, n);
    person.expected = person.probe = 0.0;
    return true;
}

// The person's damped secant step from its expected scores, and the chunk's totals.
void UconPersonPass::move_person(const Person& person, Totals& tot, std::vector<float>& previous) {
    const int s = person.s, n = person.n;
    const float b = person.b;
    const double goal = ucon_score_target(person.score, person.maximum, x_, target_, h0_,
                                          s == 0 ? 1 : s == -1 ? -1 : 0);
    const double maximum = person.maximum, e_sum = person.expected, e2_sum = person.probe;
    float step;
    const double big_a = (maximum - e2_sum) * e_sum, big_b = (maximum - e_sum) * e2_sum;
    const double a1 = floored_log_odds(e_sum, maximum), a2 = floored_log_odds(e2_sum, maximum);
    if (big_b > 0.0 && big_a - big_b > kEps && a1 - a2 > kEps) {
        const double a3 = floored_log_odds(goal, maximum);
        step = static_cast<float>(kUconDamping * probe_ * (a3 - a1) / (a1 - a2));
    } else {
        step = static_cast<float>(goal - e_sum);
    }
    step = bound_step(step);
    previous[static_cast<std::size_t>(n)] = b;
    if (std::abs(s) < 2) {
        const double residual = goal - e_sum;
        if (std::fabs(residual) > std::fabs(tot.residual)) tot.residual = residual, tot.person = n;
        const float moved = b + step;
        a_.person_measure[n] = moved;
        if (s == 1 && centre_persons_)
            tot.centre_sum += static_cast<double>(moved) * person.wp, tot.centre_weight += person.wp;
    }
}

// Any sweep: weights, information weighting, several groups and the chain models.
void UconPersonPass::general_chunk(int c, const RowItems& items, std::vector<float>& previous) {
    AnalysisArrays& a = a_;
    const int ni = a.items;
    const bool target = target_;
    const float probe = probe_;
    double* sums = partial_[c];
    std::fill(sums, sums + layout_.stride(), 0.0);
    double* e_item = sums + layout_.expected();
    double* e2_item = sums + layout_.probe();
    double* r_item = sums + layout_.score();
    double* m_item = sums + layout_.maximum();
    double* x_slot = sums + layout_.slot_expected();
    double* o_slot = sums + layout_.slot_observed();
    float* chain_p = chain_probabilities_[c];
    float* chain_p2 = chain_p + static_cast<std::size_t>(a.top_value) + 2;
    double chain_values[256];  // chain_p as the row values are held
    PersonRows& rows = start_chunk(c, items);
    Totals& tot = totals_[c];
    Person ps;
    for (int n = plan_.first(c), last = plan_.last(c, a.persons); n <= last; ++n) {
        if (!begin_person(n, ps)) continue;
        const int s = ps.s;
        const float b = ps.b, wp = ps.wp;
        const std::uint8_t* scores = data_.scores(n);
        const double* row = rows.row(b, s, scores);
        for (int i = ni; i >= 1; --i) {
            const int t = a.item_status[i];
            if (!(t > 0 || (t > -2 && s > 0))) continue;
            const int g = a.item_group[i];
            const int xr = recoded_category(a, g, scores[i - 1]);
            if (xr < 0) continue;
            const float wi = item_weight(a, i);
            const float wc = combined_weight(a, i, wp, wi);
            const CategoryModel cm = group_model_view(a, g);
            const bool chain = uses_step_chain(cm);
            float e, e2;
            const double* p;
            if (const std::int32_t at = items.offset(i); at >= 0) {
                e = static_cast<float>(row[at + row_field::kExpected]);
                e2 = static_cast<float>(row[at + row_field::kShifted]);
                p = row + at + row_field::kProbabilities;
            } else {
                const float d = b - a.item_measure[i];
                e = compute_success_failure_step_probabilities(cm, d, xr, chain_p);
                e2 = compute_success_failure_step_probabilities(cm, d - probe, xr, chain_p2);
                std::copy(chain_p, chain_p + cm.top + 1, chain_values);
                p = chain_values;
            }
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
                if (t > 0) ps.score += a_score * wi, ps.maximum += b_max * wi;
            }
            if (s > 0) {
                e_item[i] += e * v * wp;
                e2_item[i] += e2 * v * wp;
                if (t > 0) {
                    double* xs = x_slot + a.group_first_slot[g];
                    for (int k = 0; k <= cm.top; ++k)
                        if (p[k] > 0.0) xs[k] += p[k] * wc;
                }
            }
            if (t > 0) ps.expected += e * v * wi, ps.probe += e2 * v * wi;
        }
        move_person(ps, tot, previous);
    }
}

// A plain sweep of one group with kTop steps: every weight is 1, so each observation adds its
// expected scores and probabilities as they are (the products with the weights of 1 are
// exact), and the group's expected category counts stay in registers for the whole chunk.
template <int kTop>
void UconPersonPass::plain_chunk(int c, const RowItems& items, std::vector<float>& previous) {
    const AnalysisArrays& a = a_;
    const int ni = a.items;
    double* sums = partial_[c];
    std::fill(sums, sums + layout_.stride(), 0.0);
    double* e_item = sums + layout_.expected();
    double* e2_item = sums + layout_.probe();
    const std::int8_t* status = a.item_status.data();
    const std::int16_t* recoded = plain_recoded_.data();
    double counts[kTop + 1] = {};
    PersonRows& rows = start_chunk(c, items);
    Totals& tot = totals_[c];
    Person ps;
    for (int n = plan_.first(c), last = plan_.last(c, a.persons); n <= last; ++n) {
        if (!begin_person(n, ps)) continue;
        const int s = ps.s;
        const std::uint8_t* scores = data_.scores(n);
        const double* row = rows.row(ps.b, s, scores);
        double e_sum = 0.0, e2_sum = 0.0;
        for (int i = ni; i >= 1; --i) {
            const int t = status[i];
            if (!(t > 0 || (t > -2 && s > 0))) continue;
            if (recoded[scores[i - 1]] < 0) continue;
            const double* r = row + items.offset(i);
            const double e = r[row_field::kExpected], e2 = r[row_field::kShifted];
            if (s > 0) {
                e_item[i] += e;
                e2_item[i] += e2;
                if (t > 0)
#pragma GCC unroll 8
                    for (int k = 0; k <= kTop; ++k) {
                        const double pk = r[row_field::kProbabilities + k];
                        if (pk > 0.0) counts[k] += pk;
                    }
            }
            if (t > 0) e_sum += e, e2_sum += e2;
        }
        ps.expected = e_sum, ps.probe = e2_sum;
        move_person(ps, tot, previous);
    }
    double* x_slot = sums + layout_.slot_expected() + a.group_first_slot[plain_group_];
    for (int k = 0; k <= kTop; ++k) x_slot[k] = counts[k];
}

// Chunk sums in chunk order: the same totals whatever the number of threads.
void UconPersonPass::combine(UconPersonSums& sums) const {
    const Layout& l = layout_;
    for (auto* v : {&sums.item_expected, &sums.item_probe, &sums.item_score, &sums.item_maximum})
        v->assign(l.items1, 0.0);
    sums.slot_expected.assign(l.slots1, 0.0);
    sums.slot_observed.resize(l.slots1);
    for (std::size_t k = 0; k < l.slots1; ++k)
        sums.slot_observed[k] = target_ ? 0.0 : a_.category_observed_count[k];
    sums.person_residual = 0.0;
    sums.person = 0;
    sums.centre_sum = sums.centre_weight = 0.0;
    for (int c = 0; c < plan_.chunks; ++c) {
        const double* part = partial_[c];
        for (std::size_t i = 0; i < l.items1; ++i) {
            sums.item_expected[i] += part[l.expected() + i];
            sums.item_probe[i] += part[l.probe() + i];
            sums.item_score[i] += part[l.score() + i];
            sums.item_maximum[i] += part[l.maximum() + i];
        }
        for (std::size_t k = 0; k < l.slots1; ++k) {
            sums.slot_expected[k] += part[l.slot_expected() + k];
            sums.slot_observed[k] += part[l.slot_observed() + k];
        }
        const Totals& t = totals_[c];
        if (std::fabs(t.residual) > std::fabs(sums.person_residual))
            sums.person_residual = t.residual, sums.person = t.person;
        sums.centre_sum += t.centre_sum, sums.centre_weight += t.centre_weight;
    }
}

}  // namespace korvelan

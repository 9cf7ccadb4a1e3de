#include "engine/estimation/prox_persons.h"

#include <algorithm>
#include <cmath>

#include "engine/estimation/fit_formulas.h"

namespace korvelan {

namespace {

// Item blocks of at least this many items, and at most this many blocks or sets of groups.
constexpr int kItemsPerBlock = 8;
constexpr int kMostColumnTasks = 16;

// Whether item status t and person status s let the observation count in a PROX sweep.
bool counts(int t, int s) { return t > 0 || ((t == 0 || t == -1) && s > 0); }

}  // namespace

ProxPersonPass::ProxPersonPass(Run& run, const EstimationSettings& settings, ProxSums& sums)
    : run_(run),
      a_(run.arrays),
      z_(sums),
      data_(run),
      x_(settings.extreme_score_adjustment),
      top_code_(settings.uscale <= 0.0f ? -1 : 0),
      bottom_code_(settings.uscale <= 0.0f ? 0 : -1),
      plan_(plan_person_chunks(a_.persons, 1)),
      column_sums_(1, 1),
      results_(plan_.chunks),
      measure_(static_cast<std::size_t>(a_.persons) + 1),
      anchored_estimate_(static_cast<std::size_t>(a_.persons) + 1),
      status_(static_cast<std::size_t>(a_.persons) + 1),
      pool_(plan_.chunks > 1 ? settings.threads : 1) {
    plan_columns();
}

// Item blocks for the item sums; the groups spread over as many sets, each walked by one task,
// for the category sums.
void ProxPersonPass::plan_columns() {
    const int ni = a_.items;
    const int blocks = std::clamp(ni / kItemsPerBlock, 1, kMostColumnTasks);
    const int sets = std::clamp(a_.groups, 1, kMostColumnTasks);
    columns_.assign(static_cast<std::size_t>(sets + blocks), ColumnTask{});
    for (int k = 0; k < sets; ++k) columns_[static_cast<std::size_t>(k)].sums = ColumnSums::kCategories;
    for (int i = ni; i >= 1; --i) {
        const int set = (a_.item_group[i] - 1 + sets) % sets;
        columns_[static_cast<std::size_t>(set)].items.push_back(i);
        const int block = static_cast<int>(static_cast<long long>(i - 1) * blocks / ni);
        columns_[static_cast<std::size_t>(sets + block)].items.push_back(i);
    }
    // One group: its squares may go to a walk of their own (see split_category_top).
    if (a_.groups == 1) {
        ColumnTask squares = columns_.front();
        squares.sums = ColumnSums::kCategorySquares;
        columns_.insert(columns_.begin() + 1, squares);
    }
    std::size_t most = 3 * (static_cast<std::size_t>(a_.slots) + 1);
    for (const ColumnTask& t : columns_) most = std::max(most, t.items.size() * kItemSums);
    column_sums_ = ChunkBlocks<double>(static_cast<int>(columns_.size()), most);
}

ProxPersonResult ProxPersonPass::run(const ProxIteration& it, EstimationObserver& observer) {
    AnalysisArrays& a = a_;
    const int np = a.persons;
    for (int p = 1; p <= np; ++p) {
        measure_[static_cast<std::size_t>(p)] = a.person_measure[p];
        status_[static_cast<std::size_t>(p)] = static_cast<std::int8_t>(base_status(a.person_status[p]));
    }
    plan_plain(it);
    const int columns = static_cast<int>(columns_.size());
    auto task = [&](int k) {
        if (k >= columns) return persons(k - columns, it);
        const ColumnTask& column = columns_[static_cast<std::size_t>(k)];
        double* local = column_sums_[k];
        if (column.sums != ColumnSums::kItems) category_sums(column, local);
        else if (plain_) plain_item_sums(column, local, it);
        else item_sums(column, local, it);
    };
    const int tasks = columns + plan_.chunks;
    auto progress = [&](int done) {
        if (done < tasks) observer.progress(static_cast<int>(static_cast<long long>(np) * done / tasks), np);
    };
    pool_.run(tasks, task, progress);
    for (int k = 0; k < columns; ++k) {
        const ColumnTask& column = columns_[static_cast<std::size_t>(k)];
        const double* local = column_sums_[k];
        if (column.sums != ColumnSums::kItems) {
            // A walk of the squares alone holds them; the other walk then holds the rest.
            const bool split = split_category_top(column) > 0;
            const bool squares = column.sums == ColumnSums::kCategorySquares;
            if (squares && !split) continue;
            for (std::int32_t i : column.items) {
                const int g = a.item_group[i];
                const int first = a.group_first_slot[g], n = group_slot_count(a, g);
                for (int slot = first; slot < first + n; ++slot) {
                    if (!squares) z_.slot_count[slot] = local[3 * slot];
                    if (!squares) z_.slot_sum[slot] = local[3 * slot + 1];
                    if (squares || !split) z_.slot_squares[slot] = local[3 * slot + 2];
                }
            }
        } else {
            store_item_sums(column, local, it);
        }
    }
    observer.progress(np, np);

    // Chunks in order; the anchored persons' differences in person order.
    ProxPersonResult result;
    bool anchored = false;
    for (const ChunkResult& r : results_) {
        if (std::fabs(r.largest_change) > std::fabs(result.largest_change))
            result.largest_change = r.largest_change;
        result.changed |= r.changed;
        anchored |= r.anchored;
    }
    for (int p = 1; p <= np && anchored; ++p) {
        const float estimate = anchored_estimate_[static_cast<std::size_t>(p)];
        if (std::isnan(estimate)) continue;
        result.anchor_shift += (static_cast<double>(estimate) - measure_[static_cast<std::size_t>(p)]) *
                               person_weight(a, p);
        result.anchor_weight += person_weight(a, p);
    }
    return result;
}

void ProxPersonPass::plan_plain(const ProxIteration& it) {
    const AnalysisArrays& a = a_;
    plain_ = !it.point_biserial && a.person_weights.empty() && a.item_weights.empty();
    int group = 0;
    for (int i = 1; i <= a.items && plain_; ++i) {
        if (a.item_status[i] < -1) continue;
        plain_ = group == 0 || a.item_group[i] == group;
        group = a.item_group[i];
    }
    plain_ = plain_ && group > 0 && !uses_step_chain(group_model_view(a, group));
    if (!plain_) return;
    plain_top_ = a.group_top_category[group];
    for (int v = 0; v < 256; ++v)
        plain_recoded_[static_cast<std::size_t>(v)] = static_cast<std::int16_t>(
            std::max(-1, recoded_category(a, group, static_cast<std::uint8_t>(v))));
}

// The sums of a block of items over all persons, into local (kItemSums per item of the block).
void ProxPersonPass::item_sums(const ColumnTask& task, double* local, const ProxIteration& it) {
    const AnalysisArrays& a = a_;
    const std::size_t n_items = task.items.size();
    std::fill(local, local + n_items * kItemSums, 0.0);
    std::vector<WeightedPairSums> pairs(it.point_biserial && it.closing ? n_items : 0);
    for (int p = 1; p <= a.persons; ++p) {
        const int s = status_[static_cast<std::size_t>(p)];
        if (s <= -2) continue;
        const std::uint8_t* scores = data_.scores(p);
        const float wp = person_weight(a, p);
        const float b = measure_[static_cast<std::size_t>(p)];
        for (std::size_t k = 0; k < n_items; ++k) {
            const int i = task.items[k];
            const int t = a.item_status[i];
            if (!counts(t, s)) continue;
            const int g = a.item_group[i];
            const int r = recoded_category(a, g, scores[i - 1]);
            if (r < 0) continue;
            double* sum = local + k * kItemSums;
            if (it.first_iteration) {
                sum[kShownCount] += wp;
                sum[kShownScore] += static_cast<double>(r) * wp;
            }
            if (s > 0) {
                sum[kSum] += static_cast<double>(b) * wp;
                sum[kSquares] += static_cast<double>(b) * b * wp;
                if (it.first_phase) {
                    sum[kCount] += wp, sum[kRaw] += static_cast<double>(r) * wp;
                    sum[kMaximum] += static_cast<double>(a.group_top_category[g]) * wp;
                }
            }
            if (!it.first_phase && s > 0) {
                const ModelScore ms = model_score(group_model_view(a, g), r);
                sum[kModelScore] += ms.score * wp;
                sum[kModelMaximum] += ms.maximum * wp;
            }
            if (it.point_biserial) {
                if (!it.closing) {
                    sum[kNextCount] += wp, sum[kNextScore] += r * wp;
                } else {
                    const float wi = item_weight(a, i);
                    const double pc = z_.pb_person_count[p];
                    if (wp > 0.0f && wi < pc)
                        pairs[k].add(r, (z_.pb_person_score[p] - r * wi) / (pc - wi), wp);
                }
            }
        }
    }
    for (std::size_t k = 0; k < pairs.size(); ++k) z_.pb_item_pairs[task.items[k]] = pairs[k];
}

// The same for a plain iteration (see plain_person_sums).
void ProxPersonPass::plain_item_sums(const ColumnTask& task, double* local, const ProxIteration& it) {
    const AnalysisArrays& a = a_;
    const std::size_t n_items = task.items.size();
    std::fill(local, local + n_items * kItemSums, 0.0);
    const std::int8_t* status = a.item_status.data();
    const double top = plain_top_;
    for (int p = 1; p <= a.persons; ++p) {
        const int s = status_[static_cast<std::size_t>(p)];
        if (s <= -2) continue;
        const std::uint8_t* scores = data_.scores(p);
        const double b = measure_[static_cast<std::size_t>(p)], squares = b * b;
        for (std::size_t k = 0; k < n_items; ++k) {
            const int i = task.items[k];
            if (!counts(status[i], s)) continue;
            const int r = plain_recoded_[scores[i - 1]];
            if (r < 0) continue;
            double* sum = local + k * kItemSums;
            if (it.first_iteration) sum[kShownCount] += 1.0, sum[kShownScore] += r;
            if (s <= 0) continue;
            sum[kSum] += b, sum[kSquares] += squares;
            if (it.first_phase) sum[kCount] += 1.0, sum[kRaw] += r, sum[kMaximum] += top;
            else sum[kModelScore] += r, sum[kModelMaximum] += top;
        }
    }
}

void ProxPersonPass::store_item_sums(const ColumnTask& task, const double* local,
                                     const ProxIteration& it) {
    for (std::size_t k = 0; k < task.items.size(); ++k) {
        const auto i = static_cast<std::size_t>(task.items[k]);
        const double* sum = local + k * kItemSums;
        if (it.first_iteration) z_.shown_count[i] = sum[kShownCount], z_.shown_score[i] = sum[kShownScore];
        z_.respondent_sum[i] = sum[kSum], z_.respondent_squares[i] = sum[kSquares];
        if (it.first_phase) z_.count[i] = sum[kCount], z_.raw[i] = sum[kRaw], z_.maximum[i] = sum[kMaximum];
        z_.model_score[i] = sum[kModelScore], z_.model_maximum[i] = sum[kModelMaximum];
        if (it.point_biserial && !it.closing)
            z_.pb_item_next_count[i] = sum[kNextCount], z_.pb_item_next_score[i] = sum[kNextScore];
    }
}

// The category sums of the groups of the task's items (three per slot, at 3 x slot in local).
// The top category of the one group of a category walk whose squares are summed by a walk of
// their own: no weights and 1 to 4 steps. 0 when one walk makes all three sums.
int ProxPersonPass::split_category_top(const ColumnTask& task) const {
    const AnalysisArrays& a = a_;
    if (a.groups != 1 || !a.person_weights.empty() || !a.item_weights.empty() || task.items.empty())
        return 0;
    const int top = a.group_top_category[1];
    return top >= 1 && top <= 4 ? top : 0;
}

void ProxPersonPass::category_sums(const ColumnTask& task, double* local) {
    const AnalysisArrays& a = a_;
    std::fill(local, local + 3 * (static_cast<std::size_t>(a.slots) + 1), 0.0);
    const bool squares = task.sums == ColumnSums::kCategorySquares;
    if (const int top = split_category_top(task); top > 0) {
        double* slots = local + 3 * a.group_first_slot[1];
        switch (top) {
            case 1: return squares ? plain_category_sums<1, true>(task, slots) : plain_category_sums<1, false>(task, slots);
            case 2: return squares ? plain_category_sums<2, true>(task, slots) : plain_category_sums<2, false>(task, slots);
            case 3: return squares ? plain_category_sums<3, true>(task, slots) : plain_category_sums<3, false>(task, slots);
            default: return squares ? plain_category_sums<4, true>(task, slots) : plain_category_sums<4, false>(task, slots);
        }
    }
    if (squares) return;
    std::vector<std::int32_t> measured;  // the items of the task with status above 0
    for (std::int32_t i : task.items)
        if (a.item_status[i] > 0) measured.push_back(i);
    for (int p = 1; p <= a.persons; ++p) {
        if (status_[static_cast<std::size_t>(p)] <= 0) continue;
        const std::uint8_t* scores = data_.scores(p);
        const float wp = person_weight(a, p);
        const float b = measure_[static_cast<std::size_t>(p)];
        for (std::int32_t i : measured) {
            const int g = a.item_group[i];
            const int r = recoded_category(a, g, scores[i - 1]);
            if (r < 0) continue;
            const double wc = combined_weight(a, i, wp, item_weight(a, i));
            const double diff = static_cast<double>(b) - a.item_measure[i];
            double* slot = local + 3 * (a.group_first_slot[g] + r);
            slot[1] += diff * wc;
            slot[2] += diff * diff * wc;
            slot[0] += wc;
        }
    }
}

// The category sums of one group with kTop steps and no weights: every observation adds its
// difference, square and count of 1 to its category's sums times 1 and to the others' times 0
// (adding a zero leaves a sum as it is, and the measures are finite), so the sums stay in
// registers and need no branch.
// The category sums of the one group, with kTop steps and no weights: its counts and sums of
// differences, or (kSquares) its sums of squares. Every observation adds its value to its
// category's sum times 1 and to the others' times 0 (adding a zero leaves a sum as it is, and
// the measures are finite), so the sums stay in registers and need no branch; a count of 1s is
// exact in any order.
template <int kTop, bool kSquares>
void ProxPersonPass::plain_category_sums(const ColumnTask& task, double* slots) {
    const AnalysisArrays& a = a_;
    std::vector<std::int32_t> measured;
    for (std::int32_t i : task.items)
        if (a.item_status[i] > 0) measured.push_back(i);
    // For each scored response: 1 for its recoded category, 0 for the others (all 0: unusable),
    // and the category itself (kTop + 1: unusable).
    double one[256][kTop + 1] = {};
    std::uint8_t category[256];
    for (int v = 0; v < 256; ++v) {
        const int r = recoded_category(a, 1, static_cast<std::uint8_t>(v));
        const bool usable = r >= 0 && r <= kTop;
        if (usable) one[v][r] = 1.0;
        category[v] = static_cast<std::uint8_t>(usable ? r : kTop + 1);
    }
    double sum[kTop + 1] = {};
    std::int64_t count[kTop + 2] = {};
    for (int p = 1; p <= a.persons; ++p) {
        if (status_[static_cast<std::size_t>(p)] <= 0) continue;
        const std::uint8_t* scores = data_.scores(p);
        const float b = measure_[static_cast<std::size_t>(p)];
        for (std::int32_t i : measured) {
            const std::uint8_t score = scores[i - 1];
            const double* here = one[score];
            const double diff = static_cast<double>(b) - a.item_measure[i];
            const double value = kSquares ? diff * diff : diff;
#pragma GCC unroll 8
            for (int k = 0; k <= kTop; ++k) sum[k] += value * here[k];
            if (!kSquares) ++count[category[score]];
        }
    }
    for (int k = 0; k <= kTop; ++k) {
        if (kSquares) {
            slots[3 * k + 2] = sum[k];
        } else {
            slots[3 * k] = static_cast<double>(count[k]);
            slots[3 * k + 1] = sum[k];
        }
    }
}

// A person's own sums over the items, in descending item order.
void ProxPersonPass::general_person_sums(int p, int s, const ProxIteration& it, PersonSums& ps) const {
    const AnalysisArrays& a = a_;
    const ProxSums& z = z_;
    const std::uint8_t* scores = data_.scores(p);
    const float wp = person_weight(a, p);
    for (int i = a.items; i >= 1; --i) {
        const int t = a.item_status[i];
        if (!counts(t, s)) continue;
        const int g = a.item_group[i];
        const int r = recoded_category(a, g, scores[i - 1]);
        if (r < 0) {
            ps.complete = false;
            continue;
        }
        const float wi = item_weight(a, i);
        const int top = a.group_top_category[g];
        if (it.first_iteration) ps.shown_count += wi, ps.shown_score += static_cast<double>(r) * wi;
        const double d = a.item_measure[i];
        if (t > 0) {
            ps.sum += d * wi, ps.squares += d * d * wi;
            ps.score += static_cast<double>(r) * wi, ps.n += wi, ps.maximum += top * wi;
        }
        if (!it.first_phase && t > 0) {
            const ModelScore ms = model_score(group_model_view(a, g), r);
            ps.est_score += ms.score * wi, ps.est_maximum += ms.maximum * wi;
        }
        if (it.point_biserial) {
            if (!it.closing) {
                ps.pb_count += wi, ps.pb_score += r * wi;
            } else {
                const double ic = z.pb_item_count[i];
                if (wi > 0.0f && wp < ic)
                    ps.pb_pairs.add(r, (z.pb_item_score[i] - r * wp) / (ic - wp), wi);
            }
        }
    }
}

// The same for a plain iteration: every weight 1 (each product with a weight is the value
// itself), one group of the rating-scale formulas, no point-biserial.
void ProxPersonPass::plain_person_sums(int p, int s, const ProxIteration& it, PersonSums& ps) const {
    const AnalysisArrays& a = a_;
    const std::uint8_t* scores = data_.scores(p);
    const std::int8_t* status = a.item_status.data();
    const float* measure = a.item_measure.data();
    const double top = plain_top_;
    double sum = 0.0, squares = 0.0, n = 0.0, score = 0.0, maximum = 0.0;
    double shown_count = 0.0, shown_score = 0.0;
    for (int i = a.items; i >= 1; --i) {
        const int t = status[i];
        if (!counts(t, s)) continue;
        const int r = plain_recoded_[scores[i - 1]];
        if (r < 0) {
            ps.complete = false;
            continue;
        }
        if (it.first_iteration) shown_count += 1.0, shown_score += r;
        if (t > 0) {
            const double d = measure[i];
            sum += d, squares += d * d;
            score += r, n += 1.0, maximum += top;
        }
    }
    ps.sum = sum, ps.squares = squares, ps.n = n, ps.score = score, ps.maximum = maximum;
    ps.shown_count = shown_count, ps.shown_score = shown_score;
    // Under the rating-scale formulas the score for estimation is the score itself.
    if (!it.first_phase) ps.est_score = score, ps.est_maximum = maximum;
}

// A chunk of persons: each person's own sums, classification by score, new measure and work
// record.
void ProxPersonPass::persons(int c, const ProxIteration& it) {
    AnalysisArrays& a = a_;
    ProxSums& z = z_;
    const int np = a.persons;
    ChunkResult& result = results_[static_cast<std::size_t>(c)];
    result = ChunkResult{};
    for (int p = plan_.first(c), last = plan_.last(c, np); p <= last; ++p) {
        anchored_estimate_[static_cast<std::size_t>(p)] = std::nanf("");
        std::int8_t& status = a.person_status[p];
        if (status > 8) status = static_cast<std::int8_t>(status - status::kProxCompleteMark);
        const int s = status;
        float* record = data_.record(p);
        if (s <= -2) {
            std::fill(record, record + kPersonRecordFields, 0.0f);
            continue;
        }
        const float b = a.person_measure[p];
        PersonSums ps;
        ps.complete = it.mark_allowed;
        if (plain_) plain_person_sums(p, s, it, ps);
        else general_person_sums(p, s, it, ps);
        const double sum = ps.sum, squares = ps.squares, n = ps.n, score = ps.score;
        const double maximum = ps.maximum, est_maximum = ps.est_maximum;
        double est_score = ps.est_score;
        const bool complete = ps.complete;
        if (it.first_iteration) {
            a.person_shown_count[p] = static_cast<float>(ps.shown_count);
            a.person_shown_score[p] = static_cast<float>(ps.shown_score);
        }
        if (it.point_biserial && !it.closing) {
            z.pb_person_count[p] = ps.pb_count;
            z.pb_person_score[p] = ps.pb_score;
        }
        if (it.point_biserial && it.closing) ps.pb_pairs.correlation(z.pb_person[p]);

        // Classification by score.
        int st = s;
        if (n > 0.0) {
            if (st == 1) {
                if (score == maximum) st = top_code_;
                else if (score <= 0.0) st = bottom_code_;
            }
        } else {
            st = inestimable(st);
        }
        if (st != s) {
            result.changed = true;
        } else if (it.closing && est_maximum == 0.0) {
            st = inestimable(st);
            if (st != s) result.changed = true;
        }
        // The score for estimation is kept off the extremes once it is formed (the work
        // record holds it that way for UCON).
        if (!it.first_phase && est_maximum > 0.0)
            est_score = std::clamp(est_score, static_cast<double>(x_), est_maximum - x_);
        status = static_cast<std::int8_t>(st);
        if (st >= -1 && n > 0.0) {
            const float estimate = normal_approximation(sum, squares, n, score, maximum);
            if (st < 2) {
                const float change = estimate - b;
                if (st == 1 && std::fabs(change) > std::fabs(result.largest_change))
                    result.largest_change = change;
                a.person_measure[p] = estimate;
            } else {
                anchored_estimate_[static_cast<std::size_t>(p)] = estimate;
                result.anchored = true;
            }
        }
        if (complete) status = static_cast<std::int8_t>(status + status::kProxCompleteMark);
        const float values[kPersonRecordFields] = {
            static_cast<float>(n),         static_cast<float>(score),
            static_cast<float>(maximum),   static_cast<float>(est_maximum),
            static_cast<float>(est_score), it.point_biserial ? z.pb_person[p] : 0.0f,
            0.0f};
        std::copy(values, values + kPersonRecordFields, record);
    }
}

}  // namespace korvelan

#include "engine/estimation/prox_persons.h"

#include <algorithm>
#include <cmath>

#include "engine/estimation/fit_formulas.h"
#include "engine/estimation/weighted_sums.h"

namespace korvelan {

namespace {

// Item blocks of at least this many items, and at most this many blocks or sets of groups.
constexpr int kItemsPerBlock = 8;
constexpr int kMostColumnTasks = 16;
// A group of at most this many steps has a walk for each category sum.
constexpr int kMostSplitTop = 4;

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
    // One group with a short scale and no weights: a walk for each category sum, so that no
    // walk takes much longer than the others.
    const int top = a_.groups == 1 ? a_.group_top_category[1] : 0;
    if (top >= 1 && top <= kMostSplitTop && a_.person_weights.empty() && a_.item_weights.empty()) {
        split_categories_ = top + 1;
        const ColumnTask all = columns_.front();
        columns_.erase(columns_.begin());
        for (int k = top; k >= 0; --k)
            for (ColumnSums sums : {ColumnSums::kCategorySquares, ColumnSums::kCategories}) {
                ColumnTask walk = all;
                walk.sums = sums, walk.category = k;
                columns_.insert(columns_.begin(), walk);
            }
    }
    std::size_t most = 3 * (static_cast<std::size_t>(a_.slots) + 1);
    for (const ColumnTask& t : columns_)
        most = std::max(most, t.items.size() * kItemSums + static_cast<std::size_t>(a_.top_value) + 2);
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
        if (column.sums == ColumnSums::kItems) store_item_sums(column, column_sums_[k], it);
        else store_category_sums(column, column_sums_[k]);
    }
    // A split iteration: the category counts of the item walks, whole numbers in any order.
    if (split_top_ > 0) {
        const int first = a.group_first_slot[1];
        for (int c = 0; c <= split_top_; ++c) z_.slot_count[first + c] = 0.0;
        for (int k = 0; k < columns; ++k) {
            const ColumnTask& column = columns_[static_cast<std::size_t>(k)];
            if (column.sums != ColumnSums::kItems) continue;
            const double* counted = column_sums_[k] + column.items.size() * kItemSums;
            for (int c = 0; c <= split_top_; ++c) z_.slot_count[first + c] += counted[c];
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

void ProxPersonPass::store_category_sums(const ColumnTask& task, const double* local) {
    const AnalysisArrays& a = a_;
    if (split_top_ > 0) {
        if (task.category > split_top_) return;
        const int slot = a.group_first_slot[1] + task.category;
        if (task.sums == ColumnSums::kCategorySquares) z_.slot_squares[slot] = local[0];
        else z_.slot_sum[slot] = local[0];
        return;
    }
    if (task.sums != ColumnSums::kCategories || task.category > 0) return;
    for (std::int32_t i : task.items) {
        const int g = a.item_group[i];
        const int first = a.group_first_slot[g], n = group_slot_count(a, g);
        for (int slot = first; slot < first + n; ++slot) {
            z_.slot_count[slot] = local[3 * slot];
            z_.slot_sum[slot] = local[3 * slot + 1];
            z_.slot_squares[slot] = local[3 * slot + 2];
        }
    }
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
    split_top_ = 0;
    if (!plain_) return;
    plain_top_ = a.group_top_category[group];
    if (plain_top_ >= 1 && plain_top_ < split_categories_) split_top_ = plain_top_;
    for (int v = 0; v < 256; ++v)
        plain_recoded_[static_cast<std::size_t>(v)] = static_cast<std::int16_t>(
            std::max(-1, recoded_category(a, group, static_cast<std::uint8_t>(v))));
}

// A person's own sums over the items, in descending item order.
void ProxPersonPass::general_person_sums(int p, int s, const ProxIteration& it, PersonSums& ps) const {
    const AnalysisArrays& a = a_;
    const ProxSums& z = z_;
    const std::uint8_t* scores = data_.scores(p);
    const float wp = person_weight(a, p);
    for (int i = a.items; i >= 1; --i) {
        const int t = a.item_status[i];
        if (!prox_counts(t, s)) continue;
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
            ps.score += static_cast<double>(r) * wi, ps.n += wi, ps.maximum += static_cast<double>(top) * wi;
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
// itself), one group of the rating-scale formulas, no point-biserial. The counts and scores are
// sums of whole numbers, exact in any order: they are counted in integers.
void ProxPersonPass::plain_person_sums(int p, int s, const ProxIteration& it, PersonSums& ps) const {
    const AnalysisArrays& a = a_;
    const std::uint8_t* scores = data_.scores(p);
    const std::int8_t* status = a.item_status.data();
    const float* measure = a.item_measure.data();
    double sum = 0.0, squares = 0.0;
    std::int64_t n = 0, score = 0, shown = 0, shown_score = 0;
    bool complete = ps.complete;
    for (int i = a.items; i >= 1; --i) {
        const int t = status[i];
        if (!prox_counts(t, s)) continue;
        const int r = plain_recoded_[scores[i - 1]];
        if (r < 0) {
            complete = false;
            continue;
        }
        ++shown, shown_score += r;
        if (t > 0) {
            const double d = measure[i];
            sum += d, squares += d * d;
            ++n, score += r;
        }
    }
    ps.complete = complete;
    ps.sum = sum, ps.squares = squares;
    ps.n = static_cast<double>(n), ps.score = static_cast<double>(score);
    ps.maximum = static_cast<double>(n) * plain_top_;
    if (it.first_iteration) ps.shown_count = static_cast<double>(shown), ps.shown_score = static_cast<double>(shown_score);
    // Under the rating-scale formulas the score for estimation is the score itself.
    if (!it.first_phase) ps.est_score = ps.score, ps.est_maximum = ps.maximum;
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
                const ScoreEnd end = reachable_score_end(score, maximum);
                if (end == ScoreEnd::kHighest) st = top_code_;
                else if (end == ScoreEnd::kLowest) st = bottom_code_;
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

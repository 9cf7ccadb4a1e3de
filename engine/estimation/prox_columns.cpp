// The walks of the PROX person pass over all persons for some items: the item sums of a block
// of items, and the category sums of groups.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/estimation/fit_formulas.h"
#include "engine/estimation/prox_persons.h"

namespace korvelan {

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
            if (!prox_counts(t, s)) continue;
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

// The same for a plain iteration (see plain_person_sums). Every sum but the measures' is a sum
// of whole numbers, exact in any order: they are counted in integers. The measures' sums take
// each person's value times 1, or times 0 for an observation that does not count (adding a zero
// leaves a sum as it is, and the measures are finite), in loops over the block without a branch.
// The walk also counts the observations of each category that the category sums need.
void ProxPersonPass::plain_item_sums(const ColumnTask& task, double* local, const ProxIteration& it) {
    const AnalysisArrays& a = a_;
    const std::size_t n = task.items.size();
    const std::int8_t* status = a.item_status.data();
    std::vector<std::int64_t> shown(n), shown_score(n), count(n), raw(n), use(n), category(n);
    std::vector<double> sum(n), squares(n), one(n);
    std::vector<std::int64_t> slot_count(static_cast<std::size_t>(plain_top_) + 2);
    for (int p = 1; p <= a.persons; ++p) {
        const int s = status_[static_cast<std::size_t>(p)];
        if (s <= -2) continue;
        const std::uint8_t* scores = data_.scores(p);
        const double b = measure_[static_cast<std::size_t>(p)], b2 = b * b;
        for (std::size_t k = 0; k < n; ++k) {
            const int i = task.items[k];
            const int r = plain_recoded_[scores[i - 1]];
            const bool counted = prox_counts(status[i], s) && r >= 0;
            use[k] = counted;
            one[k] = counted ? 1.0 : 0.0;
            category[k] = counted ? r : 0;
            // Category counts: measured persons on measured items (the slot past the top: none).
            slot_count[s > 0 && counted && status[i] > 0 ? r : plain_top_ + 1] += 1;
        }
        if (it.first_iteration)
            for (std::size_t k = 0; k < n; ++k) shown[k] += use[k], shown_score[k] += category[k];
        if (s <= 0) continue;
        for (std::size_t k = 0; k < n; ++k) {
            sum[k] += b * one[k];
            squares[k] += b2 * one[k];
            count[k] += use[k];
            raw[k] += category[k];
        }
    }
    const double top = plain_top_;
    for (std::size_t k = 0; k < n; ++k) {
        double* out = local + k * kItemSums;
        out[kShownCount] = static_cast<double>(shown[k]), out[kShownScore] = static_cast<double>(shown_score[k]);
        out[kSum] = sum[k], out[kSquares] = squares[k];
        out[kCount] = static_cast<double>(count[k]), out[kRaw] = static_cast<double>(raw[k]);
        out[kMaximum] = static_cast<double>(count[k]) * top;
        // Under the rating-scale formulas the scores for estimation are the scores themselves.
        out[kModelScore] = it.first_phase ? 0.0 : out[kRaw];
        out[kModelMaximum] = it.first_phase ? 0.0 : out[kMaximum];
    }
    double* counted = local + n * kItemSums;
    for (int k = 0; k <= plain_top_; ++k) counted[k] = static_cast<double>(slot_count[static_cast<std::size_t>(k)]);
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

// The category sums of the groups of the task's items: in a split iteration (split_top_) the
// sum of the differences or of their squares of one category of the one group, at local[0];
// else all three sums of each slot, at 3 x slot in local, made by the first walk of the set.
void ProxPersonPass::category_sums(const ColumnTask& task, double* local) {
    const AnalysisArrays& a = a_;
    if (split_top_ > 0) {
        local[0] = 0.0;
        if (task.category > split_top_) return;
        if (task.sums == ColumnSums::kCategorySquares) plain_category_sum<true>(task, local);
        else plain_category_sum<false>(task, local);
        return;
    }
    std::fill(local, local + 3 * (static_cast<std::size_t>(a.slots) + 1), 0.0);
    if (task.sums != ColumnSums::kCategories || task.category > 0) return;
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

// One category sum of the one group, without weights: of the differences or (kSquares) of their
// squares. Every observation adds its value times 1 when it is in the category and times 0
// when it is not (adding a zero leaves the sum as it is, and the measures are finite): the sum
// stays in a register and needs no branch.
template <bool kSquares>
void ProxPersonPass::plain_category_sum(const ColumnTask& task, double* local) {
    const AnalysisArrays& a = a_;
    std::vector<std::int32_t> measured;
    for (std::int32_t i : task.items)
        if (a.item_status[i] > 0) measured.push_back(i);
    double in_category[256] = {};
    for (int v = 0; v < 256; ++v)
        if (plain_recoded_[static_cast<std::size_t>(v)] == task.category) in_category[v] = 1.0;
    double sum = 0.0;
    for (int p = 1; p <= a.persons; ++p) {
        if (status_[static_cast<std::size_t>(p)] <= 0) continue;
        const std::uint8_t* scores = data_.scores(p);
        const double b = measure_[static_cast<std::size_t>(p)];
        for (std::int32_t i : measured) {
            const double diff = b - a.item_measure[i];
            sum += (kSquares ? diff * diff : diff) * in_category[scores[i - 1]];
        }
    }
    local[0] = sum;
}

}  // namespace korvelan

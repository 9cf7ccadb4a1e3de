// The rating-scale part of PROX: which categories each group uses, and start values of its steps.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/prox.h"

namespace korvelan {

void renumber_categories_at_start(AnalysisArrays& a, const std::vector<int>& lowest_in_use) {
    // The first numbering walks the slots by category value (slot first + k is value k, up to
    // the group's top value); a later PROX run (after trimming) walks the categories the first
    // left, whose values category_value holds, so that numbering again changes nothing it need
    // not change.
    const bool by_value = !a.estimation.categories_recounted;
    for (int g = 1; g <= a.groups; ++g) {
        const int f = a.group_first_slot[g];
        const int top = by_value ? a.group_top_value[g] : a.group_top_category[g];
        int number = 0;
        for (int k = 0; k <= top; ++k) {
            const int slot = f + k;
            const int value = by_value ? k : a.category_value[slot];
            if (a.category_status[slot] < 0) {
                a.category_recoded[f + value] = -3;
                continue;
            }
            const bool below_use = by_value && static_cast<std::size_t>(g) < lowest_in_use.size() &&
                                   number == 0 && k < lowest_in_use[static_cast<std::size_t>(g)];
            if (below_use && a.category_status[slot] < status::kAnchored) {
                a.category_recoded[f + value] = -4;
                continue;
            }
            a.category_recoded[f + value] = number;
            a.category_value[f + number] = value;
            if (number != k) {
                a.step_calibration[f + number] = a.step_calibration[slot];
                a.category_status[f + number] = a.category_status[slot];
            }
            ++number;
        }
        if (number <= 1) {
            if (number == 1) a.category_recoded[f + a.category_value[f]] = -4;
            a.group_top_category[g] = -1;
        } else {
            a.group_top_category[g] = number - 1;
        }
    }
    a.estimation.categories_recounted = true;
}

namespace {

// The item a group's step anchors are named by: its first item that takes part, else its first.
std::int32_t first_item_of_group(const AnalysisArrays& a, int g) {
    std::int32_t first = 0;
    for (int i = 1; i <= a.items; ++i) {
        if (a.item_group[i] != g) continue;
        if (a.item_status[i] >= status::kExtremeMinimum) return i;
        if (first == 0) first = i;
    }
    return first;
}

}  // namespace

void release_unused_step_anchors(AnalysisArrays& a, const CategoryUse& use, bool keep_unobserved) {
    std::vector<UnusedStepAnchor>& released = a.estimation.unused_step_anchors;
    released.clear();
    for (int g = 1; g <= a.groups && static_cast<std::size_t>(g) < use.size(); ++g) {
        const std::vector<char>& used = use[static_cast<std::size_t>(g)];
        const int f = a.group_first_slot[g];
        const CategoryModel model{a.group_top_value[g], a.group_model[g]};
        const bool adding = !uses_step_chain(model);
        // A kept unused category of the success chain has probability 0 only while the step of
        // the category in use above it is free.
        const bool chain_gap = keep_unobserved && uses_step_chain(model) && model.model == 'S';
        // The anchors of the unused categories since the last one in use (none below the lowest
        // one in use: the bottom category of a scale has no step).
        float passed_on = 0.0f;
        bool in_use_below = false, gap_below = false;
        for (int k = 0; k <= a.group_top_value[g] && k < static_cast<int>(used.size()); ++k) {
            std::int32_t& st = a.category_status[f + k];
            float& step = a.step_calibration[f + k];
            if (st < 0) continue;  // deleted: not in the numbering
            if (used[static_cast<std::size_t>(k)] == kCountedUse) {
                if (st >= status::kAnchored && chain_gap && gap_below) {
                    released.push_back({first_item_of_group(a, g), k, true});
                    st = status::kMeasured;
                    step = 0.0f;
                }
                if (st >= status::kAnchored) step += passed_on;
                passed_on = 0.0f;
                in_use_below = true;
                gap_below = false;
                continue;
            }
            gap_below = in_use_below;
            if (st >= status::kAnchored) {
                released.push_back({first_item_of_group(a, g), k, false});
                if (adding && in_use_below) passed_on += step;
                st = status::kMeasured;
                step = 0.0f;
            }
        }
    }
}

namespace {

// Normal-approximation step between the categories below and above it: the mean of
// w(B - D) over both sides, widened by the spread, plus the log-ratio of the two counts.
struct SideSums {
    double count = 0.0, sum = 0.0, squares = 0.0;
    void add(const AnalysisArrays& a, int slot) {
        count += a.category_observed_count[slot];
        sum += a.step_weighted_difference_sum[slot];
        squares += a.step_weighted_difference_square_sum[slot];
    }
};

float normal_approximation_step(const SideSums& below, const SideSums& above) {
    if (below.count == 0.0 || above.count == 0.0) return 0.0f;
    const double n = below.count + above.count;
    const double sum = below.sum + above.sum;
    const double mean = sum / n;
    const double variance = ((below.squares + above.squares) - sum * sum / n) / n;
    const double spread = std::sqrt(std::max(0.0, 1.0 + variance / 2.65));
    return static_cast<float>(mean + spread * std::log(below.count / above.count));
}

void move_slot(AnalysisArrays& a, int from, int to) {
    a.category_value[to] = a.category_value[from];
    a.category_status[to] = a.category_status[from];
    a.step_calibration[to] = a.step_calibration[from];
    a.category_observed_count[to] = a.category_observed_count[from];
    a.step_weighted_difference_sum[to] = a.step_weighted_difference_sum[from];
    a.step_weighted_difference_square_sum[to] = a.step_weighted_difference_square_sum[from];
}

// Drops the group's scale: every category still numbered is recoded -4.
void drop_group(AnalysisArrays& a, int g) {
    const int f = a.group_first_slot[g];
    const int n = group_slot_count(a, g);
    for (int k = 0; k < n; ++k)
        if (a.category_recoded[f + k] >= 0) a.category_recoded[f + k] = -4;
    a.group_top_category[g] = -1;
}

}  // namespace

int estimate_prox_steps(AnalysisArrays& a, const EstimationSettings& settings,
                        const std::vector<int>& active_items_in_group, bool& changed,
                        float& step_change) {
    int active_categories = 0;
    // Step values before this iteration, by category number (sized by estimate_prox).
    std::vector<float>& previous = a.step_values_by_category;
    for (int g = a.groups; g >= 1; --g) {
        int top = a.group_top_category[g];
        if (top < 0) continue;
        const int f = a.group_first_slot[g];
        const char model = a.group_model[g];
        if (active_items_in_group[g] == 0 || top == 0) {
            drop_group(a, g);
            continue;
        }
        // Status refresh: unobserved free categories are marked -1, observed ones 1.
        int lowest = -1, highest = -1;
        for (int k = 0; k <= top; ++k) {
            std::int32_t& st = a.category_status[f + k];
            if (st < -1) continue;
            if (st < 2) st = a.category_observed_count[f + k] <= 0.0f ? -1 : 1;
            if (st >= 1) {
                if (lowest < 0) lowest = k;
                highest = k;
            }
        }
        // Unobserved categories between observed ones keep their place in the numbering.
        if (settings.keep_unobserved_steps == 'Y' && lowest >= 0) {
            int above = highest;
            for (int k = highest - 1; k > lowest; --k) {
                std::int32_t& st = a.category_status[f + k];
                if (st == -1) {
                    if (model == 'S') {
                        if (a.category_status[f + above] != 2) a.category_status[f + above] = 0;
                        st = 1;
                    } else {
                        st = 0;
                    }
                }
                if (st > 0) above = k;
            }
        }
        // Renumbering without the dropped categories.
        int number = 0;
        for (int k = 0; k <= top; ++k) {
            const int slot = f + k;
            if (a.category_status[slot] < 0) {
                changed = true;
                a.category_recoded[f + a.category_value[slot]] = -4;
                continue;
            }
            if (number != k) {
                move_slot(a, slot, f + number);
                a.category_recoded[f + a.category_value[f + number]] = number;
            }
            ++number;
        }
        active_categories += number;
        if (number <= 1) {
            changed = true;
            if (number == 1) a.category_recoded[f + a.category_value[f]] = -4;
            a.group_top_category[g] = -1;
            active_categories -= number;
            continue;
        }
        top = number - 1;
        a.group_top_category[g] = top;

        // Step estimates from the categories on both sides of each step.
        int estimated = 0;
        SideSums last_below;  // the last category below with a positive count
        for (int k = 0; k <= top; ++k) {
            const int slot = f + k;
            if (k >= 1) {
                previous[k] = a.step_calibration[slot];
                const int st = a.category_status[slot];
                if (st == 1) {
                    SideSums below, above;
                    if (model == 'F' && top >= 2) {
                        for (int j = 0; j < k; ++j) below.add(a, f + j);
                    } else {
                        below = last_below;
                    }
                    if (model == 'S' && top >= 2) {
                        for (int j = k; j <= top; ++j) above.add(a, f + j);
                    } else {
                        above.add(a, slot);
                    }
                    a.step_calibration[slot] = normal_approximation_step(below, above);
                    ++estimated;
                } else if (st < 1) {
                    a.step_calibration[slot] = 0.0f;
                }
            }
            if (a.category_observed_count[slot] > 0.0f) {
                last_below = SideSums{};
                last_below.add(a, slot);
            }
        }
        // Centring: the re-estimated steps absorb the mean of all steps, anchored ones included.
        if (estimated > 0) {
            double sum = 0.0;
            for (int k = 1; k <= top; ++k)
                if (a.category_status[f + k] >= 1) sum += a.step_calibration[f + k];
            const float mean = static_cast<float>(sum / estimated);
            for (int k = 1; k <= top; ++k) {
                if (a.category_status[f + k] != 1) continue;
                a.step_calibration[f + k] -= mean;
                const float change = a.step_calibration[f + k] - previous[k];
                if (std::fabs(change) > std::fabs(step_change)) step_change = change;
            }
        }
    }
    return active_categories;
}

}  // namespace korvelan

#include "engine/analyses/subtotal_cells.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace korvelan {

namespace {

SubtotalCell combined(const SubtotalCell& a, const SubtotalCell& b) {
    SubtotalCell c = a;
    c.weight = a.weight + b.weight;
    c.mean = (a.mean * a.weight + b.mean * b.weight) / c.weight;
    c.mean_square = (a.mean_square * a.weight + b.mean_square * b.weight) / c.weight;
    return c;
}

void merge_into(SubtotalCell& target, const SubtotalCell& a, const SubtotalCell& b) {
    if (a.weight + b.weight > 0) target = combined(a, b);
}

}  // namespace

void accumulate_weighted_cell(SubtotalCell& cell, double x, double w) {
    if (w <= 0) return;
    if (cell.weight == 0) {
        cell = SubtotalCell{w, x, x * x, x, x};
        return;
    }
    cell.maximum = std::max(cell.maximum, x);
    cell.minimum = std::min(cell.minimum, x);
    cell.weight += w;
    cell.mean += w * (x - cell.mean) / cell.weight;
    cell.mean_square += w * (x * x - cell.mean_square) / cell.weight;
}

void accumulate_subtotal_entry(SubtotalGroup& group, const SubtotalEntry& entry) {
    const double w = entry.weight;
    if (w <= 0) return;
    const EntryStatistics& v = entry.values;
    auto add = [&](int s, double x) { accumulate_weighted_cell(group.slots[static_cast<std::size_t>(s)], x, w); };
    if (entry.status == -2) {
        group.lacking += w;
    } else if (entry.status <= -3) {
        group.deleted += w;
    } else if (entry.status <= 0) {
        (entry.status == 0 ? group.extreme_maximum : group.extreme_minimum) += w;
        add(slot::kAllMeasures, v.measure);
        add(slot::kAllErrors, v.standard_error);
    } else {
        group.non_extreme += w;
        add(slot::kScore, v.raw_score);
        add(slot::kCount, v.count);
        add(slot::kMeasure, v.measure);
        add(slot::kError, v.standard_error);
        add(slot::kInfit, v.infit_mnsq);
        add(slot::kInfitZ, v.infit_zstd);
        add(slot::kOutfit, v.outfit_mnsq);
        add(slot::kOutfitZ, v.outfit_zstd);
        add(slot::kRealError, v.standard_error * std::sqrt(std::max(static_cast<double>(v.infit_mnsq), 1.0)));
    }
}

void find_group_medians(std::vector<SubtotalGroup>& groups, const std::vector<SubtotalEntry>& entries,
                        const std::vector<std::size_t>& measure_order, bool weighted) {
    for (std::size_t g = 1; g <= groups.size(); ++g) {
        auto member = [&](const SubtotalEntry& e) {
            return e.status >= -1 && (g == 1 || e.group == static_cast<int>(g));
        };
        double total = 0, weight_sum = 0;
        for (const SubtotalEntry& e : entries)
            if (member(e)) {
                total += 1;
                weight_sum += e.weight;
            }
        const bool by_weight = weighted && weight_sum > 0;
        if (by_weight) total = weight_sum;
        double counted = 0, median = 0;
        for (std::size_t k : measure_order) {
            const SubtotalEntry& e = entries[k];
            const double w = by_weight ? e.weight : 1.0;
            if (!member(e) || w <= 0) continue;
            if (total == 2 * counted) {
                median = (e.values.measure + median) / 2;
                break;
            }
            counted += w;
            median = e.values.measure;
            if (total < 2 * counted) break;
        }
        groups[g - 1].median = median;
    }
}

void finish_subtotal_group(SubtotalGroup& group) {
    auto cell = [&](int s) -> SubtotalCell& { return group.slots[static_cast<std::size_t>(s)]; };
    merge_into(cell(slot::kAllMeasures), cell(slot::kMeasure), cell(slot::kAllMeasures));
    merge_into(cell(slot::kAllRealErrors), cell(slot::kRealError), cell(slot::kAllErrors));
    merge_into(cell(slot::kAllErrors), cell(slot::kError), cell(slot::kAllErrors));
    for (SubtotalCell& c : group.slots) c.mean_square = std::sqrt(std::max(c.mean_square - c.mean * c.mean, 0.0));
}

std::vector<std::size_t> measure_order_of(const std::vector<SubtotalEntry>& entries) {
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return entries[a].values.measure > entries[b].values.measure;
    });
    return order;
}

}  // namespace korvelan

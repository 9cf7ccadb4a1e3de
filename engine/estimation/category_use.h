// Which responses the estimation counts: those of persons and items that are neither extreme nor
// inestimable once PROX has settled, on a category inside the range its group keeps, with a
// weight above 0. A category no such response uses is empty to the estimation, whatever the
// data hold: the step anchors and the numbering decide on this one notion.
#pragma once

#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/run/run.h"

namespace korvelan {

// The persons and items whose responses count; per group the lowest and highest category value
// such a response uses (a group with fewer than two such values has none: high < low); per
// category slot whether its value lies in that range and takes part (not deleted).
struct CountedEntries {
    std::vector<char> person, item;
    std::vector<int> low, high;
    std::vector<char> in_range;
    // Per category slot: how many responses the estimation counts score it, and whether any
    // response of a person and an item that are measured, anchored or extreme scores it.
    std::vector<long long> counted_in_slot;
    std::vector<char> responded_in_slot;
};

// Finds the entries the estimation's sums count, as the first phase of PROX leaves them: a
// measured (not anchored) person or item whose counted responses all lie at the top or all at
// the bottom of their groups' ranges is extreme, one without counted responses inestimable;
// leaving them out can make others extreme and narrow a group's range, so the classification
// repeats until nothing changes. The slot counts are those of the classification it returns.
CountedEntries entries_the_estimation_counts(Run& run);

// Item i takes part and the value x (255 = missing) lies in its group's range.
inline bool usable_value(const AnalysisArrays& a, const CountedEntries& c, int i, int x) {
    if (x == 255 || !c.item[static_cast<std::size_t>(i)]) return false;
    const int g = a.item_group[i];
    return x < group_slot_count(a, g) &&
           c.in_range[static_cast<std::size_t>(a.group_first_slot[g] + x)];
}

// Person p and item i take part and the response x lies in the group's range.
inline bool usable_response(const AnalysisArrays& a, const CountedEntries& c, int p, int i, int x) {
    return c.person[static_cast<std::size_t>(p)] && usable_value(a, c, i, x);
}

// A usable response to item i of a person of weight wp has a weight above 0 in the category
// sums.
inline bool weighs_in_categories(const AnalysisArrays& a, int i, float wp) {
    return combined_weight(a, i, wp, item_weight(a, i)) > 0.0f;
}

// Whether the response x of person p to item i counts in the estimation's sums (the one rule):
// usable, with a weight above 0 in the category sums.
inline bool counted_response(const AnalysisArrays& a, const CountedEntries& c, int p, int i,
                             int x) {
    return usable_response(a, c, p, i, x) && weighs_in_categories(a, i, person_weight(a, p));
}

// Each group's largest weight among its items that take part (status above 0), which decides
// the weight of an observation on an item of weight 0 (combined_weight).
void set_group_weights(AnalysisArrays& a);

}  // namespace korvelan

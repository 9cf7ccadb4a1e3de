// The category slots of a rating-scale group and the category a scored response falls in.
//
// A group owns the slots group_first_slot[g] .. group_first_slot[g + 1] - 1 (the last group's
// run to slots + 1): one per category value 0 .. group_top_value[g] (at least two). A scored
// response x of an item of the group addresses slot first + x, whatever the recount did; the
// slot's category_recoded then says which recounted category 0 .. group_top_category[g] the
// response counts in, or (negative) that the analysis does not use it. Every reader that turns
// a scored response into a category goes through recoded_category below, so that a response is
// never compared with the recounted top (which is smaller whenever the values do not start at 0
// or a category was dropped).
#pragma once

#include <cstdint>

#include "engine/run/analysis_arrays.h"

namespace korvelan {

// What recoded_category returns for a response that counts in no category.
inline constexpr int kCategoryNotUsable = -1;

// Number of category slots of group g (the slots run from its first slot to the next group's).
inline int group_slot_count(const AnalysisArrays& a, int g) {
    const int next = g < a.groups ? a.group_first_slot[g + 1] : a.slots + 1;
    return next - a.group_first_slot[g];
}

// The recounted category of scored response x of an item of group g; kCategoryNotUsable when
// the response is missing (255), lies beyond the group's slots, or falls in a slot whose
// category the analysis does not use (recoded -3 or -4).
inline int recoded_category(const AnalysisArrays& a, int g, int x) {
    if (x < 0 || x >= 255 || g < 1 || g > a.groups) return kCategoryNotUsable;
    if (x >= group_slot_count(a, g)) return kCategoryNotUsable;
    const auto slot = static_cast<std::size_t>(a.group_first_slot[g] + x);
    if (slot >= a.category_recoded.size()) return kCategoryNotUsable;
    const int k = a.category_recoded[slot];
    return k < 0 ? kCategoryNotUsable : k;
}

}  // namespace korvelan

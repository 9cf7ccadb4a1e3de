// The connectivity check between PROX and the iterations: do the persons and items form one
// network of comparisons? Persons are joined into a subset when their responses link up and down
// with the items the subset already reaches; anchored persons join anchored persons. Several
// subsets make the measures of different subsets incomparable: the check warns, lists one person
// (and one item, where there is one) of each subset, and leaves the warning as the closing note
// of the run. The estimation goes on either way.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/input/work_files.h"
#include "engine/run/run.h"

namespace korvelan {

// What the check reads, as PROX left it (arrays indexed from 1; NI is the work files' NI).
struct ConnectivityInputs {
    const std::vector<std::int8_t>& person_status;
    std::int32_t np;
    const std::vector<std::int8_t>& item_status;
    const std::vector<std::int32_t>& item_group;
    const std::vector<std::int32_t>& group_first_slot;
    const std::vector<std::int32_t>& category_recoded;    // per category slot
    const std::vector<std::int32_t>& group_top_category;  // after the renumbering
    std::string_view person_word;
    std::string_view item_word;
};

// Returns the number of subsets found (0 when there was nobody to check, or when the check
// could not run, which it says in one message line).
std::int32_t check_subset_connectivity(Run& run, WorkFiles& files, const ConnectivityInputs& in);

}  // namespace korvelan

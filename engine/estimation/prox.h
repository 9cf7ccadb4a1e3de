// PROX: the normal-approximation start values of every person, item and rating-scale step, the
// classification of extreme and inestimable entries, the renumbering of the categories each
// group uses, and the scores, counts and maxima UCON starts from. One row of the iteration
// report per iteration.
#pragma once

#include <vector>

#include "engine/estimation/estimation_observer.h"
#include "engine/estimation/estimation_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// Runs PROX on run.arrays until its stop rule holds and says which rule ended it; the heading,
// the rows and the progress go to the observer. Stops the run (no usable person or item) with a
// message when no person or no item is left with status above 0.
PhaseOutcome estimate_prox(Run& run, const EstimationSettings& settings,
                           EstimationObserver& observer);

// Keeps the most extreme values seen: inserts value after the first `count` entries of list,
// moves it up past every entry that is smaller (descending) or larger (ascending), then sets
// count to min(count + 1, (items + 1) / 2, 5). list must hold 6 entries.
void insert_extreme_value(int& count, float value, float* list, bool descending, int items);

// Mean difference of the k highest and k lowest values of the active entries (k from the lists
// above); 0 when the lists hold every active entry.
float extreme_range(const float* highest, const float* lowest, int k, int active);

// Category renumbering at the start of a PROX run: categories with negative status are taken
// out of each group's numbering (recoded -3), the rest numbered 0, 1, 2, ...; a group left with
// one category has no scale (top category -1, its category recoded -4). At the first numbering
// lowest_in_use (when given, one value per group) holds the lowest category value the responses
// of each group use: the empty slots below it, which only the coding makes, are left out
// (recoded -4) unless anchored, so that the same responses coded from any value start alike.
void renumber_categories_at_start(AnalysisArrays& a, const std::vector<int>& lowest_in_use = {});

// Which category values the responses of each group use: element [g][k] is kCountedUse when a
// response the estimation counts (counted_response) scores value k of group g, kResponseUse when
// only others do (extreme or inestimable entries, weight 0: persons and items that take part),
// 0 when none does.
using CategoryUse = std::vector<std::vector<char>>;
inline constexpr char kResponseUse = 1, kCountedUse = 2;
CategoryUse category_values_in_use(Run& run);

// The lowest value any response uses in each group, one element per group from 1; a value
// above every slot when the group has none.
std::vector<int> lowest_values_in_use(const AnalysisArrays& a, const CategoryUse& use);

// Step anchors that would give a category no counted response uses a place in the scale: each
// such slot becomes a free one (as if the anchor line were not there) and is listed in
// a.estimation.unused_step_anchors. These are the anchors on unused values, and, in a success
// chain whose unused middle categories are kept (keep_unobserved), the anchor of the category
// in use above them: the status of that step decides whether the category below it has
// probability 0. In a group whose steps add up (model "R", or two categories) the step that
// follows unused categories spans them: the value of their anchors passes to the anchor of the
// next category in use, when it has one, so that its category keeps the place the anchors gave
// it.
void release_unused_step_anchors(AnalysisArrays& a, const CategoryUse& use, bool keep_unobserved);

// The step estimates of one PROX iteration (per group: status refresh, kept unobserved steps,
// renumbering, normal-approximation steps centred on 0). Returns the number of active
// categories; sets changed when a category was dropped and step_change to the largest change.
int estimate_prox_steps(AnalysisArrays& a, const EstimationSettings& settings,
                        const std::vector<int>& active_items_in_group, bool& changed,
                        float& step_change);

}  // namespace korvelan

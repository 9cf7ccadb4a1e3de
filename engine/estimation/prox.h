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

// Which category values the responses of each group use (persons and items that take part,
// extreme ones included): element [g][k] is 1 when some response scores value k of group g.
using CategoryUse = std::vector<std::vector<char>>;
CategoryUse category_values_in_use(Run& run);

// The lowest value in use of each group, one element per group from 1; a value above every slot
// when the group has none.
std::vector<int> lowest_values_in_use(const AnalysisArrays& a, const CategoryUse& use);

// Step anchors on category values that no response of their group uses would bring an empty
// category into the scale: each such slot becomes a free one (as if the anchor line were not
// there) and is listed in a.estimation.unused_step_anchors. In a group whose steps add up
// (model "R", or two categories) the step that follows such categories spans them: the value
// of their anchors passes to the anchor of the next category in use, when it has one, so that
// its category keeps the place the anchors gave it.
void release_unused_step_anchors(AnalysisArrays& a, const CategoryUse& use);

// The step estimates of one PROX iteration (per group: status refresh, kept unobserved steps,
// renumbering, normal-approximation steps centred on 0). Returns the number of active
// categories; sets changed when a category was dropped and step_change to the largest change.
int estimate_prox_steps(AnalysisArrays& a, const EstimationSettings& settings,
                        const std::vector<int>& active_items_in_group, bool& changed,
                        float& step_change);

}  // namespace korvelan

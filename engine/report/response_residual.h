// The standardized residual of one response, as the Tables of misfitting and most unexpected
// responses show it: how far the observed category lies from the one the model expects at the
// person's and item's measures, in units of the model's standard deviation.
#pragma once

#include "engine/estimation/category_model.h"
#include "engine/run/run.h"

namespace korvelan {

// z = (c - E) / sqrt(V) for a response in recoded category c to an item of rating-scale group
// g at d = person logit - item logit. Model 'R', or a top category below 2: E and the category
// probabilities p(k) from compute_category_probabilities, V = sum k^2 p(k) - E^2, at least
// 0.001. Models 'S' and 'F': chain_standardized_residual, the residual over the steps the
// category attempted divided by the root of that residual's variance under the model.
float response_standardized_residual(const CategoryModel& g, float d, int c);

// The same for person p and item i of the run, in recoded category c, from their measures in
// user units turned back into logits: (measure - UMEAN=) / (side factor x USCALE=).
float response_standardized_residual(const Run& run, int person, int item, int c);

}  // namespace korvelan

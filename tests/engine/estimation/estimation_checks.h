// Expected and observed scores written out from their definitions in double, for checking the
// estimation's results on small data sets (moderate measures only: no clamps or floors).
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/run/analysis_arrays.h"
#include "tests/engine/estimation/estimation_fixture.h"
#include "tests/engine/estimation/reference_model.h"

namespace korvelan::testing {

// The rating-scale group g as it stands in the arrays.
inline Group group_of(const AnalysisArrays& a, int g) {
    Group r;
    r.model = a.group_model[g];
    const int f = a.group_first_slot[g], m = a.group_top_category[g];
    for (int k = 0; k <= m; ++k) {
        r.steps.push_back(a.step_calibration[f + k]);
        r.status.push_back(a.category_status[f + k]);
    }
    return r;
}

inline bool chain_model(const Group& g) { return g.top() >= 2 && g.model != 'R'; }

// What one observation in category c scores: the category itself, except in the chains, where
// the success chain scores the steps passed (c) and the failure chain 1 for any passed step.
inline double observed_points(const Group& g, int c) {
    if (chain_model(g) && g.model == 'F') return c > 0 ? 1.0 : 0.0;
    return c;
}

// Its expectation at measure difference d: the expected category, or in the chains the summed
// success probabilities of the steps the person attempted (success chain: steps up to the first
// failure, 1..c+1; failure chain: steps m down to the one passed, c..m).
inline double expected_points(const Group& g, int c, double d) {
    if (!chain_model(g)) return reference_expected(g, d);
    const int m = g.top();
    const int from = g.model == 'S' ? 1 : std::max(c, 1);
    const int to = g.model == 'S' ? std::min(c + 1, m) : m;
    double e = 0.0;
    for (int k = from; k <= to; ++k) e += g.status[k] < 1 ? (g.model == 'S' ? 1.0 : 0.0) : success(g.steps[k], d);
    return e;
}

// The recoded category of person p's response to item i (-1: none).
inline int category_of(const AnalysisArrays& a, int p, int i) {
    const std::uint8_t v = a.scored_response_image[static_cast<std::size_t>(p - 1) * a.items + (i - 1)];
    if (v == 255) return -1;
    return a.category_recoded[a.group_first_slot[a.item_group[i]] + v];
}

struct ScorePair {
    double observed = 0.0, expected = 0.0;
};

// Observed and expected score of person p over the items with status above 0 (status at least
// 0 when the person is measured), measures in logits.
inline ScorePair person_scores(const AnalysisArrays& a, int p) {
    ScorePair s;
    const int ps = a.person_status[p] > 8 ? a.person_status[p] - 16 : a.person_status[p];
    for (int i = 1; i <= a.items; ++i) {
        const int c = category_of(a, p, i);
        if (c < 0 || !(a.item_status[i] > 0 || (a.item_status[i] >= -1 && ps > 0))) continue;
        const Group g = group_of(a, a.item_group[i]);
        s.observed += observed_points(g, c);
        s.expected += expected_points(g, c, static_cast<double>(a.person_measure[p]) - a.item_measure[i]);
    }
    return s;
}

// The same for item i over the measured persons.
inline ScorePair item_scores(const AnalysisArrays& a, int i) {
    ScorePair s;
    const Group g = group_of(a, a.item_group[i]);
    for (int p = 1; p <= a.persons; ++p) {
        const int ps = a.person_status[p] > 8 ? a.person_status[p] - 16 : a.person_status[p];
        const int c = category_of(a, p, i);
        if (c < 0 || ps <= 0) continue;
        s.observed += observed_points(g, c);
        s.expected += expected_points(g, c, static_cast<double>(a.person_measure[p]) - a.item_measure[i]);
    }
    return s;
}

inline EstimationSettings tight_limits() {
    EstimationSettings s;
    s.logit_change_limit = 1e-6f;
    s.score_residual_limit = 1e-4f;
    s.ucon_limit = 2000;
    s.threads = 2;
    return s;
}

}  // namespace korvelan::testing

// The probability curves of one rating-scale group in Tables 3 (from 3.2) and 21: the plots the
// three characters of CURVES= choose ("1" draws), over the measure relative to the item:
//   1. the category probabilities, each category drawn with its symbol, and the MODE strip: the
//      most probable category at each column (its changes are the step measures at the
//      intersections of neighbouring curves);
//   2. the expected score ogive, drawn with the symbol of the category nearest the expected
//      score, and the MEAN strip of those categories (changes at the half-point measures);
//   3. the cumulative probabilities P_0 + ... + P_k of k = 0..top - 1, curve k drawn with the
//      symbol of category k, and the MEDIAN strip: the category whose cumulative probability
//      first reaches .5 (changes at the Thurstone thresholds).
// Points at probability 0 (and, for the cumulative curves, 1) are left out so the curves do not
// merge along the borders. Groups of the chain models 'S' and 'F' get no plots.
#pragma once

#include "engine/report/report_context.h"

namespace korvelan {

void write_probability_curves(ReportContext& ctx, int group);

}  // namespace korvelan

// Weighted raw scores and weighted counts are sums of products with weights read from decimals
// and held as floats: .3 is held as .30000001, .7 as .69999999. A sum that is the maximum score,
// 0, a whole number or a half in decimal arithmetic can miss it in its last bits, in either
// direction. These routines are the only places that judge such sums; nothing compares one with
// `==`.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace korvelan {

// How far a weighted sum of this size may stray from its decimal value: a millionth of it
// (float weights hold about seven digits, the sums are kept in double), but never a thousandth
// of a score point, so that sums of whole numbers and of weights down to .001 stay apart at any
// size.
inline double weighted_sum_tolerance(double size) {
    return std::min(std::fabs(size) * 1e-6, 1e-3);
}

// Where a weighted raw score lies against the scores its entry can reach: 0 and the weighted
// maximum (the sum of top category x weight over the same responses). The top is judged first,
// so an entry whose maximum is itself 0 counts as at the top.
enum class ScoreEnd { kBetween, kLowest, kHighest };

inline ScoreEnd reachable_score_end(double score, double maximum) {
    const double tolerance = weighted_sum_tolerance(maximum);
    if (score >= maximum - tolerance) return ScoreEnd::kHighest;
    if (score <= tolerance) return ScoreEnd::kLowest;
    return ScoreEnd::kBetween;
}

// The nearest whole number to a weighted score (halves away from zero): the number of score rows
// of a weighted test and their base. A sum that is a half in decimal counts as that half.
inline int weighted_score_nint(double score) {
    const double tolerance = weighted_sum_tolerance(score);
    return static_cast<int>(score >= 0.0 ? std::floor(score + tolerance + 0.5)
                                         : -std::floor(-score + tolerance + 0.5));
}

// The whole number of entries drawn for a weighted count in the maps, strips and histograms: the
// count rounded up, where a sum within a millionth (at most .01) of a whole number counts as that
// number.
inline std::int64_t drawn_count(double weighted_count) {
    const double whole = std::nearbyint(weighted_count);
    const double tolerance = std::min(std::max(std::fabs(weighted_count), 1.0) * 1e-6, 0.01);
    const bool whole_in_decimal = std::fabs(weighted_count - whole) <= tolerance;
    return static_cast<std::int64_t>(whole_in_decimal ? whole : std::ceil(weighted_count));
}

}  // namespace korvelan

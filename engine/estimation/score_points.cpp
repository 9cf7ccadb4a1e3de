#include "engine/estimation/score_points.h"

#include <algorithm>
#include <cmath>

namespace korvelan {

namespace {

// A search that runs away (a target no measure can reach) is held within this many logits, so
// every stored point stays finite.
constexpr double kSearchMeasureBound = 1000.0;

constexpr double kScoreTolerance = 0.01;
constexpr double kThurstoneTolerance = 0.0001;

// The lowest and highest categories that have a positive probability at some measure. The
// expected score moves strictly between them as the measure goes from -inf to +inf.
struct CategoryRange {
    int low;
    int high;
};

CategoryRange possible_categories(const CategoryModel& g) {
    const int m = g.top;
    if (m < 2) return {0, m};
    if (g.model == 'R') {
        int high = 0;
        for (int k = 1; k <= m; ++k)
            if (g.status[k] != 0) high = k;
        return {0, high};
    }
    if (g.model == 'S') {
        // The top category is always possible; category k - 1 needs step k active.
        for (int k = 1; k <= m; ++k)
            if (g.status[k] >= 1) return {k - 1, m};
        return {m, m};
    }
    int high = 0;
    for (int k = 1; k <= m; ++k)
        if (g.status[k] >= 1) high = k;
    return {0, high};
}

// Log-odds of an expected score y on a scale 0..m, floored at both ends.
double score_log_odds(double y, int m) {
    const double e = kSmallestPositiveValue;
    return std::log(std::max(m - y, e)) - std::log(std::max(y, e));
}

// State of the secant search, kept across the targets of one group: the measure and two points
// (log-odds of the expected score, measure).
struct SecantSearch {
    float measure = 0.0f;
    bool has1 = false;
    bool has2 = false;
    double l1 = 0.0;
    double l2 = 0.0;
    double m1 = 0.0;
    double m2 = 0.0;
};

// Secant search on the log-odds of the expected score for the measure where it equals target,
// starting 0.1 below the previous result; it stops when both the change of measure and the
// residual are within 0.01, or after the evaluation limit with the last measure.
void find_measure_for_expected_score(const CategoryModel& g, double target, SecantSearch& s,
                                     float* p) {
    const double e = kSmallestPositiveValue;
    const int m = g.top;
    s.measure = static_cast<float>(s.measure - 0.1);
    const double target_odds = score_log_odds(target, m);
    for (int n = 1;; ++n) {
        const double expected = compute_category_probabilities(g, s.measure, p);
        const double residual = target - expected;
        const double old_measure = s.measure;
        const double odds = score_log_odds(expected, m);
        if (!s.has1) {
            s.has1 = true;
            s.l1 = odds;
            s.m1 = old_measure;
        } else if (!s.has2) {
            s.has2 = true;
            s.l2 = odds;
            s.m2 = old_measure;
        } else if (std::fabs(s.l2 - target_odds) < std::fabs(s.l1 - target_odds)) {
            s.l1 = odds;
            s.m1 = old_measure;
        } else {
            s.l2 = odds;
            s.m2 = old_measure;
        }
        double next;
        if (s.has1 && s.has2 && std::fabs(s.l1 - s.l2) >= e) {
            const double a = (s.l2 * s.m1 - s.l1 * s.m2) / (s.l2 - s.l1);
            const double b = (s.m2 - s.m1) / (s.l1 - s.l2);
            next = a - target_odds * b;
        } else {
            next = old_measure + odds - target_odds;
        }
        next = std::clamp(next, -kSearchMeasureBound, kSearchMeasureBound);
        s.measure = static_cast<float>(next);
        const bool settled =
            std::fabs(static_cast<double>(s.measure) - old_measure) <= kScoreTolerance &&
            std::fabs(residual) <= kScoreTolerance;
        if (settled || n >= kExpectedScoreSearchLimit) return;
    }
}

// The measure where the probability of category k or above is 0.5, starting from measure. The
// step is the last residual divided by a divisor that grows at every change of sign. Returns
// true when the residual came within the tolerance inside the evaluation limit.
bool find_thurstone_threshold(const CategoryModel& g, int k, float& measure, float* p) {
    double divisor = 1.0;
    double previous = 0.0;
    for (int n = 1; n <= kThurstoneSearchLimit; ++n) {
        measure = static_cast<float>(measure + previous / divisor);
        compute_category_probabilities(g, measure, p);
        double at_or_above = 0.0;
        for (int j = k; j <= g.top; ++j) at_or_above += p[j];
        const double r = 0.5 - at_or_above;
        if (r * previous < 0.0) divisor += 1.0;
        previous = r;
        if (std::fabs(r) <= kThurstoneTolerance) return true;
    }
    return false;
}

}  // namespace

void compute_group_score_points(const CategoryModel& g, const ScorePointOptions& options, float* p,
                                float* half_point, float* score_point, float* thurstone) {
    const int m = g.top;
    if (m <= 0) return;
    const double scale = std::fabs(static_cast<double>(options.uscale));

    // Thresholds from the top category down, each search starting from the one above. A
    // category that cannot be reached (the categories from it upwards, or all below it, have
    // probability 0) exhausts the limit; it keeps its last measure, and the next category starts
    // where it started.
    float measure = 0.0f;
    for (int k = m; k >= 1; --k) {
        const float start = measure;
        const bool found = find_thurstone_threshold(g, k, measure, p);
        thurstone[k] = static_cast<float>(scale * measure);
        if (!found) measure = start;
    }

    // Score points from the top down, the search state carried from target to target. A target
    // outside the open range of the expected score has no measure: its search runs from a copy
    // of the state and keeps its last measure, and the targets after it start as if it were not
    // there.
    const CategoryRange range = possible_categories(g);
    SecantSearch search;
    auto measure_at = [&](double target) {
        if (target > range.low && target < range.high) {
            find_measure_for_expected_score(g, target, search, p);
            return search.measure;
        }
        SecantSearch trial = search;
        find_measure_for_expected_score(g, target, trial, p);
        return trial.measure;
    };
    auto end_offset = [](float offset) {
        return std::min(std::max(static_cast<double>(offset), 0.001), 0.5);
    };
    const double top_end = m - end_offset(options.top_offset);
    const double bottom_end = end_offset(options.bottom_offset);
    for (int k = m; k >= 0; --k) {
        double target;
        if (k > 0) {
            half_point[k] = static_cast<float>(scale * measure_at(k - 0.5));
            target = k < m ? k : top_end;
        } else {
            target = bottom_end;
        }
        score_point[k] = static_cast<float>(scale * measure_at(target));
    }
}

void compute_expected_score_points(const RatingScaleGroups& groups, const float* steps,
                                   const std::int32_t* status, const ScorePointOptions& options,
                                   float* p, float* half_point, float* score_point,
                                   float* thurstone) {
    for (int g = 0; g < groups.count; ++g) {
        const std::int32_t f = groups.first_slot[g];
        compute_group_score_points(group_view(groups, g, steps, status), options, p, half_point + f,
                                   score_point + f, thurstone + f);
    }
}

}  // namespace korvelan

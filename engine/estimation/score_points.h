// Expected-score points and Thurstone thresholds of the rating-scale groups: for each category,
// the measure (relative to the item's difficulty) where the expected score equals k - 0.5, where
// it equals k (pulled in at the two ends of the scale), and where the probability of scoring k
// or above is 0.5. The category Tables, the step files and the graphs work file read them.
#pragma once

#include <cstdint>

#include "engine/estimation/category_model.h"

namespace korvelan {

struct ScorePointOptions {
    // The top-end point is taken at expected score m - top_offset and the bottom-end point at
    // bottom_offset; both are used within 0.001..0.5 ("HI" and "LOW", or the request's own).
    float top_offset = 0.25f;
    float bottom_offset = 0.25f;
    // USCALE=: the points are stored as logits times |uscale| (no origin).
    float uscale = 1.0f;
};

// Evaluation limits of the two searches.
inline constexpr int kExpectedScoreSearchLimit = 100;
inline constexpr int kThurstoneSearchLimit = 1000;

// The points of one group with top category m > 0 (nothing is written for m <= 0).
// half_point, score_point and thurstone point at the slot of category 0 of the group:
// half_point[1..m], score_point[0..m] and thurstone[1..m] are written. p is scratch for m + 1
// probabilities.
void compute_group_score_points(const CategoryModel& g, const ScorePointOptions& options, float* p,
                                float* half_point, float* score_point, float* thurstone);

// The same for every group; steps, status and the three result arrays are the per-category slot
// arrays, indexed through groups.first_slot. p is scratch for the largest top category + 1.
void compute_expected_score_points(const RatingScaleGroups& groups, const float* steps,
                                   const std::int32_t* status, const ScorePointOptions& options,
                                   float* p, float* half_point, float* score_point,
                                   float* thurstone);

}  // namespace korvelan

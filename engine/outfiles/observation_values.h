// The model values of one observation as the observation file XFILE= shows them: the observed
// and recounted category, the expectation and variance at the measure difference, the score and
// standardized residuals and the log-probability of the observed category.
#pragma once

#include <cstdint>

#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/analysis_arrays.h"

namespace korvelan {

// What is not computable keeps these values: OBSERVED and ORDERED -1, EXPECTATION -1.
struct ObservationValues {
    std::int32_t observed = -1;   // the scored response (255 missing)
    std::int32_t ordered = -1;    // recounted category + the value of the group's bottom category
    float expectation = -1.0f;
    float variance = 0.0f;
    float zscore = 0.0f;
    float residual = 0.0f;
    float measure = 0.0f;         // person minus item, logits
    float log_probability = 0.0f;
};

// A measure in user units as logits: (v - UMEAN=) / (USCALE= x the side's correction factor).
float measure_in_logits(const OutputSettings& s, float v, float factor);

// The values of person p's response x to item i, the person's measure bp already in logits.
// p_work holds at least top + 1 reals of the largest group. Statuses decide what is computed:
// the observed value needs the item at -2 or above, the measure difference both at -1 or
// above, the model values one of them measured and the other not below -1. A response that
// counts in no category (recoded_category) has no model values.
ObservationValues observation_values(const AnalysisArrays& a, const OutputSettings& s,
                                     CategoryCurves& curves, std::int32_t item, int person_status,
                                     float bp, std::uint8_t x, float* p_work);

// The model values of an observation in category k of group g at measure difference d, as the
// fit counts its residual: the expectation E and variance V of the category for model "R" and
// dichotomies (V = sum j^2 p(j) - E^2), and for the chains those of the steps the observation
// attempted (V = sum p(j)(1 - p(j))); with the probability of category k under the item's model,
// the category probability in every model. p: room for top + 1 reals.
struct ModelMoments {
    float expected = 0.0f;
    float variance = 0.0f;
    float probability = 0.0f;
};
ModelMoments model_moments(const AnalysisArrays& a, CategoryCurves& curves, std::int32_t g, float d,
                           int k, float* p);

}  // namespace korvelan

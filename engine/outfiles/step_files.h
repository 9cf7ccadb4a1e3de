// The rating-scale step files: the step measure file SFILE= (one line per category, usable as a
// step anchor file), the item-step file ISFILE= (one line per item with every step's place on
// the measure scale) and the probability-curve file GRFILE= (category probabilities, expected
// score and information over a grid of measures, per group).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// The reported step values of group g into values[first(g)..first(g)+top(g)] (which must hold
// them). An unobserved category above 0 is reported 40 user units above the category before it,
// and a carry takes that distance off the next observed step: in an analysis of one group the
// carry is the whole reported value, so the values add up to the sum of the observed steps; with
// several groups it is the 40 logits alone, added before scaling. Returns true when category 0
// is unobserved (its value is then 0, written "NULL" in the step measure file).
bool reported_step_values(const AnalysisArrays& a, std::int32_t g, float uscale, float* values);

// The step values the step measure file writes for group g, so that it anchors the same data
// back to the same measures. In a rating scale a null step is reported as above with the carry
// of one group, in every analysis and also before an anchored step: the written values add up
// to the sum of the observed steps, and the estimation passes the value of an anchor it leaves
// out (its category is used by no response) on to the next step. In the success and failure
// chains each step stands alone: a null step is written 40 user units easier (success chain)
// or harder (failure chain) than the category before, and no step carries anything.
bool step_anchor_values(const AnalysisArrays& a, std::int32_t g, float uscale, float* values);

// The largest category number of the analysis: the highest category value, and never below the
// top category of any group.
std::int32_t largest_category_number(const AnalysisArrays& a);

void write_step_measure_file(Run& run, const OutputSettings& s, const AnalysisArrays& a);
void write_item_step_file(Run& run, const OutputSettings& s, const AnalysisArrays& a);

// The measure range of the probability curves, in user units relative to the item; unset when
// the analysis has no category slot.
struct CurveRange {
    bool set = false;
    float low = 0.0f, high = 0.0f;
};
CurveRange probability_curve_range(const OutputSettings& s, const AnalysisArrays& a);

// Writes GRFILE=: 101 points per group over probability_curve_range (the caller may keep that
// range as the plot range of the report).
void write_probability_curve_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                  CategoryCurves& curves);

}  // namespace korvelan

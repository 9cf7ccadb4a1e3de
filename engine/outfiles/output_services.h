// What the output-file writers need of the other subsystems, as two small interfaces: the
// labels and person work records of the data input, and the category probabilities of the
// estimation. The run hands one OutputServices to every writer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "engine/run/analysis_arrays.h"

namespace korvelan {

enum class Entity { Item, Person };

class EntryRecords {
public:
    virtual ~EntryRecords() = default;
    // The label of item or person n (1-based); trailing blanks are allowed. The text stays valid
    // until the next call.
    virtual std::string_view label_of(Entity side, std::int32_t n) = 0;
    // The work record of person n (user units).
    virtual PersonWorkFields person_stats(std::int32_t n) = 0;
    // Makes the item labels readable again before a writer that runs after the report (the
    // graphs work file). Returns false after it has reported its own failure.
    virtual bool reopen_item_labels() { return true; }
    // The scored responses of person n (NI bytes, 255 = missing) and the number of each response
    // among the codes of CODES= (NI bytes, 0 = none). Without work files every response is missing.
    virtual void person_scores(std::int32_t, std::span<std::uint8_t> out) {
        std::fill(out.begin(), out.end(), std::uint8_t{255});
    }
    virtual void person_codes(std::int32_t, std::span<std::uint8_t> out) {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
    }
};

class CategoryCurves {
public:
    virtual ~CategoryCurves() = default;
    // Probabilities p[0..top] of the categories of group g at the measure difference x (logits,
    // person minus item); returns the expected score.
    virtual float category_probabilities(const AnalysisArrays& a, std::int32_t g, float x,
                                         float* p) = 0;
    // For groups of models other than "R" with a top category of 2 or more: the success
    // probabilities of the steps that an observation in category c of group g attempted (the
    // success chain steps 1..c+1, the failure chain steps c..top) at x in p[1..top], 0 for the
    // others; returns their sum, the expected score of the observation's fit residual.
    virtual float step_probabilities(const AnalysisArrays& a, std::int32_t g, float x, int c,
                                     float* p) = 0;
};

// The residual correlations of a facet, as the correlation files copy them. The further analyses
// compute and keep them; a run without them has none to give.
class ResidualCorrelations {
public:
    virtual ~ResidualCorrelations() = default;
    // Makes the facet's correlations current, computing them when they are not; false when
    // there are none (no residual information, or the computation was ended).
    virtual bool prepare(Entity side) = 0;
    // pair(i, j, r) for every stored pair of active entries i < j in their order, absent values
    // left out; pair returns false to stop. A work-file failure ends the run.
    virtual void for_each_pair(Entity side,
                               const std::function<bool(std::int32_t, std::int32_t, double)>& pair) = 0;
};

struct OutputServices {
    EntryRecords* records = nullptr;
    CategoryCurves* curves = nullptr;
    ResidualCorrelations* correlations = nullptr;
};

}  // namespace korvelan

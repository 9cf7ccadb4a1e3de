// How often each response code of CODES= was chosen on each item, with the mean measure of the
// persons who chose it and an outfit mean-square of the option: the counts of the
// category/option/distractor file, made in one pass over the persons' response codes.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// Weighted running mean: add(w, x) moves the mean toward x by w / (the weights so far).
struct RunningMean {
    double weight = 0.0, mean = 0.0, mean_square = 0.0;
    void add(double w, double x);
    // Standard error of the mean: sqrt((mean of squares - mean^2) / (W - 1)), 0 for W <= 1.
    double standard_error() const;
};

// One code of one item. Code 0 holds the responses that matched no code.
struct OptionCounts {
    std::int32_t responses = 0;  // responses not scored missing
    std::int32_t missing = 0;    // responses scored missing
    RunningMean used;            // person measures of the responses counted for measures
    RunningMean missing_measures;
    RunningMean outfit;          // squared standardized residuals
    std::int32_t scored = -1;    // the item's score of the code, 255 missing, -1 not scored
    std::int32_t recoded = -1;   // the recounted category the code reached, -1 none
};

struct DistractorCounts {
    std::int32_t codes = 0;  // NC
    std::int32_t top = 0;    // largest category number of the probability vectors
    // (NC + 1) per item, item i at (i - 1) x (NC + 1).
    std::vector<OptionCounts> options;
    // (top + 1) per item: the expected count of each category and the expected squared
    // standardized residual in it.
    std::vector<double> expected_count, expected_square;

    OptionCounts& at(std::int32_t item, std::int32_t code) {
        return options[static_cast<std::size_t>(item - 1) * static_cast<std::size_t>(codes + 1) + static_cast<std::size_t>(code)];
    }
    const OptionCounts& at(std::int32_t item, std::int32_t code) const {
        return const_cast<DistractorCounts*>(this)->at(item, code);
    }
    double expected(const std::vector<double>& v, std::int32_t item, std::int32_t k) const {
        return v[static_cast<std::size_t>(item - 1) * static_cast<std::size_t>(top + 1) + static_cast<std::size_t>(k)];
    }
    // The option's outfit mean-square: its mean squared residual scaled by the expected count
    // over the expected squared residual of its category, when there is one.
    double outfit_mean_square(std::int32_t item, std::int32_t code) const;
};

// Reads every person's response codes once: persons and items of status -2 or above are
// counted, those of -1 or above (and a positive weight) enter the means, the measured ones the
// outfit sums.
DistractorCounts count_distractors(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                   EntryRecords& records, CategoryCurves& curves);

}  // namespace korvelan

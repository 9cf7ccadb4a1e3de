// The option tally behind the category/option/distractor Table and the DISFILE= file: per item
// and per response code (its position among the CODES= entries, 0 for a response that is none
// of them) how often it was given, the weighted mean and mean square of the measures of the
// persons who gave it, the same for the responses scored missing, and the mean squared
// standardized residual with the model's expectation of it per category. One pass over the
// persons fills every figure with running means, so no response is held in memory.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

struct CodeFigures {
    std::int32_t count = 0;          // responses with the code that are not scored missing
    float weight = 0.0f;             // W: the person weights of those responses
    float mean = 0.0f;               // M: weighted mean of the person measures, user units
    float mean_square = 0.0f;        // Q: weighted mean of their squares
    std::int32_t missing_count = 0;  // responses with the code scored missing
    float missing_weight = 0.0f, missing_mean = 0.0f, missing_mean_square = 0.0f;
    float outfit_weight = 0.0f;      // W2: weights of the responses that enter the outfit
    float outfit = 0.0f;             // Z: weighted mean of the squared standardized residual
    std::int32_t score_value = -1;   // 0..254, 255 missing, -1 for an item that is not scored
    std::int32_t category = -1;      // recoded category of the code's responses; -1 none
};

struct OptionFrequencies {
    int codes = 0;  // C, the CODES= entries
    int top = 0;    // the highest category value of every group
    int items = 0;
    std::vector<CodeFigures> figures;      // by item 0..NI and code 0..C
    // SP: by item and category 0..top, sum of w x P(k), P(k) the category probability.
    std::vector<float> expected_weight;
    // SV: sum of w x P(k) x z(k)^2, z(k) the standardized residual of a response in category k,
    // (k - E)^2 / V in the rating scale, in the chains that of the steps it attempted.
    std::vector<float> expected_residual;

    CodeFigures& at(int item, int code) { return figures[index(item, code)]; }
    const CodeFigures& at(int item, int code) const { return figures[index(item, code)]; }
    float& sp(int item, int k) { return expected_weight[category_index(item, k)]; }
    float& sv(int item, int k) { return expected_residual[category_index(item, k)]; }
    float sp(int item, int k) const { return expected_weight[category_index(item, k)]; }
    float sv(int item, int k) const { return expected_residual[category_index(item, k)]; }

  private:
    std::size_t index(int item, int code) const {
        return static_cast<std::size_t>(item) * static_cast<std::size_t>(codes + 1) +
               static_cast<std::size_t>(code);
    }
    std::size_t category_index(int item, int k) const {
        return static_cast<std::size_t>(item) * static_cast<std::size_t>(top + 1) +
               static_cast<std::size_t>(k);
    }
};

// The bytes the figures take as the memory message counts them: (C + 1) x 12 + M x 2 + 2 reals
// per item, and C for the code order.
std::int64_t option_frequency_bytes(int codes, int top, int items);
// Sizes the figures for the run, every score value and category -1. False when the memory is
// not available (or the run's memory hook refuses the Table work block).
bool allocate_option_frequencies(Run& run, OptionFrequencies& f);

// The score value of every code of every scored item (status -1 or above, a group above 0).
void score_code_slots(const Run& run, OptionFrequencies& f);

// Where the person pass gets each person's code positions (NI bytes, 0 = none of CODES=).
using PersonCodesReader = std::function<void(int person, std::span<std::uint8_t> codes)>;
// The person pass: every person with status -2 or above, on every item with status -2 or above.
// Measures enter the means from persons of status -1 or above with a positive weight; the
// outfit figures from measured persons on measured items whose response has a category.
void tally_option_frequencies(Run& run, OptionFrequencies& f, const PersonCodesReader& read_codes);

// Adds a value of weight w > 0 to a weighted running mean and mean square: W += w,
// M += w (m - M) / W, Q += w (m^2 - Q) / W.
void add_to_weighted_mean(float w, float m, float& weight, float& mean, float& mean_square);
// The standard error of a weighted mean: sqrt(max(0, (Q - M^2) / (W - 1))); 0 for W <= 1.
float standard_error_of_mean(float weight, float mean, float mean_square);

// The outfit mean-square of a code: its mean squared residual over the model's expectation of it
// in the code's category, at most cap; the plain mean where the code has no category or the
// expectation is 0.
float code_outfit(const OptionFrequencies& f, int item, int code, float cap);

}  // namespace korvelan

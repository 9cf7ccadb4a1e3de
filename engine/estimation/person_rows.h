// The category probabilities of the items at one person measure, as the person sweeps of UCON and
// of the fit statistics read them. For item i at the measure difference d = B - D_i a row holds
// the expected score at d, the expected score at d - shift (UCON: the probe distance; fit: 1
// logit, for the displacement) and the probabilities p[0..m] at d: the values the probability
// routines of category_model.h give, to the bit (held in doubles). For the fit statistics it
// also holds what they sum of each observation but its residual (fit_moments below).
//
// Persons with the same measure share their row: on complete data every person with the same
// score has the same measure, so a million persons may need only a hundred rows. Each thread
// keeps the rows it has made during one sweep; when its measures hardly repeat, it stops keeping
// them and makes every person's row for the items the person answered.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/estimation/category_model.h"
#include "engine/run/analysis_arrays.h"

namespace korvelan {

namespace row_field {
inline constexpr int kExpected = 0;       // expected score at d
inline constexpr int kShifted = 1;        // expected score at d - shift
inline constexpr int kProbabilities = 2;  // p[0..m] at d, then the fit moments
}  // namespace row_field

// What the fit statistics sum of an observation at d, as the fit pass forms each value: the
// model variance and fourth moment of observation_moments, their square roots, C / W^2 and
// max(C - W^2, 0), d itself, and for each category k six values (kPerCategory + 6k on): d p_k,
// the step information term (from k = 1), the squared deviation (k - E)^2 p_k and that over the
// variance, and for an observation in category k its standardized residual and its residual
// from the group's expected score at the centre, over the root of the variance.
namespace fit_moment {
inline constexpr int kVariance = 0, kKurtosis = 1, kRoot = 2, kRootOfFloat = 3;
inline constexpr int kKurtosisRatio = 4, kExcess = 5, kDifference = 6, kPerCategory = 7;
inline constexpr int kDifferenceTimesP = 0, kStepInformation = 1, kDeviation = 2,
                     kDeviationOverVariance = 3, kStandardized = 4, kComponent = 5,
                     kCategoryFields = 6;
inline constexpr int width(int top) { return kPerCategory + kCategoryFields * (top + 1); }
}  // namespace fit_moment

// Fills the fit moments of an observation at d with expected score e and probabilities p[0..m]
// (chain models: their step probabilities) into out; centre: the group's expected score at the
// difference of the mean measures.
void fill_fit_moments(const CategoryModel& cm, float d, float e, const double* p, float centre,
                      double* out);

// The category sums of an item of the success or failure chain, over the moments that
// fill_fit_moments made from the observation's step probabilities: with the item's category
// probabilities q[0..m] (compute_category_probabilities) and y_k the residual an observation in
// category k has under its own steps, V = sum of q_k y_k^2 is the variance of the residual.
// Category k gets d q_k, y_k^2 q_k and y_k^2 q_k / V, and the standardized residual y_k / sqrt(V);
// the kurtosis ratio becomes (sum of q_k y_k^4) / V^2. steps: room for m + 1 probabilities.
void fill_chain_category_moments(const CategoryModel& cm, float d, const double* q, float* steps,
                                 double* out);

// The items as rows hold them, for one sweep (the measures, steps and shift it starts from).
// Items of the success and failure chains are not in rows: their probabilities depend on the
// observed category.
class RowItems {
public:
    // With group_expected (each group's expected score at the centre) the rows hold the fit
    // moments too.
    RowItems(const AnalysisArrays& a, float shift, const std::vector<float>* group_expected = nullptr);

    // First value of item i in a row; negative when the item is not in rows.
    std::int32_t offset(int i) const { return offset_[static_cast<std::size_t>(i)]; }
    std::size_t width() const { return width_; }

private:
    static std::uint64_t next_sweep();
    friend class PersonRows;
    const AnalysisArrays& a_;
    float shift_;
    const std::vector<float>* group_expected_;
    std::uint64_t sweep_;  // tells the sweeps apart
    std::size_t width_ = 0;
    std::vector<std::int32_t> offset_;
    // Items with a status above -2 in rows: dichotomous ones (top category 1), the others.
    std::vector<std::int32_t> dichotomous_, scales_;
};

// The rows of the persons of one thread in one sweep.
class PersonRows {
public:
    // Called before each chunk: the rows kept stay while the sweep is the same.
    void start(const RowItems& items);
    // The row of a person with measure b and status s (the base status) whose scored responses
    // are `scores`: every item of the person whose observation counts (a usable category and
    // status above 0 for the item or the person) has its values filled; others may be left.
    const double* row(float b, int s, const std::uint8_t* scores);

private:
    double* kept_row(std::size_t row);
    const double* find(float b);
    double* keep(float b);
    void fill(float b, const std::int32_t* dichotomous, std::size_t nd, const std::int32_t* scales,
              std::size_t ns, double* row);

    const RowItems* items_ = nullptr;
    std::uint64_t sweep_ = 0;
    std::vector<std::vector<double>> pages_;  // kept rows, width() values each, in pages
    std::vector<std::uint32_t> measures_;  // the measure (its bits) of each kept row
    std::vector<std::int32_t> table_;      // open addressing: kept row + 1, 0 = free
    std::size_t rows_ = 0, capacity_ = 0;
    bool keeping_ = false;
    int window_ = 0, window_hits_ = 0;
    std::vector<double> own_;  // the row of a person whose row is not kept
    std::vector<std::int32_t> answered_dichotomous_, answered_scales_;
    std::vector<float> x_;
    std::vector<double> z_;
    std::vector<float> scratch_;
};

}  // namespace korvelan

// The arrays of one analysis: per item, per person, per rating-scale group and per category
// slot. Every array is indexed from 1 by entry, group or slot number (element 0 is unused), as
// the work files, edit files and reports number them. Real values are 4-byte floats.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/run/item_definition_strings.h"

namespace korvelan {

// EntryStatus values (one signed byte per item or person).
namespace status {
inline constexpr std::int8_t kMeasured = 1;
inline constexpr std::int8_t kExtremeMaximum = 0;
inline constexpr std::int8_t kExtremeMinimum = -1;
inline constexpr std::int8_t kDropped = -2;
inline constexpr std::int8_t kDeleted = -3;  // removed at input: selection or deletion list
inline constexpr std::int8_t kInestimableHigh = -4;
inline constexpr std::int8_t kInestimableLow = -5;
inline constexpr std::int8_t kAnchored = 2;  // 2 and above
inline constexpr std::int8_t kDeselectOffset = 10;  // deselected after the run: status - 10
inline constexpr std::int8_t kProxCompleteMark = 16;
}  // namespace status

// One slot of the summary of measures: weighted count, sum and sum of squares, minimum and
// maximum; finishing the slot sets its mean and (population) standard deviation.
struct SummarySlot {
    double count = 0.0;
    double sum = 0.0;
    double sum_squares = 0.0;
    float minimum = 0.0f;
    float maximum = 0.0f;
    bool has_value = false;  // the next value sets both minimum and maximum
    float mean = 0.0f;
    float sd = 0.0f;
};

// One of the largest residual correlations of a facet: the two entry numbers (first < second).
struct ResidualCorrelationPair {
    std::int32_t first = 0;
    std::int32_t second = 0;
    float correlation = 0.0f;
};

// What the residual correlations of one facet were computed from, kept beside its work file:
// the ten largest pairs and the active entries of both facets at the time. The work file is
// current only while the done flag is set and both facets still have the same active entries,
// so that a status changed by anything at all (a re-selection, the weights dialog) leaves the
// correlations stale.
struct ResidualCorrelationFacet {
    std::vector<ResidualCorrelationPair> largest;  // at most 10, largest |correlation| first
    std::vector<std::uint8_t> active_rows;         // entry n active (status > 0): element n - 1
    std::vector<std::uint8_t> active_columns;
    // Where the pairs are found once computed: in the facet's work file; computed again from
    // the residuals when they are needed, as products (every residual present) or pair by pair
    // (some missing, and the pairs fit in memory).
    enum class Source : std::uint8_t { WorkFile, Products, Pairwise };
    Source source = Source::WorkFile;
    // Every pair of a pairwise computation in the work-file order, kept when the components
    // asked for the computation (they take the pairs instead of computing them again).
    std::vector<double> kept_pairs;
};

// A step anchor the estimation left out because no response of its group uses the category:
// the category value and the group's first item that takes part (the item it is named by).
struct UnusedStepAnchor {
    std::int32_t item = 0;
    std::int32_t category = 0;
    bool below_unused = false;  // the category is in use, the one below it is not
};

// Run-wide values of the estimation that later phases, Tables and requests read.
struct EstimationResults {
    std::int32_t iteration_counter = 0;  // rows of the iteration report (PROX, then UCON)
    std::int16_t reestimate_flag = 0;    // set when a status changed or observations were dropped
    // Set by PROX's first numbering of the categories: from then on the slots of a group hold
    // its recounted categories 0..group_top_category (category_value gives each one's value).
    bool categories_recounted = false;
    // The step anchors that numbering found on categories no response of their group uses, in
    // group and category order; the report names them before the estimation goes on.
    std::vector<UnusedStepAnchor> unused_step_anchors;
    // Status above 0 after PROX; after a run-time re-selection, the selected ones not extreme.
    std::int32_t active_persons = 0;
    std::int32_t active_items = 0;
    std::int32_t active_categories = 0;
    float probe_distance = 2.0f;         // UCON: distance of the probe point, logits
    float person_bias_factor = 1.0f;     // STBIAS=/PAIRED= correction of the measures
    float item_bias_factor = 1.0f;
    // Entries with status -1 or above: measured and anchored ones plus extreme ones (the counts
    // of the summary; a run-time re-selection counts them again).
    std::int32_t person_total = 0;
    std::int32_t item_total = 0;
    // Mean and S.D. of the measured entries' measures, user units (those of summary slots 3 and
    // 11; the run-time changes keep them in step).
    float person_mean_measure = 0.0f, person_sd_measure = 0.0f;
    float item_mean_measure = 0.0f, item_sd_measure = 0.0f;
    // Mean and S.D. of the standardized residuals of the fit pass.
    float residual_mean = 0.0f, residual_sd = 0.0f;
    // Displacements worth noting that print as zero in the user-decimals format.
    bool person_displacement_shown_as_zero = false;
    bool item_displacement_shown_as_zero = false;
    // The largest |displacement| of each side (user units): some displacement prints other than
    // zero when this one does.
    float person_largest_displacement = 0.0f, item_largest_displacement = 0.0f;
    // Entry numbers in descending order of their largest |standardized residual| (>= 2), <= 50.
    std::vector<std::int32_t> most_unexpected_items, most_unexpected_persons;
    // Residual variance for the principal components: explained (from the person sums), explained
    // (from the item sums), unexplained, unexplained.
    std::array<float, 4> residual_variance_components{};
    // Cleared by the fit pass: the residual correlations are computed afresh when asked for.
    bool item_residual_correlations_computed = false;
    bool person_residual_correlations_computed = false;
    // The largest pairs and the active sets of the items (0) and the persons (1).
    std::array<ResidualCorrelationFacet, 2> residual_correlations;
    std::string separation_note;  // "PERSON: REAL SEP.: ... REL.: ... ... ITEM: ..."
};

// Element n of a 1-based analysis array; the fallback when the array does not reach n.
template <typename T>
T array_value(const std::vector<T>& v, std::int64_t n, T fallback = T{}) {
    return n >= 0 && static_cast<std::size_t>(n) < v.size() ? v[static_cast<std::size_t>(n)] : fallback;
}

// The seven reals of a person's work record, named for what they hold once the fit statistics
// have run; every reader of the record by name comes after them. During PROX and the iterations
// the estimation reaches the record as plain reals (record_field, engine/estimation/person_data.h):
// the places of standard_error, infit_mnsq and outfit_mnsq then hold the maximum possible score,
// the maximum score and the score used for estimation, and that of displacement is 0.
struct PersonWorkFields {
    float count = 0.0f;
    float raw_score = 0.0f;
    float standard_error = 0.0f;
    float infit_mnsq = 0.0f;
    float outfit_mnsq = 0.0f;
    float point_biserial = 0.0f;
    float displacement = 0.0f;
};
static_assert(sizeof(PersonWorkFields) == 28, "a person work record is seven 4-byte reals");

struct AnalysisArrays {
    // Item block (NI + 1 entries; estimation scores NI + 2).
    std::vector<float> item_measure, item_infit_zstd, item_standard_error, item_outfit_mnsq;
    std::vector<std::int32_t> item_order;
    std::vector<float> item_infit_mnsq, item_outfit_zstd, item_max_possible_score;
    std::vector<float> item_max_attainable_score, item_estimation_score;
    std::vector<float> item_raw_score, item_count;
    std::vector<std::int32_t> item_group;
    std::vector<float> item_point_biserial, item_displacement, item_shown_score, item_shown_count;
    std::vector<std::int8_t> item_status;
    std::vector<std::uint8_t> current_scored_responses;  // 255 = missing
    std::string current_response_codes;                  // 4 x NI characters

    ItemDefinitionStrings strings;

    // Group block (G + 1 entries): one RatingScaleGroup per index.
    // group_top_value: the highest category value of the group's scored responses, as data input
    // lays out the slots (engine/run/category_slots.h); it never changes. group_top_category: the
    // highest recounted category, set when PROX numbers the categories in use (-1: no scale);
    // it is below the top value whenever the values do not start at 0 or a category is dropped.
    std::vector<std::int32_t> group_top_value, group_top_category, group_first_slot;
    std::vector<float> group_weight_sum, group_pivot, group_average_difference;
    std::vector<char> group_model;  // 'R', 'S' or 'F'
    std::vector<std::uint8_t> group_pivot_flag;

    // Person status array during data input (PersonStatusCapacity + 1 entries).
    std::vector<std::int8_t> person_status_input;
    std::int32_t person_status_capacity = 1000000;

    // Category block (C + 1 slots): one CategoryStats per slot.
    std::vector<float> step_calibration, step_weighted_difference_sum,
        step_weighted_difference_square_sum, step_information;
    std::vector<float> category_half_point_measure, category_score_point_measure;
    std::vector<float> category_outfit_mnsq, category_infit_mnsq;
    std::vector<float> category_observed_average, category_expected_average;
    std::vector<float> category_thurstone_threshold, category_expected_count,
        category_observed_count;
    std::vector<std::int32_t> category_count_first, category_count_second;
    std::vector<std::int32_t> category_recoded, category_status, category_value;
    std::vector<float> step_values_by_category;  // M + 1 entries, by category value 0..M

    // Person block (NP + 1 entries).
    std::vector<float> person_measure, person_outfit_zstd, person_infit_zstd,
        person_outfit_mnsq, person_infit_mnsq;
    std::vector<std::int32_t> person_order;
    std::vector<float> person_shown_score, person_shown_count;
    std::vector<std::int8_t> person_status;

    // Weights: empty unless PWEIGHT= / IWEIGHT= are named.
    std::vector<float> person_weights, item_weights, group_weight_values;

    // Memory images of the person work records (7 reals per person) and scored responses
    // (NI bytes per person); empty when the work files serve instead.
    std::vector<float> person_record_image;
    std::vector<std::uint8_t> scored_response_image;

    // Sizes.
    std::int32_t items = 0;       // NI
    std::int32_t persons = 0;     // NP
    std::int32_t groups = 0;      // G
    std::int32_t slots = 0;       // C
    std::int32_t top_value = 0;   // M

    // Summary of measures: slots 1-24 (element 0 unused). The person and item mean and S.D. of
    // measures are the mean and S.D. of slots 3 and 11 (entries not extreme, user units).
    std::array<SummarySlot, 25> summary{};

    // Values of the estimation (not an array; kept with the arrays it describes).
    EstimationResults estimation;
};

}  // namespace korvelan

// The person pass of one PROX iteration, spread over the worker threads without changing a bit
// of any sum: every sum keeps the order in which a single walk over the persons (and, within a
// person, down the items) would make it.
//   - Each item's sums over the persons are made by a task that walks all persons for a block of
//     items.
//   - The category sums of a rating-scale group, which every item of the group adds to, are made
//     by one task per set of groups, walking all persons and their items of those groups (one
//     group of a short scale without weights: a task for each category and sum).
//   - Each person's own sums, its classification and its new measure are made by chunks of
//     persons.
// The item and group tasks read the measures and statuses as the iteration found them, so all
// three kinds run at once.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/estimation_observer.h"
#include "engine/estimation/estimation_settings.h"
#include "engine/estimation/person_data.h"
#include "engine/run/run.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

// The normal approximation: mean of the counterparts' measures, widened by their spread, plus the
// log-odds of the score (counts of at least one half on both sides).
inline float normal_approximation(double sum, double squares, double n, double score,
                                  double maximum) {
    const double variance = (squares - sum * sum / n) / n;
    const double spread = std::sqrt(std::max(0.0, 1.0 + variance / 2.65));
    return static_cast<float>(sum / n + spread * std::log(std::max(score, 0.5) /
                                                          std::max(maximum - score, 0.5)));
}

// The status of an entry that cannot be estimated, from its status.
inline int inestimable(int status) { return status == 0 ? -4 : status == -1 ? -5 : -2; }

// Whether an observation counts in a PROX sweep, by the statuses of its item and person.
inline bool prox_counts(int t, int s) { return t > 0 || ((t == 0 || t == -1) && s > 0); }

// Sums over the persons, per item and per category slot, in double.
struct ProxSums {
    std::vector<double> respondent_sum, respondent_squares;  // measures of active respondents
    std::vector<double> count, raw, maximum;                 // first phase only
    std::vector<double> model_score, model_maximum;          // after the first phase
    std::vector<double> shown_score, shown_count;            // first iteration only
    std::vector<double> slot_count, slot_sum, slot_squares;
    // Point-biserial: item and person totals of the previous iteration, item correlations.
    std::vector<double> pb_item_count, pb_item_score, pb_person_count, pb_person_score;
    std::vector<double> pb_item_next_count, pb_item_next_score;
    std::vector<WeightedPairSums> pb_item_pairs;
    std::vector<float> pb_person;
};

// Which sums an iteration makes.
struct ProxIteration {
    bool first_iteration = false;  // the scores and counts shown for every entry
    bool first_phase = true;       // counts, raw scores and maxima; no scores for estimation
    bool closing = false;          // the point-biserial pairs (else the totals for them)
    bool point_biserial = false;
    bool mark_allowed = false;     // persons who answered every item get the completeness mark
};

// What the person pass tells the rest of the iteration.
struct ProxPersonResult {
    float largest_change = 0.0f;  // the first of the largest magnitude, in person order
    bool changed = false;         // a person changed its classification
    double anchor_shift = 0.0, anchor_weight = 0.0;  // anchored persons' estimates - measures
};

class ProxPersonPass {
public:
    ProxPersonPass(Run& run, const EstimationSettings& settings, ProxSums& sums);

    ProxPersonResult run(const ProxIteration& it, EstimationObserver& observer);

private:
    // A walk over all persons for some items (in descending order): their item sums, or the
    // category sums of the groups they belong to (category: the one category whose sum of
    // differences or of squares the walk makes in a split iteration; -1: all).
    enum class ColumnSums { kItems, kCategories, kCategorySquares };
    struct ColumnTask {
        std::vector<std::int32_t> items;
        ColumnSums sums = ColumnSums::kItems;
        int category = -1;
    };
    struct alignas(kCacheLine) ChunkResult {
        float largest_change = 0.0f;
        bool changed = false;
        bool anchored = false;
    };
    // Fields of a column task's item sums, per item of the task.
    enum ItemSum { kShownCount, kShownScore, kSum, kSquares, kCount, kRaw, kMaximum,
                   kModelScore, kModelMaximum, kNextCount, kNextScore, kItemSums };

    void plan_columns();
    void plan_plain(const ProxIteration& it);
    void item_sums(const ColumnTask& task, double* local, const ProxIteration& it);
    void plain_item_sums(const ColumnTask& task, double* local, const ProxIteration& it);
    void category_sums(const ColumnTask& task, double* local);
    template <bool kSquares>
    void plain_category_sum(const ColumnTask& task, double* local);
    void store_category_sums(const ColumnTask& task, const double* local);
    void store_item_sums(const ColumnTask& task, const double* local, const ProxIteration& it);
    // A person's own sums over the items.
    struct PersonSums {
        double sum = 0.0, squares = 0.0, n = 0.0, score = 0.0, maximum = 0.0;
        double est_score = 0.0, est_maximum = 0.0;  // under the items' models
        double shown_score = 0.0, shown_count = 0.0;
        double pb_count = 0.0, pb_score = 0.0;
        WeightedPairSums pb_pairs;
        bool complete = false;  // every item that counts has a usable response
    };
    void general_person_sums(int p, int s, const ProxIteration& it, PersonSums& ps) const;
    void plain_person_sums(int p, int s, const ProxIteration& it, PersonSums& ps) const;
    void persons(int c, const ProxIteration& it);

    Run& run_;
    AnalysisArrays& a_;
    ProxSums& z_;
    PersonData data_;
    const float x_;
    const int top_code_, bottom_code_;
    const ChunkPlan plan_;
    std::vector<ColumnTask> columns_;
    ChunkBlocks<double> column_sums_;
    std::vector<ChunkResult> results_;
    // The measures and base statuses the iteration starts from, and the estimates of the
    // anchored persons (summed in person order after the pass).
    std::vector<float> measure_, anchored_estimate_;
    std::vector<std::int8_t> status_;
    // A plain iteration: no weights, no point-biserial, every item that takes part in one group
    // of the rating-scale formulas (its top category, and the recoded category of each scored
    // response, -1 when it is not usable).
    bool plain_ = false;
    int plain_top_ = 0;
    // A split iteration, plain with 1 to split_categories_ - 1 steps: each category sum of the one
    // group has a walk of its own, and the item walks count the categories. Else 0.
    int split_categories_ = 0;
    int split_top_ = 0;
    std::array<std::int16_t, 256> plain_recoded_{};
    WorkerPool pool_;
};

}  // namespace korvelan

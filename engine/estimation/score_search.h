// Raw score to measure: the measure at which a target raw score is the expected score, with its
// standard error and information, for a person against the active items or for one item
// against the active persons. Score tables and the person score file call it once per score.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "engine/estimation/category_model.h"
#include "engine/run/run.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

inline constexpr int kScoreSearchIterationCap = 100;

// The scale of the search: measures enter and leave in user units, logit x own_factor x uscale
// + umean; the other side's measures turn into logits with other_factor.
struct ScoreSearchScale {
    float umean = 0.0f;
    float uscale = 1.0f;
    float own_factor = 1.0f;
    float other_factor = 1.0f;
    bool paired = false;             // PAIRED=Y: S.E. x 1.4142, information x 0.5
    float extreme_fraction = 0.3f;   // EXTRSC=: scores 0 and R are searched at e and R - e
    float logit_change_limit = 0.005f;
    float residual_limit = 0.1f;
    int iteration_cap = kScoreSearchIterationCap;
};

// The raw score searched for row k (0..range) of the complete test (or the complete sample of an
// item's score table) whose weighted maximum score is `maximum` (range = NINT(maximum)): k
// itself, but the top row stands for the largest score the test can give, so that its search
// aims at the maximum less the extreme-score fraction and not at a score that lies beyond reach
// when the item (or person) weights are fractional.
inline float score_row_target(int k, int range, float maximum) {
    return k == range ? maximum : static_cast<float>(k);
}

// The scale of the person search (persons = true) or the item search of the run.
ScoreSearchScale score_search_scale(const Run& run, bool persons);

// The entries of the other side: 1-based arrays (element 0 unused); those with status above 0
// and a positive weight take part. Empty weights count 1 each.
struct ScoreSearchSide {
    std::span<const std::int8_t> status;
    std::span<const float> measures;  // user units
    std::span<const float> weights;
    std::int32_t count = 0;
};

// The items' rating-scale groups: item_group is 1-based, the groups index from 0 (group g at
// g - 1, as rating_scale_groups gives them), steps and status are the per-slot arrays.
struct ScoreSearchItems {
    ScoreSearchSide side;
    std::span<const std::int32_t> item_group;
    RatingScaleGroups groups;
    const float* steps = nullptr;
    const std::int32_t* category_status = nullptr;
};

struct ScoreMeasure {
    float measure = 0.0f;  // user units
    float standard_error = 0.0f;
    float information = 0.0f;
    int iterations = 0;
    bool converged = false;  // false when the cap or a value that is not finite ended the search
};

// The entries of the other side of a search (the active items of a person search, the active
// persons of an item search), gathered once for all the scores of a table. Entries alike in
// measure, weight and group add the same terms to the expected score (in a complete long test
// every item of one raw score does, in a complete sample every person of one raw score), so they
// are gathered into kinds, in the order of their first entry, each counted with the number of its
// entries. The terms of the kinds are summed in fixed blocks of kScoreEntryBlock kinds, each block
// in order, the block sums then in block order: a search gives the same measure whatever the
// number of threads, and distinct entries in one block add their terms entry by entry. Sides of
// more than one block share the blocks out to worker threads.
inline constexpr int kScoreEntryBlock = 2048;

struct ScoreEntry {
    float logit = 0.0f;  // the entry's measure in logits
    double weight = 1.0;  // the entries' weight times their number
    CategoryModel group;
};

// Whether the blocks of the next sums go to the worker threads. Each step of a search is short,
// so on a busy machine waiting for the workers can cost more than it saves: every so many sums,
// a few are timed each way and the faster way is kept until the next trial. The choice changes
// only the time taken, never a sum.
struct ScoreSumPace {
    bool on_workers = true;
    int count = 0;  // sums since the last trial began
    double worker_seconds = 0.0, own_seconds = 0.0;
};

struct ScoreEntryList {
    std::vector<ScoreEntry> kinds;
    bool persons = false;  // the entries are persons, and an item's measure is searched
    int blocks = 0;
    std::vector<double> block_sums;  // score and variance of each block
    std::unique_ptr<WorkerPool> pool;  // only when there is more than one block
    ScoreSumPace pace;
};

// The items of a person search and the persons of an item search of the given group. threads:
// as WorkerPool takes it (0 or less: the default count).
ScoreEntryList score_item_list(const ScoreSearchItems& items, const ScoreSearchScale& scale,
                               int threads = 0);
ScoreEntryList score_person_list(const ScoreSearchSide& persons, const CategoryModel& group,
                                 const ScoreSearchScale& scale, int threads = 0);

// find_person_measure_for_score: the person measure (from start, user units) whose expected
// score on the items is the target score of a test of the given maximum score.
ScoreMeasure find_person_measure_for_score(float start, float score, float maximum,
                                           ScoreEntryList& items, const ScoreSearchScale& scale);
// The same for one search, the items gathered for it alone.
ScoreMeasure find_person_measure_for_score(float start, float score, float maximum,
                                           const ScoreSearchItems& items,
                                           const ScoreSearchScale& scale);

// find_item_measure_for_score: the measure of an item of the given group whose expected score
// over the persons is the target score of a sample of the given (weighted) maximum score.
ScoreMeasure find_item_measure_for_score(float start, float score, float maximum,
                                         ScoreEntryList& persons, const ScoreSearchScale& scale);
// The same for one search, the persons gathered for it alone.
ScoreMeasure find_item_measure_for_score(float start, float score, float maximum,
                                         const ScoreSearchSide& persons, const CategoryModel& group,
                                         const ScoreSearchScale& scale);

// The other sides of the run for the two searches.
ScoreSearchItems score_search_items(const Run& run);
ScoreSearchSide score_search_persons(const Run& run);

}  // namespace korvelan

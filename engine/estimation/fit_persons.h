// The person pass of the fit statistics. Every observation of a person is visited once; the
// person's own results are finished at the end of its items, the item, category and group sums
// go into the chunk's partial sums, which are combined in chunk order.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/estimation_observer.h"
#include "engine/estimation/estimation_settings.h"
#include "engine/estimation/fit.h"
#include "engine/estimation/fit_formulas.h"
#include "engine/estimation/person_data.h"
#include "engine/estimation/person_rows.h"
#include "engine/run/run.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

class FitPersonPass {
public:
    // residual_fd: the open work file ZUU, or -1. group_expected: each group's expected score at
    // the difference of the mean person and item measures.
    FitPersonPass(Run& run, const EstimationSettings& settings, int residual_fd,
                  const std::vector<float>& group_expected);

    // Runs the pass; the item, slot and group sums, the summary sums and each person's largest
    // standardized residual go to sums. Returns the first residual record that could not be
    // written, or 0, with the errno of its write in failed_errno.
    std::int32_t run(EstimationObserver& observer, FitSums& sums, int& failed_errno);

private:
    // Chunk scalars of the person pass, a cache line each.
    struct alignas(kCacheLine) ChunkScalars {
        double z_weight = 0.0, z_sum = 0.0, z_squares = 0.0;
        double n = 0.0, component_sum = 0.0, component_squares = 0.0, unexplained = 0.0;
        bool displacement_zero = false;
        float largest_displacement = 0.0f;
        std::int32_t failed_record = 0;  // first residual record that could not be written
        int failed_errno = 0;            // and the errno of its write
    };
    // A person's own sums over its observations.
    struct PersonSums {
        double score = 0.0, maximum = 0.0, count = 0.0, raw = 0.0, expected = 0.0, info = 0.0;
        double expected_below = 0.0, kurtosis = 0.0, excess = 0.0, y2 = 0.0, z2 = 0.0;
        float largest_z = 0.0f;
        WeightedPairSums pairs;
    };

    template <bool kWeighted>
    void chunk(int c);
    template <bool kWeighted>
    void observations(int c, int n, int s, const double* row, std::int16_t* residuals,
                      PersonSums& ps);
    void finish_person(int n, int s, const PersonSums& ps, ChunkScalars& sc);
    void combine(FitSums& sums) const;

    Run& run_;
    AnalysisArrays& a_;
    const EstimationSettings& settings_;
    PersonData data_;
    const int residual_fd_;
    const std::vector<float>& group_expected_;
    const bool pt_;
    const FitForm form_;
    const std::size_t items1_, slots1_, groups1_, stride_;
    const ChunkPlan plan_;
    ChunkBlocks<double> partial_;
    std::vector<ChunkScalars> scalars_;
    ChunkBlocks<float> chain_probabilities_;
    ChunkBlocks<double> chain_values_;  // a chain item's values laid out as a row's
    ChunkBlocks<std::int16_t> residual_scratch_;
    WorkerPool pool_;
    std::vector<PersonRows> rows_;  // one per thread
    RowItems row_items_;
    std::vector<float>* largest_z_ = nullptr;
};

}  // namespace korvelan

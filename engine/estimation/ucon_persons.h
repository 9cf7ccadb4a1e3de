// The person pass of one UCON iteration: every person moves by its own damped secant step from
// the measures, steps and probe distance the iteration starts with, and the expected scores
// (at the measures and one probe distance lower) are summed per item and per category slot for
// the item and step updates that follow. The sums are made per chunk of persons and combined in
// chunk order, so they do not depend on the number of threads.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/estimation_observer.h"
#include "engine/estimation/estimation_settings.h"
#include "engine/estimation/person_data.h"
#include "engine/estimation/person_rows.h"
#include "engine/run/run.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

inline constexpr float kUconDamping = 0.7f;

// Score target of an entry: the observed score kept off the extremes, or, for the
// information-weighted estimation, kept between h0 and R - h0 around the midpoint. extreme: 1 at
// the maximum, -1 at the minimum.
inline double ucon_score_target(double r, double maximum, float x, bool target, double h0,
                                int extreme) {
    if (!target) return std::min(std::max(r, static_cast<double>(x)), maximum - x);
    const double h = maximum / 2.0;
    if (extreme == 1) return std::max(maximum - h0, h);
    if (extreme == -1) return std::min(h0, h);
    return std::min(std::max(r, std::min(h0, h)), std::max(maximum - h0, h));
}

inline double floored_log_odds(double v, double maximum) {
    return log_ratio_with_floor(static_cast<float>(v), static_cast<float>(maximum - v));
}

// What the item and step updates need from the person pass, summed over every chunk.
struct UconPersonSums {
    std::vector<double> item_expected, item_probe, item_score, item_maximum;  // per item
    std::vector<double> slot_expected, slot_observed;                        // per slot
    double person_residual = 0.0;  // the largest (first of equal magnitude, in person order)
    std::int32_t person = 0;
    double centre_sum = 0.0, centre_weight = 0.0;  // moved measures of the measured persons
};

class UconPersonPass {
public:
    // centre_persons: the moved measures of the measured persons are summed for centring.
    UconPersonPass(Run& run, const EstimationSettings& settings, bool centre_persons);

    // One pass with the given probe distance. previous receives each person's measure before its
    // move.
    void run(float probe, std::vector<float>& previous, EstimationObserver& observer,
             UconPersonSums& sums);

private:
    // Partial sums of one chunk: per item E, E2 (and the information-weighted score and
    // maximum), per slot the expected count (and the information-weighted observed count).
    struct Layout {
        std::size_t items1, slots1;
        std::size_t expected() const { return 0; }
        std::size_t probe() const { return items1; }
        std::size_t score() const { return 2 * items1; }
        std::size_t maximum() const { return 3 * items1; }
        std::size_t slot_expected() const { return 4 * items1; }
        std::size_t slot_observed() const { return 4 * items1 + slots1; }
        std::size_t stride() const { return 4 * items1 + 2 * slots1; }
    };
    // Results of one chunk that are not per item or slot, a cache line each.
    struct alignas(kCacheLine) Totals {
        double residual = 0.0;
        std::int32_t person = 0;
        double centre_sum = 0.0, centre_weight = 0.0;
    };

    // One person of a chunk: number, base status, measure and weight, and what its
    // observations add up to: the score for estimation and its maximum, and the expected scores
    // at the measure and one probe distance lower.
    struct Person {
        int n = 0, s = 0;
        float b = 0.0f, wp = 1.0f;
        double score = 0.0, maximum = 0.0, expected = 0.0, probe = 0.0;
    };
    static constexpr int kMostPlainTop = 4;

    int plain_group() const;
    void chunk(int c, const RowItems& items, std::vector<float>& previous);
    PersonRows& start_chunk(int c, const RowItems& items);
    bool begin_person(int n, Person& person) const;
    void move_person(const Person& person, Totals& tot, std::vector<float>& previous);
    void general_chunk(int c, const RowItems& items, std::vector<float>& previous);
    template <int kTop>
    void plain_chunk(int c, const RowItems& items, std::vector<float>& previous);
    void combine(UconPersonSums& sums) const;

    Run& run_;
    AnalysisArrays& a_;
    PersonData data_;
    const bool target_, centre_persons_;
    const float x_;
    const double h0_;
    const Layout layout_;
    const ChunkPlan plan_;
    ChunkBlocks<double> partial_;
    std::vector<Totals> totals_;
    ChunkBlocks<float> chain_probabilities_;
    WorkerPool pool_;
    std::vector<PersonRows> rows_;  // one per thread
    float probe_ = 0.0f;
    // The one group of a plain sweep (0: none), its top category, and the recoded category of
    // each scored response in it (-1: not usable).
    int plain_group_ = 0, plain_top_ = 0;
    std::array<std::int16_t, 256> plain_recoded_{};
};

}  // namespace korvelan

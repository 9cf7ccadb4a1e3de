#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit.h"
#include "engine/estimation/prox.h"
#include "engine/estimation/ucon.h"
#include "engine/run/worker_pool.h"
#include "tests/engine/estimation/estimation_checks.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

void estimate(EstimationRun& e) {
    estimate_prox(e.run, e.settings, e.observer);
    run_ucon_iterations(e.run, e.settings, e.observer);
}

int base(int s) { return s > 8 ? s - 16 : s; }

// Every measured person's and item's expected score equals its observed score.
void expect_score_equations(const AnalysisArrays& a, double tolerance = 1e-3) {
    for (int p = 1; p <= a.persons; ++p) {
        if (base(a.person_status[p]) != 1) continue;
        const ScorePair s = person_scores(a, p);
        EXPECT_NEAR(s.expected, s.observed, tolerance) << "person " << p;
    }
    for (int i = 1; i <= a.items; ++i) {
        if (a.item_status[i] != 1) continue;
        const ScorePair s = item_scores(a, i);
        EXPECT_NEAR(s.expected, s.observed, tolerance) << "item " << i;
    }
}

// Each category's expected count over the measured persons and items equals its observed count
// (chains: expected passes of each step equal the observed passes).
void expect_category_equations(const AnalysisArrays& a, int g, double tolerance = 1e-3) {
    const Group grp = group_of(a, g);
    const int m = grp.top();
    std::vector<double> observed(m + 1, 0.0), expected(m + 1, 0.0);
    for (int i = 1; i <= a.items; ++i) {
        if (a.item_group[i] != g || a.item_status[i] != 1) continue;
        for (int p = 1; p <= a.persons; ++p) {
            const int c = category_of(a, p, i);
            if (c < 0 || base(a.person_status[p]) != 1) continue;
            const double d = static_cast<double>(a.person_measure[p]) - a.item_measure[i];
            if (!chain_model(grp)) {
                observed[c] += 1.0;
                const std::vector<double> pr = reference_probabilities(grp, d);
                for (int k = 0; k <= m; ++k) expected[k] += pr[k];
                continue;
            }
            for (int k = 1; k <= m; ++k) {
                const bool attempted = grp.model == 'S' ? k <= c + 1 : k >= c;
                if (!attempted) continue;
                expected[k] += success(grp.steps[k], d);
                observed[k] += grp.model == 'S' ? (c >= k) : (c == k);
            }
        }
    }
    for (int k = chain_model(grp) ? 1 : 0; k <= m; ++k)
        EXPECT_NEAR(expected[k], observed[k], tolerance) << "group " << g << " category " << k;
}

double group_step_sum(const AnalysisArrays& a, int g) {
    double sum = 0.0;
    for (int k = 1; k <= a.group_top_category[g]; ++k) sum += a.step_calibration[a.group_first_slot[g] + k];
    return sum;
}

double measured_item_mean(const AnalysisArrays& a) {
    double sum = 0.0;
    int n = 0;
    for (int i = 1; i <= a.items; ++i)
        if (a.item_status[i] == 1) sum += a.item_measure[i], ++n;
    return sum / n;
}

std::vector<std::string> report_lines(EstimationRun& e) { return crlf_lines(e.report()); }

int count_containing(const std::vector<std::string>& lines, const std::string& text) {
    int n = 0;
    for (const std::string& l : lines) n += l.find(text) != std::string::npos;
    return n;
}

}  // namespace

// ---- Convergence: the likelihood equations hold at the end with tight limits ---------------

TEST(UconConvergence, DichotomousScoresMatchAndItemsAreCentred) {
    EstimationRun e;
    e.settings = tight_limits();
    e.load(small_dichotomous_data());
    estimate(e);
    const AnalysisArrays& a = e.run.arrays;
    expect_score_equations(a);
    EXPECT_NEAR(measured_item_mean(a), 0.0, 1e-5);
    EXPECT_NEAR(a.step_calibration[a.group_first_slot[1] + 1], 0.0f, 1e-6);
    // The person with every item right is extreme, and sits where 5 - 0.3 is expected.
    EXPECT_EQ(a.person_status[9], 0);
    EXPECT_NEAR(person_scores(a, 9).expected, 4.7, 1e-3);
    EXPECT_TRUE(std::isfinite(a.person_measure[9]));
}

TEST(UconConvergence, SharedRatingScaleMatchesScoresAndCategoryCounts) {
    EstimationRun e;
    e.settings = tight_limits();
    e.load(small_rating_scale_data());
    estimate(e);
    const AnalysisArrays& a = e.run.arrays;
    expect_score_equations(a);
    expect_category_equations(a, 1);
    EXPECT_NEAR(group_step_sum(a, 1), 0.0, 1e-5);
    EXPECT_NEAR(measured_item_mean(a), 0.0, 1e-5);
}

TEST(UconConvergence, OneScalePerItem) {
    EstimationRun e;
    e.settings = tight_limits();
    DataSet d;
    d.x = {{0, 1, 2}, {1, 0, 1}, {2, 2, 1}, {1, 1, 0}, {0, 2, 1}, {2, 1, 2},
           {1, 0, 0}, {2, 1, 1}, {0, 0, 1}, {1, 2, 1}, {2, 0, 1}, {1, 1, 2}};
    d.groups = {1, 2, 3};
    e.load(d);
    estimate(e);
    const AnalysisArrays& a = e.run.arrays;
    expect_score_equations(a);
    for (int g = 1; g <= 3; ++g) {
        expect_category_equations(a, g);
        EXPECT_NEAR(group_step_sum(a, g), 0.0, 1e-5) << g;
    }
}

TEST(UconConvergence, SuccessAndFailureChains) {
    for (const char* model : {"S", "F"}) {
        EstimationRun e;
        e.settings = tight_limits();
        DataSet d = small_rating_scale_data();
        d.models = model;
        e.load(d);
        estimate(e);
        const AnalysisArrays& a = e.run.arrays;
        SCOPED_TRACE(model);
        expect_score_equations(a);
        expect_category_equations(a, 1);
        EXPECT_NEAR(group_step_sum(a, 1), 0.0, 1e-5);
    }
}

// ---- Origin and anchors ---------------------------------------------------------------------

TEST(UconOrigin, AnchoredItemKeepsItsValueAndNothingIsCentred) {
    EstimationRun e;
    e.settings = tight_limits();
    e.load(small_dichotomous_data());
    e.run.arrays.item_status[2] = 2;
    e.run.arrays.item_measure[2] = 0.5f;
    estimate(e);
    const AnalysisArrays& a = e.run.arrays;
    EXPECT_EQ(a.item_measure[2], 0.5f);
    EXPECT_EQ(a.item_status[2], 2);
    expect_score_equations(a);  // the free items still fit their scores
    EXPECT_GT(std::fabs(measured_item_mean(a)), 0.05);
}

TEST(UconOrigin, PersonSideOriginCentresTheMeasuredPersons) {
    EstimationRun e;
    e.settings = tight_limits();
    e.settings.origin_on_items = 'N';
    e.load(small_dichotomous_data());
    estimate(e);
    const AnalysisArrays& a = e.run.arrays;
    double sum = 0.0;
    int n = 0;
    for (int p = 1; p <= a.persons; ++p)
        if (base(a.person_status[p]) == 1) sum += a.person_measure[p], ++n;
    EXPECT_NEAR(sum / n, 0.0, 1e-5);
    EXPECT_GT(std::fabs(measured_item_mean(a)), 0.05);
    expect_score_equations(a);
}

// ---- Faults that must not come back ----------------------------------------------------------

TEST(UconFaults, PersonWhoseMaximumIsBelowTheExtremeAdjustmentStaysFinite) {
    // Item 1 weighs 0.1: a person who answered only item 1 has a maximum of 0.1, below the 0.3
    // kept off each extreme, so the score target is negative. Its step must still be a number.
    EstimationRun e;
    DataSet d = small_dichotomous_data();
    d.x.push_back({0, -1, -1, -1, -1});
    e.load(d);
    e.run.arrays.item_weights.assign(6, 1.0f);
    e.run.arrays.item_weights[1] = 0.1f;
    estimate(e);
    const AnalysisArrays& a = e.run.arrays;
    EXPECT_EQ(base(a.person_status[10]), -1);
    for (int p = 1; p <= a.persons; ++p) EXPECT_TRUE(std::isfinite(a.person_measure[p])) << p;
    for (int i = 1; i <= a.items; ++i) EXPECT_TRUE(std::isfinite(a.item_measure[i])) << i;
}

TEST(UconFaults, ResultsDoNotDependOnTheNumberOfThreads) {
    // 3000 persons give several chunks of persons; every measure and the whole report must be
    // bit-identical with one thread and with five.
    const DataSet d = generated_dichotomous(3000, 20);
    ASSERT_GT(plan_person_chunks(3000, 100).chunks, 1);
    EstimationRun one, five;
    one.settings.threads = 1;
    five.settings.threads = 5;
    one.load(d);
    five.load(d);
    estimate(one);
    estimate(five);
    EXPECT_EQ(one.run.arrays.person_measure, five.run.arrays.person_measure);
    EXPECT_EQ(one.run.arrays.item_measure, five.run.arrays.item_measure);
    // The reports differ only in the scratch directory named in the Table heading.
    const std::string r1 = one.report(), r5 = five.report();
    EXPECT_EQ(r1.substr(r1.find("CONVERGENCE")), r5.substr(r5.find("CONVERGENCE")));
}

TEST(UconFaults, WeightsGroupsChainsAndPointBiserialDoNotDependOnTheNumberOfThreads) {
    // The sweeps' general paths: three groups (a rating scale and both chains), item and person
    // weights, an anchored person, the point-biserial of PROX; then the fit statistics.
    DataSet d;
    d.groups = {1, 1, 1, 1, 2, 2, 3, 3};
    d.models = "RSF";
    std::uint32_t state = 99;
    for (int p = 0; p < 2500; ++p) {
        std::vector<int> row;
        for (int i = 0; i < 8; ++i) {
            state = state * 1664525u + 1013904223u;
            const int v = static_cast<int>((state >> 9) % 100);
            row.push_back(v < 4 ? -1 : std::clamp((v + p % 5 * 12 - i * 6) / 28, 0, 3));
        }
        d.x.push_back(row);
    }
    std::vector<AnalysisArrays> results;
    for (int threads : {1, 7}) {
        EstimationRun e;
        e.settings.threads = threads;
        e.settings.point_biserial = 'Y';
        e.load(d);
        AnalysisArrays& a = e.run.arrays;
        a.item_weights.assign(9, 1.0f);
        a.item_weights[2] = 2.0f, a.item_weights[6] = 0.5f;
        a.person_weights.assign(2501, 1.0f);
        for (int p = 1; p <= 2500; p += 7) a.person_weights[p] = 1.5f;
        a.person_status[40] = 2, a.person_measure[40] = 0.7f;  // anchored
        estimate(e);
        compute_fit_statistics(e.run, e.settings, e.observer);
        results.push_back(std::move(e.run.arrays));
    }
    const AnalysisArrays &one = results[0], &seven = results[1];
    EXPECT_EQ(one.person_measure, seven.person_measure);
    EXPECT_EQ(one.item_measure, seven.item_measure);
    EXPECT_EQ(one.step_calibration, seven.step_calibration);
    EXPECT_EQ(one.item_point_biserial, seven.item_point_biserial);
    EXPECT_EQ(one.person_record_image, seven.person_record_image);
    EXPECT_EQ(one.item_infit_mnsq, seven.item_infit_mnsq);
    EXPECT_EQ(one.category_infit_mnsq, seven.category_infit_mnsq);
}

TEST(UconFaults, EveryStepEndsFiniteAndWithinOneLogit) {
    EXPECT_EQ(bound_step(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(bound_step(1.5f), 1.5f * 0.9f * 0.9f * 0.9f * 0.9f);  // 0.98
    EXPECT_LE(std::fabs(bound_step(3e38f)), 1.0f);
    EXPECT_EQ(bound_step(INFINITY), 1.0f);
    EXPECT_EQ(bound_step(-INFINITY), -1.0f);
    EXPECT_EQ(bound_step(NAN), 0.0f);
}

// ---- Iteration limits and rows --------------------------------------------------------------

TEST(UconRows, NegativeLimitWritesOnlyTheClosingRow) {
    EstimationRun e;
    e.settings.ucon_limit = -1;
    e.load(small_dichotomous_data());
    estimate(e);
    const std::vector<std::string> lines = report_lines(e);
    EXPECT_EQ(count_containing(lines, "UCON"), 0);
    EXPECT_EQ(lines.back(), "+----------------------------------------------------------------------------+");
    for (int p = 1; p <= e.run.arrays.persons; ++p) EXPECT_LE(e.run.arrays.person_status[p], 8);
}

TEST(UconRows, LimitOfOneGivesOneShortDichotomousRow) {
    EstimationRun e;
    e.settings.ucon_limit = 1;
    e.load(small_dichotomous_data());
    estimate(e);
    const std::vector<std::string> lines = report_lines(e);
    ASSERT_GE(lines.size(), 5u);
    // One iteration does not converge: the box is followed by the warning.
    EXPECT_EQ(lines.back(), "WARNING: ITERATION LIMIT REACHED BEFORE CONVERGENCE. MEASURES ARE NOT CONVERGED.");
    // The row before the closing border is UCON row 1; with no step to move it ends after the
    // item column ("*" marks whichever residual is shown) and the category columns stay blank.
    const std::string row = lines[lines.size() - 3];
    EXPECT_EQ(row.substr(0, 9), "|       1");
    EXPECT_EQ(row.size(), 78u);
    EXPECT_EQ(row.substr(50), std::string(27, ' ') + "|");
    EXPECT_EQ(lines[lines.size() - 4].substr(0, 3), "|--");
}

// ---- Variants ---------------------------------------------------------------------------------

TEST(UconVariants, InformationWeightedEstimationBalancesWeightedResiduals) {
    // With TARGET=Y each measured person and item ends where the information-weighted residuals
    // sum to zero: sum over its observations of V (x - E) = 0, V the observation's variance.
    EstimationRun e;
    e.settings = tight_limits();
    e.settings.target = 'Y';
    e.load(small_rating_scale_data());
    estimate(e);
    const AnalysisArrays& a = e.run.arrays;
    const Group g = group_of(a, 1);
    auto weighted_residual = [&](int p, int i) {
        const std::vector<double> pr =
            reference_probabilities(g, static_cast<double>(a.person_measure[p]) - a.item_measure[i]);
        double ex = 0, var = 0;
        for (int k = 0; k <= g.top(); ++k) ex += k * pr[k];
        for (int k = 0; k <= g.top(); ++k) var += (k - ex) * (k - ex) * pr[k];
        return var * (category_of(a, p, i) - ex);
    };
    EXPECT_LT(e.run.arrays.estimation.iteration_counter, 2000);
    for (int p = 1; p <= a.persons; ++p) {
        double sum = 0;
        for (int i = 1; i <= a.items; ++i) sum += weighted_residual(p, i);
        EXPECT_NEAR(sum, 0.0, 1e-3) << p;
    }
    for (int i = 1; i <= a.items; ++i) {
        double sum = 0;
        for (int p = 1; p <= a.persons; ++p) sum += weighted_residual(p, i);
        EXPECT_NEAR(sum, 0.0, 1e-3) << i;
    }
}

TEST(UconVariants, PivotPutsTheExpectedScoreAtTheItemDifficulty) {
    // PIVOT= 0.8 on a 0-2 scale: at a measure equal to the item's difficulty the expected score
    // is 0.8 once the steps have settled (the steps are not centred then).
    EstimationRun e;
    e.settings = tight_limits();
    e.load(small_rating_scale_data());
    e.run.arrays.group_pivot.assign(2, 0.8f);
    e.run.arrays.group_pivot_flag.assign(2, 'Y');
    estimate(e);
    const AnalysisArrays& a = e.run.arrays;
    EXPECT_EQ(a.group_pivot_flag[1], 'Y');
    EXPECT_NEAR(reference_expected(group_of(a, 1), 0.0), 0.8, 0.01);
    expect_score_equations(a);
    // A pivot outside the score range is switched off, and the steps are centred again.
    EstimationRun off;
    off.settings = tight_limits();
    off.load(small_rating_scale_data());
    off.run.arrays.group_pivot.assign(2, 2.0f);
    off.run.arrays.group_pivot_flag.assign(2, 'Y');
    estimate(off);
    EXPECT_EQ(off.run.arrays.group_pivot_flag[1], 'N');
    EXPECT_NEAR(group_step_sum(off.run.arrays, 1), 0.0, 1e-5);
}

TEST(UconVariants, FinishIteratingStopsAfterTheCurrentRow) {
    EstimationRun e;
    e.settings = tight_limits();
    e.load(small_rating_scale_data());
    estimate_prox(e.run, e.settings, e.observer);
    e.host.finish = true;
    run_ucon_iterations(e.run, e.settings, e.observer);
    EXPECT_EQ(e.run.arrays.estimation.iteration_counter, 1);
}

TEST(UconVariants, BiasFactorsFromTheActiveCounts) {
    // Eight measured persons and five items with one step each: the person factor is
    // 7 / (7 + 1), the item factor 4 / (4 + 1); PAIRED=Y halves both.
    EstimationRun e;
    e.load(small_dichotomous_data());
    estimate_prox(e.run, e.settings, e.observer);
    EstimationSettings s = e.settings;
    s.stbias = 'Y';
    set_bias_factors(e.run.arrays, s);
    EXPECT_FLOAT_EQ(e.run.arrays.estimation.person_bias_factor, 7.0f / 8.0f);
    EXPECT_FLOAT_EQ(e.run.arrays.estimation.item_bias_factor, 4.0f / 5.0f);
    s.paired = 'Y';
    set_bias_factors(e.run.arrays, s);
    EXPECT_EQ(e.run.arrays.estimation.person_bias_factor, 0.5f);
    EXPECT_EQ(e.run.arrays.estimation.item_bias_factor, 0.5f);
}

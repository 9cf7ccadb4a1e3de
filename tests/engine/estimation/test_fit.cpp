#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/estimation/fit.h"
#include "engine/estimation/prox.h"
#include "engine/estimation/ucon.h"
#include "tests/engine/estimation/estimation_checks.h"
#include "tests/support/chain_data.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

int base(int s) { return s > 8 ? s - 16 : s; }

// Sums of one entry's observations, from the definitions in double.
struct EntryFit {
    double n = 0, y2 = 0, z2 = 0, w = 0, c_over_w2 = 0, excess = 0;
    void add(const Group& g, int x, double d) {
        const std::vector<double> p = reference_probabilities(g, d);
        double e = 0, var = 0, fourth = 0;
        for (int k = 0; k <= g.top(); ++k) e += k * p[k];
        for (int k = 0; k <= g.top(); ++k) {
            var += (k - e) * (k - e) * p[k];
            fourth += std::pow(k - e, 4) * p[k];
        }
        const double y = x - e;
        n += 1, y2 += y * y, z2 += y * y / var, w += var;
        c_over_w2 += fourth / (var * var), excess += std::max(fourth - var * var, 0.0);
    }
    double outfit() const { return z2 / n; }
    double infit() const { return y2 / w; }
    double error() const { return 1.0 / std::sqrt(w); }
    // The cube-root standardization as the fit pass forms it, then packed: rounded to two
    // decimals with the mean-square in the thousandths.
    static double packed(double ms, double variance, double df) {
        const double z = (std::cbrt(ms) - 1.0) * 3.0 * df / std::sqrt(variance);
        const double rounded = std::round(std::min(std::max(z, -9.9), 9.9) * 100.0) / 100.0;
        return rounded + std::min(ms, 9.9) / 1000.0;
    }
    double outfit_z() const { return packed(outfit(), c_over_w2 - n, n); }
    double infit_z() const { return packed(infit(), excess, w); }
};

struct Logits {
    std::vector<float> person, item;
};

// PROX and UCON to tight limits; returns the logit measures the fit pass starts from.
Logits estimate(EstimationRun& e) {
    estimate_prox(e.run, e.settings, e.observer);
    run_ucon_iterations(e.run, e.settings, e.observer);
    return {e.run.arrays.person_measure, e.run.arrays.item_measure};
}

EntryFit person_fit(const AnalysisArrays& a, const Logits& l, int p) {
    EntryFit f;
    for (int i = 1; i <= a.items; ++i) {
        const int c = category_of(a, p, i);
        if (c >= 0 && a.item_status[i] > 0) f.add(group_of(a, a.item_group[i]), c, l.person[p] - l.item[i]);
    }
    return f;
}

EntryFit item_fit(const AnalysisArrays& a, const Logits& l, int i) {
    EntryFit f;
    for (int p = 1; p <= a.persons; ++p) {
        const int c = category_of(a, p, i);
        if (c >= 0 && base(a.person_status[p]) > 0) f.add(group_of(a, a.item_group[i]), c, l.person[p] - l.item[i]);
    }
    return f;
}

}  // namespace

// ---- Fit statistics follow their formulas -------------------------------------------------

TEST(FitStatistics, PersonsAndItemsMatchTheFormulas) {
    for (const DataSet& d : {small_dichotomous_data(), small_rating_scale_data()}) {
        EstimationRun e;
        e.settings = tight_limits();
        e.load(d);
        const Logits l = estimate(e);
        compute_fit_statistics(e.run, e.settings, e.observer);
        const AnalysisArrays& a = e.run.arrays;
        for (int p = 1; p <= a.persons; ++p) {
            if (base(a.person_status[p]) != 1) continue;
            const EntryFit f = person_fit(a, l, p);
            const float* record = &a.person_record_image[(p - 1) * 7];
            EXPECT_NEAR(a.person_outfit_mnsq[p], f.outfit(), 1e-4) << p;
            EXPECT_NEAR(a.person_infit_mnsq[p], f.infit(), 1e-4) << p;
            EXPECT_NEAR(a.person_outfit_zstd[p], f.outfit_z(), 2e-4) << p;
            EXPECT_NEAR(a.person_infit_zstd[p], f.infit_z(), 2e-4) << p;
            EXPECT_NEAR(record[2], f.error(), 1e-5) << p;
            EXPECT_EQ(record[0], f.n) << p;
            EXPECT_NEAR(record[6], 0.0, 0.01) << p;  // converged: nothing to displace
        }
        for (int i = 1; i <= a.items; ++i) {
            const EntryFit f = item_fit(a, l, i);
            EXPECT_NEAR(a.item_outfit_mnsq[i], f.outfit(), 1e-4) << i;
            EXPECT_NEAR(a.item_infit_mnsq[i], f.infit(), 1e-4) << i;
            EXPECT_NEAR(a.item_outfit_zstd[i], f.outfit_z(), 2e-4) << i;
            EXPECT_NEAR(a.item_infit_zstd[i], f.infit_z(), 2e-4) << i;
            EXPECT_NEAR(a.item_standard_error[i], f.error(), 1e-5) << i;
            EXPECT_EQ(a.item_count[i], f.n) << i;
        }
    }
}

TEST(FitStatistics, ExtremePersonIsInputButNotMeasured) {
    EstimationRun e;
    e.settings = tight_limits();
    e.load(small_dichotomous_data());
    estimate(e);
    compute_fit_statistics(e.run, e.settings, e.observer);
    const AnalysisArrays& a = e.run.arrays;
    EXPECT_EQ(base(a.person_status[9]), 0);
    EXPECT_TRUE(std::isfinite(a.person_measure[9]));
    EXPECT_EQ(a.person_infit_mnsq[9], 1.0f);
    EXPECT_EQ(a.person_outfit_zstd[9], 0.0f);
    EXPECT_EQ(a.estimation.active_persons, 8);
    EXPECT_EQ(a.estimation.person_total, 9);
    EXPECT_DOUBLE_EQ(a.summary[1].count, 8.0);  // raw scores of the measured persons only
    EXPECT_FLOAT_EQ(a.summary[19].maximum, a.person_measure[9]);
    // Item raw scores count the measured persons only.
    EXPECT_EQ(a.item_raw_score[5], 2.0f);
}

TEST(FitStatistics, UserUnitsPutTheItemMeanAtUmean) {
    EstimationRun e;
    e.settings = tight_limits();
    e.settings.umean = 50.0f;
    e.settings.uscale = 10.0f;
    e.load(small_dichotomous_data());
    const Logits l = estimate(e);
    compute_fit_statistics(e.run, e.settings, e.observer);
    const AnalysisArrays& a = e.run.arrays;
    EXPECT_EQ(fmt_f(a.summary[11].mean, 8, 2), "   50.00");
    EXPECT_EQ(fmt_f(a.estimation.item_mean_measure, 8, 2), "   50.00");
    for (int p = 1; p <= a.persons; ++p) EXPECT_NEAR(a.person_measure[p], 50.0 + 10.0 * l.person[p], 1e-4);
    const EntryFit f = item_fit(a, l, 3);
    EXPECT_NEAR(a.item_standard_error[3], 10.0 * f.error(), 1e-4);
}

TEST(FitStatistics, AnchoredItemKeepsItsValueAndShowsItsDisplacement) {
    // Item 2 anchored at 1.5 logits is far too hard for its score: its displacement says it
    // would sit lower. With USCALE=1 the stored measure is the anchor again.
    EstimationRun e;
    e.settings = tight_limits();
    e.load(small_dichotomous_data());
    e.run.arrays.item_status[2] = 2;
    e.run.arrays.item_measure[2] = 1.5f;
    const Logits l = estimate(e);
    compute_fit_statistics(e.run, e.settings, e.observer);
    const AnalysisArrays& a = e.run.arrays;
    EXPECT_EQ(a.item_measure[2], 1.5f);
    // Where item 2 would fit the measured persons' scores: expected = observed.
    double lo = -10, hi = 10;
    const ScorePair target = item_scores(a, 2);
    for (int n = 0; n < 100; ++n) {
        const double mid = (lo + hi) / 2;
        double e_sum = 0;
        for (int p = 1; p <= a.persons; ++p)
            if (base(a.person_status[p]) > 0 && category_of(a, p, 2) >= 0)
                e_sum += success(mid, l.person[p]);
        (e_sum > target.observed ? lo : hi) = mid;
    }
    const double shift = lo - 1.5;  // negative: the item is easier than its anchor
    EXPECT_LT(a.item_displacement[2], 0.0f);
    EXPECT_NEAR(a.item_displacement[2], shift, 0.5 * std::fabs(shift));
}

TEST(FitStatistics, DroppedPersonGetsZerosAndUnitMeanSquares) {
    EstimationRun e;
    DataSet d = small_dichotomous_data();
    d.x.push_back({-1, -1, -1, -1, -1});
    e.load(d);
    estimate(e);
    compute_fit_statistics(e.run, e.settings, e.observer);
    const AnalysisArrays& a = e.run.arrays;
    EXPECT_EQ(base(a.person_status[10]), -2);
    EXPECT_EQ(a.person_measure[10], 0.0f);
    const float* record = &a.person_record_image[9 * 7];
    EXPECT_EQ(record[0], 0.0f);
    EXPECT_EQ(record[2], 0.0f);
    EXPECT_EQ(record[3], 1.0f);
    EXPECT_EQ(record[4], 1.0f);
    EXPECT_EQ(record[6], 0.0f);
}

// ---- Standardized residuals and weights --------------------------------------------------

TEST(FitResiduals, WeightedMeanAndSdOfTheStandardizedResiduals) {
    // Fractional person weights: the mean and S.D. are the weighted ones (population form),
    // and the category counts add up the weights instead of dropping them.
    EstimationRun e;
    e.load(small_rating_scale_data());
    AnalysisArrays& a0 = e.run.arrays;
    a0.person_weights.assign(a0.persons + 1, 0.5f);
    for (int p = 1; p <= a0.persons; p += 2) a0.person_weights[p] = 1.5f;
    const Logits l = estimate(e);
    compute_fit_statistics(e.run, e.settings, e.observer);
    const AnalysisArrays& a = e.run.arrays;
    double w = 0, wz = 0, wzz = 0, counted = 0;
    for (int p = 1; p <= a.persons; ++p) {
        if (base(a.person_status[p]) <= 0) continue;
        for (int i = 1; i <= a.items; ++i) {
            const int c = category_of(a, p, i);
            if (c < 0) continue;
            const Group g = group_of(a, 1);
            const std::vector<double> pr = reference_probabilities(g, l.person[p] - l.item[i]);
            double ex = 0, var = 0;
            for (int k = 0; k <= g.top(); ++k) ex += k * pr[k];
            for (int k = 0; k <= g.top(); ++k) var += (k - ex) * (k - ex) * pr[k];
            const double z = (c - ex) / std::sqrt(var), wp = a.person_weights[p];
            w += wp, wz += wp * z, wzz += wp * z * z, counted += wp;
        }
    }
    const double mean = wz / w, sd = std::sqrt(wzz / w - mean * mean);
    EXPECT_NEAR(a.estimation.residual_mean, mean, 1e-5);
    EXPECT_NEAR(a.estimation.residual_sd, sd, 1e-5);
    int firsts = 0;
    for (int k = 1; k <= a.slots; ++k) firsts += a.category_count_first[k];
    EXPECT_NEAR(firsts, counted, 1.5);  // each slot rounded once
    EXPECT_GT(firsts, 0);
    const std::string line = " Standardized Residuals N(0,1)  Mean: " + fmt_f_left(mean, 10, 2) +
                             " S.D.: " + fmt_f_left(sd, 10, 2);
    EXPECT_TRUE(e.host.shows(line.substr(1))) << line;
    EXPECT_NE(e.report().find(line.substr(1)), std::string::npos);
}

TEST(FitResiduals, ResidualRecordsHoldStandardizedResidualsPerPerson) {
    EstimationRun e;
    e.load(small_dichotomous_data());
    e.run.arrays.scored_response_image[2] = 255;  // person 1, item 3 missing
    const Logits l = estimate(e);
    compute_fit_statistics(e.run, e.settings, e.observer);
    const AnalysisArrays& a = e.run.arrays;
    const std::string bytes = read_file(e.dir.file("ZUU123kv.txt"));
    ASSERT_GE(bytes.size(), 2u * 5 * 8);
    auto value = [&](int p, int i) {
        std::int16_t v;
        std::memcpy(&v, bytes.data() + 2 * ((p - 1) * 5 + (i - 1)), 2);
        return v;
    };
    EXPECT_EQ(value(1, 3), -32768);
    const double pr = success(l.item[1], l.person[1]);
    const double z = (1 - pr) / std::sqrt(pr * (1 - pr));
    EXPECT_EQ(value(1, 1), static_cast<std::int16_t>(std::lround(z * 1500)));
    EXPECT_EQ(bytes.size(), 2u * 5 * 8);  // the extreme person 9 has no record

    EstimationRun none;
    none.settings.prcomp = 'N';
    none.load(small_dichotomous_data());
    estimate(none);
    compute_fit_statistics(none.run, none.settings, none.observer);
    EXPECT_FALSE(file_exists(none.dir.file("ZUU123kv.txt")));
    (void)a;
}

TEST(FitResiduals, RescaledStandardizedFitHasUnitSpread) {
    EstimationRun e;
    e.settings.local = 'Y';
    e.load(small_rating_scale_data());
    estimate(e);
    compute_fit_statistics(e.run, e.settings, e.observer);
    const AnalysisArrays& a = e.run.arrays;
    double s = 0, ss = 0, n = 0;
    for (int p = 1; p <= a.persons; ++p)
        if (base(a.person_status[p]) > 0) s += a.person_infit_zstd[p], ss += a.person_infit_zstd[p] * a.person_infit_zstd[p], ++n;
    EXPECT_NEAR(std::sqrt(ss / n - (s / n) * (s / n)), 1.0, 0.02);
}

TEST(FitResiduals, PointMeasureCorrelationOfAnItem) {
    EstimationRun e;
    e.load(small_dichotomous_data());
    const Logits l = estimate(e);
    compute_fit_statistics(e.run, e.settings, e.observer);
    // Item 4 against every person's measure, the extreme person included.
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int p = 1; p <= 9; ++p) {
        const double x = l.person[p], y = category_of(e.run.arrays, p, 4);
        n += 1, sx += x, sy += y, sxx += x * x, syy += y * y, sxy += x * y;
    }
    const double r = (sxy / n - sx * sy / n / n) /
                     std::sqrt((sxx / n - sx * sx / n / n) * (syy / n - sy * sy / n / n));
    EXPECT_NEAR(e.run.arrays.item_point_biserial[4], r, 1e-5);
}

TEST(FitResiduals, ResultsDoNotDependOnTheNumberOfThreads) {
    const DataSet d = generated_dichotomous(3000, 20);
    EstimationRun one, six;
    one.settings.threads = 1;
    six.settings.threads = 6;
    for (EstimationRun* e : {&one, &six}) {
        e->load(d);
        estimate(*e);
        compute_fit_statistics(e->run, e->settings, e->observer);
    }
    const AnalysisArrays &a = one.run.arrays, &b = six.run.arrays;
    EXPECT_EQ(a.person_record_image, b.person_record_image);
    EXPECT_EQ(a.person_infit_zstd, b.person_infit_zstd);
    EXPECT_EQ(a.item_outfit_mnsq, b.item_outfit_mnsq);
    EXPECT_EQ(a.item_point_biserial, b.item_point_biserial);
    EXPECT_EQ(a.step_information, b.step_information);
    EXPECT_EQ(a.estimation.residual_sd, b.estimation.residual_sd);
    EXPECT_EQ(a.estimation.most_unexpected_items, b.estimation.most_unexpected_items);
    EXPECT_EQ(a.estimation.most_unexpected_persons, b.estimation.most_unexpected_persons);
    EXPECT_FALSE(a.estimation.most_unexpected_persons.empty());
    EXPECT_EQ(read_file(one.dir.file("ZUU123kv.txt")), read_file(six.dir.file("ZUU123kv.txt")));
}

// PRCOMP=O puts each observed category into the residual record, so the work file can be checked
// against the data itself. With 4200 items a block holds 124 records, fewer than a chunk's 300
// persons: records reach the file in several blocks per chunk.
TEST(FitResiduals, ResidualRecordsOfManyPersonsGoOutInBlocksAndOnlyWhenSomethingReadsThem) {
    const int np = 600, ni = 4200;
    DataSet d;
    for (int p = 0; p < np; ++p) {
        std::vector<int> row(ni);
        for (int i = 0; i < ni; ++i) row[i] = (p * 7 + i * 3) % 11 < 5 ? 1 : 0;
        if (p % 50 == 0) row[p % ni] = -1;
        d.x.push_back(row);
    }
    std::vector<std::string> files;
    for (int threads : {1, 3}) {
        EstimationRun e;
        e.settings.threads = threads;
        e.settings.prcomp = 'O';
        e.load(d);
        AnalysisArrays& a = e.run.arrays;
        a.item_status[9] = -1;                            // an extreme item: no observation kept
        a.person_status[124] = a.person_status[125] = 0;  // unmeasured persons leave gaps,
        a.person_status[301] = -2;                        // inside a block and at a chunk's start,
        a.person_status[np] = -1;                         // and the file ends before the last one
        compute_fit_statistics(e.run, e.settings, e.observer);
        files.push_back(read_file(e.dir.file("ZUU123kv.txt")));
    }
    ASSERT_EQ(files[0], files[1]);
    const std::string& bytes = files[0];
    ASSERT_EQ(bytes.size(), 2u * ni * (np - 1));
    auto value = [&](int p, int i) {
        std::int16_t v;
        std::memcpy(&v, bytes.data() + 2 * (static_cast<std::size_t>(p - 1) * ni + (i - 1)), 2);
        return v;
    };
    for (int p = 1; p < np; ++p) {
        const bool gap = p == 124 || p == 125 || p == 301;
        for (int i = 1; i <= ni; ++i) {
            const int x = d.x[p - 1][i - 1];
            const int expected = gap ? 0 : (x < 0 || i == 9) ? -32768 : x;
            ASSERT_EQ(value(p, i), expected) << "person " << p << " item " << i;
        }
    }

    EstimationRun unread;
    unread.settings.residual_file = false;
    unread.load(small_dichotomous_data());
    compute_fit_statistics(unread.run, unread.settings, unread.observer);
    EXPECT_FALSE(file_exists(unread.dir.file("ZUU123kv.txt")));
}

// PRCOMP=K, H and G code the probability of the observed category under the item's model: the
// category probability in the chains as in the rating scale, whatever steps the fit residual of
// a chain response sums. Data simulated from each chain, with a group under the rating scale.
TEST(FitResiduals, ProbabilityCodesTakeTheCategoryProbabilityUnderEveryModel) {
    for (char chain : {'S', 'F'}) {
        const std::vector<SimulatedGroup> groups = {
            {chain, {0, -1, 0, 1}, {-0.5, 0.0, 0.5}}, {chain, {0, -0.5, 0.5}, {-0.3, 0.3}}, {'R', {0, -1, 0, 1}, {0.0}}};
        DataSet d;
        d.x = simulate_responses(groups, 300, 5);
        d.groups = {1, 1, 1, 2, 2, 3};
        d.models = std::string{chain, chain, 'R'};
        for (char kind : {'K', 'H', 'G'}) {
            EstimationRun e;
            e.settings.prcomp = kind;
            e.load(d);
            const Logits l = estimate(e);
            compute_fit_statistics(e.run, e.settings, e.observer);
            const AnalysisArrays& a = e.run.arrays;
            const std::string bytes = read_file(e.dir.file("ZUU123kv.txt"));
            int checked = 0;
            for (int p = 1; p <= a.persons; ++p) {
                if (base(a.person_status[p]) <= 0) continue;
                for (int i = 1; i <= a.items; ++i) {
                    const int c = category_of(a, p, i);
                    const double q = reference_probabilities(group_of(a, a.item_group[i]), l.person[p] - l.item[i])[c];
                    const double v = kind == 'K' ? q
                                     : kind == 'H' ? std::clamp(-std::log(q) / std::log(0.002), -1.0, 1.0)
                                                   : std::clamp(std::log(q / (1 - q)) / std::log(499.0), -1.0, 1.0);
                    std::int16_t code;
                    ASSERT_GE(bytes.size(), 2u * (static_cast<std::size_t>(p - 1) * a.items + i));
                    std::memcpy(&code, bytes.data() + 2 * (static_cast<std::size_t>(p - 1) * a.items + (i - 1)), 2);
                    EXPECT_NEAR(code, std::lround(32767 * v), 1) << chain << kind << " person " << p << " item " << i;
                    ++checked;
                }
            }
            EXPECT_GT(checked, 1500) << chain << kind;
        }
    }
}

// ---- Helpers -----------------------------------------------------------------------------

TEST(FitHelpers, MostUnexpectedOrdersByValueThenByLaterEntry) {
    const std::vector<float> largest = {0, 2.5f, 3.0f, 2.5f, 1.9f};
    const std::vector<double> key = {0, 1, 2, 3, 4};
    EXPECT_EQ(most_unexpected(largest, key), (std::vector<std::int32_t>{2, 3, 1}));
    std::vector<float> many(80, 2.0f);
    std::vector<double> order(80);
    for (int i = 0; i < 80; ++i) order[i] = i;
    const std::vector<std::int32_t> top = most_unexpected(many, order);
    ASSERT_EQ(top.size(), 50u);
    EXPECT_EQ(top.front(), 79);
    EXPECT_EQ(top.back(), 30);
}

TEST(FitHelpers, DisplacementShownAsZero) {
    EXPECT_TRUE(shows_as_zero(0.004, 2));
    EXPECT_TRUE(shows_as_zero(-0.004, 2));
    EXPECT_FALSE(shows_as_zero(0.006, 2));
    EXPECT_TRUE(shows_as_zero(0.04, 1));
    EXPECT_FALSE(shows_as_zero(0.05, 1));
    EXPECT_TRUE(shows_as_zero(0.4, 0));
    // Next to half a unit of the last decimal, on either side (half a unit itself lies a little
    // above it in binary, so it rounds up).
    for (int d = 0; d <= 4; ++d)
        for (double v : {0.5, 0.49999999, 0.50000001, 0.4999999999999, 0.5000000000001}) {
            const double x = v * std::pow(10.0, -d);
            EXPECT_EQ(shows_as_zero(x, d), v < 0.5) << x << " d=" << d;
            EXPECT_EQ(shows_as_zero(-x, d), v < 0.5) << -x << " d=" << d;
        }
}

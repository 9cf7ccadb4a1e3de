// The item side of the fit statistics, the category and group statistics, the summary slots and
// the lists of the most unexpected entries, from the sums of the person pass.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit.h"
#include "engine/estimation/fit_formulas.h"
#include "engine/estimation/person_data.h"
#include "engine/estimation/summary_stats.h"
#include "engine/run/message_texts.h"

namespace korvelan {

namespace {

constexpr double kEps = kSmallestPositiveValue;
constexpr std::size_t kMostUnexpected = 50;

// Standardized fit values rescaled to unit S.D. over the measured entries (LOCAL=Y), packed to
// two decimals.
void rescale_standardized_fit(std::vector<float>& values, int count,
                              const std::vector<std::int8_t>& status, const std::vector<float>& weights) {
    double w = 0.0, s1 = 0.0, s2 = 0.0;
    auto weight = [&](int n) { return weights.empty() ? 1.0f : weights[n]; };
    for (int n = 1; n <= count; ++n) {
        if (base_status(status[n]) <= 0 || !(weight(n) > 0.0f)) continue;
        w += weight(n), s1 += static_cast<double>(values[n]) * weight(n);
        s2 += static_cast<double>(values[n]) * values[n] * weight(n);
    }
    const double sd = std::sqrt(std::max(w * s2 - s1 * s1, 0.0)) / std::max(w, 0.01);
    const float factor = sd > kEps ? static_cast<float>(1.0 / sd) : 1.0f;
    for (int n = 1; n <= count; ++n)
        if (base_status(status[n]) > 0 && weight(n) > 0.0f)
            values[n] = pack_capped_fit_value(values[n] * factor, 0.0f);
}

void accumulate_entry(std::array<SummarySlot, 25>& slot, int first, float weight, float raw,
                      float count, float measure, float error, float infit, float infit_z,
                      float outfit, float outfit_z) {
    const float values[8] = {raw, count, measure, error, infit, infit_z, outfit, outfit_z};
    for (int k = 0; k < 8; ++k) accumulate_summary_slot(slot[first + k], values[k], weight);
}

}  // namespace

std::vector<std::int32_t> most_unexpected(const std::vector<float>& largest,
                                          const std::vector<double>& order_key) {
    std::vector<std::int32_t> entries;
    for (std::size_t n = 1; n < largest.size(); ++n)
        if (largest[n] >= 2.0f) entries.push_back(static_cast<std::int32_t>(n));
    // Only the first ones are kept: they are sorted, the rest only set apart. Equal values and
    // keys keep the order of the entries, as a stable sort of them all would.
    const auto kept = std::min<std::size_t>(entries.size(), kMostUnexpected);
    std::partial_sort(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(kept), entries.end(),
                      [&](std::int32_t l, std::int32_t r) {
                          if (largest[l] != largest[r]) return largest[l] > largest[r];
                          if (order_key[l] != order_key[r]) return order_key[l] > order_key[r];
                          return l < r;
                      });
    entries.resize(kept);
    return entries;
}

void finish_fit_statistics(Run& run, const EstimationSettings& settings, FitSums& sums,
                           EstimationObserver& observer) {
    AnalysisArrays& a = run.arrays;
    EstimationResults& est = a.estimation;
    const PersonData data(run);
    const int np = a.persons, ni = a.items;
    const bool pt = settings.point_biserial == 'Y';
    const FitForm form = settings.normal == 'Y' ? FitForm::Unstandardized
                         : settings.local == 'L' ? FitForm::Logarithm
                                                 : FitForm::CubeRoot;
    const float x = settings.extreme_score_adjustment;
    const float uscale = settings.uscale, umean = settings.umean;
    const float factor = est.item_bias_factor;
    const float error_scale = settings.paired == 'Y' ? 1.4142f : 1.0f;

    const double z_mean = sums.z_weight > 0.0 ? sums.z_sum / sums.z_weight : 0.0;
    const double z_variance = sums.z_weight > 0.0 ? sums.z_squares / sums.z_weight - z_mean * z_mean : 0.0;
    est.residual_mean = static_cast<float>(z_mean);
    est.residual_sd = static_cast<float>(std::sqrt(std::max(z_variance, 0.0)));
    observer.standardized_residuals(est.residual_mean, est.residual_sd);

    // Items.
    est.person_displacement_shown_as_zero = sums.person_displacement_zero;
    est.person_largest_displacement = sums.person_largest_displacement;
    est.item_largest_displacement = 0.0f;
    double component_count = 0.0, component_sum = 0.0, component_squares = 0.0;
    for (int i = ni; i >= 1; --i) {
        const int t = a.item_status[i];
        const double* is = sums.item.data() + static_cast<std::size_t>(i) * fit_sum::kItemSums;
        component_count += is[fit_sum::kComponentCount];
        component_sum += is[fit_sum::kComponentSum];
        component_squares += is[fit_sum::kComponentSquares];
        if (t > -4) a.item_count[i] = static_cast<float>(is[fit_sum::kCount]);
        if (t >= -1) {
            a.item_raw_score[i] = static_cast<float>(is[fit_sum::kRaw]);
            a.item_estimation_score[i] = static_cast<float>(is[fit_sum::kScore]);
            a.item_max_attainable_score[i] = static_cast<float>(is[fit_sum::kMaximum]);
        }
        FitValue infit{1.0f, 0.0f}, outfit{1.0f, 0.0f};
        if (t >= 1) {
            outfit = outfit_statistic(is[fit_sum::kStandardizedSquares], is[fit_sum::kKurtosisRatio],
                                      is[fit_sum::kCount], form);
            infit = infit_statistic(is[fit_sum::kResidualSquares], is[fit_sum::kExcess],
                                    is[fit_sum::kInformation], form);
            if (settings.local != 'Y') {
                outfit.standardized = pack_capped_fit_value(outfit.standardized, outfit.mean_square);
                infit.standardized = pack_capped_fit_value(infit.standardized, infit.mean_square);
            }
        }
        a.item_infit_mnsq[i] = infit.mean_square, a.item_infit_zstd[i] = infit.standardized;
        a.item_outfit_mnsq[i] = outfit.mean_square, a.item_outfit_zstd[i] = outfit.standardized;
        if (t < -1) {
            a.item_measure[i] = a.item_standard_error[i] = a.item_displacement[i] = 0.0f;
            continue;
        }
        const double maximum = is[fit_sum::kMaximum], expected = is[fit_sum::kExpected];
        const double expected_below = is[fit_sum::kExpectedBelow];
        const double r = displacement_score(is[fit_sum::kScore], maximum, expected, x);
        float displacement = static_cast<float>(
            0.0 - person_side_displacement(is[fit_sum::kScore], maximum, expected, expected_below, x));
        displacement *= factor * uscale;
        if (std::fabs(displacement) > settings.logit_change_limit &&
            std::fabs(r - expected) > settings.score_residual_limit &&
            shows_as_zero(displacement, settings.user_decimals))
            est.item_displacement_shown_as_zero = true;
        a.item_displacement[i] = displacement;
        est.item_largest_displacement = std::max(est.item_largest_displacement, std::fabs(displacement));
        a.item_measure[i] = a.item_measure[i] * factor * uscale + umean;
        a.item_standard_error[i] =
            std::fabs(standard_error_from_information(is[fit_sum::kInformation]) * factor * uscale) *
            error_scale;
        if (!pt) {
            WeightedPairSums pairs;
            pairs.w = is[fit_sum::kPairW], pairs.x = is[fit_sum::kPairX], pairs.y = is[fit_sum::kPairY];
            pairs.xx = is[fit_sum::kPairXX], pairs.yy = is[fit_sum::kPairYY];
            pairs.xy = is[fit_sum::kPairXY];
            pairs.correlation(a.item_point_biserial[i]);
        }
    }
    if (settings.local == 'Y') {
        rescale_standardized_fit(a.item_infit_zstd, ni, a.item_status, a.item_weights);
        rescale_standardized_fit(a.item_outfit_zstd, ni, a.item_status, a.item_weights);
        rescale_standardized_fit(a.person_infit_zstd, np, a.person_status, a.person_weights);
        rescale_standardized_fit(a.person_outfit_zstd, np, a.person_status, a.person_weights);
    }

    // Summary slots: measured entries (1-8, 17 persons; 9-16, 18 items), extreme ones (19-20,
    // 22-23), then the slots of all entries.
    auto& slot = a.summary;
    slot.fill(SummarySlot{});
    int extreme_persons = 0, extreme_items = 0;
    for (int n = 1; n <= np; ++n) {
        const int s = base_status(a.person_status[n]);
        const float* record = data.record(n);
        const float wp = person_weight(a, n);
        const float error = record[record_field::kStandardError];
        if (s > 0) {
            accumulate_entry(slot, 1, wp, record[record_field::kRawScore], record[record_field::kCount],
                             a.person_measure[n], error, a.person_infit_mnsq[n], a.person_infit_zstd[n],
                             a.person_outfit_mnsq[n], a.person_outfit_zstd[n]);
            accumulate_summary_slot(slot[17], misfit_inflated_error(error, a.person_infit_mnsq[n]), wp);
        } else if (s >= -1) {
            accumulate_summary_slot(slot[19], a.person_measure[n], wp);
            accumulate_summary_slot(slot[20], error, wp);
            ++extreme_persons;
        }
    }
    for (int i = 1; i <= ni; ++i) {
        const int t = a.item_status[i];
        const float wi = item_weight(a, i);
        if (t > 0) {
            accumulate_entry(slot, 9, wi, a.item_raw_score[i], a.item_count[i], a.item_measure[i],
                             a.item_standard_error[i], a.item_infit_mnsq[i], a.item_infit_zstd[i],
                             a.item_outfit_mnsq[i], a.item_outfit_zstd[i]);
            accumulate_summary_slot(slot[18], misfit_inflated_error(a.item_standard_error[i], a.item_infit_mnsq[i]), wi);
        } else if (t >= -1) {
            accumulate_summary_slot(slot[22], a.item_measure[i], wi);
            accumulate_summary_slot(slot[23], a.item_standard_error[i], wi);
            ++extreme_items;
        }
    }
    est.person_total = est.active_persons + extreme_persons;
    est.item_total = est.active_items + extreme_items;
    add_summary_slot(slot[19], slot[3]);
    slot[21] = slot[17];
    add_summary_slot(slot[21], slot[20]);
    add_summary_slot(slot[20], slot[4]);
    add_summary_slot(slot[22], slot[11]);
    slot[24] = slot[18];
    add_summary_slot(slot[24], slot[23]);
    add_summary_slot(slot[23], slot[12]);
    for (int k = 1; k <= 24; ++k) finish_summary_slot(slot[k]);
    est.person_mean_measure = slot[3].mean, est.person_sd_measure = slot[3].sd;
    est.item_mean_measure = slot[11].mean, est.item_sd_measure = slot[11].sd;

    // Most unexpected persons and items: ties go to the entry that reached its value later.
    std::vector<double> person_key(static_cast<std::size_t>(np) + 1);
    std::iota(person_key.begin(), person_key.end(), 0.0);
    est.most_unexpected_persons = most_unexpected(sums.person_largest_z, person_key);
    std::vector<float> item_largest(static_cast<std::size_t>(ni) + 1, 0.0f);
    std::vector<double> item_key(static_cast<std::size_t>(ni) + 1, 0.0);
    for (int i = 1; i <= ni; ++i) {
        const double* is = sums.item.data() + static_cast<std::size_t>(i) * fit_sum::kItemSums;
        item_largest[i] = static_cast<float>(is[fit_sum::kLargestZ]);
        item_key[i] = is[fit_sum::kLargestZPerson] * (ni + 1.0) + i;
    }
    est.most_unexpected_items = most_unexpected(item_largest, item_key);

    // Residual variance for the principal components.
    auto explained = [&](double n, double sum, double squares) {
        return n > 0.0 ? std::max(squares - sum * sum / n - sums.unexplained, 0.0) : 0.0;
    };
    const float unexplained = static_cast<float>(std::max(sums.unexplained, kEps));
    est.residual_variance_components = {
        static_cast<float>(explained(sums.component_count, sums.component_sum, sums.component_squares)),
        static_cast<float>(explained(component_count, component_sum, component_squares)), unexplained,
        unexplained};

    // Groups and categories.
    for (int g = 1; g <= a.groups; ++g) {
        const double* gs = sums.group.data() + static_cast<std::size_t>(g) * fit_sum::kGroupSums;
        a.group_weight_sum[g] = static_cast<float>(gs[fit_sum::kMissingWeight]);
        a.group_average_difference[g] =
            static_cast<float>(gs[fit_sum::kMissingDifference] * uscale / std::max(gs[fit_sum::kMissingWeight], 1.0));
    }
    for (int c = 1; c <= a.slots; ++c) {
        const double* cs = sums.slot.data() + static_cast<std::size_t>(c) * fit_sum::kSlotSums;
        const double observed = a.category_observed_count[c], expected = cs[fit_sum::kExpectedCount];
        a.category_outfit_mnsq[c] = cap_mean_square(cs[fit_sum::kObservedStandardizedSquares] * expected /
                                                    std::max(observed * cs[fit_sum::kVarianceOverInformation], kEps));
        a.category_infit_mnsq[c] = cap_mean_square(cs[fit_sum::kObservedResidualSquares] * expected /
                                                   std::max(observed * cs[fit_sum::kVariance], kEps));
        a.category_expected_count[c] = static_cast<float>(observed - expected);
        a.category_observed_average[c] =
            static_cast<float>(cs[fit_sum::kObservedDifference] * uscale / std::max(observed, 1.0));
        a.category_expected_average[c] =
            expected > 0.0 ? static_cast<float>(cs[fit_sum::kExpectedDifference] * uscale / expected) : 0.0f;
        a.step_information[c] = static_cast<float>(cs[fit_sum::kStepInformation]);
        a.category_count_first[c] = nint(cs[fit_sum::kCountFirst]);
        a.category_count_second[c] = nint(cs[fit_sum::kCountSecond]);
    }
}

}  // namespace korvelan

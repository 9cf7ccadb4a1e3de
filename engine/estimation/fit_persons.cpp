#include "engine/estimation/fit_persons.h"

#include <algorithm>
#include <cmath>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit_residuals.h"

namespace korvelan {

namespace {

FitForm fit_form(const EstimationSettings& s) {
    if (s.normal == 'Y') return FitForm::Unstandardized;
    return s.local == 'L' ? FitForm::Logarithm : FitForm::CubeRoot;
}

}  // namespace

FitPersonPass::FitPersonPass(Run& run, const EstimationSettings& settings, int residual_fd,
                             const std::vector<float>& group_expected)
    : run_(run),
      a_(run.arrays),
      settings_(settings),
      data_(run),
      residual_fd_(residual_fd),
      group_expected_(group_expected),
      pt_(settings.point_biserial == 'Y'),
      form_(fit_form(settings)),
      items1_(static_cast<std::size_t>(a_.items) + 1),
      slots1_(static_cast<std::size_t>(a_.slots) + 1),
      groups1_(static_cast<std::size_t>(a_.groups) + 1),
      stride_(items1_ * fit_sum::kItemSums + slots1_ * fit_sum::kSlotSums +
              groups1_ * fit_sum::kGroupSums),
      plan_(plan_person_chunks(a_.persons, stride_)),
      partial_(plan_.chunks, stride_),
      scalars_(plan_.chunks),
      chain_probabilities_(plan_.chunks, 3 * (static_cast<std::size_t>(a_.top_value) + 2)),
      chain_values_(plan_.chunks, static_cast<std::size_t>(row_field::kProbabilities + 2 * (a_.top_value + 2) +
                                                           fit_moment::width(a_.top_value + 1))),
      residual_scratch_(plan_.chunks, static_cast<std::size_t>(a_.items)),
      pool_(plan_.chunks > 1 ? settings.threads : 1, plan_.chunks),
      rows_(pool_.size()),
      row_items_(a_, 1.0f, &group_expected) {}

std::int32_t FitPersonPass::run(EstimationObserver& observer, FitSums& sums, int& failed_errno) {
    const int np = a_.persons;
    sums.person_largest_z.assign(static_cast<std::size_t>(np) + 1, 0.0f);
    largest_z_ = &sums.person_largest_z;
    const bool weighted = !a_.person_weights.empty() || !a_.item_weights.empty();
    auto task = [&](int c) {
        if (weighted) chunk<true>(c);
        else chunk<false>(c);
    };
    auto progress = [&](int done) {
        if (done < plan_.chunks) observer.progress(std::min(np, done * plan_.size), np);
    };
    pool_.run(plan_.chunks, task, progress);
    observer.progress(np, np);
    combine(sums);
    std::int32_t failed = 0;
    failed_errno = 0;
    for (const ChunkScalars& sc : scalars_) {
        if (sc.failed_record == 0 || failed != 0) continue;
        failed = sc.failed_record;
        failed_errno = sc.failed_errno;
    }
    return failed;
}

// Without weights every weight is 1: the products with them are the values themselves.
template <bool kWeighted>
void FitPersonPass::chunk(int c) {
    AnalysisArrays& a = a_;
    const int np = a.persons, ni = a.items;
    std::fill(partial_[c], partial_[c] + stride_, 0.0);
    ChunkScalars& sc = scalars_[static_cast<std::size_t>(c)];
    sc = ChunkScalars{};
    PersonRows& rows = rows_[static_cast<std::size_t>(WorkerPool::thread_index())];
    rows.start(row_items_);
    ResidualBlock block(residual_fd_, ni, plan_.last(c, np) - plan_.first(c) + 1);
    for (int n = plan_.first(c), last = plan_.last(c, np); n <= last; ++n) {
        const int s = base_status(a.person_status[n]);
        float* record = data_.record(n);
        if (s < -1) {
            a.person_measure[n] = 0.0f;
            a.person_infit_mnsq[n] = a.person_outfit_mnsq[n] = 1.0f;
            a.person_infit_zstd[n] = a.person_outfit_zstd[n] = 0.0f;
            record[record_field::kCount] = record[record_field::kRawScore] = 0.0f;
            record[record_field::kStandardError] = 0.0f;
            record[record_field::kInfitMeanSquare] = record[record_field::kOutfitMeanSquare] = 1.0f;
            record[record_field::kDisplacement] = 0.0f;
            continue;
        }
        std::int16_t* const kept = s > 0 ? block.record(n) : nullptr;
        std::int16_t* const residuals = kept ? kept : residual_scratch_[c];
        std::fill(residuals, residuals + ni, kNoObservation);
        const double* row = rows.row(a.person_measure[n], s, data_.scores(n));
        PersonSums ps;
        observations<kWeighted>(c, n, s, row, residuals, ps);
        finish_person(n, s, ps, sc);
        if (kept) block.keep();
    }
    sc.failed_record = block.failed();
    sc.failed_errno = block.failed_errno();
}

// The observations of person n: into the chunk's sums and the person's own.
template <bool kWeighted>
void FitPersonPass::observations(int c, int n, int s, const double* row, std::int16_t* residuals,
                                 PersonSums& ps) {
    using namespace fit_moment;
    const AnalysisArrays& a = a_;
    double* item = partial_[c];
    double* slot = item + items1_ * fit_sum::kItemSums;
    double* group = slot + slots1_ * fit_sum::kSlotSums;
    // The running sums in locals, stored back after the person's observations: the same
    // additions in the same order, kept out of memory.
    ChunkScalars& chunk_scalars = scalars_[static_cast<std::size_t>(c)];
    ChunkScalars sc = chunk_scalars;
    PersonSums own = ps;
    const bool pt = pt_;
    const float b = a.person_measure[n];
    const float wp = kWeighted ? person_weight(a, n) : 1.0f;
    const std::uint8_t* scores = data_.scores(n);
    for (int i = 1; i <= a.items; ++i) {
        const int t = a.item_status[i];
        if (!(t >= 1 || (t >= -1 && (s > 0 || !pt)))) continue;
        const int g = a.item_group[i];
        const int f = a.group_first_slot[g];
        const int xr = recoded_category(a, g, scores[i - 1]);
        const float wi = kWeighted ? item_weight(a, i) : 1.0f;
        const float wc = kWeighted ? combined_weight(a, i, wp, wi) : 1.0f;
        const float d = b - a.item_measure[i];
        if (xr < 0) {
            if (s > 0 && t > 0 && wc > 0.0f) {
                group[g * fit_sum::kGroupSums + fit_sum::kMissingWeight] += wc;
                group[g * fit_sum::kGroupSums + fit_sum::kMissingDifference] += static_cast<double>(d) * wc;
            }
            continue;
        }
        double* is = item + static_cast<std::size_t>(i) * fit_sum::kItemSums;
        const double value = xr + a.category_value[f];
        if (!pt) {
            const double w = wp;
            is[fit_sum::kPairW] += w, is[fit_sum::kPairX] += w * b, is[fit_sum::kPairY] += w * value;
            is[fit_sum::kPairXX] += w * b * b, is[fit_sum::kPairYY] += w * value * value;
            is[fit_sum::kPairXY] += w * b * value;
            own.pairs.add(-static_cast<double>(a.item_measure[i]), value, wi);
        }
        if (!(t >= 1 || s >= 1)) continue;
        const CategoryModel cm = group_model_view(a, g);
        const int m = cm.top;
        // The item's values at d: from the person's row, or made here for the chain models.
        // The chain models' fit values come from the step probabilities of the observation,
        // their category sums from the category probabilities (pc) of the item's model.
        const double* v;
        const double* pc;
        if (const std::int32_t at = row_items_.offset(i); at >= 0) {
            v = row + at;
            pc = v + row_field::kProbabilities;
        } else {
            const std::size_t span = static_cast<std::size_t>(a.top_value) + 2;
            float* chain_p = chain_probabilities_[c];
            float* chain_p1 = chain_p + span;
            float* chain_q = chain_p1 + span;
            double* own = chain_values_[c];
            double* moments = own + row_field::kProbabilities + m + 1;
            double* category = moments + fit_moment::width(m);
            own[row_field::kShifted] = compute_success_failure_step_probabilities(cm, d - 1.0f, xr, chain_p1);
            own[row_field::kExpected] = compute_success_failure_step_probabilities(cm, d, xr, chain_p);
            std::copy(chain_p, chain_p + m + 1, own + row_field::kProbabilities);
            fill_fit_moments(cm, d, static_cast<float>(own[row_field::kExpected]),
                             own + row_field::kProbabilities, group_expected_[static_cast<std::size_t>(g)], moments);
            compute_category_probabilities(cm, d, chain_q);
            std::copy(chain_q, chain_q + m + 1, category);
            fill_chain_category_moments(cm, d, category, chain_p1, moments);
            v = own;
            pc = category;
        }
        const double* p = v + row_field::kProbabilities;
        const double* mo = p + m + 1;
        const float e = static_cast<float>(v[row_field::kExpected]);
        const float e1 = static_cast<float>(v[row_field::kShifted]);
        const ModelScore ms = model_score(cm, xr);
        const double* observed = mo + kPerCategory + kCategoryFields * xr;
        const float y = static_cast<float>(ms.score) - e;
        const float z = static_cast<float>(observed[kStandardized]);
        if (s > 0) {
            is[fit_sum::kScore] += ms.score * wp, is[fit_sum::kMaximum] += ms.maximum * wp;
            is[fit_sum::kCount] += wp, is[fit_sum::kRaw] += value * wp;
            is[fit_sum::kExpected] += static_cast<double>(e) * wp;
            is[fit_sum::kInformation] += mo[kVariance] * wp;
            is[fit_sum::kExpectedBelow] += static_cast<double>(e1) * wp;
        }
        if (t > 0) {
            own.score += ms.score * wi, own.maximum += ms.maximum * wi, own.count += wi, own.raw += value * wi;
            own.expected += static_cast<double>(e) * wi, own.info += mo[kVariance] * wi;
            own.expected_below += static_cast<double>(e1) * wi;
        }
        if (!(s > 0 && t > 0)) continue;
        const double kr = mo[kKurtosisRatio], ex = mo[kExcess];
        const double yy = static_cast<double>(y) * y, zz = static_cast<double>(z) * z;
        is[fit_sum::kKurtosisRatio] += kr * wp, is[fit_sum::kExcess] += ex * wp;
        is[fit_sum::kResidualSquares] += yy * wp, is[fit_sum::kStandardizedSquares] += zz * wp;
        own.kurtosis += kr * wi, own.excess += ex * wi, own.y2 += yy * wi, own.z2 += zz * wi;
        // Categories: expected counts and average measures, information, category fit.
        for (int k = 0; k <= m; ++k) {
            double* ss = slot + static_cast<std::size_t>(f + k) * fit_sum::kSlotSums;
            const double* ck = mo + kPerCategory + kCategoryFields * k;
            ss[fit_sum::kExpectedCount] += pc[k] * wc;
            ss[fit_sum::kExpectedDifference] += ck[kDifferenceTimesP] * wc;
            if (k >= 1) ss[fit_sum::kStepInformation] += wc * ck[kStepInformation];
            ss[fit_sum::kVariance] += ck[kDeviation] * wc;
            ss[fit_sum::kVarianceOverInformation] += ck[kDeviationOverVariance] * wc;
        }
        double* os = slot + static_cast<std::size_t>(f + xr) * fit_sum::kSlotSums;
        os[fit_sum::kObservedResidualSquares] += yy * wc;
        os[fit_sum::kObservedStandardizedSquares] += zz * wc;
        os[fit_sum::kObservedDifference] += static_cast<double>(d) * wc;
        if (std::fabs(y) > 0.5f) {
            const double centre = xr - static_cast<double>(y);
            const int k = std::clamp(static_cast<int>(y >= 0.0f ? centre + 0.5 : centre + 0.4999), 0, m);
            slot[static_cast<std::size_t>(f + k) * fit_sum::kSlotSums + fit_sum::kCountFirst] += wc;
        } else {
            os[fit_sum::kCountFirst] += wc, os[fit_sum::kCountSecond] += wc;
        }
        const double w = static_cast<double>(wp) * wi;
        if (w > 0.0) sc.z_weight += w, sc.z_sum += w * z, sc.z_squares += w * zz;
        const double zc = observed[kComponent];
        sc.n += 1.0, sc.component_sum += zc, sc.component_squares += zc * zc, sc.unexplained += zz;
        is[fit_sum::kComponentCount] += 1.0, is[fit_sum::kComponentSum] += zc;
        is[fit_sum::kComponentSquares] += zc * zc;
        // The probability codes (K, H, G) take the category's probability under the item's
        // model, the residual codes the observation's fit residual.
        if (residual_fd_ >= 0)
            residuals[i - 1] = residual_code(settings_.prcomp, y, z, static_cast<float>(mo[kVariance]), xr, m,
                                             static_cast<float>(pc[xr]));
        const float az = std::fabs(z);
        if (az >= 2.0f) {
            own.largest_z = std::max(own.largest_z, az);
            if (az >= is[fit_sum::kLargestZ]) is[fit_sum::kLargestZ] = az, is[fit_sum::kLargestZPerson] = n;
        }
    }
    chunk_scalars = sc;
    ps = own;
}

// The person's results: fit values, standard error, displacement, measure in user units.
void FitPersonPass::finish_person(int n, int s, const PersonSums& ps, ChunkScalars& sc) {
    AnalysisArrays& a = a_;
    const EstimationSettings& settings = settings_;
    const float factor = a.estimation.person_bias_factor;
    const float uscale = settings.uscale, umean = settings.umean;
    const float error_scale = settings.paired == 'Y' ? 1.4142f : 1.0f;
    const float x = settings.extreme_score_adjustment;
    const float b = a.person_measure[n];
    FitValue infit{1.0f, 0.0f}, outfit{1.0f, 0.0f};
    if (s > 0) {
        outfit = outfit_statistic(ps.z2, ps.kurtosis, ps.count, form_);
        infit = infit_statistic(ps.y2, ps.excess, ps.info, form_);
        if (settings.local != 'Y') {
            outfit.standardized = pack_capped_fit_value(outfit.standardized, outfit.mean_square);
            infit.standardized = pack_capped_fit_value(infit.standardized, infit.mean_square);
        }
    }
    const float error = standard_error_from_information(ps.info);
    const double r = displacement_score(ps.score, ps.maximum, ps.expected, x);
    float displacement = static_cast<float>(
        person_side_displacement(ps.score, ps.maximum, ps.expected, ps.expected_below, x));
    displacement *= factor * uscale;
    // One displacement shown as zero is enough for the note; the test of the text is costly.
    if (!sc.displacement_zero && std::fabs(displacement) > settings.logit_change_limit &&
        std::fabs(r - ps.expected) > settings.score_residual_limit &&
        shows_as_zero(displacement, settings.user_decimals))
        sc.displacement_zero = true;
    sc.largest_displacement = std::max(sc.largest_displacement, std::fabs(displacement));
    a.person_measure[n] = b * factor * uscale + umean;
    a.person_infit_mnsq[n] = infit.mean_square, a.person_infit_zstd[n] = infit.standardized;
    a.person_outfit_mnsq[n] = outfit.mean_square, a.person_outfit_zstd[n] = outfit.standardized;
    float* record = data_.record(n);
    record[record_field::kCount] = static_cast<float>(ps.count);
    record[record_field::kRawScore] = static_cast<float>(ps.raw);
    record[record_field::kStandardError] = std::fabs(error * factor * uscale) * error_scale;
    record[record_field::kInfitMeanSquare] = infit.mean_square;
    record[record_field::kOutfitMeanSquare] = outfit.mean_square;
    if (!pt_) ps.pairs.correlation(record[record_field::kPointBiserial]);
    record[record_field::kDisplacement] = displacement;
    (*largest_z_)[static_cast<std::size_t>(n)] = ps.largest_z;
}

// Chunk sums in chunk order.
void FitPersonPass::combine(FitSums& sums) const {
    sums.item.assign(items1_ * fit_sum::kItemSums, 0.0);
    sums.slot.assign(slots1_ * fit_sum::kSlotSums, 0.0);
    sums.group.assign(groups1_ * fit_sum::kGroupSums, 0.0);
    for (int c = 0; c < plan_.chunks; ++c) {
        const double* item = partial_[c];
        for (std::size_t k = 0; k < items1_ * fit_sum::kItemSums; ++k) {
            const std::size_t field = k % fit_sum::kItemSums;
            if (field == fit_sum::kLargestZ) {
                // The later chunk wins ties: it holds the later persons.
                if (item[k] > 0.0 && item[k] >= sums.item[k])
                    sums.item[k] = item[k], sums.item[k + 1] = item[k + 1];
            } else if (field != fit_sum::kLargestZPerson) {
                sums.item[k] += item[k];
            }
        }
        const double* slot = item + items1_ * fit_sum::kItemSums;
        for (std::size_t k = 0; k < slots1_ * fit_sum::kSlotSums; ++k) sums.slot[k] += slot[k];
        const double* group = slot + slots1_ * fit_sum::kSlotSums;
        for (std::size_t k = 0; k < groups1_ * fit_sum::kGroupSums; ++k) sums.group[k] += group[k];
        const ChunkScalars& sc = scalars_[static_cast<std::size_t>(c)];
        sums.z_weight += sc.z_weight, sums.z_sum += sc.z_sum, sums.z_squares += sc.z_squares;
        sums.component_count += sc.n, sums.component_sum += sc.component_sum;
        sums.component_squares += sc.component_squares, sums.unexplained += sc.unexplained;
        sums.person_displacement_zero |= sc.displacement_zero;
        sums.person_largest_displacement =
            std::max(sums.person_largest_displacement, sc.largest_displacement);
    }
}

}  // namespace korvelan

// The person pass of the fit statistics. Every observation of a person is visited once; the
// person's own results are finished at the end of its items, the item, category and group sums
// go into the chunk's partial sums.
#include "engine/estimation/fit.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit_formulas.h"
#include "engine/estimation/person_data.h"
#include "engine/estimation/person_rows.h"
#include "engine/run/worker_pool.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// Unit of the standardized residual work file ZUU.
constexpr int kResidualUnit = 21;
constexpr double kEps = kSmallestPositiveValue;
constexpr std::int16_t kNoObservation = -32768;

std::int16_t bounded_code(double v) {
    return static_cast<std::int16_t>(std::clamp(nint(v), -32767, 32767));
}

// The residual record value of one observation, by the first letter of PRCOMP=.
std::int16_t residual_code(char kind, float y, float z, float w, int x, int m, float px) {
    switch (kind) {
        case 'R': return bounded_code(y * 32767.0 / m);
        case 'S':
        case 'Y': return bounded_code(z * 1500.0);
        case 'L': return bounded_code(y * 100.0 / w);
        case 'O': return static_cast<std::int16_t>(x);
        case 'K': return bounded_code(px * 32767.0);
        case 'H': {
            const double v = -std::log(std::max(static_cast<double>(px), kEps)) / std::log(0.002);
            return bounded_code(32767.0 * std::clamp(v, -1.0, 1.0));
        }
        case 'G': {
            const double q = std::max(1.0 - px, kEps), pp = std::max(static_cast<double>(px), kEps);
            return bounded_code(32767.0 * std::clamp(std::log(pp / q) / std::log(499.0), -1.0, 1.0));
        }
        default: return kNoObservation;
    }
}

// The residual records of consecutive persons of one chunk, gathered and written to ZUU in one
// positioned write: person n's record is the NI values at byte (n - 1) x 2 NI. Persons whose
// record is not written leave their place in the file untouched.
class ResidualBlock {
public:
    ResidualBlock(int fd, int items, int persons)
        : fd_(fd), items_(static_cast<std::size_t>(items)),
          capacity_(fd < 0 ? 0 : std::clamp<std::size_t>(kBlockBytes / record_bytes(), 1, static_cast<std::size_t>(std::max(persons, 1)))),
          values_(capacity_ * items_) {}
    ~ResidualBlock() { flush(); }
    // Where the record of person n goes; its values are kept once `keep` is called.
    std::int16_t* record(int n) {
        if (capacity_ == 0) return nullptr;
        if (count_ == capacity_ || (count_ > 0 && n != first_ + static_cast<int>(count_))) flush();
        if (count_ == 0) first_ = n;
        return values_.data() + count_ * items_;
    }
    void keep() { ++count_; }
    // The first person whose record could not be written, or 0.
    std::int32_t failed() {
        flush();
        return failed_;
    }

private:
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
    std::size_t record_bytes() const { return sizeof(std::int16_t) * std::max<std::size_t>(items_, 1); }
    void flush() {
        if (count_ == 0) return;
        const char* bytes = reinterpret_cast<const char*>(values_.data());
        const std::size_t size = count_ * record_bytes();
        const off_t at = static_cast<off_t>(record_bytes()) * (first_ - 1);
        std::size_t put = 0;
        while (put < size) {
            const ssize_t r = ::pwrite(fd_, bytes + put, size - put, at + static_cast<off_t>(put));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            put += static_cast<std::size_t>(r);
        }
        if (put < size && failed_ == 0) failed_ = first_ + static_cast<std::int32_t>(put / record_bytes());
        count_ = 0;
    }
    int fd_;
    std::size_t items_;
    std::size_t capacity_;
    std::vector<std::int16_t> values_;
    int first_ = 0;
    std::size_t count_ = 0;
    std::int32_t failed_ = 0;
};

FitForm fit_form(const EstimationSettings& s) {
    if (s.normal == 'Y') return FitForm::Unstandardized;
    return s.local == 'L' ? FitForm::Logarithm : FitForm::CubeRoot;
}

// Chunk scalars of the person pass, a cache line each.
struct alignas(kCacheLine) ChunkScalars {
    double z_weight = 0.0, z_sum = 0.0, z_squares = 0.0;
    double n = 0.0, component_sum = 0.0, component_squares = 0.0, unexplained = 0.0;
    bool displacement_zero = false;
    std::int32_t failed_record = 0;  // first residual record that could not be written
};

}  // namespace

bool shows_as_zero(double value, int decimals) {
    auto text = [&](double v) {
        std::string t = fmt_f(v, 8, decimals);
        const std::size_t point = t.find('.');
        if (point != std::string::npos && point > 0 && t[point - 1] == ' ') t[point - 1] = '0';
        return t;
    };
    return text(std::fabs(value)) == text(0.0);
}

void compute_fit_statistics(Run& run, const EstimationSettings& settings,
                            EstimationObserver& observer) {
    AnalysisArrays& a = run.arrays;
    EstimationResults& est = a.estimation;
    prepare_estimation_arrays(a);
    PersonData data(run);
    const int np = a.persons, ni = a.items;
    const bool pt = settings.point_biserial == 'Y';
    const FitForm form = fit_form(settings);
    const float x = settings.extreme_score_adjustment;
    const float factor = est.person_bias_factor;
    const float uscale = settings.uscale, umean = settings.umean;
    const float error_scale = settings.paired == 'Y' ? 1.4142f : 1.0f;

    show_message_line(run, msg::kCalculatingFit);
    est.item_residual_correlations_computed = est.person_residual_correlations_computed = false;
    est.person_displacement_shown_as_zero = est.item_displacement_shown_as_zero = false;

    // Residual records: one per person, NI 16-bit values at record position (n - 1) x 2 NI.
    int residual_fd = -1;
    if (settings.prcomp != 'N' && settings.residual_file) {
        if (open_unit(run, kResidualUnit, work_file_path(run, "ZUU"), OpenMode::Write) != 0) {
            show_message_line(run, std::string(msg::kResidualFileFailure) + "-1");
            fail_on_file_error(run, msg::kResidualFileName, 'O');
        }
        residual_fd = fileno(run.units.open[kResidualUnit].file);
    }

    // Mean person and item measures, and each group's expected score between them.
    double bw = 0.0, bs = 0.0, dw = 0.0, ds = 0.0;
    for (int p = 1; p <= np; ++p)
        if (base_status(a.person_status[p]) > 0 && person_weight(a, p) > 0.0f)
            bs += static_cast<double>(a.person_measure[p]) * person_weight(a, p), bw += person_weight(a, p);
    for (int i = 1; i <= ni; ++i)
        if (a.item_status[i] > 0 && item_weight(a, i) > 0.0f)
            ds += static_cast<double>(a.item_measure[i]) * item_weight(a, i), dw += item_weight(a, i);
    const float centre_difference = static_cast<float>(bs / std::max(bw, 1.0) - ds / std::max(dw, 1.0));
    std::vector<float> group_expected(static_cast<std::size_t>(a.groups) + 1, 0.0f);
    std::vector<float> scratch(static_cast<std::size_t>(a.top_value) + 2);
    for (int g = 1; g <= a.groups; ++g)
        group_expected[g] = compute_category_probabilities(group_model_view(a, g), centre_difference, scratch.data());

    for (int i = 1; i <= ni; ++i)
        if (a.item_status[i] > -4) a.item_count[i] = 0.0f;

    const std::size_t items1 = static_cast<std::size_t>(ni) + 1;
    const std::size_t slots1 = static_cast<std::size_t>(a.slots) + 1;
    const std::size_t groups1 = static_cast<std::size_t>(a.groups) + 1;
    const std::size_t stride = items1 * fit_sum::kItemSums + slots1 * fit_sum::kSlotSums +
                               groups1 * fit_sum::kGroupSums;
    const ChunkPlan plan = plan_person_chunks(np, stride);
    ChunkBlocks<double> partial(plan.chunks, stride);
    std::vector<ChunkScalars> scalars(plan.chunks);
    const std::size_t pstride = static_cast<std::size_t>(a.top_value) + 2;
    ChunkBlocks<float> probabilities(plan.chunks, pstride * 2);
    // Scratch for the residuals of a person whose record is not kept.
    ChunkBlocks<std::int16_t> residual_scratch(plan.chunks, static_cast<std::size_t>(ni));
    FitSums sums;
    sums.person_largest_z.assign(static_cast<std::size_t>(np) + 1, 0.0f);

    WorkerPool pool(plan.chunks > 1 ? settings.threads : 1, plan.chunks);
    std::vector<PersonRows> thread_rows(pool.size());
    const RowItems row_items(a, 1.0f);
    auto person_chunk = [&](int c) {
        double* item = partial[c];
        double* slot = item + items1 * fit_sum::kItemSums;
        double* group = slot + slots1 * fit_sum::kSlotSums;
        std::fill(item, item + stride, 0.0);
        ChunkScalars& sc = scalars[c];
        sc = ChunkScalars{};
        float* chain_p = probabilities[c];
        float* chain_p1 = chain_p + pstride;
        PersonRows& rows = thread_rows[static_cast<std::size_t>(WorkerPool::thread_index())];
        rows.start(row_items);
        ResidualBlock block(residual_fd, ni, plan.last(c, np) - plan.first(c) + 1);
        for (int n = plan.first(c), last = plan.last(c, np); n <= last; ++n) {
            const int s = base_status(a.person_status[n]);
            float* record = data.record(n);
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
            std::int16_t* const residuals = kept ? kept : residual_scratch[c];
            std::fill(residuals, residuals + ni, kNoObservation);
            const float b = a.person_measure[n];
            const float wp = person_weight(a, n);
            const std::uint8_t* scores = data.scores(n);
            const float* row = rows.row(b, s, scores);
            double score = 0.0, maximum = 0.0, count = 0.0, raw = 0.0, expected = 0.0, info = 0.0;
            double expected_below = 0.0, kurtosis = 0.0, excess = 0.0, y2 = 0.0, z2 = 0.0;
            float largest_z = 0.0f;
            WeightedPairSums pairs;
            for (int i = 1; i <= ni; ++i) {
                const int t = a.item_status[i];
                if (!(t >= 1 || (t >= -1 && (s > 0 || !pt)))) continue;
                const int g = a.item_group[i];
                const int f = a.group_first_slot[g];
                const int xr = recoded_category(a, g, scores[i - 1]);
                const float wi = item_weight(a, i);
                const float wc = combined_weight(a, i, wp, wi);
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
                    pairs.add(-static_cast<double>(a.item_measure[i]), value, wi);
                }
                if (!(t >= 1 || s >= 1)) continue;
                const CategoryModel cm = group_model_view(a, g);
                const bool chain = uses_step_chain(cm);
                float e, e1;
                const float* p;
                if (const std::int32_t at = row_items.offset(i); at >= 0) {
                    e = row[at + row_field::kExpected];
                    e1 = row[at + row_field::kShifted];
                    p = row + at + row_field::kProbabilities;
                } else {
                    e1 = compute_success_failure_step_probabilities(cm, d - 1.0f, xr, chain_p1);
                    e = compute_success_failure_step_probabilities(cm, d, xr, chain_p);
                    p = chain_p;
                }
                const ObservationMoments mo = observation_moments(cm, p, e);
                const ModelScore ms = model_score(cm, xr);
                const float y = static_cast<float>(ms.score) - e;
                const float z = standardized_residual(y, mo.variance);
                const int m = cm.top;
                if (s > 0) {
                    is[fit_sum::kScore] += ms.score * wp, is[fit_sum::kMaximum] += ms.maximum * wp;
                    is[fit_sum::kCount] += wp, is[fit_sum::kRaw] += value * wp;
                    is[fit_sum::kExpected] += static_cast<double>(e) * wp;
                    is[fit_sum::kInformation] += static_cast<double>(mo.variance) * wp;
                    is[fit_sum::kExpectedBelow] += static_cast<double>(e1) * wp;
                }
                if (t > 0) {
                    score += ms.score * wi, maximum += ms.maximum * wi, count += wi, raw += value * wi;
                    expected += static_cast<double>(e) * wi, info += static_cast<double>(mo.variance) * wi;
                    expected_below += static_cast<double>(e1) * wi;
                }
                if (!(s > 0 && t > 0)) continue;
                const double w2 = static_cast<double>(mo.variance) * mo.variance;
                const double kr = mo.kurtosis / w2, ex = std::max(mo.kurtosis - w2, 0.0);
                const double yy = static_cast<double>(y) * y, zz = static_cast<double>(z) * z;
                is[fit_sum::kKurtosisRatio] += kr * wp, is[fit_sum::kExcess] += ex * wp;
                is[fit_sum::kResidualSquares] += yy * wp, is[fit_sum::kStandardizedSquares] += zz * wp;
                kurtosis += kr * wi, excess += ex * wi, y2 += yy * wi, z2 += zz * wi;
                // Categories: expected counts and average measures, information, category fit.
                double below = 0.0;
                for (int k = 0; k <= m; ++k) {
                    double* ss = slot + static_cast<std::size_t>(f + k) * fit_sum::kSlotSums;
                    const double pk = p[k];
                    ss[fit_sum::kExpectedCount] += pk * wc;
                    ss[fit_sum::kExpectedDifference] += static_cast<double>(d) * pk * wc;
                    if (k >= 1)
                        ss[fit_sum::kStepInformation] += wc * (chain ? (1.0 - pk) * pk : below * (1.0 - below));
                    below += pk;
                    const double dev = (k - static_cast<double>(e)) * (k - static_cast<double>(e)) * pk;
                    ss[fit_sum::kVariance] += dev * wc;
                    ss[fit_sum::kVarianceOverInformation] += dev / mo.variance * wc;
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
                const double zc = (ms.score - static_cast<double>(group_expected[g])) / std::sqrt(mo.variance);
                sc.n += 1.0, sc.component_sum += zc, sc.component_squares += zc * zc, sc.unexplained += zz;
                is[fit_sum::kComponentCount] += 1.0, is[fit_sum::kComponentSum] += zc;
                is[fit_sum::kComponentSquares] += zc * zc;
                if (residual_fd >= 0)
                    residuals[i - 1] = residual_code(settings.prcomp, y, z, mo.variance, xr, m, p[xr]);
                const float az = std::fabs(z);
                if (az >= 2.0f) {
                    largest_z = std::max(largest_z, az);
                    if (az >= is[fit_sum::kLargestZ]) is[fit_sum::kLargestZ] = az, is[fit_sum::kLargestZPerson] = n;
                }
            }
            // The person's results.
            FitValue infit{1.0f, 0.0f}, outfit{1.0f, 0.0f};
            if (s > 0) {
                outfit = outfit_statistic(z2, kurtosis, count, form);
                infit = infit_statistic(y2, excess, info, form);
                if (settings.local != 'Y') {
                    outfit.standardized = pack_capped_fit_value(outfit.standardized, outfit.mean_square);
                    infit.standardized = pack_capped_fit_value(infit.standardized, infit.mean_square);
                }
            }
            const float error = standard_error_from_information(info);
            const double r = displacement_score(score, maximum, expected, x);
            float displacement = static_cast<float>(
                person_side_displacement(score, maximum, expected, expected_below, x));
            displacement *= factor * uscale;
            if (std::fabs(displacement) > settings.logit_change_limit &&
                std::fabs(r - expected) > settings.score_residual_limit &&
                shows_as_zero(displacement, settings.user_decimals))
                sc.displacement_zero = true;
            a.person_measure[n] = b * factor * uscale + umean;
            a.person_infit_mnsq[n] = infit.mean_square, a.person_infit_zstd[n] = infit.standardized;
            a.person_outfit_mnsq[n] = outfit.mean_square, a.person_outfit_zstd[n] = outfit.standardized;
            record[record_field::kCount] = static_cast<float>(count);
            record[record_field::kRawScore] = static_cast<float>(raw);
            record[record_field::kStandardError] = std::fabs(error * factor * uscale) * error_scale;
            record[record_field::kInfitMeanSquare] = infit.mean_square;
            record[record_field::kOutfitMeanSquare] = outfit.mean_square;
            if (!pt) pairs.correlation(record[record_field::kPointBiserial]);
            record[record_field::kDisplacement] = displacement;
            sums.person_largest_z[n] = largest_z;
            if (kept) block.keep();
        }
        sc.failed_record = block.failed();
    };
    auto progress = [&](int done) {
        if (done < plan.chunks) observer.progress(std::min(np, done * plan.size), np);
    };
    pool.run(plan.chunks, person_chunk, progress);
    observer.progress(np, np);

    // Chunk sums in chunk order.
    std::int32_t failed_record = 0;
    sums.item.assign(items1 * fit_sum::kItemSums, 0.0);
    sums.slot.assign(slots1 * fit_sum::kSlotSums, 0.0);
    sums.group.assign(groups1 * fit_sum::kGroupSums, 0.0);
    for (int c = 0; c < plan.chunks; ++c) {
        const double* item = partial[c];
        for (std::size_t k = 0; k < items1 * fit_sum::kItemSums; ++k) {
            const std::size_t field = k % fit_sum::kItemSums;
            if (field == fit_sum::kLargestZ) {
                // The later chunk wins ties: it holds the later persons.
                if (item[k] > 0.0 && item[k] >= sums.item[k])
                    sums.item[k] = item[k], sums.item[k + 1] = item[k + 1];
            } else if (field != fit_sum::kLargestZPerson) {
                sums.item[k] += item[k];
            }
        }
        const double* slot = item + items1 * fit_sum::kItemSums;
        for (std::size_t k = 0; k < slots1 * fit_sum::kSlotSums; ++k) sums.slot[k] += slot[k];
        const double* group = slot + slots1 * fit_sum::kSlotSums;
        for (std::size_t k = 0; k < groups1 * fit_sum::kGroupSums; ++k) sums.group[k] += group[k];
        const ChunkScalars& sc = scalars[c];
        sums.z_weight += sc.z_weight, sums.z_sum += sc.z_sum, sums.z_squares += sc.z_squares;
        sums.component_count += sc.n, sums.component_sum += sc.component_sum;
        sums.component_squares += sc.component_squares, sums.unexplained += sc.unexplained;
        sums.person_displacement_zero |= sc.displacement_zero;
        if (sc.failed_record != 0 && failed_record == 0) failed_record = sc.failed_record;
    }
    if (residual_fd >= 0 && close_unit(run, kResidualUnit) != 0 && failed_record == 0)
        failed_record = np;
    if (failed_record != 0) {
        run.rs.io_status = status_from_errno(EIO);
        show_message_line(run, std::string(msg::kResidualFileFailure) + std::to_string(failed_record));
        fail_on_file_error(run, msg::kResidualFileName, 'W');
    }
    finish_fit_statistics(run, settings, sums, observer);
}

}  // namespace korvelan

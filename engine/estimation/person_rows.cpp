#include "engine/estimation/person_rows.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit_formulas.h"

namespace korvelan {

namespace {

// Kept rows of one thread: at most this many bytes, and at most this many rows.
constexpr std::size_t kKeptBytes = std::size_t{4} << 20;
constexpr std::size_t kMostRows = 4096;
// Fewer rows than this are not worth keeping.
constexpr std::size_t kFewestRows = 8;
constexpr std::size_t kRowsPerPage = 16;
// Rows are kept while at least a quarter of every 256 persons find theirs among them.
constexpr int kWindow = 256;
constexpr int kWindowHits = kWindow / 4;

std::size_t table_slot(std::uint32_t key, std::size_t mask) {
    return static_cast<std::size_t>((key * 0x9E3779B1u) >> 7) & mask;
}

}  // namespace

std::uint64_t RowItems::next_sweep() {
    static std::atomic<std::uint64_t> sweeps{0};
    return ++sweeps;
}

void fill_fit_moments(const CategoryModel& cm, float d, float e, const double* p, float centre,
                      double* out) {
    using namespace fit_moment;
    const ObservationMoments mo = observation_moments(cm, p, e);
    out[kVariance] = mo.variance;
    out[kKurtosis] = mo.kurtosis;
    out[kRoot] = std::sqrt(static_cast<double>(mo.variance));
    out[kRootOfFloat] = std::sqrt(mo.variance);
    const double w2 = static_cast<double>(mo.variance) * mo.variance;
    out[kKurtosisRatio] = mo.kurtosis / w2;
    out[kExcess] = std::max(mo.kurtosis - w2, 0.0);
    out[kDifference] = d;
    const bool chain = uses_step_chain(cm);
    double below = 0.0;
    for (int k = 0; k <= cm.top; ++k) {
        double* c = out + kPerCategory + kCategoryFields * k;
        const double pk = p[k];
        c[kDifferenceTimesP] = static_cast<double>(d) * pk;
        c[kStepInformation] = k >= 1 ? (chain ? (1.0 - pk) * pk : below * (1.0 - below)) : 0.0;
        below += pk;
        const double dev = (k - static_cast<double>(e)) * (k - static_cast<double>(e)) * pk;
        c[kDeviation] = dev;
        c[kDeviationOverVariance] = dev / mo.variance;
        const ModelScore ms = model_score(cm, k);
        const float y = static_cast<float>(ms.score) - e;
        c[kStandardized] = static_cast<float>(y / out[kRoot]);
        c[kComponent] = (ms.score - static_cast<double>(centre)) / out[kRootOfFloat];
    }
}

void fill_chain_category_moments(const CategoryModel& cm, float d, const double* q, float* steps,
                                 double* out) {
    using namespace fit_moment;
    double y[256];
    const double variance = chain_residual_variance(cm, d, q, steps, y);
    const double root = std::sqrt(variance);
    double fourth = 0.0;
    for (int k = 0; k <= cm.top; ++k) {
        double* c = out + kPerCategory + kCategoryFields * k;
        c[kDifferenceTimesP] = static_cast<double>(d) * q[k];
        c[kDeviation] = y[k] * y[k] * q[k];
        c[kDeviationOverVariance] = c[kDeviation] / variance;
        c[kStandardized] = static_cast<float>(y[k] / root);
        fourth += c[kDeviation] * y[k] * y[k];
    }
    out[kKurtosisRatio] = fourth / (variance * variance);
}

RowItems::RowItems(const AnalysisArrays& a, float shift, const std::vector<float>* group_expected)
    : a_(a), shift_(shift), group_expected_(group_expected), sweep_(next_sweep()),
      offset_(static_cast<std::size_t>(a.items) + 1, -1) {
    for (int i = 1; i <= a.items; ++i) {
        if (a.item_status[i] <= -2) continue;
        const CategoryModel cm = group_model_view(a, a.item_group[i]);
        if (cm.top < 0 || uses_step_chain(cm)) continue;
        offset_[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(width_);
        width_ += static_cast<std::size_t>(row_field::kProbabilities + cm.top + 1 +
                                           (group_expected ? fit_moment::width(cm.top) : 0));
        (cm.top == 1 ? dichotomous_ : scales_).push_back(i);
    }
}

void PersonRows::start(const RowItems& items) {
    if (sweep_ == items.sweep_) return;
    sweep_ = items.sweep_;
    items_ = &items;
    const std::size_t width = std::max<std::size_t>(items.width(), 1);
    capacity_ = std::min(kMostRows, kKeptBytes / (width * sizeof(double)));
    keeping_ = capacity_ >= kFewestRows;
    rows_ = 0;
    window_ = window_hits_ = 0;
    if (keeping_) {
        if (measures_.size() < capacity_) measures_.resize(capacity_);
        table_.assign(std::bit_ceil(2 * capacity_), 0);
    }
    own_.resize(width);
    const std::size_t n = items.dichotomous_.size() + items.scales_.size();
    answered_dichotomous_.resize(n);
    answered_scales_.resize(n);
    x_.resize(n + 1);
    z_.resize(3 * n + 3);
    scratch_.resize(static_cast<std::size_t>(std::max(items.a_.top_value, 1)) + 2);
}

double* PersonRows::kept_row(std::size_t row) {
    return pages_[row / kRowsPerPage].data() + (row % kRowsPerPage) * items_->width();
}

const double* PersonRows::find(float b) {
    const std::uint32_t key = std::bit_cast<std::uint32_t>(b);
    const std::size_t mask = table_.size() - 1;
    for (std::size_t h = table_slot(key, mask);; h = (h + 1) & mask) {
        const std::int32_t entry = table_[h];
        if (entry == 0) return nullptr;
        const auto row = static_cast<std::size_t>(entry - 1);
        if (measures_[row] == key) return kept_row(row);
    }
}

double* PersonRows::keep(float b) {
    if (rows_ == capacity_) {
        keeping_ = false;
        return nullptr;
    }
    const std::uint32_t key = std::bit_cast<std::uint32_t>(b);
    const std::size_t mask = table_.size() - 1;
    std::size_t h = table_slot(key, mask);
    while (table_[h] != 0) h = (h + 1) & mask;
    table_[h] = static_cast<std::int32_t>(rows_ + 1);
    measures_[rows_] = key;
    // Pages of rows are made as rows are kept: memory follows the rows a sweep needs.
    const std::size_t page = rows_ / kRowsPerPage;
    if (page == pages_.size() || pages_[page].size() < kRowsPerPage * items_->width())
        pages_.resize(page + 1), pages_[page].resize(kRowsPerPage * items_->width());
    return kept_row(rows_++);
}

const double* PersonRows::row(float b, int s, const std::uint8_t* scores) {
    const RowItems& items = *items_;
    if (rows_ > 0) {
        const double* kept = find(b);
        if (keeping_) {
            window_hits_ += kept != nullptr;
            if (++window_ == kWindow) {
                keeping_ = window_hits_ >= kWindowHits;
                window_ = window_hits_ = 0;
            }
        }
        if (kept) return kept;
    }
    if (keeping_) {
        if (double* kept = keep(b)) {
            fill(b, items.dichotomous_.data(), items.dichotomous_.size(), items.scales_.data(),
                 items.scales_.size(), kept);
            return kept;
        }
    }
    const AnalysisArrays& a = items.a_;
    auto answered = [&](const std::vector<std::int32_t>& all, std::vector<std::int32_t>& out) {
        std::size_t n = 0;
        for (std::int32_t i : all) {
            const int t = a.item_status[i];
            if ((t > 0 || s > 0) && recoded_category(a, a.item_group[i], scores[i - 1]) >= 0)
                out[n++] = i;
        }
        return n;
    };
    const std::size_t nd = answered(items.dichotomous_, answered_dichotomous_);
    const std::size_t ns = answered(items.scales_, answered_scales_);
    fill(b, answered_dichotomous_.data(), nd, answered_scales_.data(), ns, own_.data());
    return own_.data();
}

// Dichotomous items take the two-category formula of compute_category_probabilities, one exp()
// per evaluation: their measures and steps are gathered, then three loops over contiguous values
// make the exponents, call exp() and make the probabilities, which are then put in place.
void PersonRows::fill(float b, const std::int32_t* dichotomous, std::size_t nd,
                      const std::int32_t* scales, std::size_t ns, double* row) {
    const RowItems& items = *items_;
    const AnalysisArrays& a = items.a_;
    const float shift = items.shift_;
    const double clamp = kExponentClamp;
    float* measure = x_.data();
    double* step = z_.data();
    double* at_d = step + nd;
    double* shifted = at_d + nd;
    for (std::size_t k = 0; k < nd; ++k) {
        const int i = dichotomous[k];
        measure[k] = a.item_measure[i];
        step[k] = a.step_calibration[a.group_first_slot[a.item_group[i]] + 1];
    }
    for (std::size_t k = 0; k < nd; ++k) {
        const float d = b - measure[k];
        const float ds = d - shift;
        at_d[k] = std::min(step[k] - d, clamp);
        shifted[k] = std::min(step[k] - ds, clamp);
    }
    for (std::size_t k = 0; k < 2 * nd; ++k) at_d[k] = std::exp(at_d[k]);
    for (std::size_t k = 0; k < nd; ++k) {
        at_d[k] = 1.0 / (1.0 + at_d[k]);
        shifted[k] = 1.0 / (1.0 + shifted[k]);
    }
    for (std::size_t k = 0; k < nd; ++k) {
        const double p1 = at_d[k];
        double* r = row + items.offset(dichotomous[k]);
        r[row_field::kExpected] = static_cast<float>(p1);
        r[row_field::kShifted] = static_cast<float>(shifted[k]);
        r[row_field::kProbabilities] = static_cast<float>(1.0 - p1);
        r[row_field::kProbabilities + 1] = static_cast<float>(p1);
    }
    for (std::size_t k = 0; k < ns; ++k) {
        const int i = scales[k];
        const CategoryModel cm = group_model_view(a, a.item_group[i]);
        const float d = b - a.item_measure[i];
        double* r = row + items.offset(i);
        float* p = scratch_.data();
        r[row_field::kShifted] = compute_category_probabilities(cm, d - shift, p);
        r[row_field::kExpected] = compute_category_probabilities(cm, d, p);
        for (int c = 0; c <= cm.top; ++c) r[row_field::kProbabilities + c] = p[c];
    }
    if (!items.group_expected_) return;
    auto moments = [&](const std::int32_t* list, std::size_t n) {
        for (std::size_t k = 0; k < n; ++k) {
            const int i = list[k];
            const int g = a.item_group[i];
            const CategoryModel cm = group_model_view(a, g);
            double* r = row + items.offset(i);
            fill_fit_moments(cm, b - a.item_measure[i], static_cast<float>(r[row_field::kExpected]),
                             r + row_field::kProbabilities, (*items.group_expected_)[static_cast<std::size_t>(g)],
                             r + row_field::kProbabilities + cm.top + 1);
        }
    };
    moments(dichotomous, nd);
    moments(scales, ns);
}

}  // namespace korvelan

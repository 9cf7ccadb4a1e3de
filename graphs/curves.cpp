#include "graphs/curves.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/estimation/category_curves.h"

namespace korvelan::graphs {

namespace {

constexpr int kMostIntervals = 200;

std::int32_t half_even(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

std::int32_t power_of_ten(std::size_t n) {
    std::int32_t p = 1;
    for (std::size_t i = 0; i < n; ++i) p *= 10;
    return p;
}

// Widest of the two bounds written as decimal integers, at least 3, plus 3.
std::int32_t tick_width(std::int32_t lo, std::int32_t hi) {
    const std::size_t w = std::max({std::to_string(lo).size(), std::to_string(hi).size(), std::size_t{3}});
    return static_cast<std::int32_t>(w) + 3;
}

// Ceiling of a / b for b >= 1, a >= 0 in integer arithmetic: floor((a + b - 1) / b).
std::int32_t divisions(std::int32_t range, std::int32_t tick) { return (range + tick - 1) / tick; }

// Appends the rows of one curve, p = 0..N, then a separator unless it is the last curve.
template <class Value>
void add_curve(std::vector<SeriesRow>& rows, const korvelan::CurveSeries& c, bool computed,
               bool last, Value value) {
    for (int p = 0; p < c.points; ++p)
        rows.push_back(computed ? SeriesRow{c.measure[static_cast<std::size_t>(p)], value(p)} : SeriesRow{});
    if (!last) rows.push_back(SeriesRow{0.0f, -1.0f});
}

}  // namespace

std::int32_t tidy_tick(std::int32_t tick) {
    if (tick <= 5) return std::max(tick, 1);
    if (tick <= 10) return 10;
    const std::string s = std::to_string(tick);
    const std::size_t n = s.size();
    if (s > "5" + std::string(n - 1, '0')) return power_of_ten(n);
    if (s.find_first_not_of('0', 1) != std::string::npos) return (s[0] - '0' + 1) * power_of_ten(n - 1);
    return tick;
}

CurveGrid compute_curve_grid(float low_measure, float high_measure, float scale) {
    CurveGrid grid;
    std::int32_t lo = static_cast<std::int32_t>(std::floor(low_measure));
    std::int32_t hi = static_cast<std::int32_t>(std::ceil(high_measure));
    if (lo > hi) std::swap(lo, hi);
    if (lo == hi) {
        --lo;
        ++hi;
    }
    // A negative scale (USCALE= < 0) spreads the view like its size does.
    const std::int32_t m = static_cast<std::int32_t>(std::ceil(std::fabs(scale)));
    grid.view_low = lo - m;
    grid.view_high = hi + m;
    const std::int32_t view_width = grid.view_high - grid.view_low;
    if (view_width > 20) grid.view_high = grid.view_low + 20 * half_even(view_width / 20.0);
    lo -= 3 * m;
    hi += 3 * m;
    const std::int32_t w = tick_width(lo, hi);
    const std::int32_t tick = tidy_tick((hi - lo + w - 1) / w);
    std::int32_t q = half_even(static_cast<double>(lo) / tick);
    grid.computed_low = q * tick > lo ? (q - 1) * tick : q * tick;
    q = half_even(static_cast<double>(hi) / tick);
    grid.computed_high = hi > q * tick ? (q + 1) * tick : q * tick;
    const std::int32_t d = std::max(divisions(grid.computed_high - grid.computed_low, tick), 1);
    grid.point_count = d * std::max(kMostIntervals / d, 1);
    grid.computed_high = d * tick + grid.computed_low;
    grid.increment = static_cast<float>(grid.computed_high - grid.computed_low) / static_cast<float>(grid.point_count);
    const std::int32_t width = grid.view_high - grid.view_low;
    grid.view_division = width > 20 ? half_even(width / 20.0) : width;
    return grid;
}

double round_axis_step(double range, int most_divisions) {
    if (!(range > 0.0) || most_divisions < 1) return 1.0;
    const double least = range / most_divisions;
    double power = std::pow(10.0, std::floor(std::log10(least)));
    for (;; power *= 10.0) {
        for (const double m : {1.0, 2.0, 5.0}) {
            // A hair of slack: 740 / 20 = 37 takes 50, 100 / 20 = 5 takes 5 itself.
            if (m * power >= least * (1.0 - 1e-9)) return m * power;
        }
    }
}

SettingsTable initial_settings() {
    SettingsTable s;
    const char* captions[] = {"", "Category Probability Curves", "Expected Score Ogive",
                              "Thurstone Threshold Plot", "Information Function",
                              "Category Information Function"};
    const char* titles[] = {"", "Category Probability", "Expected Score", "Cumulative Probability",
                            "Information", "Category Information"};
    for (int t = 1; t <= kGraphTypes; ++t) {
        s[static_cast<std::size_t>(t)].caption = captions[t];
        s[static_cast<std::size_t>(t)].y_title = titles[t];
    }
    return s;
}

bool group_computed(const GraphsGroup& g) { return g.model_code < 11; }

GroupCurves compute_group_curves(const GraphsData& data, int g) {
    const GraphsGroup& group = data.groups.at(static_cast<std::size_t>(g - 1));
    GroupCurves out;
    out.grid = compute_curve_grid(data.low_measure, data.high_measure, data.scale);
    const CurveGrid& grid = out.grid;
    const bool computed = group_computed(group);
    korvelan::CurveGroup model;
    model.top = group.top;
    model.model = computed ? 'R' : 'S';
    model.steps = group.steps;
    model.status = group.status;
    model.cap = data.exponent_cap;
    korvelan::CurveSeries c = korvelan::compute_curve_series(
        model, static_cast<float>(grid.computed_low), grid.increment, grid.point_count + 1, data.scale);
    const int top = group.top;
    const float bottom = static_cast<float>(group.bottom_value);
    // A category not observed inside a kept structure has no curve of its own, as in the report.
    std::vector<int> drawn;
    for (int k = 0; k <= top; ++k) {
        if (top < 2 || !korvelan::null_category(model, k)) drawn.push_back(k);
    }
    int last_cumulative = -1;  // the cumulative curves end below the top category
    for (const int k : drawn) {
        if (k < top) last_cumulative = k;
    }
    for (const int k : drawn) {
        add_curve(out.series[1], c, computed, k == drawn.back(), [&](int p) { return c.probability_at(p, k); });
        add_curve(out.series[5], c, computed, k == drawn.back(), [&](int p) {
            return c.category_information[static_cast<std::size_t>(p * (top + 1) + k)];
        });
        if (k < top)
            add_curve(out.series[3], c, computed, k == last_cumulative, [&](int p) { return c.cumulative_at(p, k); });
    }
    add_curve(out.series[2], c, computed, true,
              [&](int p) { return c.expected[static_cast<std::size_t>(p)] + bottom; });
    add_curve(out.series[4], c, computed, true, [&](int p) { return c.information[static_cast<std::size_t>(p)]; });
    out.grid.maximum_information = computed ? c.maximum_information : 0.0f;
    return out;
}

void reset_graph_type_settings(SettingsTable& settings, const GraphsGroup& g, float maximum_information) {
    const std::int32_t t = g.top, b = g.bottom_value;
    const std::int32_t c = static_cast<std::int32_t>(std::ceil(maximum_information));
    const std::int32_t s = c <= 3 ? 4 * c : c;
    for (int type : {1, 3}) {
        GraphTypeSettings& x = settings[static_cast<std::size_t>(type)];
        x.y_min = 0, x.y_max = 1, x.slider_min = 0, x.slider_max = 10, x.y_low = 0, x.y_high = 10;
    }
    GraphTypeSettings& e = settings[2];
    e.y_min = b, e.y_max = b + t, e.y_division = t >= 4 ? t : 4 * t;
    e.slider_min = b, e.slider_max = b + t, e.y_low = b, e.y_high = b + t;
    for (int type : {4, 5}) {
        GraphTypeSettings& x = settings[static_cast<std::size_t>(type)];
        x.y_min = 0, x.y_max = c, x.y_division = c >= 4 ? c : 4 * c;
        x.slider_min = 0, x.slider_max = s, x.y_low = 0, x.y_high = s;
    }
}

}  // namespace korvelan::graphs

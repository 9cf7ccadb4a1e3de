#include "engine/report/plot_range.h"

#include <algorithm>
#include <cmath>

#include "engine/report/scale_orientation.h"

namespace korvelan {

namespace {

template <typename T>
T at(std::span<const T> v, std::int64_t n, T fallback = T{}) {
    return n >= 0 && static_cast<std::size_t>(n) < v.size() ? v[static_cast<std::size_t>(n)]
                                                            : fallback;
}

// The Tables that draw an item as the span of its thresholds; those that read the lowest
// threshold from the group's first slot itself (the others from the slot after it).
bool shows_thresholds(int table) {
    for (int t : {1, 2, 3, 7, 12, 16, 17, 18, 19, 21})
        if (t == table) return true;
    return false;
}
bool lowest_at_first_slot(int table) {
    return table != 1 && table != 12 && table != 16;
}

struct Span {
    float lower = 0.0f, upper = 0.0f;
    bool empty = true;
    void add(float m) {
        lower = empty ? m : std::min(lower, m);
        upper = empty ? m : std::max(upper, m);
        empty = false;
    }
};

void add_items(Span& span, const ControlVariables& cv, const PlotRangeSources& s, int table) {
    const bool thresholds = shows_thresholds(table);
    const int low_slot = lowest_at_first_slot(table) ? 0 : 1;
    for (int i = s.items; i >= 1; --i) {
        if (at(s.item_status, i, status::kDeleted) < status::kMeasured) continue;
        const float m = at(s.item_measure, i);
        const int g = at(s.item_group, i);
        const int top = at(s.group_top_category, g);
        if (top < 2 || !thresholds) {
            span.add(m);
            continue;
        }
        const int first = at(s.group_first_slot, g);
        span.add(category_point_measure(cv, m, at(s.thresholds, first + low_slot)));
        span.add(category_point_measure(cv, m, at(s.thresholds, first + top)));
    }
}

void add_persons(Span& span, const PlotRangeSources& s) {
    for (int n = 1; n <= s.persons; ++n)
        if (at(s.person_status, n, status::kDeleted) >= status::kMeasured)
            span.add(at(s.person_measure, n));
}

Span entry_span(const ControlVariables& cv, int table, const PlotRangeSources& s) {
    Span span;
    if (table != 24) add_items(span, cv, s, table);
    if (table != 23) add_persons(span, s);
    if (span.empty) span.add(cv.umean);
    if (table == 3 || table == 21) {
        const float half = std::max(cv.umean - span.lower, span.upper - cv.umean);
        span.lower = cv.umean - half;
        span.upper = cv.umean + half;
    }
    return span;
}

constexpr float kTickTolerance = 1e-4f;

}  // namespace

float axis_floor(float steps) { return std::floor(steps + kTickTolerance); }
float axis_ceil(float steps) { return std::ceil(steps - kTickTolerance); }

PlotRangeSources plot_range_sources(const AnalysisArrays& a, std::span<const float> thresholds) {
    return PlotRangeSources{
        a.person_status,    a.person_measure,     a.item_status, a.item_measure, thresholds,
        a.group_first_slot, a.group_top_category, a.item_group,  a.persons,      a.items};
}

void find_plot_measure_range(PlotAxis& axis, const ControlVariables& cv,
                             const TableRequest& request, const PlotRangeSources& sources) {
    Span span;
    if (cv.xa_range != 0.0f) {
        span.lower = cv.umean - cv.xa_range;
        span.upper = cv.umean + cv.xa_range;
    } else {
        span = entry_span(cv, request.table, sources);
    }
    const float from = request.letters[1] == ' ' ? span.lower : request.selectors[1];
    const float to = request.letters[2] == ' ' ? span.upper : request.selectors[2];
    const float lower = std::min(from, to), upper = std::max(from, to);
    const float width = upper - lower;
    const float step = width < 50.0f ? 1.0f : width < 500.0f ? 10.0f : 100.0f;
    float low = axis_floor(lower / step), high = axis_ceil(upper / step);
    if (low == high) {
        high += 1.0f;
        low -= 1.0f;
    }
    axis.axis_step = step;
    axis.extent = high - low;
    axis.lowest_measure = low * step;
    axis.highest_measure = high * step;
}

}  // namespace korvelan

#include "engine/estimation/category_curves.h"

#include <algorithm>
#include <cmath>

namespace korvelan {

bool null_category(const CurveGroup& g, int k) {
    return k >= 1 && static_cast<std::size_t>(k) < g.status.size() && g.status[static_cast<std::size_t>(k)] == 0;
}

namespace {

// Rating scale: category k has the exponent sum over j <= k of (x - step j), shifted so that the
// largest one is the cap; a null category contributes x to the sums and has probability 0.
float rating_scale_values(const CurveGroup& g, float x, std::span<float> p) {
    const int top = g.top;
    float sum = 0.0f, largest = 0.0f;
    for (int k = 1; k <= top; ++k) {
        sum += null_category(g, k) ? x : x - g.steps[static_cast<std::size_t>(k)];
        p[static_cast<std::size_t>(k)] = sum;
        if (!null_category(g, k)) largest = std::max(largest, sum);
    }
    const float shift = g.cap - largest;
    p[0] = std::exp(shift);
    float total = p[0];
    for (int k = top; k >= 1; --k) {
        float& v = p[static_cast<std::size_t>(k)];
        v = null_category(g, k) ? 0.0f : std::exp(shift + v);
        total += v;
    }
    const float inverse = 1.0f / total;
    float expected = 0.0f;
    for (int k = top; k >= 0; --k) {
        float& v = p[static_cast<std::size_t>(k)];
        v *= inverse;
        expected += static_cast<float>(k) * v;
    }
    return expected;
}

}  // namespace

bool curves_computed(const CurveGroup& g) {
    return g.top < 2 || g.model == 'R';
}

float compute_category_curve_values(const CurveGroup& g, float x, std::span<float> p) {
    if (g.top < 1) {
        if (g.top == 0) p[0] = 1.0f;
        return 0.0f;
    }
    if (g.top == 1) {
        p[1] = 1.0f / (1.0f + std::exp(std::min(g.steps[1] - x, g.cap)));
        p[0] = 1.0f - p[1];
        return p[1];
    }
    if (!curves_computed(g)) {
        std::fill(p.begin(), p.begin() + g.top + 1, 0.0f);
        return 0.0f;
    }
    return rating_scale_values(g, x, p);
}

float curve_information(std::span<const float> p, float expected) {
    const std::size_t top = p.empty() ? 0 : p.size() - 1;
    if (top < 2) return expected - expected * expected;
    float sum = 0.0f;
    for (std::size_t k = 1; k <= top; ++k) sum += static_cast<float>(k * k) * p[k];
    return sum - expected * expected;
}

CurveSeries compute_curve_series(const CurveGroup& g, float low, float increment,
                                 int points, float scale) {
    CurveSeries c;
    c.top = std::max(g.top, 0);
    c.points = std::max(points, 0);
    const std::size_t n = static_cast<std::size_t>(c.points);
    const std::size_t width = static_cast<std::size_t>(c.top) + 1;
    c.measure.assign(n, 0.0f);
    c.probability.assign(n * width, 0.0f);
    c.expected.assign(n, 0.0f);
    c.cumulative.assign(n * static_cast<std::size_t>(c.top), 0.0f);
    c.information.assign(n, 0.0f);
    c.category_information.assign(n * width, 0.0f);
    const float per_logit = scale == 0.0f ? 1.0f : scale;
    std::vector<float> p(width, 0.0f);
    for (std::size_t point = 0; point < n; ++point) {
        const float x = low + static_cast<float>(point) * increment;
        c.measure[point] = x;
        if (!curves_computed(g)) continue;
        const float e = compute_category_curve_values(g, x / per_logit, p);
        const float information = curve_information(std::span<const float>(p).first(width), e);
        c.expected[point] = e;
        c.information[point] = information;
        c.maximum_information = std::max(c.maximum_information, information);
        float running = 0.0f;
        for (std::size_t k = 0; k < width; ++k) {
            c.probability[point * width + k] = p[k];
            c.category_information[point * width + k] = information * p[k];
            running += p[k];
            if (k + 1 < width) c.cumulative[point * (width - 1) + k] = running;
        }
    }
    return c;
}

}  // namespace korvelan

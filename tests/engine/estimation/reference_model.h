// A rating-scale group held by the estimation tests, and its category probabilities written out
// from their definitions in double, without shifts or clamps (for moderate measures only).
#pragma once

#include <cmath>
#include <vector>

#include "engine/estimation/category_model.h"

namespace korvelan::testing {

struct Group {
    char model;
    std::vector<float> steps;  // steps[k] for k = 0..m, index 0 unused
    std::vector<std::int32_t> status;
    int top() const { return static_cast<int>(steps.size()) - 1; }
    CategoryModel view() const { return CategoryModel{top(), model, steps.data(), status.data()}; }
};

inline double success(double step, double x) {
    return 1.0 / (1.0 + std::exp(step - x));
}

inline std::vector<double> reference_probabilities(const Group& g, double x) {
    const int m = g.top();
    std::vector<double> p(m + 1, 0.0);
    if (m == 1) {
        p[1] = success(g.steps[1], x);
        p[0] = 1.0 - p[1];
    } else if (g.model == 'R') {
        // exp of the sum of (x - F_j) over j <= k; a status-0 step adds x and has probability 0.
        double total = 0.0;
        for (int k = 0; k <= m; ++k) {
            double exponent = 0.0;
            for (int j = 1; j <= k; ++j) exponent += x - (g.status[j] == 0 ? 0.0 : g.steps[j]);
            p[k] = (k > 0 && g.status[k] == 0) ? 0.0 : std::exp(exponent);
            total += p[k];
        }
        for (double& v : p) v /= total;
    } else if (g.model == 'S') {
        // Steps 1..k passed, step k+1 failed; an inactive step is always passed.
        for (int k = 0; k <= m; ++k) {
            double v = 1.0;
            for (int j = 1; j <= k; ++j) v *= g.status[j] < 1 ? 1.0 : success(g.steps[j], x);
            if (k < m) v *= g.status[k + 1] < 1 ? 0.0 : 1.0 - success(g.steps[k + 1], x);
            p[k] = v;
        }
    } else {
        // Steps m..k+1 failed, step k passed; an inactive step is never passed.
        for (int k = 0; k <= m; ++k) {
            double v = 1.0;
            for (int j = k + 1; j <= m; ++j)
                v *= g.status[j] < 1 ? 1.0 : 1.0 - success(g.steps[j], x);
            if (k > 0) v *= g.status[k] < 1 ? 0.0 : success(g.steps[k], x);
            p[k] = v;
        }
    }
    return p;
}

inline double reference_expected(const Group& g, double x) {
    const std::vector<double> p = reference_probabilities(g, x);
    double e = 0.0;
    for (std::size_t k = 0; k < p.size(); ++k) e += static_cast<double>(k) * p[k];
    return e;
}

}  // namespace korvelan::testing

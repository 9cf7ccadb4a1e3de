// The rating-scale step update of UCON and the pivot of a rating scale.
#include <algorithm>
#include <cmath>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/ucon.h"

namespace korvelan {

namespace {

constexpr int kPivotSearchLimit = 10;

void compete(float change, float& largest) {
    if (std::fabs(change) >= std::fabs(largest)) largest = change;
}

// Shift x that puts the expected score of the rating scale at target T (Newton steps on the
// expected score, at most 10 of them, the variance taken at least m).
float pivot_shift(const CategoryModel& g, float target, float* p) {
    float x = 0.0f, delta = 1.0f;
    for (int n = 0; std::fabs(delta) > 0.001f && n < kPivotSearchLimit && std::fabs(x) < 1.0f; ++n) {
        const float e = compute_category_probabilities(g, x, p);
        double s2 = 0.0;
        for (int k = 1; k <= g.top; ++k) s2 += static_cast<double>(k) * k * p[k];
        const double v = std::max(s2 - static_cast<double>(e) * e, static_cast<double>(g.top));
        delta = static_cast<float>((target - e) / v);
        x += delta;
    }
    for (int n = 0; n < kStepShrinkLimit && std::fabs(x) > 1.0f; ++n) x *= 0.9f;
    return x;
}

}  // namespace

void update_ucon_steps(AnalysisArrays& a, const std::vector<double>& expected,
                       const std::vector<double>& observed, std::vector<float>& previous_step,
                       LeastConverged& least) {
    auto log_ratio = [](double num, double den) {
        return static_cast<double>(log_ratio_with_floor(static_cast<float>(num), static_cast<float>(den)));
    };
    for (int g = 1; g <= a.groups; ++g) {
        const int m = a.group_top_category[g];
        if (m <= 0) continue;
        const int f = a.group_first_slot[g];
        const char model = uses_step_chain(group_model_view(a, g)) ? a.group_model[g] : 'R';
        bool step_anchored = false;
        for (int k = 1; k <= m; ++k) step_anchored |= a.category_status[f + k] >= 2;

        // O_k: observed count of category k (success chain: of k and every category above).
        auto observed_side = [&](int k) {
            double o = observed[f + k];
            if (model == 'S' && k > 0)
                for (int j = k + 1; j <= m; ++j) o += observed[f + j];
            return o;
        };
        // One walk over the categories, giving the expected and observed log-odds of each step.
        auto walk = [&](auto&& visit) {
            double o_prev = 0.0, x_prev = 0.0;
            for (int k = 0; k <= m; ++k) {
                const int slot = f + k;
                const int st = a.category_status[slot];
                const double o = observed_side(k), xk = expected[slot];
                if (st >= 1 && k > 0) {
                    // A success-chain step is failed by the category just below it: a kept
                    // unused category there has probability 0 through the status of the step
                    // above it, so that category is below the next active step, not this one.
                    if (model == 'S') o_prev = observed[slot - 1];
                    if (model != 'R') x_prev = o + o_prev - xk;
                    visit(k, st, o, xk, log_ratio(xk, x_prev) - log_ratio(o, o_prev));
                } else {
                    visit(k, st, o, xk, 0.0);
                }
                if (st >= 1) {
                    if (model == 'F') {
                        o_prev += observed[slot];
                    } else {
                        o_prev = observed[slot];
                        x_prev = xk;
                    }
                }
            }
        };
        double divisor = 1.0;
        walk([&](int k, int st, double, double, double diff) {
            if (st >= 1 && k > 0) divisor = std::max(divisor, diff);
        });
        double step_sum = 0.0, step_count = 0.0;
        walk([&](int k, int st, double o, double xk, double diff) {
            const int slot = f + k;
            previous_step[slot] = a.step_calibration[slot];
            const double residual = o - xk;
            if (st == 1 && std::fabs(residual) > std::fabs(least.category_residual)) {
                least.category_residual = residual;
                least.category = a.category_value[slot];
            }
            if (st < 1 || k == 0) return;
            const double delta = diff / divisor;
            if (st == 1) {
                a.step_calibration[slot] = static_cast<float>(a.step_calibration[slot] + delta);
                if (!step_anchored) step_count += 1.0, step_sum += a.step_calibration[slot];
            } else {
                step_count += 1.0, step_sum += delta;
            }
        });

        // Pivot: the free steps move together so that the expected score at the item's
        // difficulty is the pivot value.
        std::uint8_t& flag = a.group_pivot_flag[g];
        if (step_anchored || flag != 'Y' || a.group_model[g] != 'R') flag = 'N';
        if (flag == 'Y') {
            const float target = a.group_pivot[g] - static_cast<float>(a.category_value[f]);
            if (target <= 0.0f || target >= static_cast<float>(m)) flag = 'N';
        }
        if (flag == 'Y') {
            const float target = a.group_pivot[g] - static_cast<float>(a.category_value[f]);
            const float x =
                pivot_shift(group_model_view(a, g), target, a.step_values_by_category.data());
            float carry = 0.0f;
            for (int k = 1; k <= m; ++k) {
                const int slot = f + k;
                const int st = a.category_status[slot];
                if (st == 0) {
                    carry += x;
                } else if (st == 1) {
                    a.step_calibration[slot] = a.step_calibration[slot] - x - carry;
                    carry = 0.0f;
                    compete(a.step_calibration[slot] - previous_step[slot], least.step_change);
                }
            }
        } else {
            const float mean = static_cast<float>(step_sum / std::max(step_count, 1.0));
            for (int k = 1; k <= m; ++k) {
                const int slot = f + k;
                if (a.category_status[slot] != 1) continue;
                a.step_calibration[slot] -= mean;
                compete(a.step_calibration[slot] - previous_step[slot], least.step_change);
            }
        }
    }
}

}  // namespace korvelan

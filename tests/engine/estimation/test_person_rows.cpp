#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit_formulas.h"
#include "engine/estimation/person_rows.h"
#include "tests/engine/estimation/estimation_fixture.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

// The row holds exactly the float the routines give.
bool same_bits(double held, float y) {
    const float x = static_cast<float>(held);
    return static_cast<double>(x) == held && std::memcmp(&x, &y, sizeof x) == 0;
}

// Four dichotomous items (one of them extreme, one deleted), a rating scale of three items, an
// item with only category 0, and a success-chain item, which rows do not hold.
AnalysisArrays mixed_items() {
    DataSet d;
    d.groups = {1, 1, 1, 1, 2, 2, 2, 3, 4};
    d.models = "RRRS";
    d.tops = {1, 3, 0, 2};
    d.x = {{0, 1, 0, 1, 0, 1, 3, 0, 2}, {1, 0, 1, 0, 2, 3, 1, 0, 1}};
    AnalysisArrays a;
    load_data(a, d);
    const float steps[] = {0, 0, 0.4f, 0, -1.1f, 0.2f, 0.9f, 0, 0, -0.5f, 0.5f};
    for (int k = 1; k <= a.slots; ++k) a.step_calibration[k] = steps[k - 1];
    a.category_status[a.group_first_slot[2] + 2] = 0;  // a category of probability 0
    const float measures[] = {0, -1.5f, 0.25f, 3.0f, -0.75f, 0.1f, 1.3f, -2.0f, 0.0f, 0.6f};
    for (int i = 1; i <= a.items; ++i) a.item_measure[i] = measures[i];
    a.item_status[3] = -1;
    a.item_status[4] = -2;
    return a;
}

}  // namespace

// Whether a person's row is kept and shared or made for the person alone, and however many
// distinct measures come, every value it holds is what the probability routines give.
TEST(PersonRows, RowsHoldExactlyWhatTheProbabilityRoutinesGive) {
    AnalysisArrays a = mixed_items();
    const float shift = 0.37f;
    const std::vector<float> centre(static_cast<std::size_t>(a.groups) + 1, 0.8f);
    const RowItems items(a, shift, &centre);
    EXPECT_LT(items.offset(4), 0);  // deleted
    EXPECT_LT(items.offset(9), 0);  // success chain
    PersonRows rows;
    rows.start(items);
    std::vector<std::uint8_t> responses(a.scored_response_image.begin(), a.scored_response_image.begin() + a.items);
    responses[1] = 255;  // item 2 missing: a row for this person alone may leave it out
    std::vector<float> p(8), shifted(8);
    // First few measures repeat (rows kept and found), then thousands of distinct ones (the
    // chunk stops keeping rows), then the first ones again.
    std::vector<float> measures;
    for (int n = 0; n < 600; ++n) measures.push_back(0.5f * (n % 5) - 1.0f);
    for (int n = 0; n < 6000; ++n) measures.push_back(-4.0f + 8.0f * n / 6000.0f);
    for (int n = 0; n < 5; ++n) measures.push_back(0.5f * n - 1.0f);
    measures.push_back(30.0f);  // beyond the exponent clamp
    for (float b : measures) {
        for (int s : {1, 0}) {
            const double* row = rows.row(b, s, responses.data());
            for (int i = 1; i <= a.items; ++i) {
                const std::int32_t at = items.offset(i);
                const bool counts = (a.item_status[i] > 0 || s > 0) && responses[i - 1] != 255;
                if (at < 0 || !counts) continue;
                const CategoryModel cm = group_model_view(a, a.item_group[i]);
                const float d = b - a.item_measure[i];
                const float e = compute_category_probabilities(cm, d, p.data());
                const float es = compute_category_probabilities(cm, d - shift, shifted.data());
                ASSERT_TRUE(same_bits(row[at + row_field::kExpected], e)) << "b=" << b << " item " << i;
                ASSERT_TRUE(same_bits(row[at + row_field::kShifted], es)) << "b=" << b << " item " << i;
                for (int k = 0; k <= cm.top; ++k)
                    ASSERT_TRUE(same_bits(row[at + row_field::kProbabilities + k], p[k]))
                        << "b=" << b << " item " << i << " k=" << k;
                // The fit moments as the fit pass formed them from the probabilities.
                const double* mo = row + at + row_field::kProbabilities + cm.top + 1;
                const ObservationMoments om = observation_moments(cm, p.data(), e);
                ASSERT_TRUE(same_bits(mo[fit_moment::kVariance], om.variance));
                ASSERT_EQ(mo[fit_moment::kRoot], std::sqrt(static_cast<double>(om.variance)));
                const double top_deviation = (cm.top - static_cast<double>(e)) * (cm.top - static_cast<double>(e)) * p[cm.top];
                ASSERT_EQ(mo[fit_moment::kPerCategory + fit_moment::kCategoryFields * cm.top +
                             fit_moment::kDeviationOverVariance],
                          top_deviation / om.variance);
                const double* observed_top = mo + fit_moment::kPerCategory + fit_moment::kCategoryFields * cm.top;
                ASSERT_TRUE(same_bits(observed_top[fit_moment::kStandardized],
                                      standardized_residual(static_cast<float>(cm.top) - e, om.variance)));
                ASSERT_EQ(observed_top[fit_moment::kComponent], (cm.top - static_cast<double>(0.8f)) / std::sqrt(om.variance));
            }
        }
    }
}

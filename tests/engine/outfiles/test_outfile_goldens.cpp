// Every file of the frame in every layout, byte for byte, for a dichotomous test with extreme,
// deleted and anchored entries and for a rating-scale analysis with several groups.
#include <gtest/gtest.h>

#include "tests/engine/outfiles/outfile_data.h"
#include "tests/support/run_binary.h"

using namespace korvelan;
using namespace korvelan::testing;

namespace {

struct GoldenCase {
    const char* set;
    char code;
    char csv;
    char hlines;
};

std::string golden_name(const GoldenCase& c) {
    return std::string("outfiles/") + c.set + "_" + c.code + "_" + c.csv + c.hlines + ".txt";
}

std::vector<GoldenCase> all_cases() {
    std::vector<GoldenCase> cases;
    for (const char* set : {"dich", "rating"})
        for (char code : {'P', 'I', 'S', 'J', 'G'})
            for (char csv : {'N', 'Y', 'T'})
                for (char hlines : {'Y', 'N'}) cases.push_back({set, code, csv, hlines});
    return cases;
}

class OutfileGolden : public ::testing::TestWithParam<GoldenCase> {};

}  // namespace

TEST_P(OutfileGolden, FileHoldsTheExpectedBytes) {
    const GoldenCase c = GetParam();
    OutfileRun r;
    OutfileData d = std::string(c.set) == "dich" ? dichotomous_data() : rating_scale_data();
    d.s.csv = c.csv;
    d.s.hlines = c.hlines;
    std::string bytes = r.write(d, c.code);
    EXPECT_FALSE(r.host.shows("PROBLEM")) << r.host.screen();
    expect_golden(golden_name(c), bytes);
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, OutfileGolden, ::testing::ValuesIn(all_cases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             const GoldenCase& c = info.param;
                             return std::string(c.set) + "_" + c.code + "_" + c.csv + c.hlines;
                         });

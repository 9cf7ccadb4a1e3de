// The standardized fit of the success and failure chain models, recomputed from the printed
// measures and steps with the score's distribution built step by step (infit) and the
// residual's distribution over the categories (outfit).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/shell/estimation_run_checks.h"
#include "tests/support/chain_data.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

constexpr int kItems = 6;
constexpr int kTop = 3;
constexpr int kPersons = 240;
constexpr double kScale = 100.0;

double pass(double step, double difference) { return 1.0 / (1.0 + std::exp(step - difference)); }

// Responses drawn from the chain model: "S" passes steps upwards until one fails, "F" tries the
// steps downwards from the top until one is passed.
std::vector<std::string> chain_records(char model) {
    const std::vector<std::vector<int>> rows = simulate_responses(
        {{model, {0.0, -0.8, 0.1, 0.9}, {-1.2, -0.6, -0.1, 0.3, 0.7, 1.1}}}, kPersons, 88172645463325252ull);
    std::vector<std::string> records;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        std::string r;
        for (int c : rows[n]) r += static_cast<char>('0' + c);
        records.push_back(r + " P" + std::to_string(n + 1));
    }
    return records;
}

// Variance and fourth central moment of an observation's model score, from the distribution of
// the number of its steps passed, and the residual of its observed score.
struct Moments {
    double variance = 0.0, fourth = 0.0, residual = 0.0;
};

Moments observation(char model, const std::vector<double>& steps, double d, int c) {
    const int first = model == 'S' ? 1 : std::max(c, 1);
    const int last = model == 'S' ? std::min(c + 1, kTop) : kTop;
    std::vector<double> dist{1.0};
    for (int k = first; k <= last; ++k) {
        const double p = pass(steps[k], d);
        std::vector<double> next(dist.size() + 1, 0.0);
        for (std::size_t s = 0; s < dist.size(); ++s) next[s] += dist[s] * (1.0 - p), next[s + 1] += dist[s] * p;
        dist = next;
    }
    double e = 0.0;
    for (std::size_t s = 0; s < dist.size(); ++s) e += s * dist[s];
    Moments m;
    for (std::size_t s = 0; s < dist.size(); ++s) {
        m.variance += std::pow(s - e, 2) * dist[s];
        m.fourth += std::pow(s - e, 4) * dist[s];
    }
    const int observed = model == 'S' ? c : (c > 0 ? 1 : 0);
    m.residual = observed - e;
    return m;
}

// Variance and fourth moment of an observation's residual under the model: the residual each
// category k would have under its own steps, weighted by the category's probability (the steps
// attempted, and so the variance above, depend on the category: the outfit standardizes by this).
Moments residual_moments(char model, const std::vector<double>& steps, double d) {
    Moments r;
    double reach = 1.0;  // probability of getting to the next step of the chain
    for (int n = 0; n <= kTop; ++n) {
        const int c = model == 'S' ? n : kTop - n;
        const int k = model == 'S' ? c + 1 : c;  // the step that ends the chain in category c
        double end = 1.0;
        if (k >= 1 && k <= kTop) end = model == 'S' ? 1.0 - pass(steps[k], d) : pass(steps[k], d);
        const double q = reach * end;
        reach *= 1.0 - end;
        const double y = observation(model, steps, d, c).residual;
        r.variance += q * y * y, r.fourth += q * std::pow(y, 4);
    }
    return r;
}

// The cube-root standardized mean-square as printed: capped, rounded to two decimals with the
// mean-square added in the thousandths, and rounded to two decimals again in the file.
double printed_zstd(double mean_square, double variance, double df) {
    const double z = (std::cbrt(mean_square) - 1.0) * 3.0 * df / std::sqrt(std::max(variance, 1e-5));
    const double packed =
        std::round(std::min(std::max(z, -9.9), 9.9) * 100.0) / 100.0 + std::min(mean_square, 9.9) / 1000.0;
    return std::round(packed * 100.0) / 100.0;
}

struct ChainFitRuns : ::testing::TestWithParam<char> {
    ScratchDir dir;
    ScratchDir temp;
};

TEST_P(ChainFitRuns, StandardizedFitUsesTheFourthMomentOfTheScore) {
    const char model = GetParam();
    const std::vector<std::string> records = chain_records(model);
    std::string control = "TITLE=Chain fit\r\nNI=6\r\nITEM1=1\r\nNAME1=8\r\nCODES=0123\r\nMODELS=";
    control += std::string(1, model) + "\r\nPFILE=p.txt\r\nIFILE=i.txt\r\nSFILE=s.txt\r\n&END\r\n";
    for (int i = 1; i <= kItems; ++i) control += "Q" + std::to_string(i) + "\r\n";
    control += "END LABELS\r\n";
    for (const std::string& r : records) control += r + "\r\n";
    write_file(dir.file("run.txt"), control);
    const ProgramResult r = run_korvelan(
        dir.path, {"run.txt", "run.out", "USCALE=100", "LCONV=.0001", "RCONV=.0001", "BATCH=Y"}, temp.path);
    ASSERT_EQ(r.exit_status, 0) << r.screen;
    std::vector<double> steps(kTop + 1, 0.0);
    for (const StepLine& s : read_step_file(read_file(dir.file("s.txt"))))
        if (s.category >= 1 && s.category <= kTop) steps[s.category] = s.value / kScale;
    const std::vector<MeasureRecord> persons = read_measure_file(dir.file("p.txt"));
    ASSERT_EQ(persons.size(), records.size());

    const std::vector<MeasureRecord> items = read_measure_file(dir.file("i.txt"));
    ASSERT_EQ(items.size(), static_cast<std::size_t>(kItems));

    int measured = 0;
    for (int n = 0; n < kPersons; ++n) {
        const MeasureRecord& p = persons[n];
        if (p.status != 1) continue;
        ++measured;
        double count = 0, z2 = 0, ratio = 0, y2 = 0, w = 0, excess = 0;
        for (int i = 0; i < kItems; ++i) {
            const Moments m = observation(model, steps, (p.measure - items[i].measure) / kScale,
                                          records[n][i] - '0');
            const Moments v =
                residual_moments(model, steps, (p.measure - items[i].measure) / kScale);
            count += 1, z2 += m.residual * m.residual / v.variance;
            ratio += v.fourth / (v.variance * v.variance);
            y2 += m.residual * m.residual, w += m.variance;
            excess += std::max(m.fourth - m.variance * m.variance, 0.0);
        }
        const double outfit = z2 / count, infit = y2 / w;
        SCOPED_TRACE("person " + std::to_string(n + 1));
        EXPECT_NEAR(p.fit[2], std::min(outfit, 9.9), 0.0051);
        EXPECT_NEAR(p.fit[3], printed_zstd(outfit, ratio - count, count), 0.0101);
        EXPECT_NEAR(p.fit[1], printed_zstd(infit, excess, w), 0.0101);
        // A mean-square near 1 never standardizes to the cap.
        for (int f : {0, 2}) {
            if (p.fit[f] > 0.5 && p.fit[f] < 1.5) {
                EXPECT_LT(std::abs(p.fit[f + 1]), 9.9);
            }
        }
    }
    EXPECT_GE(measured, 200);
}

INSTANTIATE_TEST_SUITE_P(Models, ChainFitRuns, ::testing::Values('S', 'F'),
                         [](const ::testing::TestParamInfo<char>& info) { return std::string(1, info.param); });

}  // namespace

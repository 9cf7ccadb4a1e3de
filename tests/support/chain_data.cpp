#include "tests/support/chain_data.h"

#include <algorithm>
#include <cmath>

namespace korvelan::testing {

namespace {

// Uniform numbers in (0, 1) from a xorshift sequence.
struct Uniform {
    std::uint64_t state;
    double operator()() {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        return (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
    }
};

double pass(double step, double d) { return 1.0 / (1.0 + std::exp(step - d)); }

int draw(const SimulatedGroup& g, double d, Uniform& u) {
    const int m = static_cast<int>(g.steps.size()) - 1;
    const auto empty = [&](int k) {
        return std::find(g.empty.begin(), g.empty.end(), k) != g.empty.end();
    };
    int c = 0;
    if (g.model == 'S') {
        while (c < m && (u() < pass(g.steps[static_cast<std::size_t>(c) + 1], d) || empty(c))) ++c;
    } else if (g.model == 'F') {
        for (int k = m; k >= 1 && c == 0; --k)
            if (u() < pass(g.steps[static_cast<std::size_t>(k)], d) && !empty(k)) c = k;
    } else if (!g.empty.empty()) {
        SimulatedGroup plain = g;
        plain.empty.clear();
        do c = draw(plain, d, u);
        while (empty(c));
    } else {
        std::vector<double> odds{1.0};  // exp of the summed (d - step) up to each category
        double sum = 1.0;
        for (int k = 1; k <= m; ++k) sum += odds.emplace_back(odds.back() * std::exp(d - g.steps[static_cast<std::size_t>(k)]));
        double v = u() * sum;
        while (c < m && v >= odds[static_cast<std::size_t>(c)]) v -= odds[static_cast<std::size_t>(c++)];
    }
    return c;
}

}  // namespace

std::vector<std::vector<int>> simulate_responses(const std::vector<SimulatedGroup>& groups, int persons,
                                                 std::uint64_t seed) {
    Uniform u{seed};
    std::vector<std::vector<int>> rows;
    for (int n = 0; n < persons; ++n) {
        const double ability = -2.5 + 5.0 * u();
        std::vector<int> row;
        for (const SimulatedGroup& g : groups)
            for (double item : g.items) row.push_back(draw(g, ability - item, u));
        rows.push_back(row);
    }
    return rows;
}

std::string simulated_control(const std::vector<SimulatedGroup>& groups,
                              const std::vector<std::vector<int>>& responses, const std::string& settings) {
    std::string letters, models;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        letters.append(groups[g].items.size(), static_cast<char>('A' + g));
        models.append(groups[g].items.size(), groups[g].model);
    }
    const std::size_t ni = letters.size();
    std::string control = "TITLE=Simulated chains\nNI=" + std::to_string(ni) + "\nITEM1=1\nNAME1=" +
                          std::to_string(ni + 2) + "\nCODES=0123456789\nGROUPS=" + letters + "\nMODELS=" +
                          models + "\n" + settings + "&END\n";
    for (std::size_t i = 1; i <= ni; ++i) control += "I" + std::to_string(i) + "\n";
    control += "END LABELS\n";
    for (std::size_t n = 0; n < responses.size(); ++n) {
        std::string record;
        for (int c : responses[n]) record += static_cast<char>('0' + c);
        control += record + " P" + std::to_string(n + 1) + "\n";
    }
    return control;
}

}  // namespace korvelan::testing

// Responses simulated with a fixed seed from the rating scale and the success and failure
// chains, a control file for them, and the category probabilities of those models written out
// from their definitions: for tests that hold the program's results to the model the data came
// from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvelan::testing {

// P(category k), k = 0..m, at measure difference d (logits) for steps[1..m] (steps[0] unused),
// every step active. "R": the rating scale; "S": steps passed upwards until one fails; "F":
// steps tried downwards from the top until one is passed.
std::vector<double> model_category_probabilities(char model, const std::vector<double>& steps, double d);

// Items sharing one rating scale: its model letter, steps (logits, steps[0] unused) and the
// difficulties of its items (logits).
struct SimulatedGroup {
    char model = 'R';
    std::vector<double> steps;
    std::vector<double> items;
};

// The categories of `persons` persons, abilities drawn evenly from -2.5 to 2.5 logits, on the
// items of the groups in order: the chains walked step by step (each step a dichotomy), the
// rating scale drawn from its category probabilities. The same seed gives the same responses on
// every machine.
std::vector<std::vector<int>> simulate_responses(const std::vector<SimulatedGroup>& groups, int persons,
                                                 std::uint64_t seed);

// A control file for those responses, one GROUPS= and MODELS= letter per item (groups A, B, ...),
// item labels "I1", "I2", ..., persons "P1", ...; the settings go before &END.
std::string simulated_control(const std::vector<SimulatedGroup>& groups,
                              const std::vector<std::vector<int>>& responses, const std::string& settings);

}  // namespace korvelan::testing

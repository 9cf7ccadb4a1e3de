// Responses simulated with a fixed seed from the rating scale and the success and failure
// chains, and a control file for them: for tests that hold the program's results to the model
// the data came from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvelan::testing {

// Items sharing one rating scale: its model letter, steps (logits, steps[0] unused) and the
// difficulties of its items (logits); the categories listed in `empty` have probability 0 (the
// rating scale drawn again, the step above an empty category of the success chain passed and the
// step of an empty category of the failure chain failed with certainty).
struct SimulatedGroup {
    char model = 'R';
    std::vector<double> steps;
    std::vector<double> items;
    std::vector<int> empty = {};
};

// The categories of `persons` persons, abilities drawn evenly from -2.5 to 2.5 logits, on the
// items of the groups in order: the chains walked step by step (each step a dichotomy, "S"
// passing steps upwards until one fails, "F" trying them downwards until one is passed), the
// rating scale drawn from its category probabilities. The same seed gives the same responses on
// every machine.
std::vector<std::vector<int>> simulate_responses(const std::vector<SimulatedGroup>& groups, int persons,
                                                 std::uint64_t seed);

// A control file for those responses, one GROUPS= and MODELS= letter per item (groups A, B, ...),
// item labels "I1", "I2", ..., persons "P1", ...; the settings go before &END.
std::string simulated_control(const std::vector<SimulatedGroup>& groups,
                              const std::vector<std::vector<int>>& responses, const std::string& settings);

}  // namespace korvelan::testing

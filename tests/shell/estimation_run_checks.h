// Helpers for the end-to-end estimation tests: readers of the fixed-column measure and step
// files, the iteration report and the summary box, a plain second implementation of the model's
// expected scores, and a runner that presses Ctrl+C once the screen shows a given text.
#pragma once

#include <string>
#include <vector>

#include "tests/shell/measure_file.h"
#include "tests/support/run_binary.h"

namespace korvelan::testing {

// The header line of PFILE=/IFILE= whose columns the measure-file reader relies on.
inline constexpr const char* kMeasureFileColumns =
    ";ENTRY MEASURE STTS COUNT    SCORE  ERROR IN.MSQ IN.ZSTD OUT.MS OUT.ZSTD DISPL CORR WEIGHT";

// One line of an SFILE=: item 0 when the file holds one rating scale for all items.
struct StepLine {
    int item = 0;
    int category = 0;
    double value = 0.0;
};
std::vector<StepLine> read_step_file(const std::string& bytes);

// The rows of the PROX or the UCON box of a report (word "PROX" or "UCON"), in order.
std::vector<std::string> convergence_rows(const std::string& report, const std::string& word);

// A number of the summary box on screen: the "MEAN" or "S.D." row of the "PERSONS" or "ITEMS"
// block; field 0 score, 1 count, 2 measure, 3 error.
double summary_number(const std::string& screen, const std::string& block, const std::string& row,
                      int field);

// The reliability row of the "PERSONS" or "ITEMS" block of the summary box on screen: REAL RMSE,
// ADJ.SD, SEPARATION, RELIABILITY (empty when not found).
std::vector<double> reliability_row(const std::string& screen, const std::string& block);

// Expected and observed score of one response under a simple reading of the models: "R" the
// rating scale (partial credit), "S" a chain of steps passed upwards, "F" a chain failed
// downwards. steps[1..m] in logits (steps[0] unused); category recoded 0..m.
struct ScoreTerm {
    double expected = 0.0;
    double observed = 0.0;
    double maximum = 0.0;
    double variance = 0.0;  // of the observed score about the expected one
    // of the residual under the model: over the categories k, their probability times the square
    // of the residual each would have (in the chains the steps attempted depend on k)
    double residual_variance = 0.0;
};
ScoreTerm score_term(char model, const std::vector<double>& steps, double difference, int category);

// Runs the program like run_korvelan with standard input closed, and sends SIGINT (Ctrl+C)
// once when the screen first contains `marker`.
ProgramResult run_korvelan_interrupting(const std::string& folder, const std::vector<std::string>& args,
                                        const std::string& temp_dir, const std::string& marker,
                                        int timeout_seconds = 60);

}  // namespace korvelan::testing

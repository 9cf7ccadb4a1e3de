// In-process runs for the fuzz targets: the whole analysis up to estimation, in batch mode,
// with a recording host that answers no prompt, in a scratch folder that is removed afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/analysis_run.h"

namespace korvelan::fuzzing {

// The bytes the fuzzer gives, as text.
std::string as_text(const std::uint8_t* data, std::size_t size);

// The shared dichotomous data set (8 items, 12 persons; item 3 deleted and item 5 anchored by
// in-line lists) with extra instructions before &END: a later file instruction replaces a list.
std::string small_control(const std::string& instructions);

// Writes the named files into the run's folder, then runs the control text to the end of data
// input. A stopped run or a program end counts as a result, never as a fault.
int analyse(korvelan::testing::AnalysisRun& analysis, const std::string& control,
            const std::vector<std::pair<std::string, std::string>>& files = {});

}  // namespace korvelan::fuzzing

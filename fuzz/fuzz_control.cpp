// The control-file reader and the instruction parser: the bytes are a whole control file, its
// in-line lists and data records included.
#include "fuzz/fuzz_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvelan::testing::AnalysisRun analysis;
    korvelan::fuzzing::analyse(analysis, korvelan::fuzzing::as_text(data, size));
    return 0;
}

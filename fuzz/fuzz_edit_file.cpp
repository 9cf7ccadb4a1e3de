// One edit file (anchors, deletions, weights, steps, edits, MFORMS=): the bytes are the file the
// instruction KORVELAN_FUZZ_KEYWORD= names, for a small data set; d.txt beside it is a data
// file for MFORMS= to name.
#include "fuzz/fuzz_run.h"

#ifndef KORVELAN_FUZZ_KEYWORD
#error "KORVELAN_FUZZ_KEYWORD names the instruction of the file"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvelan::testing::AnalysisRun analysis;
    const std::string instruction =
        std::string(KORVELAN_FUZZ_KEYWORD) + "=" + analysis.dir.file("edit.txt") + "\n";
    korvelan::fuzzing::analyse(analysis, korvelan::fuzzing::small_control(instruction),
                               {{"edit.txt", korvelan::fuzzing::as_text(data, size)},
                                {"d.txt", "P01       11001001\nP02       10101011\nP03       0111 111\n"}});
    return 0;
}

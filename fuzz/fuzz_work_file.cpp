// The graphs program's work-file reader: the bytes are the work file.
#include "fuzz/fuzz_run.h"
#include "graphs/work_file.h"
#include "tests/support/test_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvelan::testing::ScratchDir dir;
    const std::string path = dir.file("graphs.txt");
    korvelan::testing::write_file(path, korvelan::fuzzing::as_text(data, size));
    korvelan::graphs::GraphsData graphs;
    korvelan::graphs::read_work_file(path, graphs);
    return 0;
}

// The data-record reader: the first line of the bytes is one instruction that shapes the
// records (FORMAT=, DELIMITER=, XWIDE=, ...), the rest is the DATA= file.
#include "fuzz/fuzz_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = korvelan::fuzzing::as_text(data, size);
    const std::size_t end = bytes.find('\n');
    const std::string instruction = bytes.substr(0, end);
    const std::string records = end == std::string::npos ? "" : bytes.substr(end + 1);
    korvelan::testing::AnalysisRun analysis;
    const std::string control =
        "TITLE=Fuzz\nNI=8\nITEM1=1\nNAME1=10\nNAMLEN=6\nCODES=01\nDATA=" + analysis.dir.file("data.txt") +
        "\n" + instruction + "\n&END\nEND LABELS\n";
    korvelan::fuzzing::analyse(analysis, control, {{"data.txt", records}});
    return 0;
}

// The category-label files: the bytes are both the CFILE= and the CLFILE= file of a small run,
// whose labels are then looked up as the Tables do.
#include "engine/report/category_labels.h"
#include "fuzz/fuzz_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvelan::testing::AnalysisRun analysis;
    const std::string file = analysis.dir.file("labels.txt");
    const std::string control = korvelan::fuzzing::small_control("CFILE=" + file + "\nCLFILE=" + file + "\n");
    if (korvelan::fuzzing::analyse(analysis, control, {{"labels.txt", korvelan::fuzzing::as_text(data, size)}}) != 0)
        return 0;
    const std::vector<std::int32_t> item_group(9, 1);
    for (int value = 0; value <= 2; ++value) korvelan::category_label_text(analysis.run, value, 1, item_group);
    for (int code = 1; code <= 2; ++code) korvelan::code_label_text(analysis.run, code, 3, 1);
    return 0;
}

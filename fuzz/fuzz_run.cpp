#include "fuzz/fuzz_run.h"

#include <filesystem>

#include "engine/run/run.h"
#include "tests/support/test_files.h"

namespace korvelan::fuzzing {

std::string as_text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

std::string small_control(const std::string& instructions) {
    return "TITLE=Fuzz\nNI=8\nITEM1=1\nNAME1=10\nNAMLEN=6\nCODES=01\n" + instructions +
           "&END\nApple\nBread\nCider\nDates\nEggs\nFigs\nGrape\nHoney\nEND LABELS\n"
           "11001001 P01\n10101011 P02\n11101 01 P03\n11010001 P04\n01101011 P05\n"
           "11110001 P06\n11011001 P07\n10101111 P08\n11110101 P09\n0111 111 P10\n"
           "10000001 P11\n11100011 P12\n";
}

int analyse(korvelan::testing::AnalysisRun& analysis, const std::string& control,
            const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [name, text] : files) korvelan::testing::write_file(analysis.dir.file(name), text);
    std::filesystem::current_path(analysis.dir.path);
    try {
        return analysis.analyse(control);
    } catch (const korvelan::testing::ProgramEnded& ended) {
        return ended.exit_status;
    } catch (const RunStopped&) {
        return 1;
    }
}

}  // namespace korvelan::fuzzing

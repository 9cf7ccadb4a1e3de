#include "fuzz/fuzz_run.h"

#include <filesystem>

#include "engine/run/run.h"
#include "tests/support/data_sets.h"
#include "tests/support/test_files.h"

namespace korvelan::fuzzing {

std::string as_text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

std::string small_control(const std::string& instructions) {
    return korvelan::testing::dichotomous_set(instructions);
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

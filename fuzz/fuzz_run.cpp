#include "fuzz/fuzz_run.h"

#include <filesystem>

#include "engine/run/run.h"
#include "tests/support/data_sets.h"
#include "tests/support/test_files.h"

namespace korvelan::fuzzing {

namespace {
constexpr std::int64_t kStatusBytes = 4096;
}  // namespace

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
    // The person status array starts at a million entries and every deletion list resets it
    // whole; refusing the large sizes halves it down to a few thousand entries, far more than
    // any input here holds, so each input costs microseconds instead of milliseconds.
    analysis.run.input.refuse_memory = [](MemoryBlock block, std::int64_t bytes) {
        return block == MemoryBlock::PersonStatus && bytes > kStatusBytes;
    };
    try {
        return analysis.analyse(control);
    } catch (const korvelan::testing::ProgramEnded& ended) {
        return ended.exit_status;
    } catch (const RunStopped&) {
        return 1;
    }
}

}  // namespace korvelan::fuzzing

// Whole small analyses: estimation, every Table and the measure, step, score and observation
// files, into the run's scratch folder. The bytes give instructions (the lines before the first
// empty line) and data records (the lines after it) of at most 50 persons on 20 items.
#include <cctype>
#include <filesystem>
#include <sstream>

#include "engine/driver/run_analysis.h"
#include "engine/run/run.h"
#include "fuzz/fuzz_run.h"
#include "tests/support/test_files.h"

namespace {

constexpr int kItems = 20;
constexpr int kPersons = 50;
constexpr std::size_t kLineRoom = 80;

// Instructions that would make the run larger than the target allows, or read or write outside
// its folder, are left out.
bool allowed(const std::string& line) {
    std::string upper;
    for (char c : line.substr(0, 8)) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* k : {"NI", "ITEM1", "NAME1", "DATA", "MFORMS", "@", "/", "."})
        if (upper.rfind(k, 0) == 0) return false;
    return line.find('/') == std::string::npos;
}

std::string whole_control(const std::string& bytes) {
    std::string control = "TITLE=Fuzzed analysis\nNI=20\nITEM1=1\nNAME1=22\nCODES=0123\n"
                          "TABLES=1111111111111111111111111111111111111111\n"
                          "PFILE=p.txt\nIFILE=i.txt\nSFILE=s.txt\nISFILE=is.txt\nSCFILE=sc.txt\n"
                          "GRFILE=gr.txt\nXFILE=x.txt\nDISFILE=dis.txt\n";
    std::istringstream in(bytes);
    std::string line, records;
    bool in_data = false;
    int persons = 0;
    while (std::getline(in, line) && persons < kPersons) {
        line = line.substr(0, kLineRoom);
        if (!in_data && line.empty()) {
            in_data = true;
            continue;
        }
        if (!in_data) {
            if (allowed(line)) control += line + "\n";
        } else {
            records += line + "\n";
            ++persons;
        }
    }
    control += "&END\n";
    for (int i = 1; i <= kItems; ++i) control += "I" + std::to_string(i) + "\n";
    return control + "END LABELS\n" + records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvelan::testing::AnalysisRun analysis;
    korvelan::testing::write_file(analysis.dir.file("ctl.txt"),
                                  whole_control(korvelan::fuzzing::as_text(data, size)));
    std::filesystem::current_path(analysis.dir.path);
    analysis.run.args = {analysis.dir.file("ctl.txt"), analysis.dir.file("out.txt"), "BATCH=Y"};
    analysis.run.input.stop_before_estimation = false;
    try {
        korvelan::run_analysis(analysis.run);
    } catch (const korvelan::testing::ProgramEnded&) {
    } catch (const korvelan::RunStopped&) {
    }
    return 0;
}

#include "tests/support/analysis_run.h"

#include <span>

#include "engine/driver/run_analysis.h"
#include "engine/driver/runtime_change.h"
#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/run/messages.h"

namespace korvelan::testing {

AnalysisRun::AnalysisRun() {
    run.host = &host;
    host.settings.temp_directory = temp.path;
}

AnalysisRun::~AnalysisRun() {
    delete_work_files_at_exit(run);
}

int AnalysisRun::analyse(const std::string& control, const std::vector<std::string>& extra) {
    write_file(dir.file("ctl.txt"), control);
    run.args = {dir.file("ctl.txt"), dir.file("out.txt"), "BATCH=Y"};
    run.args.insert(run.args.end(), extra.begin(), extra.end());
    run.input.stop_before_estimation = true;
    exit_status = run_analysis(run);
    return exit_status;
}

std::vector<std::vector<int>> AnalysisRun::scores() {
    // From ZMM itself: the estimation fills the memory image from it later.
    WorkFiles files(run_work_file_layout(run));
    std::vector<std::vector<int>> rows;
    std::vector<std::uint8_t> record(static_cast<std::size_t>(std::max(run.cv.ni, 1)));
    for (int p = 1; p <= run.arrays.persons; ++p) {
        read_person_scores_record(run, files, p, record);
        rows.emplace_back(record.begin(), record.begin() + run.cv.ni);
    }
    return rows;
}

std::vector<std::vector<int>> AnalysisRun::codes() {
    WorkFiles files = run_work_files(run);
    std::vector<std::vector<int>> rows;
    std::vector<std::uint8_t> record(static_cast<std::size_t>(std::max(run.cv.ni, 1)));
    for (int p = 1; p <= run.arrays.persons; ++p) {
        read_person_codes_record(run, files, p, record);
        rows.emplace_back(record.begin(), record.begin() + run.cv.ni);
    }
    return rows;
}

std::string AnalysisRun::person_label(int person) {
    WorkFiles files = run_work_files(run);
    std::string label;
    read_person_name_record(run, files, person, label);
    return std::string(trim(label));
}

std::string AnalysisRun::item_label(int item) {
    WorkFiles files = run_work_files(run);
    std::string label;
    read_item_label_record(run, files, item, label);
    return std::string(trim(label));
}

std::vector<int> AnalysisRun::person_statuses() {
    const auto& s = run.arrays.person_status;
    return s.empty() ? std::vector<int>{} : std::vector<int>(s.begin() + 1, s.end());
}

std::string AnalysisRun::report() {
    return read_file(dir.file("out.txt"));
}

std::string lines(const std::vector<std::string>& text) {
    std::string s;
    for (const std::string& l : text) s += l + "\n";
    return s;
}

}  // namespace korvelan::testing

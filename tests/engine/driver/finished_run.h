// A run that went through the whole analysis in this process, in batch mode, on a small data
// set: its results and work files stay for requests after the run.
#pragma once

#include <string>
#include <vector>

#include "engine/driver/run_analysis.h"
#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/run/file_units.h"
#include "engine/run/messages.h"
#include "engine/run/record_files.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

namespace korvelan::testing {

// Nine persons on five items: Amy answers everything (extreme maximum), Bea nothing (extreme
// minimum); four labels begin with "A".
const char* const kFinishedRunControl =
    "TITLE=Runtime\nNI=5\nITEM1=1\nNAME1=7\n&END\nI1\nI2\nI3\nI4\nI5\nEND LABELS\n"
    "11000 Ann\n11100 Abe\n11111 Amy\n10100 Al\n01000 Bob\n11010 Ben\n00000 Bea\n"
    "10110 Cal\n01101 Dot\n";

struct FinishedRun {
    ScratchDir dir;
    ScratchDir temp;
    CwdGuard cwd;
    TestHost host;
    korvelan::Run run;
    int exit_status = -1;

    explicit FinishedRun(const std::vector<std::string>& extra = {}) {
        run.host = &host;
        host.settings.temp_directory = temp.path;
        write_file(dir.file("ctl.txt"), kFinishedRunControl);
        run.args = {dir.file("ctl.txt"), dir.file("out.txt"), "BATCH=Y"};
        run.args.insert(run.args.end(), extra.begin(), extra.end());
        exit_status = run_analysis(run);
    }
    ~FinishedRun() { delete_work_files_at_exit(run); }

    // Standard errors of the persons, from their work records.
    std::vector<float> person_errors() {
        WorkFiles files = run_work_files(run);
        const bool was_open = record_unit_is_open(run, unit::kPersonRecords);
        if (!was_open && files.person_record_image.empty())
            open_record_unit(run, unit::kPersonRecords, work_file_path(run, "ZQQ"), 28);
        std::vector<float> e(1, 0.0f);
        for (std::int64_t p = 1; p <= run.arrays.persons; ++p) {
            PersonWorkFields f;
            read_person_work_record(run, files, p, f);
            e.push_back(f.standard_error);
        }
        if (!was_open) close_record_unit(run, unit::kPersonRecords);
        return e;
    }
};

}  // namespace korvelan::testing

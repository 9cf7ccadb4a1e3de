// One analysis run in the test process, from a control file written into a scratch folder to
// the end of data input, with its work files left open for the tests to read back.
#pragma once

#include <string>
#include <vector>

#include "engine/run/run.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

namespace korvelan::testing {

struct AnalysisRun {
    ScratchDir dir;
    ScratchDir temp;
    CwdGuard cwd;
    TestHost host;
    korvelan::Run run;
    int exit_status = -1;

    AnalysisRun();
    ~AnalysisRun();

    // Writes the control file (lines joined with "\n") and runs the analysis in batch mode.
    int analyse(const std::string& control, const std::vector<std::string>& extra = {});

    // Work files read back through their readers: one row of NI values per person.
    std::vector<std::vector<int>> scores();
    std::vector<std::vector<int>> codes();
    std::string person_label(int person);  // trimmed
    std::string item_label(int item);      // trimmed
    std::vector<int> person_statuses();    // persons 1..NP
    std::string report();                  // the report file, form feeds kept
    bool shows(const std::string& text) const { return host.shows(text); }
};

// Lines joined with "\n".
std::string lines(const std::vector<std::string>& text);

}  // namespace korvelan::testing

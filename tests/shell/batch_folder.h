// Batch runs of the korvelan program in a scratch folder, and readers of the measure files they
// write, for the end-to-end tests of output and edit files.
#pragma once

#include <string>
#include <vector>

#include "tests/shell/measure_file.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

namespace korvelan::testing {

struct BatchFolder {
    ScratchDir dir;
    ScratchDir temp;

    // Writes the control file under the name given and runs it with the report out.txt.
    ProgramResult run(const std::string& control, const std::vector<std::string>& extra = {},
                      const std::string& control_name = "ctl.txt");
    std::string bytes(const std::string& name) const { return read_file(dir.file(name)); }
    std::vector<std::string> lines(const std::string& name) const { return crlf_lines(bytes(name)); }
    // The report with the run date replaced by a fixed one.
    std::string report(const std::string& name = "out.txt") const;
};

}  // namespace korvelan::testing

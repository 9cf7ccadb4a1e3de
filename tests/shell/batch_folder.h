// Batch runs of the korvelan program in a scratch folder, and readers of the measure files they
// write, for the end-to-end tests of output and edit files.
#pragma once

#include <string>
#include <vector>

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

// One record of a PFILE= or IFILE= in fixed columns, read by the column positions of the file
// layout: flag 1, entry 2-6, measure 7-14, status 15-17, count 18-25, score 26-34, error 35-41,
// the seven F7.2 fields 42-90, then the label from 92 (persons) or the group character 92, the
// model letter 94 and the label from 96 (items).
struct MeasureRecord {
    char flag = ' ';
    int entry = 0;
    double measure = 0, count = 0, score = 0, error = 0;
    int status = 0;
    std::vector<double> fit;  // infit, infit z, outfit, outfit z, displacement, correlation, weight
    char group = ' ', model = ' ';
    std::string label;
};

// The records of a fixed-layout measure file; the first `headings` lines are skipped.
std::vector<MeasureRecord> read_measure_records(const std::vector<std::string>& lines, bool items,
                                                std::size_t headings = 4);

// The text of columns first..last (1-based) of a line, blanks around it removed.
std::string columns(const std::string& line, std::size_t first, std::size_t last);

// The fields of a comma- or tab-separated line; double quotes around a field are removed.
std::vector<std::string> split_fields(const std::string& line, char separator);

}  // namespace korvelan::testing

// Reading back the PFILE= and IFILE= files of a batch run: one row per entry after the heading
// line ";ENTRY ...", so that tests can compare runs and look at single values.
#pragma once

#include <string>
#include <vector>

namespace korvelan::testing {

struct MeasureRow {
    bool commented = false;  // the line begins with ";" (entry not measured)
    int entry = 0;
    double measure = 0;
    int status = 0;
    double count = 0;
    double score = 0;
    double error = 0;
    std::string name;  // the last word of the line
};

// The rows of the file; empty when the file is missing or has no heading line.
std::vector<MeasureRow> read_measure_file(const std::string& path);
// The lines after the heading line, as written: for comparing two runs whose headings (title,
// date) may differ.
std::vector<std::string> measure_file_body(const std::string& path);

}  // namespace korvelan::testing

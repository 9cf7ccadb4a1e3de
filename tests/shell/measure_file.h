// Reading back the PFILE= and IFILE= files of a batch run, by the column positions of the fixed
// layout, so that tests can compare runs and look at single values; and the small text helpers
// the output-file tests share.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace korvelan::testing {

// One record of a PFILE= or IFILE= in fixed columns: flag 1, entry 2-6, measure 7-14, status
// 15-17, count 18-25, score 26-34, error 35-41, the seven F7.2 fields 42-90, then the label from
// 92 (persons) or the group character 92, the model letter 94 and the label from 96 (items).
struct MeasureRecord {
    char flag = ' ';
    bool commented = false;  // ";" in column 1: an entry that is not measured
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
// The records after the heading line ";ENTRY ..." of the file (an item file when that line
// names the group and model columns); empty when the file is missing or has no heading line.
std::vector<MeasureRecord> read_measure_file(const std::string& path);
// The lines after the heading line, as written: for comparing two runs whose headings (title,
// date) may differ.
std::vector<std::string> measure_file_body(const std::string& path);

// The text of columns first..last (1-based) of a line, blanks around it removed.
std::string columns(const std::string& line, std::size_t first, std::size_t last);
// The fields of a comma- or tab-separated line; double quotes around a field are removed.
std::vector<std::string> split_fields(const std::string& line, char separator);

}  // namespace korvelan::testing

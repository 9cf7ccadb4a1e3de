#include "tests/shell/measure_file.h"

#include <sstream>

#include "tests/support/test_files.h"

namespace korvelan::testing {

std::vector<std::string> measure_file_body(const std::string& path) {
    std::vector<std::string> lines = crlf_lines(read_file(path));
    std::vector<std::string> body;
    bool heading_seen = false;
    for (const std::string& line : lines) {
        if (heading_seen)
            body.push_back(line);
        else
            heading_seen = line.rfind(";ENTRY", 0) == 0;
    }
    return body;
}

std::vector<MeasureRow> read_measure_file(const std::string& path) {
    std::vector<MeasureRow> rows;
    for (const std::string& line : measure_file_body(path)) {
        MeasureRow row;
        row.commented = !line.empty() && line[0] == ';';
        std::istringstream in(row.commented ? line.substr(1) : line);
        in >> row.entry >> row.measure >> row.status >> row.count >> row.score >> row.error;
        std::string word;
        while (in >> word) row.name = word;
        rows.push_back(row);
    }
    return rows;
}

}  // namespace korvelan::testing

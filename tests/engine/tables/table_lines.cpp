#include "tests/engine/tables/table_lines.h"

#include <sstream>

#include "tests/support/test_files.h"

namespace korvelan::testing {

std::vector<std::string> without_heading_line(std::vector<std::string> block) {
    if (!block.empty()) block.erase(block.begin());
    return block;
}

std::vector<double> step_file(const std::string& path) {
    std::vector<double> steps;
    std::istringstream in(read_file(path));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == ';') continue;
        std::istringstream fields(line);
        int k = 0;
        double step = 0;
        if (fields >> k >> step) steps.push_back(step);
    }
    return steps;
}

}  // namespace korvelan::testing

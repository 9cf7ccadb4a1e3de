#include "tests/engine/analyses/dif_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace korvelan::testing {

std::string planted_dif_set(int persons, int items, int harder, double shift, const std::string& settings) {
    std::mt19937 generator(20261209u);
    auto uniform = [&] { return static_cast<double>(generator() >> 8) / 16777216.0; };
    std::string control = "TITLE=Planted DIF\nNI=" + std::to_string(items) + "\nITEM1=1\nNAME1=" +
                          std::to_string(items + 2) + "\nNAMLEN=6\nCODES=01\n" + settings + "&END\n";
    for (int i = 1; i <= items; ++i) control += "Q" + std::to_string(i) + "\n";
    control += "END LABELS\n";
    for (int n = 1; n <= persons; ++n) {
        const bool f = n % 2 == 1;
        // A normal ability from the sum of twelve uniforms.
        double ability = -6.0;
        for (int k = 0; k < 12; ++k) ability += uniform();
        std::string record;
        for (int i = 1; i <= items; ++i) {
            const double difficulty = -1.5 + 3.0 * (i - 1) / std::max(items - 1, 1) + (f && i == harder ? shift : 0.0);
            const double p = 1.0 / (1.0 + std::exp(difficulty - ability));
            record += uniform() < p ? '1' : '0';
        }
        control += record + " " + (f ? "F" : "M") + std::to_string(100000 + n).substr(1) + "\n";
    }
    return control;
}

namespace {

double number(const std::string& line, std::size_t from, std::size_t width) {
    if (line.size() < from + width) return 0;
    return std::stod(line.substr(from, width));
}

std::string field(const std::string& line, std::size_t from, std::size_t width) {
    return line.size() <= from ? std::string() : line.substr(from, width);
}

}  // namespace

// 0-based indexes of the file line (report positions less two): "| " + code at 2, the first part
// at cw + 2, the second code at cw + 17 and its part at 2 cw + 17, the contrast at 2 cw + 32, its
// S.E. at 2 cw + 40, t at 2 cw + 47, the entry number at 2 cw + 53 and the label at 2 cw + 60.
std::vector<DifRow> dif_rows(const std::vector<std::string>& table, std::size_t cw) {
    std::vector<DifRow> rows;
    for (const std::string& l : table) {
        if (l.size() < 2 * cw + 60 || l[0] != '|' || l[1] != ' ') continue;
        const std::string number_field = field(l, 2 * cw + 53, 6);
        if (number_field.find_first_of("0123456789") == std::string::npos) continue;
        DifRow r;
        r.code1 = field(l, 2, cw);
        r.part1 = field(l, cw + 2, 15);
        r.code2 = field(l, cw + 17, cw);
        r.part2 = field(l, 2 * cw + 17, 15);
        r.entry = std::stoi(number_field);
        r.label = l.substr(2 * cw + 60);
        r.label.erase(r.label.find_last_not_of(" |") + 1);
        if (r.part1.find("score") == std::string::npos) {
            r.size1 = number(l, cw + 2, 7);
            r.se1 = number(l, cw + 9, 6);
        }
        if (r.part2.find("score") == std::string::npos && r.part2.find_first_not_of(' ') != std::string::npos) {
            r.size2 = number(l, 2 * cw + 17, 7);
            r.se2 = number(l, 2 * cw + 24, 6);
        }
        r.has_contrast = field(l, 2 * cw + 32, 20).find_first_not_of(' ') != std::string::npos;
        if (r.has_contrast) {
            r.contrast = number(l, 2 * cw + 32, 8);
            r.se = number(l, 2 * cw + 40, 6);
            r.t = number(l, 2 * cw + 47, 5);
        }
        rows.push_back(r);
    }
    return rows;
}

bool has_line(const std::vector<std::string>& lines, const std::string& text) {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

}  // namespace korvelan::testing

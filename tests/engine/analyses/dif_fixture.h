// What the DIF/DPF and subtotal tests share: simulated data with a planted class difference and
// the rows of a DIF or DPF box table read back by their columns.
#pragma once

#include <string>
#include <vector>

namespace korvelan::testing {

// Dichotomous responses of persons/2 persons of class F and persons/2 of class M (label
// column 1) to `items` items; item `harder` (1-based) is `shift` logits harder for class F.
// Fixed seed. The settings go before &END.
std::string planted_dif_set(int persons, int items, int harder, double shift, const std::string& settings);

// One row of a DIF or DPF box table (cw: the class code column width).
struct DifRow {
    std::string code1, code2, part1, part2;
    bool has_contrast = false;
    double size1 = 0, se1 = 0, size2 = 0, se2 = 0, contrast = 0, se = 0, t = 0;
    int entry = 0;
    std::string label;
};
std::vector<DifRow> dif_rows(const std::vector<std::string>& table, std::size_t cw);

// Whether one of the lines is exactly the text.
bool has_line(const std::vector<std::string>& lines, const std::string& text);

}  // namespace korvelan::testing

// The grid of one keyform: the axis lines, then one line per item of the keyform order with the
// person's "|", the expected response at it and the observed response where it falls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/input/work_files.h"
#include "engine/report/report_context.h"

namespace korvelan {

// What every keyform of one call shares, and the records of the current person.
struct KeyformPage {
    KeyformPage(ReportContext& c, std::string labels_line, std::string rule_line);
    ReportContext& ctx;
    Run& run;
    WorkFiles files;
    std::string labels, rule;
    std::string fit_label = "MNSQ";
    std::string person_label, item_label;
    std::vector<std::uint8_t> scores, codes;
};

// Writes the keyform of person p from the records in the page: "*** NOTHING TO SHOW ***"
// between the axis lines when no item has a line.
void write_person_keyform(KeyformPage& page, int p);

}  // namespace korvelan

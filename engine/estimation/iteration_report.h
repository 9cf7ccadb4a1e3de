// The iteration report of PROX and UCON: the boxed headings on screen and in the report, one
// row per iteration, the closing row of the box; and the writer of the summary work file ZRR.
// Every line is 79 columns: column 1 is the page-control column, the box runs from 2 to 79.
#pragma once

#include <cstdint>

#include "engine/run/run.h"

namespace korvelan {

// Which heading write_iteration_heading writes: PROX or UCON, on screen or in the report; a
// negative mode opens the box with its top border instead of a separator line.
namespace heading_mode {
inline constexpr int kProxScreen = 1;
inline constexpr int kProxReport = 2;
inline constexpr int kUconScreen = 3;
inline constexpr int kUconReport = 4;
}  // namespace heading_mode

void write_iteration_heading(Run& run, int mode);
// "Control:" and the control file name, "Output:" and the report name, into the border line.
void put_file_names_in_heading_border(Run& run);

// One PROX row: iteration, the active counts as they entered the iteration, the two extreme
// ranges, the largest measure change, and the largest step change when it is not 0.
struct ProxRow {
    std::int32_t iteration = 0;
    std::int32_t persons = 0, items = 0, categories = 0;
    float person_range = 0.0f, item_range = 0.0f;
    float measure_change = 0.0f, step_change = 0.0f;
};
void write_prox_row(Run& run, const ProxRow& row);

// One UCON row: the largest score residual (of a person or an item, marked "*"), the largest
// logit change, the least converged person and item, and the category columns when a step moved.
struct UconRow {
    std::int32_t iteration = 0;
    float residual = 0.0f;
    float logit_change = 0.0f;
    std::int32_t person = 0, item = 0;
    bool person_marked = false;
    std::int32_t category = 0;
    float category_residual = 0.0f;
    float step_change = 0.0f;
};
void write_ucon_row(Run& run, const UconRow& row);

// The bottom border of the box, on screen and in the report.
void write_iteration_closing_row(Run& run);

// Converts the box characters of the line in hand, shows columns 2-79 on screen and writes the
// line to the report.
void show_and_report_box_line(Run& run);

// Writes columns 1-80 of the line in hand to the summary work file ZRR (unit 18).
void write_report_line_to_summary_file(Run& run);

}  // namespace korvelan

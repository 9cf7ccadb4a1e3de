// The iteration report of PROX and UCON: the boxed headings on screen and in the report, one
// row per iteration, the closing row of the box; and the writer of the summary work file ZRR.
// Every line is 79 columns: column 1 is the page-control column, the box runs from 2 to 79.
#pragma once

#include <cstdint>

#include "engine/estimation/estimation_observer.h"
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

// One PROX row (iteration, active counts, extreme ranges, largest changes) in the box.
void write_prox_row(Run& run, const ProxRow& row);

// One UCON row; "*" marks whichever residual, the person's or the item's, is shown.
void write_ucon_row(Run& run, const UconRow& row);

// The bottom border of the box, on screen and in the report.
void write_iteration_closing_row(Run& run);

// Converts the box characters of the line in hand, shows columns 2-79 on screen and writes the
// line to the report.
void show_and_report_box_line(Run& run);

// Writes columns 1-80 of the line in hand to the summary work file ZRR (unit 18).
void write_report_line_to_summary_file(Run& run);

}  // namespace korvelan

// The printer of a filled character plot: borders with tick marks, the rows with their y-axis
// labels, the measure labels and the horizontal title, one report line each.
#pragma once

#include <string_view>

#include "engine/report/plot_axis.h"
#include "engine/report/plot_grid.h"
#include "engine/run/run.h"

namespace korvelan {

// print_character_plot: writes the R + 1 rows (rows R down to 0, grid rows R + row_offset down
// to row_offset, cells 0..last_column) between two borders, then the measure labels and the
// centred x_title: R + 5 report lines, y_title down the left margin; the printed cells become
// blank. A y_maximum of 1.0 or less labels a probability scale (0 or less is made 1.0); above 1.0
// a score scale in half points from y_offset. Rows are bounded to 1..62 - row_offset and
// last_column to 0..70. When the axis labels do not fit between its ticks nothing is written,
// the cells are blanked all the same, and the result is false (the caller shows
// show_plot_format_failure).
// Puts the vertical title's character i (1-based; blank past its end) in column 2 and the row's
// label from `label_column` on. The label's leading blanks are left out, so a wide title
// character, which takes column 3 as well, stays whole unless the label itself reaches it.
void put_title_and_row_label(ReportLineBuffer& line, const PlotGrid& grid, int i,
                             int label_column, std::string_view label);

bool print_character_plot(Run& run, PlotGrid& grid, const PlotAxis& axis, int rows,
                          float& y_maximum, int last_column, float y_offset, int row_offset,
                          float x_offset);

}  // namespace korvelan

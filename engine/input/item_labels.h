// Item labels: the label lines after "&END" (up to "END LABELS" or "END NAMES") or the file
// named by ILFILE=, turned into the item label work file ZJJ, one fixed-length record per item.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// Whether a label line (already cut at ";") closes the labels: without blanks and upper-cased
// it reads "ENDNAMES" or "ENDLABELS".
bool is_end_of_labels_line(std::string_view line);

// Copies the label lines that follow "&END" in the control file (unit 3, read on from where it
// stands) to the work file ZIL and points ILFILE= at it. A count other than NI is a warning.
void copy_item_labels_to_work_file(Run& run);

// Passes over the label lines of the control file up to "END LABELS" (the labels come from
// ILFILE=); without that line the run stops.
void skip_item_labels_in_control_file(Run& run);

// What a problem with the label file or ZJJ does: during data input it stops the run; after the
// run (a new ILFILE= typed in the shell's Specification dialog) it is reported and the run goes on.
enum class LabelProblem { Stop, Report };

// Builds ZJJ (unit 10, left open) from the ILFILE= file: record length L, the longest label line
// (comments cut, at least 5); items without a line get their number label. Returns L, or 0 when
// a problem was reported (LabelProblem::Report); a file that cannot be read leaves ZJJ as it was.
std::int32_t build_item_label_work_file(Run& run, LabelProblem on_problem = LabelProblem::Stop);

// Sets run.input.longest_item_label from ZJJ: the display columns of the widest item label of
// ITLEN= characters (the number labels when the items are numbered), at least 1.
void measure_item_labels(Run& run);

}  // namespace korvelan

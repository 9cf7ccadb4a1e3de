// The report at the end of the run: the report so far is saved before the Tables are written,
// the summary of measures is shown on screen, and the saved report and the control lines end the
// report.
#pragma once

#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// The report end pages (the run's report_end): the report saved in ZFR, then, when the control
// lines were copied to ZIN, the Table 0.3 heading and those lines. Leaves the report open.
void append_saved_report_and_control_lines(Run& run);
// Copies the report written so far into the ZFR work file and starts the report again empty.
void copy_report_to_work_file(Run& run);
// Shows the summary work file ZRR (unit 18) on screen; the run end names the report as written
// (" Output written to ") once it is closed whole.
void show_report_on_screen(Run& run);
// " FILE FAILURE: <description> FOR FILE <xx><id>kv.txt (<unit in 3>), ERROR CODE:<status in 6>"
void report_work_file_failure(Run& run, std::string_view description, std::string_view code_letters,
                              int unit_number);

}  // namespace korvelan

#include "engine/run/estimation_handover.h"

#include "engine/report/end_report.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

void hand_over_to_estimation(Run& run) {
    // Until the estimation runs here, the run ends as it does after its Tables: the report so far
    // is saved, a page-break line follows, and the summary is shown.
    copy_report_to_work_file(run);
    write_report_text(run, "^");
    show_report_on_screen(run);
    run.rs.io_status = 0;
    stop_analysis_and_idle(run);
}

}  // namespace korvelan

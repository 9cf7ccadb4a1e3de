#include "engine/driver/run_end.h"

#include "engine/analyses/correlation_output.h"
#include "engine/driver/control_listing.h"
#include "engine/driver/output_dispatch.h"
#include "engine/estimation/estimation.h"
#include "engine/outfiles/run_output_services.h"
#include "engine/report/end_report.h"
#include "engine/report/estimation_report.h"
#include "engine/report/summary.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"

namespace korvelan {

void run_estimation_and_output(Run& run, const EstimationSettings& settings) {
    ReportingEstimationObserver observer(run);
    estimate_measures(run, settings, observer);
    run.rep.request.letters.fill(' ');
    write_measure_summary(run, settings);
    pump_and_poll(run);
    if (!run.rs.finish_iterating) {
        // The output files first; then the report so far is saved and the Tables of the control
        // file follow in a report that starts again.
        RunResidualCorrelations correlations(run);
        write_output_files_of_run(run, &correlations);
        copy_report_to_work_file(run);
        run.rep.request = TableRequest{};
        run.rep.item_sort_state = run.rep.person_sort_state = ' ';
        write_tables_of_run(run);
    } else {
        name_output_files_not_written_of_run(run);
    }
    run.rep.line.clear();
    run.rep.line.put(1, "^");
    write_report_line(run);
    show_report_on_screen(run);
    write_control_variable_listing(run);
    if (run.host) run.host->set_result_menus_enabled(0);
    run.rs.io_status = 0;
    stop_analysis_and_idle(run);
}

}  // namespace korvelan

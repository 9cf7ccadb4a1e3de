#include "shell/frame/graphs_request.h"

#include "engine/outfiles/graphs_file.h"
#include "engine/outfiles/output_wiring.h"
#include "engine/outfiles/run_output_services.h"
#include "engine/report/request_frame.h"
#include "engine/run/record_files.h"

namespace korvelan {

bool show_graphs(Run& run, GraphsLauncher& launcher, int graph_type) {
    // Like every request after the run, this one opens the work files afresh: the request
    // before it (a Table, an earlier graph) may have closed the item labels.
    if (!open_run_work_files(run, true)) return false;
    RunEntryRecords records(run);
    const bool written = write_graphs_work_file(run, output_settings_from_controls(run), run.arrays, records);
    // The labels of a request are read afresh by the next one.
    close_record_unit(run, unit::kItemLabels);
    if (!written) return false;
    return launcher.launch(graph_type, graphs_work_file_path(run), run.rs.run_id);
}

}  // namespace korvelan

#include "engine/run/run_analysis.h"

#include <exception>
#include <new>
#include <string>

#include "engine/report/end_report.h"
#include "engine/run/control_checks.h"
#include "engine/run/control_reader.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"

namespace korvelan {

namespace {
void analyse(Run& run) {
    start_run(run);
    set_control_defaults(run);
    check_and_derive_settings(run);
    write_report_banner(run);
    // End of the run: the report so far is saved, the Tables follow, then a page-break line.
    copy_report_to_work_file(run);
    write_report_text(run, "^");
    show_report_on_screen(run);
    run.rs.io_status = 0;
    stop_analysis_and_idle(run);
}
}  // namespace

int run_analysis(Run& run) {
    try {
        analyse(run);
    } catch (const RunStopped&) {
    } catch (const std::exception& e) {
        // A fault of the program itself: the run still ends with its report and closing message.
        show_message_line(run, std::string(msg::kUnexpectedError) + e.what());
        run.rs.run_failed = true;
        try {
            finish_analysis_report(run);
        } catch (...) {
        }
    }
    return run_exit_status(run);
}

}  // namespace korvelan

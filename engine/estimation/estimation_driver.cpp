#include "engine/estimation/estimation_driver.h"

#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit.h"
#include "engine/estimation/prox.h"
#include "engine/estimation/score_points.h"
#include "engine/estimation/subsets.h"
#include "engine/estimation/trimming.h"
#include "engine/estimation/summary.h"
#include "engine/estimation/ucon.h"
#include "engine/outfiles/run_output_services.h"
#include "engine/report/end_report.h"
#include "engine/run/control_listing.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"
#include "engine/run/runtime_change.h"

namespace korvelan {

namespace {

void clear_finish_iterating(Run& run) {
    if (run.host) run.host->clear_finish_iterating();
    run.rs.finish_iterating = false;
}

}  // namespace

void estimate_measures(Run& run, const EstimationSettings& settings) {
    AnalysisArrays& a = run.arrays;
    clear_finish_iterating(run);
    a.estimation.iteration_counter = 0;
    estimate_prox(run, settings);
    if (settings.cut_low != 0.0f || settings.cut_high != 0.0f) {
        // Observations far off the person-item difference limits become missing; when any were
        // dropped the start values are estimated again without them.
        WorkFiles files = run_work_files(run);
        float cut_low = settings.cut_low, cut_high = settings.cut_high;
        if (drop_out_of_range_observations(run, files, a.person_status, a.person_measure,
                                           a.persons, a.item_status, a.item_measure, cut_low,
                                           cut_high, settings.uscale) > 0) {
            a.estimation.reestimate_flag = 1;
            estimate_prox(run, settings);
        }
    }
    clear_finish_iterating(run);
    {
        WorkFiles files = run_work_files(run);
        ConnectivityInputs in{a.person_status,       a.persons,         a.item_status,
                              a.item_group,          a.group_first_slot, a.category_recoded,
                              a.group_top_category,  trim(run.cv.person_word),
                              trim(run.cv.item_word)};
        check_subset_connectivity(run, files, in);
    }
    clear_finish_iterating(run);
    run_ucon_iterations(run, settings);
    clear_finish_iterating(run);
    compute_fit_statistics(run, settings);

    run.rep.request.letters.fill(' ');
    ScorePointOptions options;
    options.top_offset = settings.top_offset;
    options.bottom_offset = settings.bottom_offset;
    options.uscale = settings.uscale;
    std::vector<float> scratch(static_cast<std::size_t>(a.top_value) + 2);
    compute_expected_score_points(rating_scale_groups(a), a.step_calibration.data(),
                                  a.category_status.data(), options, scratch.data(),
                                  a.category_half_point_measure.data(),
                                  a.category_score_point_measure.data(),
                                  a.category_thurstone_threshold.data());
    write_measure_summary(run, settings);
}

void run_estimation_and_output(Run& run, const EstimationSettings& settings) {
    estimate_measures(run, settings);
    pump_and_poll(run);
    if (!run.rs.finish_iterating) {
        // The output files first; then the report so far is saved and the Tables of the control
        // file follow in a report that starts again.
        write_output_files_of_run(run);
        copy_report_to_work_file(run);
        run.rep.request = TableRequest{};
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

#include "engine/estimation/estimation.h"

#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/fit.h"
#include "engine/estimation/prox.h"
#include "engine/estimation/score_points.h"
#include "engine/estimation/subsets.h"
#include "engine/estimation/trimming.h"
#include "engine/estimation/ucon.h"
#include "engine/input/data_input.h"

namespace korvelan {

EstimationOutcome estimate_measures(Run& run, const EstimationSettings& settings,
                                    EstimationObserver& observer) {
    AnalysisArrays& a = run.arrays;
    EstimationOutcome outcome;
    observer.clear_finish_iterating();
    a.estimation.iteration_counter = 0;
    outcome.prox = estimate_prox(run, settings, observer);
    if (settings.cut_low != 0.0f || settings.cut_high != 0.0f) {
        // Observations far off the person-item difference limits become missing; when any were
        // dropped the start values are estimated again without them.
        WorkFiles files = run_work_files(run);
        float cut_low = settings.cut_low, cut_high = settings.cut_high;
        if (drop_out_of_range_observations(run, files, a.person_status, a.person_measure,
                                           a.persons, a.item_status, a.item_measure, cut_low,
                                           cut_high, settings.uscale, observer) > 0) {
            a.estimation.reestimate_flag = 1;
            outcome.prox = estimate_prox(run, settings, observer);
            outcome.prox_repeated = true;
        }
    }
    observer.clear_finish_iterating();
    {
        WorkFiles files = run_work_files(run);
        ConnectivityInputs in{a.person_status,       a.persons,         a.item_status,
                              a.item_group,          a.group_first_slot, a.category_recoded,
                              a.group_top_category,  trim(run.cv.person_word),
                              trim(run.cv.item_word)};
        check_subset_connectivity(run, files, in);
    }
    observer.clear_finish_iterating();
    outcome.ucon = run_ucon_iterations(run, settings, observer);
    observer.clear_finish_iterating();
    compute_fit_statistics(run, settings, observer);

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
    return outcome;
}

}  // namespace korvelan

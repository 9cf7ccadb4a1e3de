#include "engine/driver/runtime_change.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/estimation/score_points.h"
#include "engine/input/data_input.h"
#include "engine/input/item_labels.h"
#include "engine/report/request_frame.h"
#include "engine/run/control_checks.h"
#include "engine/run/control_reader.h"
#include "engine/run/control_reading.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

// The values whose change calls for work on the results.
struct SavedValues {
    std::string pselect;
    std::string iselect;
    std::string ilfile;
    float uscale;
    float umean;
    char umean_on_items;
    float high_end_offset;
    float low_end_offset;
};

SavedValues save_values(const ControlVariables& cv) {
    return {cv.pselect, cv.iselect,        cv.ilfile,          cv.uscale,
            cv.umean,   cv.umean_on_items, cv.high_end_offset, cv.low_end_offset};
}

// Re-selection of one side; a selection that leaves nothing returns to the previous one.
void change_selection(Run& run, WorkFiles& files, bool persons, bool keep,
                      const std::string& previous) {
    auto reselect = persons ? reselect_persons : reselect_items;
    if (reselect(run, files, keep) == 0) {
        std::string& selection = persons ? run.cv.pselect : run.cv.iselect;
        selection = previous;
        show_message_line(run, msg::kReturnToPreviousSelection);
        show_message_line(run, std::string(persons ? msg::kPselectEcho : msg::kIselectEcho) +
                                   std::string(trim(previous)));
        reselect(run, files, false);
    }
    (persons ? run.rep.person_sort_state : run.rep.item_sort_state) = ' ';
}

// The expected-score points and Thurstone thresholds, as after the estimation.
void recompute_score_points(Run& run) {
    AnalysisArrays& a = run.arrays;
    const std::size_t g = static_cast<std::size_t>(std::max(a.groups, 0));
    if (g == 0 || a.group_top_category.size() <= g || a.group_first_slot.size() <= g ||
        a.group_model.size() <= g)
        return;
    std::size_t slots_needed = 1;
    std::int32_t largest_top = 0;
    for (std::size_t k = 1; k <= g; ++k) {
        largest_top = std::max(largest_top, a.group_top_category[k]);
        slots_needed = std::max<std::size_t>(
            slots_needed, static_cast<std::size_t>(std::max(a.group_first_slot[k], 0) +
                                                   std::max(a.group_top_category[k], 0) + 1));
    }
    for (const auto* v : {&a.step_calibration, &a.category_half_point_measure,
                          &a.category_score_point_measure, &a.category_thurstone_threshold})
        if (v->size() < slots_needed) return;
    if (a.category_status.size() < slots_needed) return;
    RatingScaleGroups groups{static_cast<std::int32_t>(g), a.group_top_category.data() + 1,
                             a.group_first_slot.data() + 1, a.group_model.data() + 1};
    ScorePointOptions options{run.cv.high_end_offset, run.cv.low_end_offset, run.cv.uscale};
    std::vector<float> p(static_cast<std::size_t>(largest_top) + 1);
    compute_expected_score_points(groups, a.step_calibration.data(), a.category_status.data(),
                                  options, p.data(), a.category_half_point_measure.data(),
                                  a.category_score_point_measure.data(),
                                  a.category_thurstone_threshold.data());
}

// ILFILE=: the item labels come from the newly named file; when it cannot serve, the previous
// file and labels stay.
void change_item_labels(Run& run, const std::string& previous_ilfile) {
    const std::int32_t length = build_item_label_work_file(run, LabelProblem::Report);
    if (length <= 0) {
        run.cv.ilfile = previous_ilfile;
        return;
    }
    run.cv.itlen = std::max(length, 1);
    if (run.host)
        run.host->write_text_window_line(msg::kItlenEcho +
                                         std::string(trim(int_to_text_left(run.cv.itlen))));
    run.cv.item_numbering = 'N';
    measure_item_labels(run);
}

void change_one_instruction(Run& run, std::string line) {
    const SavedValues before = save_values(run.cv);
    if (run.host) run.host->write_text_window_line(line);
    const std::size_t plus = line.find('+');
    const bool keep = plus != std::string::npos;
    if (plus == 0) line[0] = ' ';

    const RuntimeInstructionResult parsed = parse_runtime_instruction(run, line);
    if (!parsed.ok) return;
    if (parsed.name.starts_with("IL")) change_item_labels(run, before.ilfile);
    normalise_control_settings(run);

    const ControlVariables& cv = run.cv;
    WorkFiles files = run_work_files(run);
    if (cv.pselect != before.pselect) {
        change_selection(run, files, true, keep, before.pselect);
    } else if (cv.iselect != before.iselect) {
        change_selection(run, files, false, keep, before.iselect);
    } else if (cv.uscale != before.uscale) {
        rescale_measures(run, files, before.uscale);
    } else if (cv.umean != before.umean || cv.umean_on_items != before.umean_on_items) {
        recentre_measures(run);
    } else if (cv.high_end_offset != before.high_end_offset ||
               cv.low_end_offset != before.low_end_offset) {
        run.rep.request.letters.fill(' ');
        recompute_score_points(run);
    }
}

}  // namespace

void apply_runtime_specification(Run& run, std::string_view instruction) {
    std::vector<int> opened;
    try {
        if (open_run_work_files(run, false, &opened)) {
            if (run.host) run.host->send_char_to_text_window('\r');
            std::string_view text = instruction.substr(0, instruction.find('\0'));
            text = trim(text.substr(0, std::min(text.size(), kInstructionLineWidth)));
            if (!text.empty()) change_one_instruction(run, std::string(text));
        }
    } catch (const RunStopped&) {
        // A work record that could not be read has been reported and has ended the run.
    }
    for (int u : opened) close_record_unit(run, u);
}

}  // namespace korvelan

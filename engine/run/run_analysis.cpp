#include "engine/run/run_analysis.h"

#include <exception>
#include <new>
#include <string>

#include "engine/input/data_input.h"
#include "engine/input/item_definitions.h"
#include "engine/input/item_selections.h"
#include "engine/report/end_report.h"
#include "engine/run/analysis_allocation.h"
#include "engine/run/control_checks.h"
#include "engine/run/control_reader.h"
#include "engine/run/estimation_handover.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/rating_scale_groups.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"

namespace korvelan {

namespace {

constexpr std::int32_t kPerItem = 1;
constexpr std::int32_t kListFile = 3;

// Phase 1: nothing of an earlier run survives in the arrays or the driver's run-wide values.
void reset_run(Run& run) {
    run.rs.finished = false;
    run.rs.report_closed = false;
    run.rs.closing_note.clear();
    auto hook = std::move(run.input.refuse_memory);
    run.input = InputState{};
    run.input.refuse_memory = std::move(hook);
    run.arrays = AnalysisArrays{};
}

// Phase 7: the second reading, then the list files of the strings given as list files.
void read_item_definition_strings(Run& run) {
    const ControlVariables& cv = run.cv;
    if (cv.key_count > 0 || cv.ivalue_rows > 0 || cv.groups_mode == kPerItem ||
        cv.models_mode == kPerItem || cv.rescore_mode == kPerItem || cv.irefer_mode == kPerItem)
        read_keyed_control_lists(run);
    if (run.cv.groups_mode == kListFile) read_groups_file(run);
    if (run.cv.models_mode == kListFile) read_models_file(run);
    if (run.cv.irefer_mode == kListFile) read_irefer_file(run);
    if (run.cv.rescore_mode == kListFile) read_rescore_file(run);
}

// Phase 12: the report output file in the menu, by its name in the temporary directory when it
// lies there.
void add_report_menu_entry(Run& run) {
    if (!run.host) return;
    const std::string& path = run.rs.report_file;
    const std::string& temp = run.rs.temp_directory;
    std::string text = msg::kMenuEditReportFile;
    if (!temp.empty() && path.compare(0, temp.size(), temp) == 0)
        text += "=" + path.substr(temp.size());
    else
        text += path;
    run.host->insert_menu_item(1, 2, text, nullptr);
}

void analyse(Run& run) {
    reset_run(run);
    start_run(run);
    set_control_defaults(run);
    check_and_derive_settings(run);

    allocate_item_block(run);
    allocate_item_string_blocks(run);
    read_item_definition_strings(run);
    prepare_item_strings(run);
    settle_model_letter(run);
    add_report_menu_entry(run);
    write_report_banner(run);

    form_rating_scale_groups(run);
    allocate_group_block(run);
    set_group_model_codes(run);

    // ---- CALL SITE (not yet called): item deletions, apply_deletions for the items (IDFILE=, the
    // item deletion question) into item_status.
    allocate_person_status_array(run);
    // ---- CALL SITE (not yet called): person deletions, apply_deletions for the persons (PDFILE=,
    // the person deletion question) into person_status_input, capacity entries; its summary gives
    // run.input.highest_person_touched and person_default_status (-3 when the list began with a
    // reinstatement).
    take_irefer_from_groups(run);
    const ItemDefinitionStrings& strings = run.arrays.strings;
    run.input.scoring_flag =
        !strings.answer_keys.empty() || run.cv.rescore_mode != 0 || run.cv.irefer_mode == kPerItem;
    run.arrays.scored_response_image.clear();

    read_data_input(run);
    // ---- CALL SITE (not yet called): RFILE=, write_scored_response_file, when RFILE= names a
    // file.
    pump_and_poll(run);
    if (run.rs.finish_iterating) stop_run_as_failed(run);
    if (item_label_pass_needed(run)) select_items_by_label_columns(run);
    // ---- CALL SITE (not yet called): item anchors, read_anchor_file for the items (IAFILE=, the
    // item anchor question) into item_status and item_measure.

    const std::int32_t held = hold_person_statuses(run);
    allocate_category_block(run);
    allocate_person_block(run);
    report_persons_kept(run);
    restore_person_statuses(run, held);
    run.rep.persons_input = run.arrays.persons;
    run.rep.items_input = run.arrays.items;

    // ---- CALL SITES (not yet called), in this order: person anchors, read_anchor_file for the
    // persons (PAFILE=, the person anchor question) into person_status and person_measure; step
    // deletions and step anchors, read_step_files (SDFILE=, SAFILE=) into step_calibration and
    // category_status; pivots, read_pivot_file (PIVOT=) into group_pivot and group_pivot_flag.
    run.input.person_weights_present = false;
    run.input.item_weights_present = false;
    run.input.person_weight_report = 1;
    run.input.item_weight_report = 1;
    allocate_weights_block(run);
    // ---- CALL SITE (not yet called): weights, read_weight_file for person_weights (PWEIGHT=) then
    // item_weights (IWEIGHT=), setting the weights-present flags; a file that yields no weights
    // leaves its keyword blank for the rest of the run.
    allocate_memory_images(run);
    if (run.host) run.host->build_result_menus(3);
    hand_over_to_estimation(run);
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

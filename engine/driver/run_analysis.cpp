#include "engine/driver/run_analysis.h"

#include <exception>
#include <new>
#include <string>

#include "engine/driver/run_end.h"
#include "engine/estimation/estimation_wiring.h"
#include "engine/input/anchors.h"
#include "engine/input/data_input.h"
#include "engine/input/deletions.h"
#include "engine/input/edit_files.h"
#include "engine/input/item_definitions.h"
#include "engine/input/item_selections.h"
#include "engine/input/step_files.h"
#include "engine/input/work_files.h"
#include "engine/outfiles/run_output_services.h"
#include "engine/report/banner.h"
#include "engine/report/end_report.h"
#include "engine/run/analysis_allocation.h"
#include "engine/run/control_checks.h"
#include "engine/run/control_reader.h"
#include "engine/run/file_units.h"
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
    const bool stop_before_estimation = run.input.stop_before_estimation;
    run.input = InputState{};
    run.input.refuse_memory = std::move(hook);
    run.input.stop_before_estimation = stop_before_estimation;
    run.arrays = AnalysisArrays{};
    run.rep.item_rows_copied = run.rep.person_rows_copied = 0;
    run.rep.item_order = run.rep.person_order = EntryOrder{};
    run.rep.item_sort_state = run.rep.person_sort_state = ' ';
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

AnchorUnits anchor_units(const ControlVariables& cv) {
    AnchorUnits units;
    units.umean = cv.umean;
    units.uscale = cv.uscale == 0.0f ? 1.0f : cv.uscale;
    units.user_units = cv.anchor_user_units == 'N' ? 'N' : 'Y';
    units.anchor_scale = cv.anchor_scale == 0.0f ? 1.0f : cv.anchor_scale;
    return units;
}

std::string trimmed(const std::string& s) { return std::string(trim(s)); }

// Items and persons named in the deletion lists take no part; person deletions also say how far
// the lists reached and which status the persons not named get.
void apply_item_deletions(Run& run) {
    ControlVariables& cv = run.cv;
    std::string list = trimmed(cv.idfile);
    apply_deletions(run, run.arrays.item_status, cv.ni, cv.item_deletion_question, list,
                    EntitySide::Items, trimmed(cv.item_word), trimmed(cv.item_plural));
    cv.idfile = list;
}

void apply_person_deletions(Run& run) {
    ControlVariables& cv = run.cv;
    AnalysisArrays& a = run.arrays;
    std::string list = trimmed(cv.pdfile);
    DeletionSummary summary =
        apply_deletions(run, a.person_status_input, a.person_status_capacity,
                        cv.person_deletion_question, list, EntitySide::Persons,
                        trimmed(cv.person_word), trimmed(cv.person_plural));
    cv.pdfile = list;
    run.input.highest_person_touched = std::max(run.input.highest_person_touched, summary.highest_entry);
    run.input.person_default_status = summary.list_mode == 0 ? status::kDeleted : status::kMeasured;
}

// Person anchors, step deletions and anchors, pivots: values fixed before the estimation.
void read_person_and_step_files(Run& run) {
    ControlVariables& cv = run.cv;
    AnalysisArrays& a = run.arrays;
    std::string pafile = trimmed(cv.pafile);
    read_anchor_file(run, a.person_status, a.person_measure, a.persons, cv.person_anchor_question,
                     pafile, EntitySide::Persons, trimmed(cv.person_word),
                     trimmed(cv.person_plural), anchor_units(cv));
    cv.pafile = pafile;
    StepFileSettings steps;
    steps.delete_switch = cv.step_deletion_question;
    steps.sdfile = trimmed(cv.sdfile);
    steps.anchor_switch = cv.step_anchor_question;
    steps.safile = trimmed(cv.safile);
    steps.units = anchor_units(cv);
    const std::vector<std::vector<bool>> scored = values_scored_by_group(run);
    GroupLayout layout{a.item_group, a.items, a.group_top_value, a.group_first_slot, a.groups, &scored};
    read_step_files(run, a.step_calibration, a.category_status, layout, steps);
    cv.sdfile = steps.sdfile;
    cv.safile = steps.safile;
    read_pivot_file(run, a.item_group, a.items, a.groups, a.group_pivot, a.group_pivot_flag,
                    trimmed(cv.pivot));
}

void read_weight_files(Run& run) {
    ControlVariables& cv = run.cv;
    AnalysisArrays& a = run.arrays;
    if (!trim(cv.pweight).empty()) {
        run.input.person_weights_present =
            read_weight_file(run, a.person_weights, a.persons, trimmed(cv.pweight),
                             EntitySide::Persons, trimmed(cv.person_plural)) != 0;
        if (!run.input.person_weights_present) cv.pweight.clear();
    }
    if (!trim(cv.iweight).empty()) {
        run.input.item_weights_present =
            read_weight_file(run, a.item_weights, a.items, trimmed(cv.iweight),
                             EntitySide::Items, trimmed(cv.item_plural)) != 0;
        if (!run.input.item_weights_present) cv.iweight.clear();
    }
}

// The estimation reads the scored responses from memory: the image is filled from ZMM. Without
// room for it the estimation cannot run, and the run stops with the memory message.
void load_scored_response_image(Run& run) {
    AnalysisArrays& a = run.arrays;
    const auto ni = static_cast<std::size_t>(a.items);
    const auto np = static_cast<std::size_t>(a.persons);
    try {
        if (a.scored_response_image.size() < ni * np) a.scored_response_image.assign(ni * np, 255);
        WorkFiles files = run_work_files(run);
        files.scored_response_image = {};
        for (std::size_t p = 1; p <= np; ++p) {
            std::span<std::uint8_t> record(a.scored_response_image.data() + (p - 1) * ni, ni);
            read_person_scores_record(run, files, static_cast<std::int64_t>(p), record);
        }
    } catch (const std::bad_alloc&) {
        std::vector<std::uint8_t>().swap(a.scored_response_image);
        run.rs.io_status = kAllocationFailedStatus;
        fatal_message(run, memory_message(static_cast<std::int64_t>(ni * np), a.persons, run.cv.person_plural,
                                          kAllocationFailedStatus));
    }
    run.rs.io_status = 0;
}

void analyse(Run& run) {
    reset_run(run);
    run.report_end = append_saved_report_and_control_lines;
    start_run(run);
    set_control_defaults(run);
    check_report_against_input_files(run);
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

    apply_item_deletions(run);
    allocate_person_status_array(run);
    apply_person_deletions(run);
    take_irefer_from_groups(run);
    const ItemDefinitionStrings& strings = run.arrays.strings;
    run.input.scoring_flag =
        !strings.answer_keys.empty() || run.cv.rescore_mode != 0 || run.cv.irefer_mode == kPerItem;
    run.arrays.scored_response_image.clear();

    read_data_input(run);
    pump_and_poll(run);
    // The scored responses are written for a data input the user let end.
    if (!run.rs.finish_iterating) {
        write_scored_response_file_of_run(run);
        pump_and_poll(run);
    }
    if (run.rs.finish_iterating) {
        // The user ended the data input: the report of this run would hold only its start, so
        // it does not replace the earlier one. The ending names a file already finished.
        show_message_line(run, msg::kDataInputInterrupted);
        drop_unit(run, unit::kReport);
        stop_run_as_failed(run);
    }
    if (item_label_pass_needed(run)) select_items_by_label_columns(run);
    {
        std::string iafile = trimmed(run.cv.iafile);
        read_anchor_file(run, run.arrays.item_status, run.arrays.item_measure, run.cv.ni,
                         run.cv.item_anchor_question, iafile, EntitySide::Items,
                         trimmed(run.cv.item_word), trimmed(run.cv.item_plural),
                         anchor_units(run.cv));
        run.cv.iafile = iafile;
    }

    const std::int32_t held = hold_person_statuses(run);
    allocate_category_block(run);
    allocate_person_block(run);
    report_persons_kept(run);
    restore_person_statuses(run, held);
    run.rep.persons_input = run.arrays.persons;
    run.rep.items_input = run.arrays.items;

    read_person_and_step_files(run);
    run.input.person_weights_present = false;
    run.input.item_weights_present = false;
    run.input.person_weight_report = 1;
    run.input.item_weight_report = 1;
    allocate_weights_block(run);
    read_weight_files(run);
    allocate_memory_images(run);
    if (run.input.stop_before_estimation) {
        run.rs.io_status = 0;
        stop_analysis_and_idle(run);
    }
    load_scored_response_image(run);
    if (run.host) run.host->build_result_menus(3);
    run_estimation_and_output(run, estimation_settings_from_controls(run));
}

void end_run_after_fault(Run& run, std::string_view text) {
    run.rs.run_failed = true;
    try {
        show_message_line(run, text);
        finish_analysis_report(run);
    } catch (...) {
    }
}
}  // namespace

int run_analysis(Run& run) {
    try {
        analyse(run);
    } catch (const RunStopped&) {
    } catch (const std::bad_alloc&) {
        // Memory ran out outside the blocks that are asked for by name. The arrays are given
        // back first, so that the end of the run and the removal of the work files have room.
        run.arrays = AnalysisArrays{};
        end_run_after_fault(run, msg::kMemoryExhausted);
    } catch (const std::exception& e) {
        // A fault of the program itself: the run still ends with its report and closing message.
        end_run_after_fault(run, std::string(msg::kUnexpectedError) + e.what());
    }
    return run_exit_status(run);
}

}  // namespace korvelan

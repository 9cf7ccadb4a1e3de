#include "engine/outfiles/run_output_services.h"

#include <algorithm>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/input/data_input.h"
#include "engine/outfiles/observation_file.h"
#include "engine/outfiles/output_requests.h"
#include "engine/outfiles/output_wiring.h"

namespace korvelan {

RunEntryRecords::RunEntryRecords(Run& run) : run_(run), files_(run_work_files(run)) {}

std::string_view RunEntryRecords::label_of(Entity side, std::int32_t n) {
    if (side == Entity::Item) {
        read_item_label_record(run_, files_, n, label_);
        return label_;
    }
    // A person's label is the NAMLEN columns read; the blanks the label text is padded with
    // after them are left out (every writer trims them, and there are hundreds a label).
    read_person_name_record(run_, files_, n, label_);
    const std::size_t read = files_.layout.namlen < 1 ? 0 : std::min(files_.name_record.size(), label_.size());
    return std::string_view(label_).substr(0, read);
}

PersonWorkFields RunEntryRecords::person_stats(std::int32_t n) {
    PersonWorkFields f;
    read_person_work_record(run_, files_, n, f);
    return f;
}

void RunEntryRecords::person_scores(std::int32_t n, std::span<std::uint8_t> out) {
    read_person_scores_record(run_, files_, n, out);
}

void RunEntryRecords::person_codes(std::int32_t n, std::span<std::uint8_t> out) {
    read_person_codes_record(run_, files_, n, out);
}

float ModelCategoryCurves::category_probabilities(const AnalysisArrays& a, std::int32_t g, float x,
                                                  float* p) {
    return compute_category_probabilities(group_model_view(a, g), x, p);
}

float ModelCategoryCurves::step_probabilities(const AnalysisArrays& a, std::int32_t g, float x, int c,
                                              float* p) {
    return compute_success_failure_step_probabilities(group_model_view(a, g), x, c, p);
}

void write_scored_response_file_of_run(Run& run) {
    OutputSettings settings = output_settings_from_controls(run);
    if (trim(settings.rfile).empty()) return;
    RunEntryRecords records(run);
    write_scored_response_file(run, settings, run.arrays, records, run.arrays.person_status_input);
}

void write_output_files_of_run(Run& run, ResidualCorrelations* correlations) {
    OutputSettings settings = output_settings_from_controls(run);
    RunEntryRecords records(run);
    ModelCategoryCurves curves;
    OutputServices services{&records, &curves, correlations};
    write_named_output_files(run, settings, run.arrays, services);
}

bool write_output_file_after_run(Run& run, char code, ResidualCorrelations* correlations) {
    OutputSettings settings = output_settings_from_controls(run);
    settings.xfile_fields = run.rs.xfile_fields;
    settings.xfile_person_limit = run.rs.xfile_person_limit;
    settings.xfile_item_limit = run.rs.xfile_item_limit;
    RunEntryRecords records(run);
    ModelCategoryCurves curves;
    OutputServices services{&records, &curves, correlations};
    if (!serve_output_file_request(run, settings, run.arrays, services, code)) return false;
    // The chosen name becomes the keyword's setting of the run, as if the control file named it.
    const std::string* chosen = output_file_name_setting(settings, code);
    std::string* setting = output_file_name_setting(run.cv, code);
    if (chosen && setting && !trim(*chosen).empty()) *setting = *chosen;
    return true;
}

void name_output_files_not_written_of_run(Run& run) {
    name_output_files_not_written(run, output_settings_from_controls(run));
}

}  // namespace korvelan

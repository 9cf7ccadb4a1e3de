#include "engine/outfiles/output_requests.h"

#include <filesystem>

#include "engine/outfiles/correlation_files.h"
#include "engine/outfiles/data_file_requests.h"
#include "engine/outfiles/measure_files.h"
#include "engine/outfiles/step_files.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"

namespace korvelan {

void write_person_measure_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                               OutputServices& services) {
    write_measure_file(run, s, a, *services.records, Entity::Person);
}

void write_item_measure_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                             OutputServices& services) {
    write_measure_file(run, s, a, *services.records, Entity::Item);
}

void write_step_measure_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                     OutputServices&) {
    write_step_measure_file(run, s, a);
}

void write_item_step_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                  OutputServices&) {
    write_item_step_file(run, s, a);
}

void write_probability_curve_file_request(Run& run, const OutputSettings& s,
                                          const AnalysisArrays& a, OutputServices& services) {
    write_probability_curve_file(run, s, a, *services.curves);
}

void write_item_correlation_file(Run& run, const OutputSettings& s, const AnalysisArrays&,
                                 OutputServices& services) {
    write_correlation_file(run, s, services, Entity::Item);
}

void write_person_correlation_file(Run& run, const OutputSettings& s, const AnalysisArrays&,
                                   OutputServices& services) {
    write_correlation_file(run, s, services, Entity::Person);
}

namespace {

constexpr OutputFileKind kRegistry[] = {
    {'P', "PFILE=", msg::kTitlePfile, true, true, write_person_measure_file},
    {'I', "IFILE=", msg::kTitleIfile, true, true, write_item_measure_file},
    {'S', "SFILE=", msg::kTitleSfile, true, true, write_step_measure_file_request},
    {'J', "ISFILE=", msg::kTitleIsfile, true, true, write_item_step_file_request},
    {'G', "GRFILE=", msg::kTitleGrfile, true, true, write_probability_curve_file_request},
    {'R', "RFILE=", msg::kTitleRfile, false, false, write_scored_response_file_request},
    {'X', "XFILE=", msg::kTitleXfile, true, true, write_observation_file_request},
    {'C', "SCFILE=", msg::kTitleScfile, true, true, write_person_score_file_request},
    {'D', "DISFILE=", msg::kTitleDisfile, true, true, write_distractor_file_request},
    {'1', "ICORFILE=", msg::kTitleIcorfile, true, false, write_item_correlation_file},
    {'2', "PCORFILE=", msg::kTitlePcorfile, true, false, write_person_correlation_file},
    {'Y', "GUFILE=", msg::kTitleGufile, false, false, write_guttmanized_file_request},
    {'Z', "SIFILE=", msg::kTitleSifile, false, false, write_simulated_data_file_request},
    {'U', "", "", false, false, write_unfolded_data_file_request},
};

// Whether the name names a file in the list (written as it stands or by another path); if not,
// the name joins the list.
bool names_taken_file(std::vector<std::string>& taken, const std::string& name) {
    std::error_code ec;
    const std::string full = std::filesystem::absolute(name, ec).lexically_normal().string();
    for (const std::string& other : taken) {
        std::error_code e;
        if (other == full || std::filesystem::equivalent(full, other, e)) return true;
    }
    taken.push_back(full);
    return false;
}

// The order in which the estimation writes the files named in the control file.
constexpr std::string_view kEndOfRunOrder = "PISJCGD12YZX";

}  // namespace

const OutputFileKind* find_output_file_kind(char code) {
    for (const OutputFileKind& k : kRegistry)
        if (k.code == code) return &k;
    return nullptr;
}

namespace {
template <typename Settings>
auto name_setting(Settings& s, char code) -> decltype(&s.pfile) {
    switch (code) {
        case 'P': return &s.pfile;
        case 'I': return &s.ifile;
        case 'S': return &s.sfile;
        case 'J': return &s.isfile;
        case 'G': return &s.grfile;
        case 'R': return &s.rfile;
        case 'X': return &s.xfile;
        case 'C': return &s.scfile;
        case 'D': return &s.disfile;
        case '1': return &s.icorfile;
        case '2': return &s.pcorfile;
        case 'Y': return &s.gufile;
        case 'Z': return &s.sifile;
        default: return nullptr;
    }
}
}  // namespace

std::string* output_file_name_setting(OutputSettings& s, char code) {
    return code == 'U' ? &s.unfolded_file : name_setting(s, code);
}
std::string* output_file_name_setting(ControlVariables& cv, char code) { return name_setting(cv, code); }

void name_output_files_not_written(Run& run, const OutputSettings& s) {
    for (char code : kEndOfRunOrder) {
        const OutputFileKind* kind = find_output_file_kind(code);
        const std::string* name = name_setting(s, code);
        if (!kind || !name || trim(*name).empty()) continue;
        const std::string line = std::string(msg::kOutputFileNotWrittenStopped) + kind->keyword +
                                 std::string(trim(*name));
        // In batch mode nobody sees the run go on: the earlier files of these names must not
        // pass for this run's, so the run fails.
        if (run.rs.batch) note_output_file_failure(run, line);
        else show_message_line(run, line);
    }
}

void write_named_output_files(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                              OutputServices& services) {
    if (run.rs.finish_iterating) return;
    std::vector<std::string> taken;
    for (char code : kEndOfRunOrder) {
        const OutputFileKind* kind = find_output_file_kind(code);
        const std::string* name = name_setting(s, code);
        if (!kind || !kind->writer || !name || trim(*name).empty()) continue;
        // A second file of a name the run already wrote would silently replace the first.
        if (names_taken_file(taken, std::string(trim(*name)))) {
            note_output_file_failure(run, std::string(msg::kOutputOverOutput) + std::string(trim(*name)));
            continue;
        }
        kind->writer(run, s, a, services);
    }
}

bool serve_output_file_request(Run& run, OutputSettings& s, const AnalysisArrays& a,
                               OutputServices& services, char code) {
    const OutputFileKind* kind = find_output_file_kind(code);
    std::string* setting = output_file_name_setting(s, code);
    if (!kind || !kind->writer || !setting || !run.host) return false;
    const std::string answer(trim(run.host->prompt_for_file_name(
        kind->dialog_title, run.host->initial_settings().filter, FilePromptMode::Save)));
    if (answer.empty()) return true;
    if (names_input_or_report_file(run, answer)) {
        show_message_line(run, std::string(msg::kOutputOverInput) + answer);
        return true;
    }
    run.rs.io_status = run.host->create_output_file(answer);
    if (run.rs.io_status != 0) {
        report_file_error(run, answer, 'O');
        return true;
    }
    *setting = answer;
    const bool report_closed = run.rs.report_closed;
    run.rs.report_closed = true;  // the lines go to the host's file
    kind->writer(run, s, a, services);
    run.rs.report_closed = report_closed;
    run.host->close_file_handle();
    run.host->run_program_with_argument(run.host->initial_settings().editor, answer);
    return true;
}

}  // namespace korvelan

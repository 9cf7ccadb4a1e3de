#include "shell/frame/spss_commands.h"

#include <filesystem>

#include "engine/report/end_report.h"
#include "spss/control_file.h"
#include "spss/selection_file.h"
#include "spss/tab_text.h"

namespace korvelan {

namespace {

// The open dialog of an SPSS file (.sav, or .zsav compressed), in the current directory; empty
// when cancelled.
std::string ask_sav_file(SpssCommandServices& s) {
    namespace fs = std::filesystem;
    FilePromptRequest request;
    request.mode = FilePromptMode::Open;
    request.title = "SPSS file?";
    request.filters = {{"SPSS Files (*.sav *.zsav)", "*.sav *.zsav"}, {"All Files (*.*)", "*.*"}};
    std::error_code ec;
    std::string dir = fs::current_path(ec).string();
    if (dir.empty() || dir.back() != '/') dir += "/";
    request.directory = dir;
    request.initial_name = dir + "*.sav";
    const std::optional<std::string> chosen = s.prompter.choose(request);
    if (!chosen || chosen->empty()) return {};
    return (fs::path(dir) / *chosen).lexically_normal().string();
}

// The progress dialog while the conversion reads the .sav file.
template <class Conversion>
spss::Outcome with_progress(SpssCommandServices& s, Conversion conversion) {
    struct Shown {
        SpssCommandServices& s;
        explicit Shown(SpssCommandServices& services) : s(services) {
            if (s.show_progress) s.show_progress(true);
        }
        ~Shown() {
            if (s.show_progress) s.show_progress(false);
        }
    } shown(s);
    return conversion();
}

void open_in_editor(SpssCommandServices& s, const std::string& path) {
    const InitialSettings& settings = s.run.host->initial_settings();
    run_program_with_argument(s.launcher, s.window, settings.editor, path);
}

// Shows what went wrong, or how many values were written as missing for their declaration; true
// when the file was written.
bool report(SpssCommandServices& s, const spss::Outcome& outcome) {
    switch (outcome.kind) {
        case spss::OutcomeKind::Done:
            if (const std::string line = spss::declared_missing_line(outcome); !line.empty() && s.window) s.window(line);
            return true;
        case spss::OutcomeKind::Cancelled: return false;
        case spss::OutcomeKind::Problem:
            if (s.show_problem) s.show_problem(outcome.message);
            if (outcome.edit_selection_file) edit_spss_selection_file(s);
            return false;
        case spss::OutcomeKind::WorkFileFailure:
            report_work_file_failure(s.run, outcome.work_file.description, outcome.work_file.code,
                                     outcome.work_file.number);
            return false;
    }
    return false;
}

}  // namespace

bool select_spss_file_and_variables(SpssCommandServices& s) {
    const std::string sav = ask_sav_file(s);
    if (sav.empty()) return false;
    const std::string selection = work_file_path(s.run, "ZSP");
    if (!report(s, with_progress(s, [&] { return spss::write_spss_selection_file(sav, selection); }))) return false;
    open_in_editor(s, selection);
    return true;
}

void edit_spss_selection_file(SpssCommandServices& s) { open_in_editor(s, work_file_path(s.run, "ZSP")); }

void build_control_file_from_spss_selection(SpssCommandServices& s) {
    const std::string control = work_file_path(s.run, "ZSW");
    const std::string selection = work_file_path(s.run, "ZSP");
    if (report(s, with_progress(s, [&] { return spss::build_control_file_from_spss_selection(selection, control); })))
        open_in_editor(s, control);
}

void convert_spss_to_tab_text(SpssCommandServices& s) {
    const std::string sav = ask_sav_file(s);
    if (sav.empty()) return;
    const std::string text = work_file_path(s.run, "ZSX");
    if (report(s, with_progress(s, [&] { return spss::convert_spss_to_tab_text(sav, text); }))) open_in_editor(s, text);
}

}  // namespace korvelan

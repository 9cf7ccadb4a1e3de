#include "shell/spss_command.h"

#include <cstring>
#include <filesystem>

#include "spss/control_file.h"
#include "spss/selection_file.h"
#include "spss/tab_text.h"

namespace korvelan {

namespace {
std::string absolute_path(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}
}  // namespace

std::optional<int> run_spss_command(const std::vector<std::string>& args, std::ostream& out) {
    if (args.empty()) return std::nullopt;
    const std::string& command = args[0];
    if (command != "--spss-select" && command != "--spss-control" && command != "--spss-tab") return std::nullopt;
    if (args.size() != 3) {
        out << "Usage: korvelan --spss-select DATA.sav SELECTION | --spss-control SELECTION OUTPUT"
               " | --spss-tab DATA.sav OUTPUT\n";
        return 2;
    }
    spss::Outcome outcome;
    // The selection file names the .sav file by its full path, as a file dialog gives it.
    if (command == "--spss-select") outcome = spss::write_spss_selection_file(absolute_path(args[1]), args[2]);
    else if (command == "--spss-control") outcome = spss::build_control_file_from_spss_selection(args[1], args[2]);
    else outcome = spss::convert_spss_to_tab_text(args[1], args[2]);
    switch (outcome.kind) {
        case spss::OutcomeKind::Done:
            out << "Written: " << args[2] << "\n";
            if (const std::string line = spss::declared_missing_line(outcome); !line.empty()) out << line << "\n";
            return 0;
        case spss::OutcomeKind::Cancelled: return 2;
        case spss::OutcomeKind::Problem:
            out << outcome.message << "\n";
            if (outcome.edit_selection_file) out << "Edit the selection file: " << args[1] << "\n";
            return 1;
        case spss::OutcomeKind::WorkFileFailure: {
            const spss::WorkFileFailure& w = outcome.work_file;
            if (w.unreadable_path.empty()) out << "Cannot write the " << w.description << ": " << args[2] << "\n";
            else out << "Cannot read the " << w.description << ": " << w.unreadable_path << " (" << std::strerror(w.read_error) << ")\n";
            return 1;
        }
    }
    return 1;
}

}  // namespace korvelan

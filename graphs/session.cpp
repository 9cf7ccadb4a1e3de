#include "graphs/session.h"

#include <algorithm>

#include "engine/run/numtext.h"

namespace korvelan::graphs {

StartRequest parse_command_line(const std::vector<std::string>& args, const std::string& default_path) {
    StartRequest r;
    std::string line;
    for (const std::string& a : args) line += (line.empty() ? "" : " ") + a;
    if (line.empty()) {
        r.path = default_path;
        return r;
    }
    const std::string trimmed(korvelan::trim(line));
    const std::size_t blank = trimmed.find(' ');
    if (blank == std::string::npos) {
        r.path = trimmed;
        return r;
    }
    r.graph_type = round_half_even(leading_number(std::string_view(trimmed).substr(0, blank)), 1, kGraphTypes);
    r.path = std::string(korvelan::trim_left(std::string_view(trimmed).substr(blank)));
    return r;
}

std::string start_up_message(const StartRequest& request, bool arguments_given) {
    if (file_stamp(request.path)) return "";
    if (!arguments_given) return "Please start this with the Graphs menu in Korvelan or Sorvante";
    return "Korvelan Graphs: File not found: " + request.path;
}

std::string graphs_title(const std::string& path) {
    return "Graphs " + (path.size() > 9 ? path.substr(path.size() - 9) : path);
}

GraphsSession::GraphsSession(std::string path, int type) : graph_type(type), path_(std::move(path)) {}

bool GraphsSession::file_changed() const {
    const std::optional<FileStamp> now = file_stamp(path_);
    return now && now != stamp_;
}

std::string GraphsSession::load_and_compute() {
    if (file_changed()) {
        const std::optional<FileStamp> before = file_stamp(path_);
        GraphsData read;
        UnreadableLine unreadable;
        const ReadOutcome outcome = read_work_file(path_, read, &unreadable);
        if (outcome != ReadOutcome::Read) return read_outcome_message(outcome, path_, unreadable);
        data_ = std::move(read);
        stamp_ = before;
    }
    if (data_.groups.empty()) return "";
    current_group = std::clamp(current_group, 1, group_count());
    curves_ = compute_group_curves(data_, current_group);
    computed_ = true;
    const GraphsGroup& g = data_.groups[static_cast<std::size_t>(current_group - 1)];
    reset_graph_type_settings(settings, g, curves_.grid.maximum_information);
    view_low = x_low_value = curves_.grid.view_low;
    view_high = x_high_value = curves_.grid.view_high;
    view_division = curves_.grid.view_division;
    return "";
}

bool GraphsSession::curves_drawn() const {
    return computed_ && !data_.groups.empty() &&
           group_computed(data_.groups[static_cast<std::size_t>(current_group - 1)]);
}

const std::string& GraphsSession::current_label() const {
    static const std::string none;
    if (!computed_ || data_.groups.empty()) return none;
    return data_.groups[static_cast<std::size_t>(current_group - 1)].label;
}

}  // namespace korvelan::graphs

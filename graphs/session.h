// The state of the graphs program without its window: the command line, the work file and when
// to read it again, the current group and graph type, and the curves last computed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "graphs/curves.h"
#include "graphs/work_file.h"

namespace korvelan::graphs {

struct StartRequest {
    int graph_type = 3;
    std::string path;
};

// The program's arguments (argv[1..]) joined by blanks are the command line: the graph type
// (rounded half to even, limited to 1..5) before the first blank, the path after it. No
// arguments give type 3 and default_path; a single word is taken as the path, type 3.
StartRequest parse_command_line(const std::vector<std::string>& args, const std::string& default_path);

// What start-up says before the program ends: "" when the work file is there.
std::string start_up_message(const StartRequest& request, bool arguments_given);

// "Graphs " followed by the last 9 characters of the path.
std::string graphs_title(const std::string& path);

class GraphsSession {
public:
    GraphsSession(std::string path, int graph_type);

    // Reads the work file when it exists and its stamp changed, then clamps the current group
    // and computes its curves. Returns the message of a failed reading ("" otherwise); after a
    // failure the data, the stamp and the last curves are as they were, and nothing is computed.
    std::string load_and_compute();
    // Whether the file exists with a stamp other than that of the last reading.
    bool file_changed() const;

    const std::string& path() const { return path_; }
    const GraphsData& data() const { return data_; }
    int group_count() const { return static_cast<int>(data_.groups.size()); }
    int current_group = 1;
    int graph_type = 3;
    bool has_curves() const { return computed_; }
    // Whether the curves of the current group are drawn: those of the chain models are not
    // computed, and their rows are no result.
    bool curves_drawn() const;
    const GroupCurves& curves() const { return curves_; }
    SettingsTable settings = initial_settings();
    GraphTypeSettings& type_settings() { return settings[static_cast<std::size_t>(graph_type)]; }
    const std::vector<SeriesRow>& current_series() const {
        return curves_.series[static_cast<std::size_t>(graph_type)];
    }
    const std::string& current_label() const;
    // The x range shown and the x slider values, reset by every computation.
    std::int32_t view_low = 0, view_high = 0, view_division = 0;
    std::int32_t x_low_value = 0, x_high_value = 0;

private:
    std::string path_;
    std::optional<FileStamp> stamp_;
    GraphsData data_;
    GroupCurves curves_;
    bool computed_ = false;
};

}  // namespace korvelan::graphs

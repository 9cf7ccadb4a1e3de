// Starting the programs the shell opens files with (the text editor, the spreadsheet program,
// batch files, another copy of korvelan, the graphs program). Nothing waits for them and nothing
// of theirs comes back. A Launcher starts the processes: the real one through QProcess, a
// recording one in tests.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/run/host_services.h"
#include "shell/services/window_line.h"

namespace korvelan {

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the program with its arguments (each one argv element) in the current directory
    // without waiting. The process id, or nullopt when it could not be started.
    virtual std::optional<long long> start_detached(const std::string& program,
                                                    const std::vector<std::string>& arguments) = 0;
    // Whether a process started earlier still runs.
    virtual bool is_running(long long pid) = 0;

    using Environment = std::vector<std::pair<std::string, std::string>>;
    using Output = std::function<void(std::string_view bytes)>;
    using Ended = std::function<void(int exit_status)>;
    // Starts the program with the variables added to this program's environment and without
    // waiting; what it writes (standard output and error, in order) is handed to `output` as it
    // comes, then its end to `ended`: the exit status, or -1 when a signal ended it. False when
    // it could not be started.
    virtual bool start_watched(const std::string& program, const std::vector<std::string>& arguments,
                               const Environment& environment, Output output, Ended ended) = 0;
};

// The variable through which a batch file run from the Batch menu learns where this program is.
inline constexpr const char* kProgramVariable = "KORVELAN_PROGRAM";

inline constexpr const char* kStartWarning =
    "Warning: the following command may have failed. See `Edit Initial Settings'";

// The command as shown: the trimmed program, a blank and the trimmed argument, in double quotes
// when it holds a blank.
std::string command_line_text(std::string_view program, std::string_view argument);
// A program setting as argv: the setting itself when it names an existing file, else its words
// ("libreoffice --calc"; double quotes group words).
std::vector<std::string> split_program_setting(std::string_view program);

// Starts the program with the argument as one argv element (a blank argument: none). A failed
// start shows the warning and the command line. 0, or a non-zero status.
int run_program_with_argument(Launcher& launcher, const WindowLine& window, std::string_view program,
                              std::string_view argument);
// Runs a batch file with the shell, this program's path in kProgramVariable. What it writes is
// shown in the window line by line as it comes, then how it ended: "Batch file ended, exit
// status 0: " + the file, "Batch file failed, exit status N: " + the file, or "Batch file was
// stopped by a signal: " + the file. A file that cannot be started shows the warning and the
// command; false then.
bool run_batch_file(Launcher& launcher, const WindowLine& window, std::string_view name,
                    std::string_view program_path);

// The Edit and File menu entries that name a file after "=": no "=" or nothing after it starts
// the editor alone; "==" names a file of the temporary directory; otherwise the text after "="
// is the file, a relative name taken in `base_directory` (the folder that was current when the
// file was written; ends in "/", or is empty for the current folder). An editor that needs a
// file ("xdg-open") is not started alone: the warning of a failed start is shown instead.
void edit_file_from_menu(Launcher& launcher, const WindowLine& window, const InitialSettings& settings,
                         std::string_view temp_directory, std::string_view entry,
                         std::string_view base_directory = {});
// "Excel=<program>": starts the program alone; "Excel=" alone does nothing.
void start_spreadsheet_from_menu(Launcher& launcher, const WindowLine& window, std::string_view entry);

// The graphs program beside korvelan, started with the graph type and the graphs work file.
class GraphsLauncher {
public:
    // Asks the question with its caption; true for Yes.
    using Question = std::function<bool(std::string_view text, std::string_view caption)>;
    GraphsLauncher(Launcher& launcher, std::string program_dir, Question ask)
        : launcher_(launcher), program_dir_(std::move(program_dir)), ask_(std::move(ask)) {}
    // While the program started last still runs, asks whether to load a new copy first. True
    // when a program was started.
    bool launch(int graph_type, std::string_view work_file, std::string_view run_id);
    std::optional<long long> previous_pid() const { return previous_; }

private:
    Launcher& launcher_;
    std::string program_dir_;
    Question ask_;
    std::optional<long long> previous_;
};

}  // namespace korvelan

// What an SPSS conversion tells its caller, and the text file it writes: lines without trailing
// blanks, each ended by CR LF.
#pragma once

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace korvelan::spss {

enum class OutcomeKind {
    Done,             // the output file is complete
    Cancelled,        // nothing was asked for: nothing was written
    Problem,          // `message` is shown in the problem dialog
    WorkFileFailure,  // the output file could not be created: report `work_file`
};

struct WorkFileFailure {
    std::string description;  // "SPSS WORK FILE", "SPSS KORVELAN FILE"
    std::string code;         // "SP", "SW", "SX"
    int number = 0;
    // The file that could not be read, with the errno of the failure; empty when it was the
    // output file that could not be written.
    std::string unreadable_path;
    int read_error = 0;
};

struct Outcome {
    OutcomeKind kind = OutcomeKind::Done;
    std::string message;
    WorkFileFailure work_file;
    // The problem concerns a variable name of the selection file: open that file in the editor.
    bool edit_selection_file = false;
    // Done: how many values were written as missing because their variable declares them missing.
    long declared_missing_written = 0;
};

// The line that tells how many values were written as missing for their declaration; empty when
// there were none.
std::string declared_missing_line(const Outcome& outcome);

Outcome problem(std::string message, bool edit_selection_file = false);
Outcome work_file_failure(std::string description, std::string code, int number);
// The work file at path could not be read (errno read_error).
Outcome work_file_read_failure(std::string description, std::string code, int number, std::string path,
                               int read_error);
// "Cannot open file: " + path + the status right-justified in 10 columns + why, in words.
std::string cannot_open_message(const std::string& path, int status);

// A plain file is written aside and replaces the file of its name only when closed whole; an
// output dropped without its close leaves that file as it was.
class TextOutput {
public:
    TextOutput() = default;
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;
    ~TextOutput();
    bool create(const std::string& path);
    // Writes the text without its trailing blanks, then CR LF.
    void line(std::string_view text);
    bool close();

private:
    std::ofstream out_;
    std::string aside_;   // empty when written in place (a pipe or a device)
    std::string target_;
};

// The lines of a text file, for LF, CR LF or CR line ends; empty and false when it cannot be
// read (a folder, a missing file, a failed read), with the errno in *error when asked for.
bool read_text_lines(const std::string& path, std::vector<std::string>& lines, int* error = nullptr);

}  // namespace korvelan::spss

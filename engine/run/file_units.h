// Files opened on fixed unit numbers: text lines ending in CR LF, statuses as the engine uses
// them (0 success, -1 end of file, positive error codes).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/run/run.h"
#include "engine/run/text_lines.h"

namespace korvelan {

enum class OpenMode {
    Read,       // existing file, read
    Write,      // created or emptied, write
    Append,     // created or extended, write at the end
    CreateNew,  // created exclusively: fails when the file exists
    ReadWrite,  // created or emptied, written, rewound and read back
    Replace,    // written, rewound and read back in an aside file that replaces the file when
                // the unit is closed; a pipe, a terminal or a device is written in place
};

// Maps a platform errno onto the engine's status codes: not found 2, not a directory 3,
// too many files 4, permission 5, read-only 19, disk full 39, file exists 80; others 20000 + errno.
int status_from_errno(int err);

// Opens a file on a unit (closing what the unit held). Sets and returns run.rs.io_status.
// A work file of the run is created exclusively with mode 0600 and never opened through a link.
int open_unit(Run& run, int unit, const std::string& path, OpenMode mode);
// Whether the path names a work file of the run ("???<run id>kv.txt" in the temporary folder).
bool is_run_work_file(const Run& run, const std::string& path);
bool unit_is_open(const Run& run, int unit);
const std::string& unit_path(const Run& run, int unit);
// The lines read so far from the unit (the number of the line read last); 0 when it is not open.
std::int64_t unit_lines_read(const Run& run, int unit);
// Whether a read of the open file may wait for a writer (a pipe or other special file), so that
// a Ctrl+C during the wait ends the run.
bool unit_read_may_wait(const std::FILE* f);
// Reads one line without its line end, as text_lines.h reads lines, keeping at most `keep`
// characters: 0, -1 at end of file, or an error. A line running on far past `keep`, or holding a
// NUL, stops the run with a message naming the file and the line.
int read_unit_line(Run& run, int unit, std::string& line, std::size_t keep = kLongestTextLine);
// The same for a file that only some output needs: such a line is noted as an output failure (the
// run goes on to write the rest, then fails) and its status returned.
int read_unit_line_for_output(Run& run, int unit, std::string& line, std::size_t keep = kLongestTextLine);
// Writes the text followed by CR LF. 0 or an error code.
int write_unit_line(Run& run, int unit, std::string_view text);
int rewind_unit(Run& run, int unit);
// Whether the unit holds a plain file that can be read again from its start (not a pipe or a
// device).
bool unit_can_rewind(const Run& run, int unit);
// Empties a unit open for writing and reading and writes it from the start. 0 or an error.
int empty_unit(Run& run, int unit);
// Closes the unit (nothing when it is not open); optionally deletes the file. Returns 0, or the
// error of the final write when buffered output could not be written. A unit opened with
// OpenMode::Replace replaces its file now, unless delete_file is set or a write failed: the
// aside file is then removed and the file keeps what it held.
int close_unit(Run& run, int unit, bool delete_file = false);
// Closes a unit whose file is not whole: a file written aside is removed (the file of its name
// keeps what it held); any other file stays.
void drop_unit(Run& run, int unit);
void close_all_units(Run& run);

// Files read by the run are remembered (opening a unit for reading does it); an output file
// must never be written over one of them, the control file or the report.
void remember_input_file(Run& run, const std::string& path);
bool names_input_or_report_file(const Run& run, const std::string& path);
// Whether two names name one file: the same absolute path, or one file by two names (a link).
bool names_same_file(const std::string& path, const std::string& other);
// Whether the path names the plain file that the report being written will replace. Once the
// report is checked against the inputs of the control file (run.rs.report_guarded), opening
// such a file for reading stops the run and keeps the file.
bool names_report_being_written(const Run& run, const std::string& path);
// The names of a list of files joined by "+" (DATA=, the D= lines of MFORMS=), blanks around
// each name left out.
std::vector<std::string> names_of_file_list(std::string_view list);

}  // namespace korvelan

// The state of one analysis run: control variables, run-wide flags and names, report state and
// open file units. One object is passed explicitly to every engine routine, so tests can build
// a run without a process.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/run/analysis_arrays.h"
#include "engine/run/control_variables.h"
#include "engine/run/host_services.h"
#include "engine/run/input_state.h"
#include "engine/run/numtext.h"
#include "engine/run/record_files.h"
#include "engine/run/text_lines.h"

namespace korvelan {

// Fixed unit numbers of the files a run keeps open.
namespace unit {
inline constexpr int kControl = 3;
inline constexpr int kReport = 4;
inline constexpr int kOutput = 8;  // ZFR copy of the report, output files
inline constexpr int kEdit = 9;
inline constexpr int kItemLabels = 10;
inline constexpr int kScores = 13;
inline constexpr int kCodes = 14;
inline constexpr int kPersonLabels = 16;
inline constexpr int kPersonRecords = 17;
inline constexpr int kSummary = 18;  // ZRR
inline constexpr int kControlCopy = 19;  // ZIN
inline constexpr int kTableList = 20;    // the TFILE= list, open while its Tables are written
inline constexpr int kClassSpecifications = 22;  // a file of subtotal or DIF specifications
inline constexpr int kLastLineCheck = 26;
}  // namespace unit

// Program identity shown in the banner, headings and console.
inline constexpr const char* kProgramWord = "KORVELAN";
inline constexpr float kVersionNumber = 3.34f;
inline constexpr const char* kVersionDateText = "MAY 3, 2002";

// One open file on a unit number.
struct UnitFile {
    std::FILE* file = nullptr;
    std::string path;
    bool writing = false;
    TextLinePosition lines;  // where reading stands
};

struct FileUnits {
    std::map<int, UnitFile> open;
};

// One column of a report line: the bytes of one character, the first in the lowest byte (an
// ASCII byte or a drawing code is its own value); 0 in the second column of a wide character.
struct ReportCell {
    std::uint32_t bytes = ' ';
    constexpr ReportCell() = default;
    constexpr ReportCell(char ch) : bytes(static_cast<unsigned char>(ch)) {}
    friend constexpr bool operator==(ReportCell a, ReportCell b) { return a.bytes == b.bytes; }
    friend constexpr bool operator==(ReportCell a, char ch) { return a == ReportCell(ch); }
};

// The 501-column line every report writer fills; column 1 is the page-control column. A column
// holds one character, so that text in UTF-8 stands in the columns a reader sees; a wide
// character takes two.
struct ReportLineBuffer {
    static constexpr int kWidth = 501;
    std::array<ReportCell, kWidth> c;
    ReportLineBuffer() { clear(); }
    void clear() { c.fill(' '); }
    // Places text from 1-based column col on, a character a column (two for a wide one);
    // whatever passes column 501 is cut before the character that does not fit.
    void put(int col, std::string_view text);
    // The text of columns from..to (1-based, inclusive) in UTF-8.
    std::string view(int from, int to) const;
    // Length in columns without trailing blanks.
    int length() const;
};

// The entries of one side (items or persons) in the order a Table lists them: 1-based entry
// numbers, made negative by a writer that leaves the entry out for the rest of its request;
// count is how many entries the last sort or selection put in the list.
struct EntryOrder {
    std::vector<std::int32_t> entries;
    std::int32_t count = 0;
};

struct ReportState {
    ReportLineBuffer line;
    std::int32_t page_line_counter = 0;
    std::int32_t sub_table_counter = 0;
    std::int32_t page_number = 1;
    char heading_flag = 'Y';
    TableRequest request;  // request.table is the current Table number
    // Counts shown in the second heading line, filled in as the run learns them.
    std::int32_t persons_input = 0;
    std::int32_t items_input = 0;
    std::int32_t persons_analysed = 0;
    std::int32_t items_analysed = 0;
    std::int32_t categories = 0;
    // Progress bar: next mark position (0 = no bar open).
    std::int32_t progress_next = 0;
    // Sort state of the item and person lists ("F" fit, "M" measure, "E" entry, "A" alpha,
    // "D" displacement, "P" correlation); blank once a selection or sort option changes, or a
    // writer reorders or consumes the list.
    char item_sort_state = ' ';
    char person_sort_state = ' ';
    EntryOrder item_order;
    EntryOrder person_order;
    // Misfit rows of each side copied to the summary work file ZRR, which the run end shows on
    // screen: 0 when the analysis starts; set to the list lengths once the Tables of the run are
    // written, so that requests after the run copy none.
    std::int32_t item_rows_copied = 0;
    std::int32_t person_rows_copied = 0;
    // Set when the CFILE= or CLFILE= file could not be opened: the labels of that file are given
    // up for the rest of the run, and the control value keeps the name for the listings.
    bool category_labels_unavailable = false;
    bool code_labels_unavailable = false;
};

// The choices of a comparison of two measure files, set by the Compare Files menu (or a test):
// the statistic ("M" measure, "I" infit, any other letter outfit mean-square), the left side
// ("I" the current items, "P" the current persons, "L" the left file), and the files' bare names
// and paths.
struct ComparisonSettings {
    char column = 'M';
    char side = 'I';
    std::string left_name, left_path;
    std::string right_name, right_path;
};

struct RunState {
    // Every file the run has read (absolute paths): no output file may be written over one.
    std::vector<std::string> input_files;
    bool batch = false;
    bool finish_iterating = false;
    std::int32_t io_status = 0;
    // Set by every fatal path; the closing message and the exit status follow it.
    bool run_failed = false;
    // Set when any write to the report output file failed.
    bool report_write_failed = false;
    // The problem lines of the output files that the run could not write: repeated at its end,
    // and the run counts as failed.
    std::vector<std::string> output_failures;
    bool report_closed = false;
    bool finished = false;  // the run end has been written
    std::string closing_note;
    std::string control_file;
    bool control_file_instructions = false;  // the control file holds an instruction
    std::string report_file;
    std::string temp_directory;  // ends in "/"
    std::string output_directory;  // ends in "/"
    std::string run_id;  // three digits
    // The files of runs ended at once that this run removed at its start.
    std::size_t leftover_work_files = 0, leftover_aside_files = 0;
    // The run's end named its report: it is said to be written once it is closed whole.
    bool report_to_announce = false;
    // The report's name was checked against the input files of the control file: an input
    // opened after that under the report's name stops the run.
    bool report_guarded = false;
    std::string run_date;  // 17 characters
    std::string extra_specifications;  // typed line of further instructions
    std::vector<std::string> command_instructions;  // "Variable=Value" arguments, list lines
    bool both_names_given = false;
    std::int32_t idle_counter = 0;
    ComparisonSettings comparison;
    // Record length of the item label work file ZJJ: its longest label line, at least 5.
    std::int32_t item_label_record_length = 0;
    // The XFILE= fields and entry limits the Output Files menu writes (15 positions, blank = not
    // chosen; limits 0 = all); they stay between requests.
    std::string xfile_fields = "XXXXXXXXXXXXX  ";
    std::int32_t xfile_person_limit = 0;
    std::int32_t xfile_item_limit = 0;
    // Run constants.
    float exponent_clamp = 20.0f;
    float smallest_positive = 9.35762297e-14f;  // exp(-30)
};

struct Run;

// The pages the report layer adds at the end of the run, while the report is still open: the
// report saved before the Tables and the copy of the control lines under their Table 0 heading.
// The analysis driver sets it when a run starts; without it the run end closes the report as it
// stands.
using ReportEndWriter = void (*)(Run& run);

struct Run {
    HostServices* host = nullptr;
    ReportEndWriter report_end = nullptr;
    ControlVariables cv;
    RunState rs;
    ReportState rep;
    FileUnits units;
    AnalysisArrays arrays;
    RecordUnits records;  // direct-access work files (ZMM, ZNN, ZPP, ZQQ, ZJJ)
    InputState input;     // values of the driver and data input read by later phases
    std::vector<std::string> args;  // command-line arguments after the program name
    std::optional<std::tm> fixed_time;  // tests pin the clock
    std::optional<long long> fixed_clock_seconds;  // tests pin the run-id clock
};

// Thrown by stop_analysis_and_idle once the run has ended; the driver catches it.
struct RunStopped {};

// Path of the work file with the given three-letter code in the temporary directory.
std::string work_file_path(const Run& run, std::string_view code);

}  // namespace korvelan

// The frame every output-file writer follows: where a file's lines go (output unit 8 while the
// run writes its report, the host's line file once the report is closed), the Edit-menu entry,
// failures that end the file but never the run, and the pieces of the record layouts: the
// comma- and tab-separated line compression, quoted fields and number fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// Longest line of a fixed-layout record, in characters; a longer label is cut there.
inline constexpr std::size_t kFixedRecordLimit = 260;

inline bool is_csv(const OutputSettings& s) { return s.csv == 'Y' || s.csv == 'T'; }
inline bool heading_lines(const OutputSettings& s) { return s.hlines == 'Y'; }

// The GROUPS= character of item i: the item's own when GROUPS= gives one per item, else the
// first character of GROUPS= (blank when it is not set).
char item_groups_character(const OutputSettings& s, const AnalysisArrays& a, std::int32_t i);

// Rewrites a comma-separated line in place: outside double quotes every blank is dropped and,
// when csv is 'T', every comma becomes a tab; inside double quotes every character stays (a
// doubled quote inside a quoted field closes and reopens it, so it stays too). The line then
// ends after its last kept character.
void compress_csv_line(std::string& line, char csv);

// Appends the text enclosed in double quotes, every double quote inside it doubled.
void append_quoted(std::string& line, std::string_view text);

// Appends an entry number right-justified in w columns. A number with more digits takes the
// columns it needs: an entry number is never cut or starred, so files stay readable by entry.
void append_entry_number(std::string& line, std::int64_t n, int w);

// Appends an integer right-justified in w columns, a field of "*" when it does not fit.
void append_int_field(std::string& line, std::int64_t n, int w);

// A number field of a record: with d decimals right-justified in w columns in the fixed layout
// (append_fixed_field), in full in a comma- or tab-separated record (append_full_number), whose
// fields have no width to overflow.
void append_number_field(std::string& line, float x, int w, int d, bool csv);
// An integer field likewise: right-justified in w columns, or all its digits when csv.
void append_integer_field(std::string& line, std::int64_t n, int w, bool csv);

// One output file while its writer runs.
class OutputFile {
public:
    OutputFile(Run& run, std::string_view file_name);
    // A file whose failures are reported under the name of the operation that writes it.
    OutputFile(Run& run, std::string_view file_name, std::string_view reported_name);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // While the report is open, opens the file on unit 8 (rewritten from the start); once the
    // report is closed the host's line file is already open. Then adds the Edit-menu entry
    // "menu_label" + file name (none for an empty label). An open failure is reported ("O") and
    // false returned.
    bool open(std::string_view menu_label);
    // Writes one line without its trailing blanks, ended by CR LF. The first failure is
    // reported ("W"); later lines are not written. Returns whether the file is still good.
    bool write(std::string_view line);
    // Writes lines that already end in CR LF and carry no trailing blanks, all at once; the same
    // as writing them one by one.
    bool write_lines(std::string_view text);
    // Closes unit 8 (the host's line file belongs to whoever opened it); a failure to write the
    // last buffered lines is reported like a failed line.
    void close();
    // True when the file was opened and every line so far was written.
    bool ok() const { return opened_ && !failed_; }
    const std::string& name() const { return name_; }

private:
    Run& run_;
    std::string name_;
    std::string reported_;
    bool opened_ = false;
    bool closed_ = false;
    bool failed_ = false;
    bool own_unit_ = false;
};

}  // namespace korvelan

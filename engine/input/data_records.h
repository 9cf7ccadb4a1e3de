// Data records: the lines of a data source (the control file after its labels, or a DATA= file,
// on unit 3), the record line one record is read into (one line, or the fields of FORMAT=),
// and the splitting of a record into the person label and the NI responses, which end up in
// record columns 1 to NI x XWIDE. Also the 500-column echo lines shown for the first record.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "engine/input/delimited_records.h"
#include "engine/input/record_format.h"
#include "engine/input/selections.h"
#include "engine/run/run.h"

namespace korvelan {

// Longest record line; columns beyond it read as blanks.
inline constexpr std::int32_t kRecordWidth = 32000;
// Width of the echo and marker lines of the first record.
inline constexpr std::int32_t kEchoWidth = 500;

// Replaces every character below the blank (codes 0 to 31) by a blank.
void blank_control_characters(char* text, std::size_t length);
inline void blank_control_characters(std::string& text) {
    blank_control_characters(text.data(), text.size());
}

// What a column of a data file's records is. A file that is not valid UTF-8 throughout (a
// one-byte code page such as Windows-1251 or Latin-1) is read a byte a column; a UTF-8 file a
// character a column, unless its records line up their responses by bytes (as printf pads) or
// by screen columns (a wide character two, as an editor draws them).
enum class ColumnUnit : std::uint8_t { Characters, Bytes, ScreenColumns };

// The columns of a line of a data source: one byte a column (a character of several bytes stands
// as its first byte, which is no response code), and, for a line that holds such characters, the
// UTF-8 bytes of every column (first byte lowest). By screen columns a wide character is
// followed by a column of its own that holds nothing (cell 0, byte 0x80). A character that is a
// response code (CODES=АБВГ) stands as the byte the code strings store for it. A line of ASCII,
// or read by bytes, is its own columns.
struct LineColumns {
    std::string bytes;
    std::vector<std::uint32_t> cells;  // empty when every column is one byte
    // True, leaving bytes alone, when the text is its own columns.
    bool decode(std::string_view text, ColumnUnit unit, const CodeCharacters& codes);
};
// Appends the UTF-8 text of the column cells to out.
void append_cell_text(const std::uint32_t* cells, std::size_t n, std::string& out);

// A line of at most 500 columns, a character a column; whatever would pass column 500 is cut.
struct EchoLine {
    std::vector<std::string> c;
    EchoLine() { clear(); }
    void clear() { c.assign(kEchoWidth, " "); }
    // Places text from 1-based column col on, one character a column.
    void put(std::int64_t col, std::string_view text);
    std::string text() const;  // without trailing blanks
};

// The ruler shown above the first record: one digit line per decimal place of the width
// (highest place first), then a line of "-".
std::vector<std::string> ruler_lines(std::int32_t width);

// Lines of a file open on a unit, read through one buffer: no allocation per line. A line
// loses its line end (LF, CR LF or CR) and is cut at 32000 characters.
class DataLineSource;
// Decides what a column of the file on the unit is, from its lines from first_line + 1 on (the
// records of the source); name names the file in messages.
using ColumnDecider = ColumnUnit (*)(Run& run, int unit, std::int64_t first_line,
                                     const std::string& name);

class DataLineSource : public RecordLineSource {
  public:
    DataLineSource(Run& run, int unit) : run_(run), unit_(unit) {}
    // Lines read by a fixed unit (the decision already made).
    DataLineSource(Run& run, int unit, ColumnUnit columns)
        : run_(run), unit_(unit), columns_unit_(columns), decided_(true) {}
    // The file's column unit is decided by `decide` when its first line that is not all ASCII
    // is read (a file of ASCII lines reads alike by any), once for the whole file.
    void decide_columns_with(ColumnDecider decide, std::string name);
    // Lines read by a unit decided before (the records MFORMS= made from its data files).
    void read_by(ColumnUnit columns) { columns_unit_ = columns; }
    ColumnUnit column_unit() const { return columns_unit_; }
    DataLineSource(const DataLineSource&) = delete;
    DataLineSource& operator=(const DataLineSource&) = delete;
    // 0 with the next line as one byte a column, -1 at the end of the file, or an error code.
    int next_line(std::string_view& line) override;
    const std::uint32_t* cells() const override {
        return columns_.cells.empty() ? nullptr : columns_.cells.data();
    }
    // The line as read, in UTF-8.
    std::string_view text() const { return buffer_; }
    // Back to the first line (a DATA= file whose first line was shown before FORMAT=).
    int rewind();

  private:
    void decide_columns();

    Run& run_;
    int unit_;
    std::string buffer_;
    LineColumns columns_;
    ColumnUnit columns_unit_ = ColumnUnit::Characters;
    bool decided_ = true;
    ColumnDecider decide_ = nullptr;
    std::string name_;
    std::int64_t first_line_ = 0;
};

// The record line of the record in hand and how a record is read into it and split.
class RecordLine {
  public:
    explicit RecordLine(const ControlVariables& cv);

    // Status of compiling FORMAT= (0 when it is blank or compiled).
    int format_status() const { return format_status_; }
    bool formatted() const { return formatted_; }
    bool delimited() const { return cv_.delimiter != ' '; }

    // Reads the next record: one line, or FORMAT= fields of XWIDE characters one after another.
    // 0 a record, -1 the end of the source, or an error code.
    int read(DataLineSource& source);

    // The record as read, in UTF-8: columns 1 to length() (trailing blanks cut).
    std::string_view columns() const;
    std::int32_t length() const { return length_; }  // in columns
    bool blank() const { return length_ == 0; }
    char first() const { return line_[0]; }

    // Fixed columns or FORMAT=: the label (NAMLEN= characters into label, in UTF-8, then blanks);
    // columns beyond the record read as blanks. Returns the bytes of those characters.
    std::size_t take_label(std::string& label) const;
    // Whether a column of the record holds a character of several bytes.
    bool multibyte() const { return multibyte_; }
    ColumnUnit column_unit() const { return unit_; }
    // Fixed columns or FORMAT=: the NI responses moved to column 1.
    void move_responses_to_column_1();
    // A column selection ($S..W..) applied to the columns of the record as read.
    void select_columns(const FieldSelection& selection, SelectedText& out) const;
    // Delimited: the label, and the responses in columns 1 to NI x XWIDE; fields() holds the
    // fields of the record as it was read.
    void split_delimited(std::string& label);
    const DelimitedFields& fields() const { return fields_; }

    // Response of item i (from 1), XWIDE characters, once the responses are in column 1.
    const char* response(std::int32_t item) const {
        return line_.data() + static_cast<std::size_t>(item - 1) * static_cast<std::size_t>(xwide_);
    }
    std::string_view responses() const { return {line_.data(), response_width_}; }

  private:
    const ControlVariables& cv_;
    std::int32_t xwide_;
    std::size_t response_width_;
    bool formatted_ = false;
    int format_status_ = 0;
    RecordFormat format_;
    std::vector<char> line_;  // kRecordWidth columns and a guard, blank beyond length_
    // The UTF-8 bytes of every column (as LineColumns) while the record holds a character of
    // several bytes; empty else.
    std::vector<std::uint32_t> cells_;
    bool multibyte_ = false;
    ColumnUnit unit_ = ColumnUnit::Characters;  // of the source the record was read from
    mutable std::string text_;  // columns() of such a record
    std::int32_t length_ = 0;
    std::int32_t used_ = 0;  // columns that may be non-blank
    std::string delimited_text_;
    DelimitedFields fields_;
};

// Reads the next record of the control file as a data record (for per-item strings given in data
// layout right after "&END"), moves its responses to column 1 and copies the first NI x XWIDE
// characters into text. A record that cannot be read ends the run, naming the instruction.
void read_data_format_record(Run& run, std::string_view instruction, std::string& text);

}  // namespace korvelan

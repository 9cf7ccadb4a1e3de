// FORMAT= for data records: the interpreter that reads each record with the format text
// (the value itself is checked with the other control settings). Only A fields deliver data; X, T, TL and
// TR move along the line, "/" goes on to the next line, so a record may span several lines.
// The text is compiled once into a compact program; reading a record then allocates nothing.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

// ---- the interpreter ---------------------------------------------------------------------------

// FORMAT= error codes (the file-error table gives their texts).
namespace format_error {
inline constexpr int kNotAField = 6205;          // a data field other than A met a list item
inline constexpr int kRepeatNotPositive = 6502;  // 0 as a repeat count
inline constexpr int kMultipleRepeat = 6503;     // 2*3
inline constexpr int kInvalidNumber = 6504;      // a number followed by what no number precedes
inline constexpr int kIntegerExpected = 6980;    // T, TL, TR, I, F ... without their number
inline constexpr int kMustStartWithParen = 6981;
inline constexpr int kPositiveRequired = 6982;  // 0X, T0, A0
inline constexpr int kInvalidRepeat = 6983;     // a repeat count before T, B, S or ":"
inline constexpr int kIntegerBeforeX = 6984;
inline constexpr int kBNotNOrZ = 6985;
inline constexpr int kTooDeep = 6986;
inline constexpr int kDecimalPointNeeded = 6987;
inline constexpr int kNotEnoughClose = 6988;
inline constexpr int kUnknownCharacter = 6989;
inline constexpr int kValueTooLarge = 6991;
}  // namespace format_error

struct RecordFormat {
    enum class Op : std::uint8_t {
        GroupBegin,  // count = repeat count
        GroupEnd,    // value = index of its GroupBegin
        ReadA,       // count = repeat count, value = width (0: the field width)
        OtherData,   // I, F, E, D, G or L: cannot fill a text field
        Colon,       // ends the record when no field is left to read
        Skip,        // nX / TRn: value = n
        Tab,         // Tn: value = n
        TabLeft,     // TLn: value = n
        NextLine,    // "/": count = repeat count
    };
    struct Step {
        Op op;
        std::int32_t count;
        std::int32_t value;
    };
    std::vector<Step> steps;
    // Where reading starts again when the format is used up before the fields: the group whose
    // ")" is the last one before the final ")", or the whole format.
    std::int32_t reversion_start = 0;
    bool reversion_reads = false;  // whether that part holds any data field
};

// Compiles a FORMAT= text (case and blanks do not matter; text after the final ")" is ignored).
// Returns 0 or a FORMAT error code.
int compile_record_format(std::string_view text, RecordFormat& out);

// Delivers the lines of a data source one at a time.
class RecordLineSource {
  public:
    virtual ~RecordLineSource() = default;
    // 0 with the next line, one byte a column, -1 at the end of the source, or an error code.
    virtual int next_line(std::string_view& line) = 0;
    // The UTF-8 bytes of every column of that line (LineColumns), or nullptr when every
    // column is one byte.
    virtual const std::uint32_t* cells() const { return nullptr; }
};

// Reads one record: field_count fields of field_width characters each, stored one after another
// from out[0] (which must hold field_count x field_width characters). An Aw field with w at least
// the field width delivers its rightmost field_width characters; a narrower one is blank-padded;
// columns beyond the line read as blanks. Lines skipped by a final "/" are consumed, but the end
// of the source there does not spoil the record. Positions count columns (characters). With
// out_cells, the UTF-8 bytes of each column go there too (out_cells must hold as many), and
// multibyte is set when a column holds a character of several bytes. Returns 0, -1 when the
// source ended before the record was complete, an error of the source, or kNotAField.
int read_formatted_record(const RecordFormat& format, RecordLineSource& lines,
                          std::int32_t field_width, std::int32_t field_count, char* out,
                          std::uint32_t* out_cells = nullptr, bool* multibyte = nullptr);

}  // namespace korvelan

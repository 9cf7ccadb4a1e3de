// Number and text utilities shared by every part of the engine: fixed-width number texts for
// report lines, messages and file names, number reading from control values and edit-file lines,
// and case and justification of text fields.
//
// Text fields are std::string objects whose size is the field width (blank-padded on the right).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/text_columns.h"

namespace korvelan {

// Status of a failed number conversion: the I/O library code "Illegal character in numeric input".
inline constexpr int kNumericInputError = 10016;

// ---- text helpers -------------------------------------------------------------------------
std::string_view trim_right(std::string_view s);
std::string_view trim_left(std::string_view s);
std::string_view trim(std::string_view s);
// Padding and cutting by characters, display columns or bytes: engine/run/text_columns.h.
bool iequals(std::string_view a, std::string_view b);
bool istarts_with(std::string_view s, std::string_view prefix);

void left_justify_in_place(std::string& text);
// Letters a..z among the first n characters become A..Z; other bytes stay.
void uppercase_string(std::string& text, int n);
void uppercase_whole_string(std::string& text);

// ---- the engine's own fixed-point routines ------------------------------------------------
// Digits right-justified; high-order digits that do not fit are lost; "-" before the leftmost
// digit placed, or in position 1 when the digits fill the field.
void int_to_text_right(std::int64_t n, std::string& field);
std::string int_to_text10(std::int64_t n);
std::string int_to_text_left(std::int64_t n);
// Decimals from a "(Fw.d)" format text: the single digit after the first ".".
int decimals_of_format(std::string_view format);
// Fixed-point text without a 0 before the point; "*" only above 2^31 in magnitude.
void real_to_fixed_text(float x, std::string& field, std::string_view format);
std::string real_to_text10(float x, std::string_view format);
std::string real_to_text_left(float x, std::string_view format);
void double_to_fixed_text(double x, std::string& field, std::string_view format);
std::string double_to_text30(double x, std::string_view format);
// A count or weight as the subtotal and component reports show it: the left-justified
// real_to_text_left text with everything from the first ".000 " or ".00 " on blanked (so whole
// numbers lose their decimals); a text left blank becomes "0". 10 characters.
std::string format_count_text(float x, std::string_view format);

// ---- formatted output (the column formats of report lines and files) -----------------------
// Iw: right-justified integer, a field of "*" when it does not fit.
std::string fmt_i(std::int64_t n, int w);
// Fw.d: right-justified, rounded half away from zero, no 0 before the point between -1 and 1.
// The rule for a number in a fixed field: at d decimals where it fits; else with fewer
// decimals, down to the whole number without a point; a field of "*" only where even that does
// not fit, or the value is not finite.
std::string fmt_f(double x, int w, int d);
// The same text without its leading blanks.
std::string fmt_f_left(double x, int w, int d);
// A number of a Table appended in its field of w columns (fmt_f, fmt_i), blank before every
// number: where the line so far ends in a character that a number would run into (a digit, a
// letter, a sign or mark; not a blank and not a line-drawing character), the number is fitted into
// w - 1 columns after one blank, so it drops a decimal rather than touch the text before it.
void append_table_number(std::string& line, double x, int w, int d);
void append_table_integer(std::string& line, std::int64_t n, int w);
// A word (or any text) and after it a number of a Table in its field, as append_table_number.
std::string with_table_number(std::string text, double x, int w, int d);
// Nearest integer, halves away from zero (NINT).
std::int32_t nint(double x);

// ---- number reading -------------------------------------------------------------------------
// Value of the first digits in the text; blanks after a digit are skipped; the first other
// character ends the scan. pos is 1-based (L + 1 at the end, -1 with no digit).
void parse_first_integer(std::string_view text, int& pos, int& value);
// Decimal number with an optional leading "-" and point; no exponent and no "+".
// Returns 0 on success, else kNumericInputError (value then 0).
int parse_real_from_text(std::string_view text, float& value);
// Integer form of the same reader: "12", "-3"; a point fails.
int parse_integer_from_text(std::string_view text, std::int64_t& value);
// "a", "a-b" entry or range and one value from an edit-file line (changed in place).
void parse_numbers_in_line(std::string& line, int& first, float& value, int& status, int& last);
// Entry or range, values(2..n) and the rest of the line (changed in place). values has n entries.
void split_entry_and_value(std::string& line, int& first, std::vector<float>& values, int& status,
                           std::string& rest, int& last);
// The entry field of an edit-file line: "a" or "a-b" (also "a.b" when dot_is_mark). False, with
// first and last 0, when it is not one, a range written high to low included.
bool parse_entry_field(std::string_view field, bool dot_is_mark, int& first, int& last);
// The digit string value of a text: empty 0, a non-digit -1.
int parse_digit_string(std::string_view text);

// ---- fixed-point fields of output-file records ----------------------------------------------
// Appends the text real_to_fixed_text gives for x with d decimals, right-justified in exactly w
// columns, by the same rule as fmt_f: fewer decimals, down to the whole number, where the text
// at d decimals does not fit; w "*" only where even the whole number does not fit or x is not
// finite. A number is never shown with its sign or leading digits cut off.
void append_fixed_field(std::string& line, float x, int w, int d);
// The same number in full, for a field of a comma- or tab-separated record: the text at d
// decimals without blanks (fewer decimals only beyond the 32-bit range; "*" when not finite or
// beyond that range even without decimals).
void append_full_number(std::string& line, float x, int d);

// A Table request: Table number, eight sub-table selectors and option letters; a negative Table
// number asks for the output file of the one-letter code.
struct TableRequest {
    std::int32_t table = 0;
    char output_file_code = ' ';
    std::array<float, 8> selectors{};
    std::array<char, 8> letters{' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
};
// Parses "t.s n n ..." (a typed or listed Table request) into the request; the line changes.
void parse_numeric_input_line(std::string& line, TableRequest& request);

}  // namespace korvelan

// The report line writer: every line of the report output file and of every Table file passes
// through write_report_line. Also the blank-line writer, the box-character conversion and the
// progress bar of long loops.
#pragma once

#include <string>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// The drawing characters of the report and of the progress marks. In a line being built each
// is one byte, a control code that no text read from a file keeps (the readers blank those), so
// that columns count characters and user text in UTF-8 passes through untouched. Leaving the
// program a code becomes its plain replacement (ASCII=Y) or the character itself in UTF-8.
struct DrawingCharacter {
    char code;
    char plain;
    std::string_view utf8;
};
inline constexpr DrawingCharacter kDrawingCharacters[] = {
    {'\x10', '-', "\u2500"},  // single horizontal
    {'\x11', '|', "\u2502"},  // single vertical
    {'\x12', '|', "\u251C"},  // single vertical and right
    {'\x13', '+', "\u253C"},  // single cross
    {'\x14', '|', "\u2524"},  // single vertical and left
    {'\x15', '+', "\u250C"},  // single down and right
    {'\x16', '-', "\u252C"},  // single down and horizontal
    {'\x17', '+', "\u2510"},  // single down and left
    {'\x18', '+', "\u2514"},  // single up and right
    {'\x19', '-', "\u2534"},  // single up and horizontal
    {'\x1A', '+', "\u2518"},  // single up and left
    {'\x01', '*', "\u2554"},  // double down and right
    {'\x02', '*', "\u2550"},  // double horizontal
    {'\x03', '*', "\u2557"},  // double down and left
    {'\x04', '*', "\u255A"},  // double up and right
    {'\x05', '*', "\u2551"},  // double vertical
    {'\x06', '*', "\u255D"},  // double up and left
    {'\x07', '.', "\u2219"},  // bullet operator
    {'\x08', '.', "\u00B7"},  // middle dot
    {'\x0E', '|', "\u255E"},  // progress marks: opening (single vertical, double right)
    {'\x0F', '|', "\u2561"},  // and closing (single vertical, double left)
};

// The entry of a drawing code; nullptr for any other byte.
const DrawingCharacter* drawing_character(char code);
// The text with its drawing codes as plain characters (plain) or as UTF-8 characters.
std::string drawn_text(std::string_view text, bool plain);

namespace box {
inline constexpr char kHorizontal = '\x10';
inline constexpr char kVertical = '\x11';
inline constexpr char kVerticalRight = '\x12';
inline constexpr char kCross = '\x13';
inline constexpr char kVerticalLeft = '\x14';
inline constexpr char kDownRight = '\x15';
inline constexpr char kDownHorizontal = '\x16';
inline constexpr char kDownLeft = '\x17';
inline constexpr char kUpRight = '\x18';
inline constexpr char kUpHorizontal = '\x19';
inline constexpr char kUpLeft = '\x1A';
inline constexpr char kDoubleDownRight = '\x01';
inline constexpr char kDoubleHorizontal = '\x02';
inline constexpr char kDoubleDownLeft = '\x03';
inline constexpr char kDoubleUpRight = '\x04';
inline constexpr char kDoubleVertical = '\x05';
inline constexpr char kDoubleUpLeft = '\x06';
inline constexpr char kProgressOpen = '\x0E';
inline constexpr char kProgressClose = '\x0F';
}  // namespace box

// Replaces the drawing characters among the first n characters of the buffer by plain ones.
void convert_box_characters_to_ascii(ReportLineBuffer& line, int n);
// Writes the current line (run.rep.line) to the report, or to the Table file after the run.
void write_report_line(Run& run);
void write_blank_report_line(Run& run);
// Convenience: fills the buffer with the text from column 1 and writes it.
void write_report_text(Run& run, std::string_view text_from_column_1);
// The same for a line that may be wider than the report line: written whole, never cut.
void write_wide_report_line(Run& run, std::string text_from_column_1);
// Continues the window's current line with one character: a drawing code is sent as the UTF-8
// bytes of its character.
void send_drawn_char_to_text_window(Run& run, char c);
// Advances the progress bar of up to 75 marks; a total below 1 draws nothing.
void show_progress_bar(Run& run, int current, int total);

}  // namespace korvelan

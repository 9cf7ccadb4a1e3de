// The report line writer: every line of the report output file and of every Table file passes
// through write_report_line. Also the blank-line writer, the box-character conversion and the
// progress bar of long loops.
#pragma once

#include <string>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// The code page 437 line-drawing bytes and their plain replacements, searched in this order.
inline constexpr std::string_view kAsciiBoxBytes =
    "\xC4\xB3\xC3\xC5\xB4\xDA\xC2\xBF\xC0\xC1\xD9\xC9\xCD\xBB\xC8\xBA\xBC\xF9\xFA";
inline constexpr std::string_view kAsciiBoxMap = "-||+|+-++-+******..";

// Code page 437 drawing bytes used by the writers.
namespace box {
inline constexpr char kHorizontal = '\xC4';
inline constexpr char kVertical = '\xB3';
inline constexpr char kDownRight = '\xDA';
inline constexpr char kDownLeft = '\xBF';
inline constexpr char kUpRight = '\xC0';
inline constexpr char kUpLeft = '\xD9';
inline constexpr char kVerticalRight = '\xC3';
inline constexpr char kVerticalLeft = '\xB4';
inline constexpr char kCross = '\xC5';
inline constexpr char kDownHorizontal = '\xC2';
inline constexpr char kUpHorizontal = '\xC1';
inline constexpr char kDoubleDownRight = '\xC9';
inline constexpr char kDoubleHorizontal = '\xCD';
inline constexpr char kDoubleDownLeft = '\xBB';
inline constexpr char kDoubleVertical = '\xBA';
inline constexpr char kDoubleUpRight = '\xC8';
inline constexpr char kDoubleUpLeft = '\xBC';
}  // namespace box

// Replaces the box characters among the first n characters of the buffer.
void convert_box_characters_to_ascii(ReportLineBuffer& line, int n);
// Writes the current line (run.rep.line) to the report, or to the Table file after the run.
void write_report_line(Run& run);
void write_blank_report_line(Run& run);
// Convenience: fills the buffer with the text from column 1 and writes it.
void write_report_text(Run& run, std::string_view text_from_column_1);
// The same for a line that may be wider than the report line: written whole, never cut.
void write_wide_report_line(Run& run, std::string text_from_column_1);
// Advances the progress bar of up to 75 marks; a total below 1 draws nothing.
void show_progress_bar(Run& run, int current, int total);

}  // namespace korvelan

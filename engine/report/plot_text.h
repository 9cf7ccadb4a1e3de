// Texts laid over a plot line without covering what is drawn there, marker pairs around a
// place, and the removal of the OBS-EXP column from a report line.
//
// A plot line is any run of characters (a std::string or the report line buffer); positions are
// 0-based indexes into it. A place is free when it holds " ", "|" or ":" (and, for the markers,
// ".").
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// overlay_text_on_plot_line: copies the non-blank characters of the trimmed text to the line
// from `position` on when every one of them lands on a free place inside the line; otherwise
// leaves the line as it was. Returns whether the text was placed.
bool overlay_text_on_plot_line(std::span<char> line, std::size_t position, std::string_view text);

// overlay_text_at_free_place: the same at the first position from `position` rightwards where
// the text fits; the search ends with the line, and a text that fits nowhere is skipped.
// Returns the position used, or -1.
int overlay_text_at_free_place(std::span<char> line, std::size_t position, std::string_view text);

// place_marker_pair: the right marker on the first free place from `position` to the end of the
// line, then the left marker on the first other free place from `position` back to the start;
// a marker without a free place on its side is dropped.
void place_marker_pair(std::span<char> line, std::size_t position, char left, char right);

// drop_column_from_report_line: while the residual column flag is 0, the 10 characters before
// the last non-blank character of the report line are removed (that character moves 10 places
// left); a line of 10 characters or fewer, or a flag other than 0, leaves the line unchanged.
void drop_column_from_report_line(ReportLineBuffer& line, std::int32_t residual_column_flag);

}  // namespace korvelan

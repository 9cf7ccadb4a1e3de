// The characters of a line of the Input/Output window, which holds UTF-8: the characters of the
// engine's text columns (engine/run/text_columns.h), a line cut into them from its start, so
// that a byte outside any valid character stands as a character of its own. On the screen a
// character takes one cell (column) of the window, or two when it is drawn wide: the East Asian
// wide and fullwidth characters (CJK, kana, Hangul, fullwidth forms) and the emoji pictographs.
// Cells place the caret, the mouse and the selection; character counts keep the line and paste
// limits.
#pragma once

#include <string_view>

#include "engine/run/text_columns.h"

namespace korvelan::utf8 {

inline bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The byte after the character that starts at byte `at`.
inline int next_char(std::string_view line, int at) {
    return at + static_cast<int>(utf8_character_size(line, static_cast<std::size_t>(at)));
}

// The code point of the character that starts at byte `at` (a malformed one: its first byte).
inline char32_t code_point(std::string_view line, int at) {
    return character_code(line, static_cast<std::size_t>(at));
}

// Whether the character is drawn two cells wide.
inline bool wide(char32_t c) {
    return wide_character(c);
}

// The cells of the character that starts at byte `at`: 1 or 2.
inline int width_at(std::string_view line, int at) { return wide(code_point(line, at)) ? 2 : 1; }

// The number of characters that start before byte position `byte`.
inline int char_of(std::string_view line, int byte) {
    int n = 0;
    for (int at = 0; at < byte && at < static_cast<int>(line.size()); at = next_char(line, at)) ++n;
    return n;
}

inline int chars(std::string_view line) { return char_of(line, static_cast<int>(line.size())); }

// The byte position where character `n` starts; the line's end for one past it.
inline int byte_of_char(std::string_view line, int n) {
    int at = 0;
    for (int c = 0; c < n && at < static_cast<int>(line.size()); ++c) at = next_char(line, at);
    return at;
}

// The cell of byte position `byte`: the cells of the characters that start before it.
inline int cell_of(std::string_view line, int byte) {
    int cells = 0;
    for (int at = 0; at < byte && at < static_cast<int>(line.size()); at = next_char(line, at))
        cells += width_at(line, at);
    return cells;
}

inline int cells(std::string_view line) { return cell_of(line, static_cast<int>(line.size())); }

// The byte position of the character that covers cell `cell` (the second cell of a wide
// character gives its start); the line's end for a cell past it.
inline int byte_of(std::string_view line, int cell) {
    int at = 0;
    for (int c = 0; at < static_cast<int>(line.size()); at = next_char(line, at)) {
        c += width_at(line, at);
        if (c > cell) break;
    }
    return at;
}

// The cell where the character covering `cell` starts; a cell past the line stays.
inline int boundary_cell(std::string_view line, int cell) {
    return cell >= cells(line) ? cell : cell_of(line, byte_of(line, cell));
}

// The start of the character before byte position `byte` (0 at the start).
inline int previous_char(std::string_view line, int byte) {
    int start = 0;
    for (int at = 0; at < byte && at < static_cast<int>(line.size()); at = next_char(line, at)) start = at;
    return start;
}

}  // namespace korvelan::utf8

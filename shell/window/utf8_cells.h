// The characters of a line of the Input/Output window, which holds UTF-8: each character takes
// one cell (column) of the window, whatever its number of bytes. A character is a byte that
// does not continue one (10xxxxxx) with the continuation bytes after it, at most four bytes in
// all; a line is always cut into characters from its start, so that a stray continuation byte
// stands as a character of its own and every column maps to one byte position.
#pragma once

#include <string_view>

namespace korvelan::utf8 {

inline bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The byte after the character that starts at byte `at`.
inline int next_char(std::string_view line, int at) {
    const int size = static_cast<int>(line.size());
    int end = at + 1;
    if (static_cast<unsigned char>(line[static_cast<std::size_t>(at)]) < 0xC0) return end;  // no lead byte
    while (end < size && end - at < 4 && continues(line[static_cast<std::size_t>(end)])) ++end;
    return end;
}

// The cell of byte position `byte`: the number of characters that start before it.
inline int cell_of(std::string_view line, int byte) {
    int cells = 0;
    for (int at = 0; at < byte && at < static_cast<int>(line.size()); at = next_char(line, at)) ++cells;
    return cells;
}

inline int cells(std::string_view line) { return cell_of(line, static_cast<int>(line.size())); }

// The byte position where cell `cell` starts; the line's end for a cell past it.
inline int byte_of(std::string_view line, int cell) {
    int at = 0;
    for (int c = 0; c < cell && at < static_cast<int>(line.size()); ++c) at = next_char(line, at);
    return at;
}

// The start of the character before byte position `byte` (0 at the start).
inline int previous_char(std::string_view line, int byte) {
    int start = 0;
    for (int at = 0; at < byte && at < static_cast<int>(line.size()); at = next_char(line, at)) start = at;
    return start;
}

}  // namespace korvelan::utf8

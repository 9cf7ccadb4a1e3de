// The characters of a line of the Input/Output window, which holds UTF-8. A character is a byte
// that does not continue one (10xxxxxx) with the continuation bytes after it, at most four bytes
// in all; a line is always cut into characters from its start, so that a stray continuation byte
// stands as a character of its own. On the screen a character takes one cell (column) of the
// window, or two when it is drawn wide: the East Asian wide and fullwidth characters (CJK, kana,
// Hangul, fullwidth forms) and the emoji pictographs. Cells place the caret, the mouse and the
// selection; character counts keep the line and paste limits.
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

// The code point of the character that starts at byte `at` (a malformed one: its first byte).
inline char32_t code_point(std::string_view line, int at) {
    const int end = next_char(line, at);
    const auto lead = static_cast<unsigned char>(line[static_cast<std::size_t>(at)]);
    const int n = end - at;
    const int expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (n != expected) return lead;
    char32_t c = n == 1 ? lead : lead & (0x7F >> n);
    for (int k = at + 1; k < end; ++k) c = (c << 6) | (static_cast<unsigned char>(line[static_cast<std::size_t>(k)]) & 0x3F);
    return c;
}

// Whether the character is drawn two cells wide.
inline bool wide(char32_t c) {
    struct Range {
        char32_t first, last;
    };
    static constexpr Range kWide[] = {
        {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
        {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
        {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
        {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
        {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F5},   {0x26FA, 0x26FD},
        {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},   {0x274C, 0x274C},
        {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},
        {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
        {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
        {0xA000, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
        {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},
        {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF}, {0x1F004, 0x1F004},
        {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
        {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F9FF},
        {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD}};
    if (c < 0x1100) return false;
    for (const Range& r : kWide)
        if (c >= r.first && c <= r.last) return true;
    return false;
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

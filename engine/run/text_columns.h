// Characters and columns of text. Text is UTF-8; a byte that is not part of a valid UTF-8
// character (text saved in a one-byte code page such as Latin-1, a stray continuation byte)
// stands as a character of its own, so such text reads byte for byte as before.
//
// A column of a data record, of a label and of a column selection is one character. In Tables
// and on the screen a character takes one display column, or two when it is drawn wide (the East
// Asian wide and fullwidth characters and the emoji pictographs), as in the Input/Output window.
// Text that is all ASCII takes the plain byte paths: there a byte, a character and a display
// column are the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace korvelan {

// Whether every byte of s is below 0x80.
inline bool all_ascii(std::string_view s) {
    const char* p = s.data();
    std::size_t n = s.size();
    for (; n >= 16; p += 16, n -= 16) {
        std::uint64_t a, b;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + 8, 8);
        if ((a | b) & 0x8080808080808080ull) return false;
    }
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        if (w & 0x8080808080808080ull) return false;
    }
    for (; n > 0; ++p, --n)
        if (static_cast<unsigned char>(*p) >= 0x80) return false;
    return true;
}

// Whether s is valid UTF-8 throughout: every byte of 0x80 and above belongs to a valid character.
bool valid_utf8(std::string_view s);

// Bytes of the character that starts at byte `at`: 2 to 4 for a valid UTF-8 character of
// several bytes, else 1; 0 at or past the end.
std::size_t utf8_character_size(std::string_view s, std::size_t at);
// The code point of that character; a byte outside any valid character gives its own value
// (which is its Latin-1 meaning).
char32_t character_code(std::string_view s, std::size_t at);
// Whether a character is drawn two columns wide.
bool wide_character(char32_t c);
// Display columns of the character that starts at byte `at` (1 or 2).
inline int display_width_at(std::string_view s, std::size_t at) {
    return static_cast<unsigned char>(s[at]) < 0x80
               ? 1
               : (wide_character(character_code(s, at)) ? 2 : 1);
}

// ---- characters (record columns, label fields, selections) -----------------------------------
std::size_t character_count(std::string_view s);
// The byte where character k (counted from 0) starts; s.size() when s has k characters or fewer.
std::size_t character_offset(std::string_view s, std::size_t k);
// The characters first .. first + count - 1 (from 0); what lies beyond s is left out.
std::string_view character_span(std::string_view s, std::size_t first, std::size_t count);
inline std::string_view character_prefix(std::string_view s, std::size_t n) {
    return character_span(s, 0, n);
}
// Cut or blank-padded to exactly n characters.
std::string pad_characters(std::string_view s, std::size_t n);

// ---- display columns (Tables and the screen) --------------------------------------------------
std::size_t display_width(std::string_view s);
// The longest start of s that takes at most n display columns.
std::string_view display_prefix(std::string_view s, std::size_t n);
// Cut or blank-padded on the right to exactly n display columns (a blank stands for a wide
// character that would pass the last column).
std::string pad_right(std::string_view s, std::size_t n);
// Right-justified in n display columns; a longer text keeps its last characters that fit (a
// blank for a wide character cut at their front).
std::string pad_left(std::string_view s, std::size_t n);

// Places text into a line from display column `column` (1-based) on, over what stood in the
// columns it takes (a wide character it cuts into becomes a blank); the line is blank-padded to
// reach them.
void place_text(std::string& line, std::size_t column, std::string_view text);

// ---- bytes (stored fields of a fixed byte width) -----------------------------------------------
// Where byte n of s falls inside a character of several bytes: the start of that character,
// and its end (one past its last byte); n itself otherwise.
std::size_t utf8_character_start(std::string_view s, std::size_t n);
std::size_t utf8_character_end(std::string_view s, std::size_t n);
// The longest start of s of at most n bytes that does not end inside a character.
std::string_view utf8_prefix(std::string_view s, std::size_t n);
// Cut or blank-padded to exactly n bytes; a cut never splits a character (blanks fill the bytes
// of a character that does not fit whole).
std::string pad_bytes(std::string_view s, std::size_t n);

}  // namespace korvelan

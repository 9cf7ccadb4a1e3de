#include "engine/run/text_columns.h"

#include <algorithm>

namespace korvelan {

namespace {
bool continues(unsigned char b) {
    return (b & 0xC0) == 0x80;
}
unsigned char byte_at(std::string_view s, std::size_t k) {
    return static_cast<unsigned char>(s[k]);
}
}  // namespace

std::size_t utf8_character_size(std::string_view s, std::size_t at) {
    if (at >= s.size()) return 0;
    const unsigned char lead = byte_at(s, at);
    if (lead < 0x80) return 1;
    // The second byte's range excludes the overlong forms, the surrogates and what lies
    // beyond U+10FFFF.
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 1;
    }
    if (s.size() - at < n) return 1;
    const unsigned char second = byte_at(s, at + 1);
    if (second < low || second > high) return 1;
    for (std::size_t k = 2; k < n; ++k)
        if (!continues(byte_at(s, at + k))) return 1;
    return n;
}

bool valid_utf8(std::string_view s) {
    if (all_ascii(s)) return true;
    for (std::size_t at = 0; at < s.size();) {
        const std::size_t n = utf8_character_size(s, at);
        if (n == 1 && byte_at(s, at) >= 0x80) return false;
        at += n;
    }
    return true;
}

char32_t character_code(std::string_view s, std::size_t at) {
    const std::size_t n = utf8_character_size(s, at);
    if (n == 0) return 0;
    const unsigned char lead = byte_at(s, at);
    if (n == 1) return lead;
    char32_t c = lead & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) c = (c << 6) | (byte_at(s, at + k) & 0x3F);
    return c;
}

bool wide_character(char32_t c) {
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

// ---- characters ---------------------------------------------------------------------------------

std::size_t character_count(std::string_view s) {
    if (all_ascii(s)) return s.size();
    std::size_t n = 0;
    for (std::size_t at = 0; at < s.size(); at += utf8_character_size(s, at)) ++n;
    return n;
}

std::size_t character_offset(std::string_view s, std::size_t k) {
    if (const std::size_t m = std::min(k, s.size()); all_ascii(s.substr(0, m))) return m;
    std::size_t at = 0;
    for (; k > 0 && at < s.size(); --k) at += utf8_character_size(s, at);
    return at;
}

std::string_view character_span(std::string_view s, std::size_t first, std::size_t count) {
    const std::size_t from = character_offset(s, first);
    const std::string_view rest = s.substr(from);
    return rest.substr(0, character_offset(rest, count));
}

std::string pad_characters(std::string_view s, std::size_t n) {
    const std::string_view kept = character_prefix(s, n);
    std::string r(kept);
    r.append(n - character_count(kept), ' ');
    return r;
}

// ---- display columns
// ------------------------------------------------------------------------------

std::size_t display_width(std::string_view s) {
    if (all_ascii(s)) return s.size();
    std::size_t w = 0;
    for (std::size_t at = 0; at < s.size(); at += utf8_character_size(s, at))
        w += static_cast<std::size_t>(display_width_at(s, at));
    return w;
}

std::string_view display_prefix(std::string_view s, std::size_t n) {
    if (all_ascii(s)) return s.substr(0, std::min(n, s.size()));
    std::size_t at = 0, w = 0;
    while (at < s.size()) {
        const auto cw = static_cast<std::size_t>(display_width_at(s, at));
        if (w + cw > n) break;
        w += cw;
        at += utf8_character_size(s, at);
    }
    return s.substr(0, at);
}

std::string pad_right(std::string_view s, std::size_t n) {
    const std::string_view kept = display_prefix(s, n);
    std::string r(kept);
    r.append(n - display_width(kept), ' ');
    return r;
}

std::string pad_left(std::string_view s, std::size_t n) {
    std::size_t w = display_width(s);
    std::size_t from = 0;
    // The characters at the front that do not fit are left out.
    while (w > n) {
        w -= static_cast<std::size_t>(display_width_at(s, from));
        from += utf8_character_size(s, from);
    }
    return std::string(n - w, ' ') + std::string(s.substr(from));
}

void place_text(std::string& line, std::size_t column, std::string_view text) {
    const std::size_t start = column - 1, end = start + display_width(text),
                      have = display_width(line);
    if (have < end) line.append(end - have, ' ');
    if (all_ascii(line)) {
        line.replace(start, end - start, text);
        return;
    }
    // The characters the text covers go, and blanks stand in for what is left of a wide one.
    const std::size_t from = display_prefix(line, start).size();
    std::size_t to = display_prefix(line, end).size();
    std::string filler(start - display_width(line.substr(0, from)), ' ');
    std::size_t after = 0;
    if (to < line.size() && display_width(line.substr(0, to)) < end) {
        after = display_width(line.substr(0, to + utf8_character_size(line, to))) - end;
        to += utf8_character_size(line, to);
    }
    line.replace(from, to - from, filler + std::string(text) + std::string(after, ' '));
}

// ---- bytes
// ----------------------------------------------------------------------------------------

std::size_t utf8_character_start(std::string_view s, std::size_t n) {
    // Only a continuation byte is inside a character: the one of the nearest byte before it that
    // does not continue one, when that byte opens a valid character reaching n.
    if (n == 0 || n >= s.size() || !continues(byte_at(s, n))) return n;
    for (std::size_t k = n; k > 0 && n - k < 3; --k) {
        if (continues(byte_at(s, k - 1))) continue;
        return k - 1 + utf8_character_size(s, k - 1) > n ? k - 1 : n;
    }
    return n;
}

std::size_t utf8_character_end(std::string_view s, std::size_t n) {
    const std::size_t start = utf8_character_start(s, n);
    if (start == n) return n;
    return start + utf8_character_size(s, start);
}

std::string_view utf8_prefix(std::string_view s, std::size_t n) {
    return s.substr(0, utf8_character_start(s, std::min(n, s.size())));
}

std::string pad_bytes(std::string_view s, std::size_t n) {
    std::string r(utf8_prefix(s, n));
    r.resize(n, ' ');
    return r;
}

}  // namespace korvelan

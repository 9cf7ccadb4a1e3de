#include "spss/characters.h"

#include "engine/run/numtext.h"

namespace korvelan::spss {

namespace {
// The byte after the character that starts at `at`.
std::size_t next_character(std::string_view s, std::size_t at) { return utf8_character_end(s, at + 1); }
}  // namespace

std::size_t character_count(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < s.size(); at = next_character(s, at)) ++count;
    return count;
}

std::string pad_characters(std::string_view s, std::size_t n) {
    std::size_t at = 0, count = 0;
    for (; at < s.size() && count < n; at = next_character(s, at)) ++count;
    std::string text(s.substr(0, at));
    text.append(n - count, ' ');
    return text;
}

std::string pad_characters_to_at_least(std::string_view s, std::size_t n) {
    const std::size_t count = character_count(s);
    return count < n ? std::string(s) + std::string(n - count, ' ') : std::string(s);
}

}  // namespace korvelan::spss

#include "spss/characters.h"

namespace korvelan::spss {

std::string pad_characters_to_at_least(std::string_view s, std::size_t n) {
    const std::size_t count = character_count(s);
    return count < n ? std::string(s) + std::string(n - count, ' ') : std::string(s);
}

std::string pad_columns_to_at_least(std::string_view s, std::size_t n) {
    const std::size_t width = display_width(s);
    return width < n ? std::string(s) + std::string(n - width, ' ') : std::string(s);
}

}  // namespace korvelan::spss

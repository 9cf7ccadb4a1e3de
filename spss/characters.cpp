#include "spss/characters.h"

namespace korvelan::spss {

std::string pad_characters_to_at_least(std::string_view s, std::size_t n) {
    const std::size_t count = character_count(s);
    return count < n ? std::string(s) + std::string(n - count, ' ') : std::string(s);
}

}  // namespace korvelan::spss

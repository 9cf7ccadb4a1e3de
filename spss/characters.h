// The fields of the conversions' files are counted in characters of UTF-8, as the program reads
// record columns and as an editor lines them up: a name or value with letters of several bytes
// takes as many columns as it has characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvelan::spss {

std::size_t character_count(std::string_view s);
// Cut or blank-padded to exactly n characters.
std::string pad_characters(std::string_view s, std::size_t n);
// Blank-padded to n characters; a longer text is kept whole.
std::string pad_characters_to_at_least(std::string_view s, std::size_t n);

}  // namespace korvelan::spss

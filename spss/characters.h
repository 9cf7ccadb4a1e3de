// The fields of the conversions' files are counted in characters of UTF-8, as the program reads
// record columns and as an editor lines them up: a name or value with letters of several bytes
// takes as many columns as it has characters (character_count and pad_characters of the
// engine's text columns). Names in the comment and label lines, which a reader lines up by eye,
// are padded by screen columns instead.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/run/text_columns.h"

namespace korvelan::spss {

// Blank-padded to n characters; a longer text is kept whole.
std::string pad_characters_to_at_least(std::string_view s, std::size_t n);
// Blank-padded to n columns on the screen (a wide character takes two), so that what follows
// lines up in an editor; a longer text is kept whole.
std::string pad_columns_to_at_least(std::string_view s, std::size_t n);

}  // namespace korvelan::spss

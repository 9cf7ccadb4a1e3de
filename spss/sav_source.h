// The bytes of a .sav or .zsav file as the library reads them: the file itself, except that the
// records the converter reads on its own are shown as records of a kind the library skips.
#pragma once

#include <readstat.h>

#include <cstdint>
#include <vector>

namespace korvelan::spss {

struct SavSource {
    int fd = -1;
    std::int64_t position = 0;
    // File offsets of the 4-byte subtype fields to show as a subtype no reader knows.
    std::vector<std::int64_t> hidden_subtypes;
};

// The parser reads through the source; the source must outlive the parse.
void read_through(readstat_parser_t* parser, SavSource& source);

}  // namespace korvelan::spss

// The per-item strings given in the control file: answer keys, IVALUE= rows and the GROUPS=,
// MODELS=, RESCORE= and IREFER= strings. Each per-item string is NI x XWIDE characters, item i
// in the XWIDE columns from (i - 1) x XWIDE + 1; the second reading of the control file fills
// them, once the analysis driver has sized them from the first reading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvelan {

struct ItemDefinitionStrings {
    std::vector<std::string> answer_keys;  // row n - 1 = KEYn=
    std::vector<std::int32_t> key_scores;  // score of a response equal to key n; -1 never given
    std::vector<std::string> ivalue_rows;  // column 1 the row letter, then CATEGS x XWIDE codes
    std::string groups;
    std::string models;
    std::string rescore;
    std::string irefer;
};

}  // namespace korvelan

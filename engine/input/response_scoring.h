// Scoring of responses. A response (XWIDE characters of a data record) is first looked up among
// the codes of CODES= (its code number, 0 when it is not a code); a code number of an item is
// then turned into the item's category 0..254 (255 = missing) through the answer keys, NEWSCR=
// with RESCORE=, or the IVALUEx= row that IREFER= names, and finally read as a number.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

inline constexpr std::int32_t kMissingCategory = 255;

// Code number of the response among the CATEGS= codes of CODES=; 0 when it is none of them.
// The response is left-adjusted first. With XWIDE 1 a code listed twice gives its first number,
// with wider codes its last.
std::int32_t find_response_code(const ControlVariables& cv, std::string_view response);

// The XWIDE bytes of code number c of CODES=, one a column (a character of several bytes as the
// byte that stands for it); empty for c below 1 or beyond CODES=.
std::string_view code_field(const ControlVariables& cv, std::int32_t c);
// The same as it is shown: a character of several bytes as itself.
std::string shown_code(const ControlVariables& cv, std::int32_t c);

// Category of code number c (0 = not a code) for item i, from the settings and the per-item
// strings of the run. Never fails: what cannot be read as 0..255 is 255.
std::int32_t score_response(const Run& run, std::int32_t code, std::int32_t item);

// The first code number whose category for item i is the given one, or 0.
std::int32_t find_code_for_category(const Run& run, std::int32_t category, std::int32_t item);

// Response lookup for data input: the same result as find_response_code, made fast for
// XWIDE 1 by a table of the 256 byte values.
class ResponseCoder {
  public:
    explicit ResponseCoder(const ControlVariables& cv);
    std::int32_t code(const char* response) const {
        if (xwide_ == 1) return single_[static_cast<unsigned char>(response[0])];
        return wide_code(response);
    }
    // With XWIDE 1, the code of each byte value; else null.
    const std::int32_t* byte_codes() const { return xwide_ == 1 ? single_.data() : nullptr; }

  private:
    std::int32_t wide_code(const char* response) const;
    const ControlVariables& cv_;
    std::int32_t xwide_;
    std::array<std::int32_t, 256> single_{};
};

// The category of every code number (0..255, as the code records hold them) of every item,
// computed once for the scoring pass: score_response depends only on the code and the item.
class ScoreTable {
  public:
    explicit ScoreTable(const Run& run);
    std::uint8_t score(std::uint8_t code, std::int32_t item) const {
        return table_[static_cast<std::size_t>(item) * 256 + code];
    }

  private:
    std::vector<std::uint8_t> table_;
};

}  // namespace korvelan

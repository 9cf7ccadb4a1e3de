// Response codes that are characters of several bytes. Scoring compares codes a byte at a time;
// a code string of the control file (CODES=, the answer keys, NEWSCR=, the IVALUEx= rows) that
// holds such a character (CODES=АБВГ) stores it as one byte value of its own, taken from the
// bytes that never stand alone in UTF-8 text and that no code uses, and a record read by
// characters stores a response column holding that character as the same byte. Whatever shows a
// code gives the character back through the same table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvelan {

struct Run;

struct CodeCharacters {
    // The UTF-8 bytes (first byte lowest, as a record's column cells hold them) of the character
    // that each byte value stands for; 0 for a byte that stands for itself.
    std::array<std::uint32_t, 256> cell{};
    // Byte values that stand alone in a code string: codes of their own, never given out.
    std::array<bool, 256> alone{};
    std::int32_t count = 0;  // characters in the table
    bool empty() const { return count == 0; }
    // The byte that stands for the character of a column cell, or 0 when it has none.
    unsigned char byte_of(std::uint32_t c) const;
};

// Replaces each character of several bytes of a code string by the byte that stands for it,
// giving a new one to a character not yet in the table. False, leaving the rest of the string
// alone, when every byte that could stand for one is taken.
bool store_code_characters(CodeCharacters& table, std::string& codes);

// Replaces each character of several bytes that the table holds by its byte (a response given
// outside a record: EDFILE=); other characters stay as they are.
void use_code_characters(const CodeCharacters& table, std::string& text);

// store_code_characters on a code string of the run's control file; when the table is full the
// run stops, naming the instruction and the string.
void store_run_codes(Run& run, std::string& codes, std::string_view instruction);

// The code string as it is shown: each byte that stands for a character gives that character.
std::string shown_codes(const CodeCharacters& table, std::string_view codes);

}  // namespace korvelan

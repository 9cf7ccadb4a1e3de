#include "engine/run/code_characters.h"

#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"
#include "engine/run/run.h"
#include "engine/run/text_columns.h"

namespace korvelan {

namespace {

// Continuation bytes never begin a character of valid UTF-8, so in text read by characters none
// of them stands in a column by itself.
constexpr unsigned kFirstStandIn = 0x80;
constexpr unsigned kLastStandIn = 0xBF;

std::uint32_t cell_of(std::string_view s, std::size_t at, std::size_t n) {
    std::uint32_t c = 0;
    for (std::size_t k = n; k-- > 0;) c = (c << 8) | static_cast<unsigned char>(s[at + k]);
    return c;
}

}  // namespace

unsigned char CodeCharacters::byte_of(std::uint32_t c) const {
    if (count == 0) return 0;
    for (unsigned b = kFirstStandIn; b <= kLastStandIn; ++b)
        if (cell[b] == c) return static_cast<unsigned char>(b);
    return 0;
}

namespace {

// Replaces each character of several bytes of text by byte_for(its cell): a byte, 0 to leave
// it as it is, or -1 to stop (false, the rest of text left as it is).
template <class ByteFor>
bool replace_characters(std::string& text, ByteFor byte_for) {
    if (all_ascii(text)) return true;
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = utf8_character_size(text, at);
        const int b = n == 1 ? 0 : byte_for(cell_of(text, at, n));
        if (b < 0) {
            out.append(text, at, std::string::npos);
            text = std::move(out);
            return false;
        }
        if (b == 0)
            out.append(text, at, n);
        else
            out += static_cast<char>(b);
        at += n;
    }
    text = std::move(out);
    return true;
}

}  // namespace

bool store_code_characters(CodeCharacters& table, std::string& codes) {
    for (std::size_t at = 0; at < codes.size();) {
        const std::size_t n = utf8_character_size(codes, at);
        const unsigned char b = static_cast<unsigned char>(codes[at]);
        if (n == 1 && b >= 0x80 && table.cell[b] == 0) table.alone[b] = true;
        at += n;
    }
    return replace_characters(codes, [&table](std::uint32_t c) {
        if (const unsigned char b = table.byte_of(c)) return static_cast<int>(b);
        unsigned free = kFirstStandIn;
        while (free <= kLastStandIn && (table.cell[free] != 0 || table.alone[free])) ++free;
        if (free > kLastStandIn) return -1;
        table.cell[free] = c;
        ++table.count;
        return static_cast<int>(free);
    });
}

void use_code_characters(const CodeCharacters& table, std::string& text) {
    if (table.empty()) return;
    replace_characters(text,
                       [&table](std::uint32_t c) { return static_cast<int>(table.byte_of(c)); });
}

void store_run_codes(Run& run, std::string& codes, std::string_view instruction) {
    const std::string given = codes;
    if (!store_code_characters(run.cv.code_characters, codes))
        fatal_message(run, std::string(msg::kCodeCharactersFull) + std::string(instruction) +
                               std::string(trim_right(given)));
}

std::string shown_codes(const CodeCharacters& table, std::string_view codes) {
    if (table.empty()) return std::string(codes);
    std::string out;
    for (char ch : codes) {
        std::uint32_t c = table.cell[static_cast<unsigned char>(ch)];
        if (c == 0) {
            out += ch;
            continue;
        }
        for (; c != 0; c >>= 8) out += static_cast<char>(c & 0xFF);
    }
    return out;
}

}  // namespace korvelan

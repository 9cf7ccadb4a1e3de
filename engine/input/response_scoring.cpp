#include "engine/input/response_scoring.h"

#include <algorithm>
#include <cstring>

namespace korvelan {

namespace {

constexpr std::size_t kCodesPerItemInTable = 256;

std::size_t width_of(const ControlVariables& cv) {
    return static_cast<std::size_t>(std::max(1, cv.xwide));
}

// Characters [at, at + n) of a text; what lies beyond its end reads as blanks.
void copy_field(std::string_view text, std::size_t at, std::size_t n, char* out) {
    for (std::size_t k = 0; k < n; ++k) out[k] = at + k < text.size() ? text[at + k] : ' ';
}

bool same_field(std::string_view text, std::size_t at, const char* field, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) {
        char c = at + k < text.size() ? text[at + k] : ' ';
        if (c != field[k]) return false;
    }
    return true;
}

// The character of item i in a per-item string reduced to one character per item.
char item_character(std::string_view text, std::int32_t item) {
    std::size_t at = static_cast<std::size_t>(item - 1);
    return item >= 1 && at < text.size() ? text[at] : ' ';
}

// Reads the XWIDE characters of a code text as a category: digits make the number, blanks are
// passed over, anything else is not a number. The value saturates above 255, which is missing
// whatever digits follow.
std::int32_t read_category(const ControlVariables& cv, const char* t, std::size_t n) {
    if (n == 1) {
        std::string_view list = trim_right(cv.alphabet);
        if (!list.empty()) {
            std::size_t p = list.find(t[0]);
            return p == std::string_view::npos ? -1 : static_cast<std::int32_t>(p);
        }
    }
    std::int32_t s = -1;
    for (std::size_t k = 0; k < n; ++k) {
        char c = t[k];
        if (c == ' ') continue;
        if (c < '0' || c > '9') return -1;
        s = std::min(10 * std::max(s, 0) + (c - '0'), 256);
    }
    return s;
}

}  // namespace

std::string_view code_field(const ControlVariables& cv, std::int32_t c) {
    const std::size_t w = width_of(cv);
    const std::size_t from = static_cast<std::size_t>(c - 1) * w;
    if (c < 1 || from >= cv.codes.size()) return {};
    return std::string_view(cv.codes).substr(from, w);
}

std::string shown_code(const ControlVariables& cv, std::int32_t c) {
    return shown_codes(cv.code_characters, code_field(cv, c));
}

std::int32_t find_response_code(const ControlVariables& cv, std::string_view response) {
    const std::size_t x = width_of(cv);
    char adjusted[kCodesPerItemInTable + 1];
    std::string field;
    char* r = adjusted;
    if (x > kCodesPerItemInTable) {
        field.resize(x);
        r = field.data();
    }
    copy_field(response, 0, x, r);
    // Leading blanks go to the end.
    std::size_t lead = 0;
    while (lead < x && r[lead] == ' ') ++lead;
    if (lead > 0 && lead < x) {
        std::memmove(r, r + lead, x - lead);
        std::memset(r + x - lead, ' ', lead);
    }
    const std::int32_t categs = std::max(0, cv.categs);
    std::string_view codes = cv.codes;
    if (x == 1) {
        std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(categs), codes.size());
        std::size_t p = codes.substr(0, n).find(r[0]);
        return p == std::string_view::npos ? 0 : static_cast<std::int32_t>(p + 1);
    }
    for (std::int32_t c = categs; c >= 1; --c)
        if (same_field(codes, static_cast<std::size_t>(c - 1) * x, r, x)) return c;
    return 0;
}

std::int32_t score_response(const Run& run, std::int32_t code, std::int32_t item) {
    const ControlVariables& cv = run.cv;
    const ItemDefinitionStrings& strings = run.arrays.strings;
    if (code < 1 || code > cv.categs) {
        std::int32_t s = cv.missing;
        return s < 0 || s > 255 ? kMissingCategory : s;
    }
    const std::size_t x = width_of(cv);
    std::string buffer(x, ' ');
    char* t = buffer.data();
    copy_field(cv.codes, static_cast<std::size_t>(code - 1) * x, x, t);

    if (run.input.scoring_flag) {
        const std::size_t keys = strings.answer_keys.size();
        const bool rescored_item = item_character(strings.rescore, item) == '1';
        if (keys >= 1 && !(cv.rescore_mode == 1 && !rescored_item)) {
            // The first key whose value for the item equals the code wins; others score 0.
            std::int32_t s = 0;
            for (std::size_t n = 0; n < keys; ++n) {
                if (n < strings.key_scores.size() && strings.key_scores[n] < 0) continue;
                if (same_field(strings.answer_keys[n], static_cast<std::size_t>(item - 1) * x, t,
                               x)) {
                    s = n < strings.key_scores.size() ? strings.key_scores[n]
                                                      : static_cast<std::int32_t>(n + 1);
                    break;
                }
            }
            return s < 0 || s > 255 ? kMissingCategory : s;
        }
        if (keys == 0 && (cv.rescore_mode == 2 || (cv.rescore_mode == 1 && rescored_item))) {
            copy_field(cv.new_scores, static_cast<std::size_t>(code - 1) * x, x, t);
        } else if (cv.irefer_mode == 1) {
            const char letter = item_character(strings.irefer, item);
            for (const std::string& row : strings.ivalue_rows) {
                if (row.empty() || row[0] != letter) continue;
                copy_field(row, 1 + static_cast<std::size_t>(code - 1) * x, x, t);
                break;
            }
        }
    }
    std::int32_t s = read_category(cv, t, x);
    return s < 0 || s > 255 ? kMissingCategory : s;
}

std::int32_t find_code_for_category(const Run& run, std::int32_t category, std::int32_t item) {
    for (std::int32_t k = 1; k <= run.cv.categs; ++k)
        if (score_response(run, k, item) == category) return k;
    return 0;
}

ResponseCoder::ResponseCoder(const ControlVariables& cv) : cv_(cv), xwide_(std::max(1, cv.xwide)) {
    if (xwide_ != 1) return;
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        single_[static_cast<std::size_t>(b)] = find_response_code(cv, std::string_view(&c, 1));
    }
}

std::int32_t ResponseCoder::wide_code(const char* response) const {
    return find_response_code(cv_, std::string_view(response, static_cast<std::size_t>(xwide_)));
}

ScoreTable::ScoreTable(const Run& run)
    : table_((static_cast<std::size_t>(std::max(0, run.cv.ni)) + 1) * kCodesPerItemInTable,
             static_cast<std::uint8_t>(kMissingCategory)) {
    const std::int32_t ni = std::max(0, run.cv.ni);
    // Numbers beyond CATEGS= are no code: they score as code 0 does.
    const std::int32_t last = std::min<std::int32_t>(run.cv.categs, kCodesPerItemInTable - 1);
    for (std::int32_t i = 1; i <= ni; ++i) {
        std::uint8_t* row = table_.data() + static_cast<std::size_t>(i) * kCodesPerItemInTable;
        for (std::int32_t c = 0; c <= std::max(last, 0); ++c)
            row[c] = static_cast<std::uint8_t>(score_response(run, c, i));
        std::fill(row + std::max(last, 0) + 1, row + kCodesPerItemInTable, row[0]);
    }
}

}  // namespace korvelan

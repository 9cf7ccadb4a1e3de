#include "engine/input/selections.h"

#include <algorithm>
#include <string>

#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

// The character of s that starts at byte at.
std::string_view character_at(std::string_view s, std::size_t at) {
    return s.substr(at, utf8_character_size(s, at));
}

// Whether the label character ch is in the set (the characters between "{" and "}"): single
// characters, and ranges a-b in either order with both ends included (by code point; a byte
// outside any valid UTF-8 character counts as its own value).
bool set_contains(std::string_view set, std::string_view ch) {
    const char32_t c = character_code(ch, 0);
    std::string_view before;  // the set's character before the one in hand
    for (std::size_t k = 0; k < set.size();) {
        const std::string_view m = character_at(set, k);
        k += m.size();
        if (m == "-" && !before.empty() && k < set.size() && set[k] != '-') {
            const std::string_view upper = character_at(set, k);
            k += upper.size();
            char32_t lo = character_code(before, 0), hi = character_code(upper, 0);
            if (lo > hi) std::swap(lo, hi);
            if (c >= lo && c <= hi) return true;
            before = upper;  // the upper end was part of the range
            continue;
        }
        if (m == ch) return true;
        before = m;
    }
    return false;
}

// Column numbers are capped here: a larger one selects only blanks, so the cap changes nothing.
constexpr std::int64_t kColumnCap = 1'000'000'000;

void append(SelectedText& out, char ch) {
    if (out.count < kSelectedTextWidth) out.c[static_cast<std::size_t>(out.count++)] = ch;
}

void clear(SelectedText& out) {
    out.c.fill(' ');
    out.count = 0;
    out.first_column = 0;
}

}  // namespace

int match_selection_pattern(std::string_view pattern, std::string_view label) {
    // i and j are byte positions at the starts of characters of the pattern and the label.
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < pattern.size()) {
        const std::string_view c = character_at(pattern, i);
        if (c == "*") return pattern_match::kStoppedAtStar;
        if (c == "?") {
            // Any one character, a blank past the label's trimmed end included.
            i += c.size();
            j += std::max<std::size_t>(utf8_character_size(label, j), 1);
            continue;
        }
        if (j >= label.size()) return pattern_match::kLabelEnded;
        const std::string_view l = character_at(label, j);
        if (c != "{") {
            if (c != l) return pattern_match::kCharacterDiffered;
            i += c.size();
            j += l.size();
            continue;
        }
        std::size_t close = pattern.find('}', i + 1);
        if (close == std::string_view::npos) return pattern_match::kNotInSet;
        if (!set_contains(pattern.substr(i + 1, close - i - 1), l)) return pattern_match::kNotInSet;
        j += l.size();
        i = close + 1;
    }
    return pattern_match::kPatternUsedUp;
}

int match_label_selection(std::string_view pattern, std::string_view label, int label_length) {
    // The label's first label_length characters.
    const std::string_view kept =
        character_prefix(label, static_cast<std::size_t>(std::max(label_length, 0)));
    return match_selection_pattern(trim(pattern), trim(kept));
}

bool parse_field_selection(Run& run, std::string_view selection, std::string_view variable_name,
                           SelectionUse use, FieldSelection& out) {
    out.element_count = 0;
    out.first_column = 0;
    const std::string_view typed = trim_right(
        selection.substr(0, std::min<std::size_t>(selection.size(), kFieldSelectionWidth)));
    auto fail = [&](std::string_view text) {
        show_message_line(run, std::string(text) + std::string(trim(variable_name)) + "=" +
                                   std::string(trim(selection)));
        out.element_count = 0;
        out.first_column = 0;
        return false;
    };
    auto add = [&](std::int64_t first, std::int64_t last, char literal) {
        if (out.element_count >= static_cast<int>(out.elements.size())) return;
        out.elements[static_cast<std::size_t>(out.element_count++)] = {first, last, literal};
    };

    int state = 0;  // 0 between elements, -1 in a literal, 1 after "$", 2 start, 3 end, 4 width
    char mark = 0;
    std::int64_t start = 0;
    std::int64_t number = 0;
    // One character past the text: a blank that ends a number standing at the end.
    for (std::size_t k = 0; k <= typed.size(); ++k) {
        const char as_typed = k < typed.size() ? typed[k] : ' ';
        char ch = as_typed;
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        const bool digit = ch >= '0' && ch <= '9';
        if (state == 3 || state == 4) {
            if (digit) {
                number = std::min(number * 10 + (ch - '0'), kColumnCap);
                continue;
            }
            std::int64_t end = state == 3 ? number : start + number - 1;
            if (end < start)
                return fail(state == 3 ? msg::kSelectionEndNotValid : msg::kSelectionWidthNotValid);
            add(start, end, ' ');
            if (out.first_column == 0) out.first_column = static_cast<int>(start);
            state = 0;  // and the same character again between elements
        }
        switch (state) {
            case 0:
                if (ch == '$')
                    state = 1;
                else if (ch == '"' || ch == '\'') {
                    mark = ch;
                    state = -1;
                } else if (ch != ' ' && ch != '+')
                    add(0, 0, as_typed);
                break;
            case -1:
                if (ch == mark)
                    state = 0;
                else
                    add(0, 0, as_typed);
                break;
            case 1:
                if (ch != 'S')
                    return fail(std::string(msg::kSelectionUnknownDollar) + ch + msg::kSelectionIn);
                start = 0;
                number = 0;
                state = 2;
                break;
            case 2:
                if (digit) {
                    number = std::min(number * 10 + (ch - '0'), kColumnCap);
                    break;
                }
                start = number;
                if (start == 0) return fail(msg::kSelectionStartNotNumeric);
                number = 0;
                if (ch == 'E')
                    state = 3;
                else if (ch == 'W')
                    state = 4;
                else
                    return fail(msg::kSelectionEOrWOnly);
                break;
        }
    }
    if (state != 0) return fail(msg::kSelectionUnexpectedEnding);
    if (use == SelectionUse::Label && !out.has_column_element())
        return fail(msg::kSelectionNoColumns);
    return true;
}

namespace {

// Literals are appended as they are; every column element from..to goes through add_columns.
// Nothing is appended beyond the selected-text width.
template <typename Columns>
void apply_elements(const FieldSelection& selection, SelectedText& out, Columns add_columns) {
    clear(out);
    out.first_column = selection.first_column;
    for (int e = 0; e < selection.element_count && out.count < kSelectedTextWidth; ++e) {
        const FieldSelection::Element& el = selection.elements[static_cast<std::size_t>(e)];
        if (el.first == 0)
            append(out, el.literal);
        else
            add_columns(el.first, el.last);
    }
}

}  // namespace

void apply_field_selection(const FieldSelection& selection, std::string_view source,
                           SelectedText& out, bool bytes_are_columns) {
    const bool ascii = bytes_are_columns || all_ascii(source);
    apply_elements(selection, out, [&](std::int64_t first, std::int64_t last) {
        if (ascii) {
            for (std::int64_t col = first; col <= last && out.count < kSelectedTextWidth; ++col)
                append(out, col <= static_cast<std::int64_t>(source.size())
                                ? source[static_cast<std::size_t>(col - 1)]
                                : ' ');
            return;
        }
        // Columns are characters: each is taken whole, while it fits the selected text.
        std::size_t at = character_offset(source, static_cast<std::size_t>(first - 1));
        for (std::int64_t col = first; col <= last && out.count < kSelectedTextWidth; ++col) {
            const std::size_t n = utf8_character_size(source, at);
            if (n == 0) {
                append(out, ' ');
                continue;
            }
            if (out.count + static_cast<std::int32_t>(n) > kSelectedTextWidth) break;
            for (std::size_t k = 0; k < n; ++k) append(out, source[at + k]);
            at += n;
        }
    });
}

void apply_cell_selection(const FieldSelection& selection, std::span<const std::uint32_t> cells,
                           SelectedText& out) {
    apply_elements(selection, out, [&](std::int64_t first, std::int64_t last) {
        for (std::int64_t col = first; col <= last && out.count < kSelectedTextWidth; ++col) {
            std::uint32_t v = col <= static_cast<std::int64_t>(cells.size())
                                  ? cells[static_cast<std::size_t>(col - 1)]
                                  : ' ';
            int n = 0;
            for (std::uint32_t w = v; w != 0; w >>= 8) ++n;
            if (out.count + n > kSelectedTextWidth) break;
            for (; v != 0; v >>= 8) append(out, static_cast<char>(v & 0xFF));
        }
    });
}

void apply_delimited_selection(const FieldSelection& selection, const DelimitedFields& fields,
                               SelectedText& out) {
    apply_elements(selection, out, [&](std::int64_t first, std::int64_t last) {
        // Numbers beyond the record's fields deliver nothing.
        last = std::min(last, fields.count());
        for (std::int64_t k = first; k <= last && out.count < kSelectedTextWidth; ++k) {
            std::string_view f = fields.field(k);
            f = trim_right(f.substr(0, std::min<std::size_t>(f.size(), kSelectedTextWidth)));
            for (char ch : f) append(out, ch);
        }
    });
}

namespace {

void apply_selection(const FieldSelection& selection, std::string_view source, SelectedText& out) {
    apply_field_selection(selection, source, out);
}
void apply_selection(const FieldSelection& selection, const DelimitedFields& source,
                     SelectedText& out) {
    apply_delimited_selection(selection, source, out);
}

// Parses the selection (a problem is reported and selects nothing) and applies it to the source.
template <typename Source>
bool select_fields(Run& run, std::string_view selection, std::string_view variable_name,
                   SelectionUse use, const Source& source, SelectedText& out) {
    FieldSelection parsed;
    const bool ok = parse_field_selection(run, selection, variable_name, use, parsed);
    if (ok)
        apply_selection(parsed, source, out);
    else
        clear(out);
    return ok;
}

}  // namespace

bool select_label_fields(Run& run, std::string_view selection, std::string_view variable_name,
                         std::string_view source, SelectedText& out) {
    return select_fields(run, selection, variable_name, SelectionUse::Label, source, out);
}

bool select_record_fields(Run& run, std::string_view selection, std::string_view variable_name,
                          std::string_view record, SelectedText& out) {
    return select_fields(run, selection, variable_name, SelectionUse::Record, record, out);
}

bool select_delimited_fields(Run& run, std::string_view selection, std::string_view variable_name,
                             const DelimitedFields& fields, SelectedText& out) {
    return select_fields(run, selection, variable_name, SelectionUse::Record, fields, out);
}

}  // namespace korvelan

#include "engine/input/selections.h"

#include <algorithm>
#include <string>

#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

// Whether the label character ch is in the set (the characters between "{" and "}"): single
// characters, and ranges a-b in either order with both ends included.
bool set_contains(std::string_view set, char ch) {
    const auto c = static_cast<unsigned char>(ch);
    for (std::size_t k = 0; k < set.size(); ++k) {
        if (set[k] == '-' && k > 0 && k + 1 < set.size() && set[k + 1] != '-') {
            auto lo = static_cast<unsigned char>(set[k - 1]);
            auto hi = static_cast<unsigned char>(set[k + 1]);
            if (lo > hi) std::swap(lo, hi);
            if (c >= lo && c <= hi) return true;
            ++k;  // the upper end was part of the range
        } else if (set[k] == ch) {
            return true;
        }
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
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '*') return pattern_match::kStoppedAtStar;
        if (c == '?') {
            // Any one character, a blank past the label's trimmed end included.
            ++i;
            ++j;
            continue;
        }
        if (j >= label.size()) return pattern_match::kLabelEnded;
        if (c != '{') {
            if (c != label[j]) return pattern_match::kCharacterDiffered;
            ++i;
            ++j;
            continue;
        }
        std::size_t close = pattern.find('}', i + 1);
        if (close == std::string_view::npos) return pattern_match::kNotInSet;
        if (!set_contains(pattern.substr(i + 1, close - i - 1), label[j]))
            return pattern_match::kNotInSet;
        ++j;
        i = close + 1;
    }
    return pattern_match::kPatternUsedUp;
}

int match_label_selection(std::string_view pattern, std::string_view label, int label_length) {
    std::size_t n = std::min(label.size(), static_cast<std::size_t>(std::max(label_length, 0)));
    return match_selection_pattern(trim(pattern), trim(label.substr(0, n)));
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

namespace {
// Widens the columns first..last (1-based) of the source to the whole UTF-8 characters at
// their ends, so that a selection never takes part of a character.
void whole_characters(std::string_view source, std::int64_t& first, std::int64_t& last) {
    const auto size = static_cast<std::int64_t>(source.size());
    if (first >= 1 && first <= size)
        first = static_cast<std::int64_t>(
                    utf8_character_start(source, static_cast<std::size_t>(first - 1))) + 1;
    if (last >= 1 && last < size)
        last = static_cast<std::int64_t>(utf8_character_end(source, static_cast<std::size_t>(last)));
}
}  // namespace

void apply_field_selection(const FieldSelection& selection, std::string_view source,
                           SelectedText& out) {
    apply_elements(selection, out, [&](std::int64_t first, std::int64_t last) {
        whole_characters(source, first, last);
        for (std::int64_t col = first; col <= last && out.count < kSelectedTextWidth; ++col)
            append(out, col <= static_cast<std::int64_t>(source.size())
                            ? source[static_cast<std::size_t>(col - 1)]
                            : ' ');
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

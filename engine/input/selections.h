// The two small languages that pick out persons, items and parts of their labels:
// - selection patterns (PSELECT=, ISELECT=): "*" accepts the rest of the label, "?" any one
//   character, "{...}" a set of characters and ranges; other characters must match exactly;
//   a pattern is a prefix of the labels it accepts;
// - column selections ("$S<start>W<width>", "$S<start>E<end>", quoted literals, "+" joins) that
//   build a short text out of columns of a label or a data record, or fields of a delimited record.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "engine/input/delimited_records.h"
#include "engine/run/run.h"

namespace korvelan {

// Results of match_selection_pattern; 0 or more means selected.
namespace pattern_match {
inline constexpr int kPatternUsedUp = 2;
inline constexpr int kStoppedAtStar = 1;
inline constexpr int kCharacterDiffered = -1;
inline constexpr int kLabelEnded = -2;
inline constexpr int kNotInSet = -4;
}  // namespace pattern_match

// Matches a pattern against a label (both as given, case-sensitive). A "{" set without its "}"
// matches nothing.
int match_selection_pattern(std::string_view pattern, std::string_view label);
// Matches the first label_length characters of a label, trimmed, against the trimmed pattern
// (the person or item label against PSELECT= or ISELECT=).
int match_label_selection(std::string_view pattern, std::string_view label, int label_length);
inline bool is_selected(int match_result) {
    return match_result >= 0;
}

// Longest selection text read, and longest text a selection delivers.
inline constexpr int kFieldSelectionWidth = 256;
inline constexpr int kSelectedTextWidth = 256;

// The text a column selection delivers: count characters (blank-padded after them), and the
// start column of its first column element (0 when it has none).
struct SelectedText {
    std::array<char, kSelectedTextWidth> c;
    int count = 0;
    int first_column = 0;
    SelectedText() { c.fill(' '); }
    std::string_view text() const { return {c.data(), static_cast<std::size_t>(count)}; }
};

// A column selection parsed once, applied to many labels or records without parsing again.
// Holds the whole selection (up to 256 characters of text), never a cut copy of it.
struct FieldSelection {
    // A column element (columns or field numbers first..last), or, with first 0, one literal
    // character.
    struct Element {
        std::int64_t first = 0;
        std::int64_t last = 0;
        char literal = ' ';
    };
    std::array<Element, kFieldSelectionWidth + 1> elements;
    int element_count = 0;
    int first_column = 0;
    bool has_column_element() const { return first_column > 0; }
};

enum class SelectionUse {
    Label,   // a selection without any column element is an error
    Record,  // literals alone are accepted
};

// Parses a selection; variable_name (without "=") is used only in messages. On an error the
// message line tells what is wrong, the selection is left empty and the result is false.
bool parse_field_selection(Run& run, std::string_view selection, std::string_view variable_name,
                           SelectionUse use, FieldSelection& out);
// Columns of the source text (columns beyond it read as blanks), cut at 256 characters. A
// column range that ends or starts inside a UTF-8 character takes that character whole.
// With bytes_are_columns (a record read a byte a column) a column is a byte.
void apply_field_selection(const FieldSelection& selection, std::string_view source,
                           SelectedText& out, bool bytes_are_columns = false);
// Columns given as their UTF-8 bytes, one cell each (first byte lowest; a cell of 0 is a column
// that holds nothing, the second column of a wide character read by screen columns).
void apply_cell_selection(const FieldSelection& selection, std::span<const std::uint32_t> cells,
                           SelectedText& out);
// One field of the delimited record per number of a column element, each without its trailing
// blanks (an empty field adds nothing), cut at 256 characters.
void apply_delimited_selection(const FieldSelection& selection, const DelimitedFields& fields,
                               SelectedText& out);

// Parse and apply in one call. After an error: false, count 0 and a blank text.
bool select_label_fields(Run& run, std::string_view selection, std::string_view variable_name,
                         std::string_view source, SelectedText& out);
bool select_record_fields(Run& run, std::string_view selection, std::string_view variable_name,
                          std::string_view record, SelectedText& out);
bool select_delimited_fields(Run& run, std::string_view selection, std::string_view variable_name,
                             const DelimitedFields& fields, SelectedText& out);

}  // namespace korvelan

// Reading of the CFILE= and CLFILE= label files. A label file holds one entry a line; of each line
// the first 80 characters count, ";" starts a comment, TAB and "," are blanks, the text is
// left-justified and empty lines are skipped.
#include "engine/report/category_labels.h"

#include <algorithm>
#include <optional>

#include "engine/input/data_records.h"
#include "engine/input/edit_files.h"
#include "engine/input/response_scoring.h"
#include "engine/run/analysis_arrays.h"
#include "engine/run/numtext.h"
#include "engine/run/text_lines.h"

namespace korvelan {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr int kNoItem = -1;  // a label line that names no item

std::string clean_label_line(std::string line) {
    // The first 80 characters; control codes would stand for drawing characters in the Tables.
    line.resize(character_offset(line, kEditLineWidth));
    line.resize(std::max(line.size(), kEditLineWidth), ' ');
    blank_control_characters(line);
    cut_at_comment(line);
    blank_characters(line, "\t,");
    left_justify_in_place(line);
    return line;
}

// Hands each non-empty cleaned line, trailing blanks cut, to take until it returns false or the
// file ends. False when the file cannot be opened.
template <typename Take>
bool read_label_lines(std::string_view name, Take take) {
    TextLineFile in;
    if (!in.open(std::string(trim(name)))) return false;
    std::string raw;
    while (in.next(raw) == 0) {
        const std::string line = clean_label_line(raw);
        if (is_blank(line)) continue;
        if (!take(trim_right(line))) break;
    }
    return true;
}

// An integer read in a field of six characters: the characters after the sixth do not count.
bool read_six_character_integer(std::string_view text, int& value) {
    text = text.substr(0, 6);
    std::int64_t v = 0;
    if (!has_digit(text) || parse_integer_from_text(text, v) != 0) return false;
    value = static_cast<int>(v);
    return true;
}

// The group of an item named in a label file, or -1 when the item is not one of the data.
std::int32_t group_of_item(const Run& run, const std::vector<std::int32_t>& item_group, int item) {
    if (item < 1 || item > run.cv.ni) return -1;
    return array_value(item_group, item, -1);
}

// One CFILE= line: "value label" or "item+value label". Sets the label when the line is one of
// the category value for the group; returns whether the reading goes on.
bool take_category_line(const Run& run, std::string_view line, int category_value, int group,
                        const std::vector<std::int32_t>& item_group, std::string& label) {
    const std::size_t blank = std::min(line.find(' '), line.size());
    const std::string_view word = line.substr(0, blank);
    const std::size_t plus = word.find('+');
    const bool with_item = plus != npos;
    if (with_item && (plus == 0 || plus + 1 == word.size())) return true;
    int value = 0;
    if (!read_six_character_integer(with_item ? word.substr(plus + 1) : word, value)) return true;
    if (value != category_value) return true;
    int item = 0;
    if (with_item && (!read_six_character_integer(word.substr(0, plus), item) ||
                      group_of_item(run, item_group, item) != group))
        return true;
    label = std::string(trim(line.substr(blank)));
    return !with_item;
}

// A parsed CLFILE= line.
struct CodeLine {
    int item = kNoItem;
    std::string_view code;
    std::string_view label;
};

// The quoted code whose opening quote is at 1-based position start, and the label after it.
bool take_quoted_code(std::string_view line, int start, CodeLine& entry) {
    int end = 0;
    find_quoted_field(line, start, end);
    if (start == 0) return false;
    entry.code = line.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start - 1));
    entry.label = trim(line.substr(static_cast<std::size_t>(end)));
    return true;
}

// "code label", "item+code label", the code optionally quoted; false for a malformed line.
bool parse_code_line(std::string_view line, CodeLine& entry) {
    if (is_quote_character(line.front())) return take_quoted_code(line, 1, entry);
    const std::size_t blank = std::min(line.find(' '), line.size());
    const std::size_t plus = line.find('+');
    if (plus == npos || plus > blank) {
        entry.code = line.substr(0, blank);
        entry.label = trim(line.substr(blank));
        return true;
    }
    if (plus == 0) return false;
    entry.item = parse_digit_string(line.substr(0, plus));
    if (entry.item < 0 || plus + 1 >= line.size() || line[plus + 1] == ' ') return false;
    if (is_quote_character(line[plus + 1])) return take_quoted_code(line, static_cast<int>(plus) + 2, entry);
    const std::size_t code_end = line.find(' ', plus + 1);
    if (code_end == npos) return false;  // the code runs to the end of the line: no entry
    entry.code = line.substr(plus + 1, code_end - plus - 1);
    entry.label = trim(line.substr(code_end));
    return true;
}

// CODES= entry index (1-based), left-justified without trailing blanks; none beyond CODES=.
std::optional<std::string> codes_entry(const ControlVariables& cv, int index) {
    const std::size_t width = static_cast<std::size_t>(std::max(cv.xwide, 1));
    if (static_cast<std::size_t>(index - 1) * width >= cv.codes.size()) return std::nullopt;
    return std::string(trim(shown_code(cv, index)));
}

// Places the label after the last non-blank character of the text, one blank between.
void place_after_text(std::string& text, std::string_view label) {
    const std::size_t at = trim_right(text).size() + 1;
    if (at >= text.size()) return;
    // The label takes as many of the blank columns as it needs on the screen.
    const std::string_view kept = display_prefix(label, text.size() - at);
    text.replace(at, display_width(kept), kept);
}

}  // namespace

bool is_quote_character(char c) { return kQuoteCharacters.find(c) != npos; }

void find_quoted_field(std::string_view line, int& start, int& end) {
    end = 0;
    if (start < 1 || static_cast<std::size_t>(start) > line.size()) return;
    const char quote = line[static_cast<std::size_t>(start - 1)];
    if (!is_quote_character(quote)) return;
    const std::size_t after = static_cast<std::size_t>(start);
    std::size_t close = line.find(quote, after);
    if (close == npos) close = line.find_first_of(kQuoteCharacters, after);
    if (close == npos || close == after) {
        start = 0;
        return;
    }
    end = static_cast<int>(close) + 1;
}

std::string category_label_text(Run& run, int category_value, int group,
                                const std::vector<std::int32_t>& item_group) {
    std::string label;
    if (category_value < 0 || is_blank(run.cv.cfile) || run.rep.category_labels_unavailable) return label;
    const bool opened = read_label_lines(run.cv.cfile, [&](std::string_view line) {
        return take_category_line(run, line, category_value, group, item_group, label);
    });
    if (!opened) run.rep.category_labels_unavailable = true;
    return label;
}

bool read_category_label(Run& run, ReportLineBuffer& line, int category_value, int group,
                         const std::vector<std::int32_t>& item_group) {
    const std::string label = category_label_text(run, category_value, group, item_group);
    if (label.empty()) return false;
    line.put(line.length() + 2, label);
    return true;
}

std::string code_label_text(Run& run, int code_index, int item, int group) {
    std::string label;
    if (code_index < 1 || is_blank(run.cv.clfile) || run.rep.code_labels_unavailable) return label;
    const std::optional<std::string> wanted = codes_entry(run.cv, code_index);
    if (!wanted) return label;
    // 0 nothing found, 1 a line without item, 2 a line of an item of the same group.
    int level = 0;
    const bool opened = read_label_lines(run.cv.clfile, [&](std::string_view line) {
        CodeLine entry;
        if (!parse_code_line(line, entry) || trim(entry.code) != *wanted) return true;
        if (entry.item != kNoItem && entry.item == item) {
            label = std::string(entry.label);
            return false;
        }
        const bool plain = entry.item == kNoItem;
        if ((plain && level == 0) ||
            (!plain && level < 2 && group_of_item(run, run.arrays.item_group, entry.item) == group)) {
            level = plain ? 1 : 2;
            label = std::string(entry.label);
        }
        return true;
    });
    if (!opened) run.rep.code_labels_unavailable = true;
    return label;
}

bool read_item_category_label(Run& run, int code_index, int item, int group, std::string& text) {
    const std::string label = code_label_text(run, code_index, item, group);
    if (label.empty()) return false;
    place_after_text(text, label);
    return true;
}

bool read_item_category_label(Run& run, int code_index, int item, int group, ReportLineBuffer& line) {
    const std::string label = code_label_text(run, code_index, item, group);
    if (label.empty()) return false;
    line.put(line.length() + 2, label);
    return true;
}

}  // namespace korvelan

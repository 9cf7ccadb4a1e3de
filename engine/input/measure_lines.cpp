#include "engine/input/measure_lines.h"

#include <array>
#include <cctype>
#include <cmath>
#include <limits>

#include "engine/run/numtext.h"

namespace korvelan {

namespace {

// ---- the fixed layout ------------------------------------------------------------------------

// Widths of the numbers after the entry field: measure, status, count, score, S.E., the two
// mean-squares and standardized fits, displacement, correlation and weight.
constexpr std::array<std::size_t, kMeasureLineFields - 1> kFixedWidths = {8, 3, 8, 9, 7, 7, 7, 7, 7, 7, 7, 7};
constexpr std::size_t kEntryWidth = 5;
// Column (0-based) after the last number of a record whose entry number fills its 5 columns.
constexpr std::size_t kFixedNumbersEnd = 90;
// Columns (0-based, for a 5-column entry number) of an item file's model code (after its group)
// and where the label starts in an item and in a person file.
constexpr std::size_t kModelColumn = 93, kItemLabelColumn = 95, kPersonLabelColumn = 91;
// An entry number of more digits widens its field and moves every later column by as many.
constexpr std::size_t kMostExtraEntryDigits = 5;

enum class FieldText { Number, Stars, Empty, Bad };

// A number field: digits with an optional "-" and point, or a field of stars (a number that
// did not fit when it was written).
FieldText read_field(std::string_view field, float& value) {
    const std::string_view t = trim(field);
    value = std::numeric_limits<float>::quiet_NaN();
    if (t.empty()) return FieldText::Empty;
    if (t.find_first_not_of('*') == std::string_view::npos) return FieldText::Stars;
    if (t.find(' ') != std::string_view::npos || t.find_first_of("0123456789") == std::string_view::npos)
        return FieldText::Bad;
    return parse_real_from_text(t, value) == 0 ? FieldText::Number : FieldText::Bad;
}

bool blank_at(std::string_view line, std::size_t i) { return i >= line.size() || line[i] == ' '; }

// The entry field of a fixed record in columns 2.. of `width`: right-justified digits; a
// number wider than 5 columns fills its field.
bool read_fixed_entry(std::string_view line, std::size_t width, MeasureLine& out) {
    const std::string_view field = line.substr(1, width);
    const std::size_t digits = field.find_first_not_of(' ');
    if (digits == std::string_view::npos || (width > kEntryWidth && digits > 0)) return false;
    if (field.substr(digits).find_first_not_of("0123456789") != std::string_view::npos) return false;
    return parse_entry_field(field.substr(digits), false, out.first, out.last) && out.first >= 1;
}

// The numbers of a fixed record whose entry number takes `extra` columns more than 5.
bool read_fixed_numbers(std::string_view line, std::size_t extra, MeasureLine& out) {
    if (line.size() < kFixedNumbersEnd + extra || !blank_at(line, kFixedNumbersEnd + extra)) return false;
    if (!read_fixed_entry(line, kEntryWidth + extra, out)) return false;
    std::size_t at = 1 + kEntryWidth + extra;
    for (std::size_t f = 0; f < kFixedWidths.size(); ++f) {
        // A field blanked by hand is a value unknown; the status is always written.
        const FieldText text = read_field(line.substr(at, kFixedWidths[f]), out.values[f + 1]);
        if (text == FieldText::Bad || (text == FieldText::Empty && f + 2 == kStatusField)) return false;
        at += kFixedWidths[f];
    }
    out.record = true;
    out.flagged = line[0] == ';';
    return true;
}

// The extra columns of the entry number of a fixed record; false when the line is not one.
bool fixed_record(std::string_view line, MeasureLine& out, std::size_t& extra) {
    if (line.empty() || (line[0] != ' ' && line[0] != ';')) return false;
    for (extra = 0; extra <= kMostExtraEntryDigits; ++extra)
        if (read_fixed_numbers(line, extra, out)) return true;
    return false;
}

// The model codes an item file's records carry after the group.
bool model_code(char c) { return c == 'R' || c == 'S' || c == 'F'; }

// An item record has its model code between blanks after the group.
bool item_record(std::string_view line, std::size_t extra) {
    const std::size_t model = kModelColumn + extra;
    return model < line.size() && model_code(line[model]) && blank_at(line, model - 1) && blank_at(line, model + 1);
}

std::string label_from(std::string_view line, std::size_t column) {
    return column < line.size() ? std::string(trim_right(line.substr(column))) : std::string();
}

// ---- comma- and tab-separated records --------------------------------------------------------

// The fields of a separated line: commas and tabs outside double quotes separate them; the
// quotes around a field go and a doubled quote inside it stands for one.
std::vector<std::string> separated_fields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool inside = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inside) {
            if (c != '"') fields.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"') fields.back() += line[++i];
            else inside = false;
        } else if (c == '"') {
            inside = true;
        } else if (c == ',' || c == '\t') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// A record written with CSV=Y or CSV=T, or saved again by a spreadsheet (quotes only where a
// field needs them): the flag (blank or ";"), the entry, the 12 numbers and, for items, the
// group and model code before the name.
bool parse_separated_line(const std::vector<std::string>& fields, MeasureLine& out) {
    if (fields.size() < kMeasureLineFields + 1) return false;
    const std::string_view flag = trim(fields[0]);
    if (!flag.empty() && flag != ";") return false;
    const std::string_view entry = trim(fields[1]);
    if (!parse_entry_field(entry, false, out.first, out.last) || out.first < 1) return false;
    // An emptied cell is a value unknown, never the next field's.
    for (std::size_t f = 1; f < kMeasureLineFields; ++f)
        if (read_field(fields[f + 1], out.values[f]) == FieldText::Bad) return false;
    out.label = fields.size() > kMeasureLineFields + 1 ? std::string(trim_right(fields.back())) : std::string();
    out.record = true;
    out.flagged = flag == ";";
    return true;
}

// The number of fields of a separated record of each side: flag, entry, 12 numbers, for items
// the group and the model code, the name.
constexpr std::size_t kPersonFields = kMeasureLineFields + 2, kItemFields = kMeasureLineFields + 4;

// ---- the free layout -------------------------------------------------------------------------

std::vector<std::string_view> tokens_of(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == ',')) ++i;
        const std::size_t b = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != ',') ++i;
        if (i > b) tokens.push_back(text.substr(b, i - b));
    }
    return tokens;
}

// The label of a free line: what follows its entry field and the numbers after it. A
// one-letter word after all 12 numbers, or in column 94, is an item file's model code before the
// name; any other one-letter word begins the label. `shift` is the number of characters cut from
// the front of the line before `text`.
std::string free_label(std::string_view text, std::size_t shift) {
    const std::vector<std::string_view> tokens = tokens_of(text);
    std::size_t k = tokens.empty() ? 0 : 1;
    float v = 0;
    while (k < tokens.size() && k <= kMeasureLineFields && parse_real_from_text(tokens[k], v) == 0) ++k;
    if (k + 1 < tokens.size() && tokens[k].size() == 1 && model_code(tokens[k][0]) &&
        (k == kMeasureLineFields + 1 ||
         static_cast<std::size_t>(tokens[k].data() - text.data()) + shift == kModelColumn))
        ++k;
    if (k >= tokens.size()) return {};
    return std::string(trim(text.substr(static_cast<std::size_t>(tokens[k].data() - text.data()))));
}

// A free line: its first field (after a ";" mark) must be an entry number or range, so that
// heading and date lines count for nothing; the numbers after it are separated by blanks.
bool parse_free_line(std::string_view text, MeasureLine& out) {
    const std::size_t shift = !text.empty() && text.front() == ';' ? 1 : 0;
    text.remove_prefix(shift);
    const std::vector<std::string_view> tokens = tokens_of(text);
    if (tokens.empty() || !parse_entry_field(tokens[0], false, out.first, out.last) || out.first < 1) return false;
    out.label = free_label(text, shift);
    std::size_t numbers_after_entry = 0;
    float v = 0;
    while (numbers_after_entry + 1 < tokens.size() &&
           parse_real_from_text(tokens[numbers_after_entry + 1], v) == 0)
        ++numbers_after_entry;
    out.record = numbers_after_entry >= kMeasureLineFields - 1;
    out.flagged = shift == 1;
    std::string numbers(text);
    int status = 0;
    std::string rest;
    split_entry_and_value(numbers, out.first, out.values, status, rest, out.last);
    return status == 0 && out.first >= 1;
}

// Whether a line is separated by commas or tabs: its fields are those of a measure record or
// of their names.
bool separated_line(std::string_view line) { return line.find_first_of(",\t") != std::string_view::npos; }

// The line of column names: ";ENTRY MEASURE ..." in the fixed layout, ";", "ENTRY",
// "MEASURE", ... in a separated one, quoted or not (a title may begin with "Entry").
bool column_heading(std::string_view line, std::vector<std::string>& names) {
    names.clear();
    if (line.starts_with(";ENTRY MEASURE ")) return true;
    if (!separated_line(line)) return false;
    names = separated_fields(line);
    return names.size() > 2 && names[0] == ";" && names[1] == "ENTRY" && names[2] == "MEASURE";
}

}  // namespace

std::size_t measure_heading_lines(const std::vector<std::string>& first_lines) {
    std::vector<std::string> names;
    for (std::size_t k = 0; k < std::min(first_lines.size(), kMeasureHeadingLines); ++k)
        if (column_heading(first_lines[k], names)) return k + 1;
    return 0;
}

MeasureFileKind measure_file_kind(const std::vector<std::string>& lines) {
    bool fixed_lines = false;
    MeasureLine l;
    std::size_t extra = 0;
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        if (column_heading(line, names))
            return {names.empty() ? line.ends_with(" G M NAME")
                                  : names.size() > 3 && names[names.size() - 2] == "MODEL" && names.back() == "NAME",
                    true};
        if (fixed_record(line, l, extra)) {
            if (!item_record(line, extra)) return {false, true};
            fixed_lines = true;
            continue;
        }
        if (!separated_line(line)) continue;
        const std::vector<std::string> fields = separated_fields(line);
        if (!parse_separated_line(fields, l)) continue;
        if (fields.size() == kPersonFields) return {false, true};
        if (fields.size() != kItemFields) continue;
        const std::string_view model = trim(fields[kItemFields - 2]);
        return {model.size() == 1 && model_code(model[0]), true};
    }
    return {fixed_lines, false};
}

bool parse_measure_line(std::string_view line, bool item_file, MeasureLine& out) {
    std::fill(out.values.begin(), out.values.end(), 0.0f);
    out.label.clear();
    out.record = out.flagged = false;
    std::size_t extra = 0;
    if (fixed_record(line, out, extra)) {
        if (out.last < out.first) out.last = out.first;
        out.label = label_from(line, (item_file ? kItemLabelColumn : kPersonLabelColumn) + extra);
        return true;
    }
    std::fill(out.values.begin(), out.values.end(), 0.0f);
    bool ok = separated_line(line) && parse_separated_line(separated_fields(line), out);
    // Else a line made by hand, which may separate its numbers by commas too.
    if (!ok && (line.empty() || line.front() != '"')) {
        std::fill(out.values.begin(), out.values.end(), 0.0f);
        ok = parse_free_line(line, out);
    }
    if (ok && out.last < out.first) out.last = out.first;
    return ok;
}

bool measure_line_value(const MeasureLine& line, std::size_t field, float& value) {
    value = line.values[field - 1];
    const float status = line.values[kStatusField - 1];
    if (line.record && std::isfinite(status) && status < -1.0f) return false;
    return std::isfinite(value);
}

}  // namespace korvelan

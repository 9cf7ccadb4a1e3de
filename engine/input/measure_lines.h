// The lines of a measure file (PFILE=, IFILE=) read back: by the comparison of two measure files
// and by the anchor and weight readers. A line in the fixed layout is read by its columns, whose
// fields touch when a number fills its field; a comma- or tab-separated line by its fields,
// quoted or not (as a spreadsheet saves it again); any other line in the free layout of a file
// made by hand: the entry or range, the numbers after it separated by blanks, the label.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvelan {

// Numeric fields of a measure-file line: the entry and the 12 numbers after it.
inline constexpr std::size_t kMeasureLineFields = 13;
// Heading lines a measure file starts with: the entity line, the title, the date, the column line.
inline constexpr std::size_t kMeasureHeadingLines = 4;
// Numeric field (1-based) of the measure and of the status.
inline constexpr std::size_t kMeasureField = 2, kStatusField = 3;

// One line's entry range, numbers and label. values[f - 1] holds numeric field f (field 1 is
// the entry); a field written as stars, or left empty in a separated line, holds NaN.
struct MeasureLine {
    int first = 0, last = 0;
    std::vector<float> values = std::vector<float>(kMeasureLineFields + 1);
    std::string label;
    // A record as the measure-file writer makes it (its fixed columns, its separated fields, or
    // all 13 numbers of a free line): field 3 is the entry's status.
    bool record = false;
    // ";" before the entry: the writer's mark of an entry that is not measured (with headings).
    bool flagged = false;
};

// How many of a file's first lines are its headings: those up to and including the line of
// column names when one of the first four lines is that line, else none. A heading is known by
// its place, so that a title of numbers ("7 8") is never an entry.
std::size_t measure_heading_lines(const std::vector<std::string>& first_lines);

// Whether a file holds items (their group and model code before the name) or persons. `told` is
// false when nothing but the fixed records' columns said so: a model code between blanks in
// every record fits a person file whose labels all look like "M R Ann" as well.
struct MeasureFileKind {
    bool items = false;
    bool told = false;
};
// From the column heading when the file has one; else from the records: a separated record
// holds a model-code field only in an item file, and a fixed one its model code ("R", "S" or
// "F") between blanks after the group.
MeasureFileKind measure_file_kind(const std::vector<std::string>& lines);
inline bool item_measure_file(const std::vector<std::string>& lines) {
    return measure_file_kind(lines).items;
}

// Reads one line; false when it holds no entry (headings, dates, comments). A ";" in column 1
// marks an entry without a measure of its own, which is still read.
bool parse_measure_line(std::string_view line, bool item_file, MeasureLine& out);

// The one rule for every reader of measure files (anchors, weights, the comparison): whether a
// line gives its entries a value for numeric field `field`, and which. A record whose status
// says the entry has no measure (dropped, deleted, inestimable, deselected: below -1) gives
// none, its numbers being placeholders; nor does a field of stars or an empty cell. Extreme and
// anchored entries, and lines without a status (an entry and a value written by hand), give theirs.
bool measure_line_value(const MeasureLine& line, std::size_t field, float& value);

}  // namespace korvelan

// The lines of a measure file as the comparison of two measure files reads them. A PFILE= or
// IFILE= line in the fixed layout is read by its columns, whose fields touch when a number fills
// its field; a comma- or tab-separated line by its fields, quoted or not (as a spreadsheet saves
// it again); any other line in the free layout of a file made by hand: the entry or range, the
// numbers after it separated by blanks, the label.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvelan {

// Numeric fields of a measure-file line: the entry and the 12 numbers after it.
inline constexpr std::size_t kMeasureLineFields = 13;

// One line's entry range, numbers and label. values[f - 1] holds numeric field f (field 1 is
// the entry); a field written as stars holds NaN.
struct MeasureLine {
    int first = 0, last = 0;
    std::vector<float> values = std::vector<float>(kMeasureLineFields + 1);
    std::string label;
};

// Whether the lines of a file are an item file's (its group and model code before the name):
// from the column heading when the file has one, else from its fixed records, every one of which
// must then hold a model code ("R", "S" or "F") between blanks after its group.
bool item_measure_file(const std::vector<std::string>& lines);

// Reads one line; false when it holds no entry (headings, dates, comments). A ";" in column 1
// marks an entry without a measure of its own, which is still read.
bool parse_measure_line(std::string_view line, bool item_file, MeasureLine& out);

}  // namespace korvelan

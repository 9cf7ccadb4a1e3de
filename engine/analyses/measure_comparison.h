// The comparison of two measure files (the file-comparison request, Table 99): one statistic of
// each entry of a left side (a measure file, or the current items or persons) set against the
// same statistic in a right measure file, drawn as a text chart of three panels (left, the
// difference right - left, right) in a new file of the output directory, opened in the editor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

// The non-empty lines of a text file as the platform line reader delivers them: runs of CR and
// LF are one line end, a Ctrl-Z ends the data. Returns 0, or the status of the failing open or
// read.
int read_text_file_lines(Run& run, const std::string& path, std::vector<std::string>& lines);

// One entry of the comparison.
struct ComparedEntry {
    bool right = false, left = false;
    // On a line of the file, and a line there that gives no value: the entry has no measure
    // (its status is below -1), or its statistic is a field of stars or an empty cell.
    bool right_listed = false, left_listed = false, unreadable = false;
    float right_value = 0, left_value = 0;
    std::string label;
};

// The most entries a comparison takes: entry numbers read from a file above it are refused
// before they size anything.
inline constexpr std::int64_t kLargestComparedEntry = 10000000;

// Reads the choices of run.rs.comparison and writes the chart, or shows why not.
void compare_measure_files(Run& run);

// The chart lines (without the page-control column) of the entries that are compared; empty
// when none is. left_title is the left file's name or the entity word.
std::vector<std::string> comparison_chart(const std::vector<ComparedEntry>& entries, char column,
                                          const std::string& left_title, const std::string& right_title);

}  // namespace korvelan

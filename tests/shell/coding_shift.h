// Comparing two runs of the same data coded from different bottom values: the fields that print a
// response code, a category value or a raw score move with the coding, everything else must
// stay as it is.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace korvelan::testing {

// How a field moves when every code and response is raised by the shift.
enum class FieldMove {
    Same,       // compared as text
    Code,       // digits (or their out-of-zone letters "@" to "I") each raised by the shift
    Value,      // a number raised by the shift
    Score,      // a raw score: raised by the shift times a count printed on the same line
    Spread,     // a spread of raw scores: moves whenever the counts differ (named, not checked)
};

// One difference the comparison found and what it was taken for.
struct MovedField {
    std::string section;  // the file name, or the Table number in a report ("10.3")
    FieldMove move = FieldMove::Same;
    std::string token_before, token_after;
    std::string line_before;
};

// The outcome of a comparison: every moved field, and the differences no rule explains.
struct ShiftComparison {
    std::vector<MovedField> moved;
    std::vector<std::string> unexplained;
    // The sections in which fields of each kind moved.
    std::set<std::string> sections(FieldMove move) const;
};

// Lines of a text file without dates (a "Dec 10  2:17 2026" stamp becomes a fixed one) and with
// the report's own path replaced, so that two runs compare line by line.
std::vector<std::string> comparable_lines(const std::string& bytes, const std::string& path);

// Splits report lines into Tables: "TABLE 10.3" starts section "10.3"; lines before the first
// Table form section "0".
std::map<std::string, std::vector<std::string>> report_tables(const std::vector<std::string>& lines);

// What may explain a difference besides a code or value raised by the shift.
struct ShiftRules {
    // Counts of responses a raw score may stand for without printing them on its line (the
    // number of items of a complete test).
    std::vector<int> counts;
    // Words that mark lines whose numbers are spreads or extremes of raw scores: they move
    // whenever the counts of responses differ, by no fixed amount.
    std::vector<std::string> spread_labels;
};

// Compares two sections line by line, token by token (tokens are split at blanks and at "|"). A
// token that differs must be explained by the shift: as a code string, a value, or a score
// (the shift times a number of the same line of either run or one of the rules' counts, within
// the rounding of the printed decimals). Lines must agree in number and, line for line, in
// their count of tokens.
void compare_shifted(const std::string& section, const std::vector<std::string>& before,
                     const std::vector<std::string>& after, int shift, const ShiftRules& rules,
                     ShiftComparison& out);

}  // namespace korvelan::testing

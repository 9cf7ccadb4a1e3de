// An SPSS data file (.sav or .zsav) read through ReadStat, with one call per library operation of
// the SPSS conversion: every call returns a status, 0 on success. The whole file is read into
// memory on open, each variable's values in a column of their own (numbers as numbers, texts as
// texts); the cases are then visited with a cursor that can be moved back to the start.
#pragma once

#include <string>
#include <vector>

namespace korvelan::spss {

// A system-missing numeric value is delivered as the most negative finite double, whose bytes
// are FF FF FF FF FF FF EF FF; is_system_missing compares them byte for byte.
extern const double kSystemMissing;
bool is_system_missing(double value);

// Statuses besides ReadStat's own error codes (which are all positive).
inline constexpr int kStatusNotOpen = 1001;
inline constexpr int kStatusNoSuchVariable = 1002;
inline constexpr int kStatusNoCurrentCase = 1003;
inline constexpr int kStatusWrongType = 1004;
inline constexpr int kStatusNoCase = 1005;

class SpssFile {
public:
    SpssFile() = default;
    SpssFile(const SpssFile&) = delete;
    SpssFile& operator=(const SpssFile&) = delete;
    ~SpssFile() { close(); }

    // Names, labels and strings are read in the character set the file names (its encoding
    // record has the last say) and given in UTF-8. A dictionary-only open reads the variables
    // and the number of cases, no value: it serves a list of the variables.
    int open(const std::string& path, bool dictionary_only = false);
    int close();
    bool is_open() const { return open_; }

    int case_count(long& count) const;
    int variable_count(int& count) const;
    // type: 0 numeric, else the string's storage width (at least 1).
    int variable_name_and_type(int index, std::string& name, int& type) const;
    int print_format(const std::string& name, int& code, int& decimals, int& width) const;
    int variable_label(const std::string& name, std::string& label) const;
    // The values the variable declares missing (user-missing values).
    struct MissingValues {
        std::vector<double> low, high;   // numeric ranges; a single value is a range of one
        std::vector<std::string> texts;  // string values, trailing blanks removed
        bool empty() const { return low.empty() && texts.empty(); }
    };
    int missing_values(const std::string& name, MissingValues& missing) const;
    // The handle of a variable: its exact name first, then the name in any letter case.
    int variable_handle(const std::string& name, double& handle) const;

    int read_next_case();
    int string_value(double handle, std::string& text) const;
    int numeric_value(double handle, double& value) const;
    // Whether the current case's value of the variable is one the variable declares missing.
    bool declared_missing(double handle) const;
    int move_to_case(long case_number);

    // Values at or below low in magnitude are written as 0, at or above high as missing.
    static void limits(double& low, double& high);
    // A readable text for a status of open.
    static std::string status_text(int status);

    struct Variable {
        std::string name;
        std::string label;
        std::string format;  // e.g. "F8.2", "DATETIME20"
        int type = 0;
        MissingValues missing;
    };
    // The values of one variable, case after case: eight bytes a case for a numeric variable,
    // the text and where it ends for a string variable.
    struct Column {
        std::vector<double> numbers;
        std::vector<std::size_t> ends;  // ends[c]: the end of case c's text in chars
        std::string chars;               // the texts of all cases, one after another
    };

private:
    friend struct ParseContext;
    int variable_index(const std::string& name) const;
    // The column of the handle when a case is current, else null.
    const Column* current_column(double handle) const;

    bool open_ = false;
    std::vector<Variable> variables_;
    std::vector<Column> columns_;  // one per variable
    long cases_ = 0;
    bool values_read_ = false;  // false after a dictionary-only open: no case can be visited
    long cursor_ = -1;  // index of the current case; -1 before the first read
};

// A string value as every output writes it: up to its first NUL, with each control character
// (CR, LF, TAB and the others below 0x20) a blank, so that no value ends a record or a field.
std::string printable_value_text(const std::string& raw);

// Print-format letters and digits ("DATETIME20", "F8.2") as a format code, width and decimals;
// unknown letters give code 0.
void parse_print_format(const std::string& format, int& code, int& width, int& decimals);

}  // namespace korvelan::spss

// What the subtotal and DIF/DPF Tables share: the setting that holds either one column
// selection or the name of a file of them, and the table of the distinct codes that the
// selection cuts out of the labels of one side.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/input/selections.h"
#include "engine/report/report_context.h"
#include "engine/run/run.h"

namespace korvelan {

// The names a specification setting goes by in the report: the setting itself, its word in
// the "NOT PRINTED." and "INVALID ... FILE:" lines ("PSUBTOTAL", "PDIF").
struct SpecificationSetting {
    std::string* value = nullptr;
    std::string_view report_name;
};

// Runs one set per specification of the setting: the value itself when it holds "$S" or "$s",
// else every line of the file it names. A blank setting reports " TABLE t NOT PRINTED. name=
// NOT SPECIFIED"; a file that cannot be opened reports " INVALID name FILE: " + the file and
// clears the setting; a file without a line holding "$S" or "$s" reports " TABLE t NOT PRINTED. name FILE
// HOLDS NO SELECTION: " + the file. Each line goes to the report and the message line; the last
// two are failures of the run.
void for_each_specification(Run& run, const SpecificationSetting& setting,
                            const std::function<void(std::string_view)>& run_set);

// The codes of one specification: every code has the width of the selection's text; at most
// capacity() = INT(2000 / width) codes, numbered from 1 in the order they were added.
class LabelCodeTable {
public:
    // Parses the selection (false, with its message shown, when it is malformed or gives no
    // text).
    bool parse(Run& run, std::string_view specification, std::string_view keyword);
    int width() const { return width_; }
    std::int64_t capacity() const { return width_ > 0 ? 2000 / width_ : 0; }
    // The code the selection cuts out of a label, width() characters.
    std::string code_of(std::string_view label) const;
    // The code of an entry's label (read from its work file).
    std::string code_of_entry(Run& run, ReportSide side, std::int32_t entry) const;
    // 1-based number of a code, 0 when it is not in the table.
    int find(std::string_view code) const;
    // Adds a code that is new while there is room; returns its number (0: no room).
    int add(std::string_view code);
    // Places the code as number 1 whatever it is (the whole-sample group of the subtotals).
    void set_first(std::string_view code);
    const std::vector<std::string>& codes() const { return codes_; }
    int count() const { return static_cast<int>(codes_.size()); }

private:
    FieldSelection selection_;
    int width_ = 0;
    std::vector<std::string> codes_;
};

// The label of an entry as its work file holds it (not trimmed).
std::string side_label(Run& run, ReportSide side, std::int32_t entry);

// The "Processing: " line of a set on the text window.
void show_processing_line(Run& run, std::string_view keyword, std::string_view specification);

}  // namespace korvelan

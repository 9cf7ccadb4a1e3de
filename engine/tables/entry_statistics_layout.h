// The fixed parts of an entry statistics table: which columns it has, its label area, the
// sub-heading, the boxed column headings, the rules and the omitted-entries line. Positions count
// the page-control column of the report line as 1.
#pragma once

#include <string>

#include "engine/report/report_context.h"

namespace korvelan {

// The column switches and words of one table, fixed for the whole call.
struct EntryColumns {
    bool items = true;
    std::string word;          // entity word, trimmed
    std::string key;           // order key word, trimmed
    bool fit_order = false;    // the key contains "FIT"
    bool weighted_counts = false;  // score and count with one decimal
    bool weight_column = false;
    bool displacement_column = false;
    bool real_errors = false;
    bool total_score = false;
    std::string measure_format;  // "(F8.d)"
    int decimals = 2;
    float fit_limit = 2.0f;
    float label_column = 1.0f;  // start column of the last label sort, shown under "ALPHA"
    int label_width = 1;        // W
    int model_position = 0;     // within the label area (1 = its leading blank); 0 = no column
    int group_position = 0;
};

EntryColumns choose_entry_columns(const ReportContext& ctx);

// The label area of the heading: the entity word and the "M" and "G" column titles.
std::string heading_label_area(const EntryColumns& c);
// The label area of a row: the label from its second character, cut to W, with the model letter
// and group character at their positions.
std::string row_label_area(const EntryColumns& c, const std::string& label, char model, char group);

// The sub-heading line and the blank line after it.
void write_entry_sub_heading(Run& run, const EntryColumns& c);
// The four lines of the column headings.
void write_entry_column_headings(Run& run, const EntryColumns& c);
// A rule across the box: corners or ends left and right, joins between the cells.
void write_entry_rule(Run& run, const EntryColumns& c, char left, char join, char right);
void write_omitted_line(Run& run, const EntryColumns& c);
// The heading line of the copied rows in the summary work file.
void write_copied_rows_heading(Run& run, const EntryColumns& c);

}  // namespace korvelan

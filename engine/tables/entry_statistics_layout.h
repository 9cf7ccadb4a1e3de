// The fixed parts of an entry statistics table: which columns it has, its label area, the
// sub-heading, the boxed column headings, the rules and the omitted-entries line. Positions count
// the page-control column of the report line as 1.
#pragma once

#include <optional>
#include <string>

#include "engine/input/work_files.h"
#include "engine/report/report_context.h"
#include "engine/run/entry_statistics.h"

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

// What one row shows of its entry.
struct RowValues {
    int status = 0;  // without the PROX mark
    EntryStatistics v;
    float weight = 1.0f;
    std::string label;
    char model = ' ', group = ' ';
};

// The values of entry e: items from the item arrays, persons from the person arrays and their
// work records; the labels from the work files; the alternative score and count under TOTAL=Y,
// the real S.E. under REALSE=Y.
RowValues gather_entry_row(Run& run, WorkFiles& files, const EntryColumns& c, int e);
// The GROUPS= character of an item: "0" when every item is a group of its own; otherwise the
// first non-blank character of the item's own XWIDE= columns (one column once the string has
// been reduced to one character per item).
char group_character(const Run& run, int item);
// The letter that ties a row of a misfit list to the fit plots: "A".."Z" from the top while the
// row lies in the upper half, "a".."z" up from the bottom; blank in the middle.
char misfit_letter(int p, int n);
// Whether position p of a misfit list of n fits well enough to be left out.
bool left_out_of_misfit_list(const EntryColumns& c, int p, int n, float infit_z, float outfit_z);

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

// How far a walk down the side's list has come: whether entries were left out, and whether the
// line marking the gap has been written.
struct ListWalk {
    bool omitted = false;
    bool gap_line_written = false;
};
// Position p of the list, an entry number above 0: nothing when it is left out of a misfit list
// (it becomes negative), else its row values (a deleted entry becomes negative all the same).
std::optional<RowValues> take_list_entry(ReportContext& ctx, const EntryColumns& c,
                                         WorkFiles& files, ListWalk& walk, int p, int n);
// Whether the gap line is due before this row: entries were left out and this is the first row
// whose standardized fit of the order (outfit, or infit under OUTFIT=N) is below 0.
bool gap_line_due(const Run& run, const ListWalk& walk, const RowValues& r);

}  // namespace korvelan

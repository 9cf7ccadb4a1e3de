// The result menus: the Diagnosis, Output Tables, Output Files and Compare Files entries built
// once per process while the run goes on (grayed), and their switching between enabled and
// grayed around every request, with the check marks of the current settings.
#pragma once

#include "engine/run/run.h"
#include "shell/menus/menu_model.h"

namespace korvelan {

// Positions in the result menus that the handlers and the state switching address.
namespace result_item {
inline constexpr int kFirstDiagnosis = 3;  // "A. ..." to "G. ..." at 3 .. 9
inline constexpr int kLastDiagnosis = 9;
inline constexpr int kLastOutputTable = 45;
inline constexpr int kItemComponents = 15;    // "23. ... principal components"
inline constexpr int kPersonComponents = 30;  // "24. ... principal components"
inline constexpr int kCsvNo = 2;              // CSV=NO, YES, TAB at 2, 3, 4
inline constexpr int kHlinesYes = 5;
inline constexpr int kHlinesNo = 6;
inline constexpr int kLastOutputFile = 22;
inline constexpr int kMeasureColumn = 2;  // measure, outfit, infit at 2, 3, 4
inline constexpr int kDoComparison = 5;
inline constexpr int kItemSide = 7;
inline constexpr int kPersonSide = 8;
inline constexpr int kLeftFile = 9;
inline constexpr int kRightFile = 11;
inline constexpr int kFirstBatchResult = 3;  // "Edit batch file", "Run batch file"
}  // namespace result_item

// The handlers the result entries are bound to.
struct ResultHandlers {
    EntryHandler diagnosis, table, output_file, comparison;
};

// Appends the result entries with `flags` (3 during the run) and resets the comparison settings.
void build_result_menus(MenuModel& menus, Run& run, int flags, const ResultHandlers& handlers);

// 0 enables, 3 grays every result entry; the current CSV= and HLINES= entries, the files
// already named and the comparison column keep their check marks.
void set_result_menus_enabled(MenuModel& menus, const Run& run, int flags);

// The Output Files position of the current CSV= / HLINES= setting.
int csv_item(char csv);
int hlines_item(char hlines);

// "Do comparison" is possible once a right file and a side are chosen.
int do_comparison_flags(const ComparisonSettings& c, int flags);

}  // namespace korvelan

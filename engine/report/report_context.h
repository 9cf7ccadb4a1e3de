// What every Table writer of one request is given: the run (its arrays, control values and
// report line), the request, the entity side, the fit key, the entry lists of both sides with
// their sort letters, and the misfit-listing mode. The lists and letters live in the run's
// report state, so during the run they persist from Table to Table; the context only points at
// them. The plot area, the measure axis (with the plot range) and the residual column flag
// belong to the request: every plotting writer of the request shares them. A test builds a
// context on a small run of its own.
#pragma once

#include <algorithm>
#include <string>

#include "engine/report/plot_axis.h"
#include "engine/report/plot_grid.h"
#include "engine/run/run.h"

namespace korvelan {

enum class ReportSide { Items = 0, Persons = 1 };

// Display columns of a side's label field: as wide on the screen as the widest label of NAMLEN=
// (ITLEN=) characters, and never narrower than that many columns, so ASCII labels keep the width
// they always had.
inline int label_field_columns(const Run& run, ReportSide side) {
    return side == ReportSide::Persons ? std::max(run.cv.namlen, run.input.longest_person_label)
                                       : std::max(run.cv.itlen, run.input.longest_item_label);
}

struct ReportContext {
    explicit ReportContext(Run& r)
        : run(r),
          request(r.rep.request),
          items(r.rep.item_order),
          persons(r.rep.person_order),
          item_sort(r.rep.item_sort_state),
          person_sort(r.rep.person_sort_state) {}

    Run& run;
    TableRequest& request;
    ReportSide side = ReportSide::Items;  // the entity side flag of the Table being written
    std::string fit_key = "MISFIT";       // "MISFIT", or "INFIT" when OUTFIT=N; the order word
    int misfit_listing_mode = 0;          // 1 for the most misfitting response strings
    EntryOrder& items;
    EntryOrder& persons;
    char& item_sort;
    char& person_sort;
    PlotGrid grid;
    PlotAxis axis;  // also the plot range that find_plot_measure_range sets
    // 1 when the rating-scale structure shows an OBS-EXP column worth keeping; while it is 0
    // drop_column_from_report_line removes that column.
    std::int32_t residual_column_flag = 0;

    EntryOrder& order(ReportSide s) { return s == ReportSide::Items ? items : persons; }
    char& sort_letter(ReportSide s) { return s == ReportSide::Items ? item_sort : person_sort; }
    // Whether every sub-table is asked for (option letter 1 blank), and the sub-table selector.
    bool all_sub_tables() const { return request.letters[0] == ' '; }
    float sub_table() const { return request.selectors[0]; }
};

}  // namespace korvelan

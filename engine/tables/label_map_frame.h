// What every line of one labelled map of a side shares: the kind of map, the rows it prints, the
// symbol field of the counted side and the label cells of the labelled side; and the pieces of
// its lines (row start, continuation, end texts, key line).
#pragma once

#include <string>
#include <vector>

#include "engine/report/report_context.h"
#include "engine/tables/variable_map_rows.h"

namespace korvelan {

enum class LabelledKind { Ordinary, Reflected, ExpectedScoreZones, ThurstoneThresholds };

struct LabelledFrame {
    const MapAxis& axis;
    const MapTallies& tallies;
    ReportSide labelled = ReportSide::Items;
    LabelledKind kind = LabelledKind::Ordinary;
    int highest = 0;           // H: the highest used row
    int lowest = 0;            // Lo: the lowest used row
    int first = 0;             // F: the first printed row
    // Under a negative USCALE= the map stands the other way up, and the rules that end it at
    // the top and at the bottom trade places, so that it shows the mirror of the rows the
    // positive scale shows: reversed, the rows run from mirrored_top down to mirrored_bottom.
    bool reversed = false;
    int mirrored_top = 0;      // the tick row at or above H (the map's top row for a threshold map)
    int mirrored_bottom = 0;   // the row found from Lo downwards as F is found from H upwards
    int largest_weight = 1;    // C: the largest whole weight of the counted side on a used row
    int largest_count = 1;     // m: the largest labelled count on a used row
    int field = 7;             // W: the symbol field of the counted side
    double per_symbol = 1.0;   // c
    int base_width = 1;        // b: the side's label width
    int label_width = 1;       // w
    int per_line = 1;          // n: labels per line (ordinary kinds)

    bool doubled() const { return kind == LabelledKind::Reflected; }
    bool threshold_map() const {
        return kind == LabelledKind::ExpectedScoreZones || kind == LabelledKind::ThurstoneThresholds;
    }
    int label_column() const { return field + (doubled() ? 14 : 13); }
    const std::vector<double>& counted_weight() const {
        return labelled == ReportSide::Items ? tallies.person_weight : tallies.item_weight;
    }
    const std::vector<int>& labelled_count() const {
        return labelled == ReportSide::Items ? tallies.item_count : tallies.person_count;
    }
};

// The used rows of the frame (rows whose counted weight is above 0, in the ordinary kinds also
// those with labelled entries), widened by the rows from..to when from >= 0; then C, m, F, W and
// c. Call once the kind and side are set.
void find_labelled_rows(Run& run, LabelledFrame& f, int extra_high, int extra_low);

// The row's first line in run.rep.line (cleared first): tick value, symbols, centre, markers.
void put_labelled_row_start(Run& run, const LabelledFrame& f, int row);
// The label cells from the label column: w characters each, 2 blanks between.
void put_label_cells(Run& run, const LabelledFrame& f, const std::vector<std::string>& cells);

// The end texts of the centre line (top or bottom), placed from column W + 3.
std::string labelled_end_text(const Run& run, const LabelledFrame& f, bool top);
// The title line from column 9: counted plural, " MAP OF ", labelled plural and the suffix of a
// threshold map.
void write_labelled_title(Run& run, const LabelledFrame& f);
// The bottom end text, then "EACH '#' IS c." when c is above 1.
void write_labelled_map_end(Run& run, const LabelledFrame& f);

// The threshold maps 12.5 and 12.6, once the heading decided their kind.
void write_threshold_map(ReportContext& ctx, LabelledFrame& frame);

}  // namespace korvelan

// The DIF and DPF Tables: the classes of one specification, the estimation of their sizes and
// the box table that sets each class against each other one, entry by entry.
#include "engine/analyses/dif_tables.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/analyses/scratch_block.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

std::string rule(std::size_t n) { return std::string(n, box::kHorizontal); }

// The column layout of the box table.
struct DifColumns {
    std::size_t cw = 5;  // class code column
    std::size_t nw = 12;  // number and label
    std::size_t total() const { return 2 * cw + 53 + nw; }
};

struct DifWords {
    std::string keyword;     // "DIF" / "DPF"
    std::string classified;  // the classified side's word, trimmed
    std::string other;       // the other side's word, trimmed
};

DifWords words_of(const Run& run, ReportSide classified) {
    const bool dif = classified == ReportSide::Persons;
    return {dif ? "DIF" : "DPF", std::string(trim(dif ? run.cv.person_word : run.cv.item_word)),
            std::string(trim(dif ? run.cv.item_word : run.cv.person_word))};
}

double user_scale(const Run& run) { return run.cv.uscale == 0.0f ? 1.0 : run.cv.uscale; }
int measure_decimals(const Run& run) { return std::clamp(run.cv.user_decimals, 0, 4); }

// Text of line positions first.. (1-based) placed into a growable line.
// Positions count display columns: a label of wide characters keeps the columns after it.
void place(std::string& line, std::size_t column, const std::string& text) {
    place_text(line, column, text);
}

// A class's code and after it its size and S.E. (13 columns), or what stood in for them.
std::string class_part(const Run& run, std::string code, const DifCell& cell) {
    if (cell.status == dif_status::kMinimumScore) return code + " minimum score";
    if (cell.status == dif_status::kMaximumScore) return code + " maximum score";
    const int d = measure_decimals(run);
    const double se = std::fabs(user_scale(run)) / std::sqrt(cell.variance);
    append_table_number(code, cell.size * user_scale(run), 7, d);
    append_table_number(code, se, 6, d);
    return code;
}

// The contrast of two estimated cells, its joint S.E. and t; t has the sign of the contrast as
// printed.
std::string contrast_part(const Run& run, const DifCell& a, const DifCell& b) {
    const int d = measure_decimals(run);
    const double joint = std::sqrt(1.0 / a.variance + 1.0 / b.variance);
    const double contrast = (a.size - b.size) * user_scale(run);
    const double t = contrast / (joint * std::fabs(user_scale(run)));
    std::string text = fmt_f(contrast, 8, d);
    append_table_number(text, joint * std::fabs(user_scale(run)), 6, d);
    return text + " " + fmt_f(t, 5, 2);
}

bool shown(const DifCell& cell) {
    return cell.status == dif_status::kEstimated || cell.status == dif_status::kMinimumScore ||
           cell.status == dif_status::kMaximumScore;
}

void write_box_line(Run& run, const DifColumns& col, char left, char right) {
    write_wide_report_line(run, std::string(" ") + left + rule(col.total()) + right);
}

void write_inner_line(Run& run, const DifColumns& col, std::string line) {
    place(line, col.total() + 3, std::string(1, box::kVertical));
    write_wide_report_line(run, line);
}

void write_entry_rows(Run& run, const DifColumns& col, const LabelCodeTable& classes, DifCells& cells, int j,
                      const std::string& label) {
    const std::string v(1, box::kVertical);
    const std::string name = fmt_i(j, 6) + " " + label;
    for (int c1 = 1; c1 <= cells.classes; ++c1) {
        DifCell& a = cells.at(c1, j);
        if (!shown(a)) continue;
        const std::string first = " " + v + " " + class_part(run, pad_right(classes.codes()[c1 - 1], col.cw), a);
        for (int c2 = c1 + 1; c2 <= cells.classes; ++c2) {
            DifCell& b = cells.at(c2, j);
            if (!shown(b)) continue;
            a.printed = b.printed = true;
            std::string line = first;
            place(line, col.cw + 19, class_part(run, pad_right(classes.codes()[c2 - 1], col.cw), b));
            if (a.status == dif_status::kEstimated && b.status == dif_status::kEstimated)
                place(line, 2 * col.cw + 34, contrast_part(run, a, b));
            place(line, 2 * col.cw + 55, name);
            write_inner_line(run, col, line);
        }
        if (a.printed) continue;
        std::string line = first;
        place(line, 2 * col.cw + 55, name);
        write_inner_line(run, col, line);
    }
}

}  // namespace

void write_dif_box_table(Run& run, ReportSide classified, const LabelCodeTable& classes, DifCells& cells) {
    const DifWords w = words_of(run, classified);
    const bool dif = classified == ReportSide::Persons;
    // The name column takes the other side's widest label whole on the screen.
    const int other_label_length = label_field_columns(run, dif ? ReportSide::Items : ReportSide::Persons);
    DifColumns col;
    col.cw = std::max({static_cast<std::size_t>(classes.width()), std::size_t{5}, display_width(w.classified)});
    for (const std::string& code : classes.codes()) col.cw = std::max(col.cw, display_width(code));
    col.nw = std::max({static_cast<std::size_t>(std::max(other_label_length, 0)) + 7, display_width(w.other), std::size_t{12}});
    const std::string v(1, box::kVertical);
    const std::string& k = w.keyword;
    write_box_line(run, col, box::kDownRight, box::kDownLeft);
    write_inner_line(run, col, " " + v + " " + pad_right(w.classified, col.cw) + "   " + k + "   " + k + "   " +
                                   pad_right(w.classified, col.cw) + "   " + k + "   " + k + "      " + k +
                                   "    JOINT       " + pad_right(w.other, col.nw));
    write_inner_line(run, col, " " + v + " " + pad_right("GROUP", col.cw) + "  ADDED  S.E.  " +
                                   pad_right("GROUP", col.cw) + "  ADDED  S.E.  CONTRAST  S.E.   t   Number  Name");
    write_box_line(run, col, box::kVerticalRight, box::kVerticalLeft);
    const ReportSide other = dif ? ReportSide::Items : ReportSide::Persons;
    for (int j = 1; j <= cells.others; ++j)
        write_entry_rows(run, col, classes, cells, j, std::string(trim(side_label(run, other, j))));
    write_box_line(run, col, box::kUpRight, box::kUpLeft);
}

void write_dif_dpf_set(ReportContext& ctx, std::string_view specification, int pass_cap) {
    Run& run = ctx.run;
    const ReportSide classified = ctx.side;
    const DifWords w = words_of(run, classified);
    show_processing_line(run, w.keyword, specification);
    LabelCodeTable classes;
    if (!classes.parse(run, specification, w.keyword)) return;
    const std::string spec(specification);
    if (classes.capacity() < 3) {
        write_report_text(run, msg::kNoRoomFor + w.keyword + msg::kNoRoomForEstimates + spec);
        return;
    }
    write_table_heading(run, 1);
    write_wide_report_line(run, " " + w.keyword + " specification is: " + w.keyword + "=" + spec);
    write_blank_report_line(run);
    collect_classes(run, classified, classes);
    const bool dif = classified == ReportSide::Persons;
    const int k = dif ? run.arrays.persons : run.arrays.items;
    const int m = dif ? run.arrays.items : run.arrays.persons;
    DifCells cells;
    if (!obtain_dif_cells(run, classes.count(), m, k, cells)) {
        const Size bytes = dif_block_bytes(classes.count(), m, k);
        if (run.host)
            run.host->write_text_window_line(
                std::string(trim(int_to_text_left(shown_bytes(bytes)))) + msg::kNoMemoryForTable);
        write_report_text(run, msg::kNotEnoughMemoryForTable);
        return;
    }
    estimate_dif_sizes(run, classified, classes, cells, pass_cap);
    write_report_text(run, dif ? " Positive DIF size is higher " + w.other + " difficulty"
                               : " Positive DPF size is higher " + w.other + " ability");
    write_dif_box_table(run, classified, classes, cells);
}

void run_dif_dpf_tables(ReportContext& ctx) {
    const bool dif = ctx.side == ReportSide::Persons;
    const SpecificationSetting setting{dif ? &ctx.run.cv.dif : &ctx.run.cv.dpf, dif ? "PDIF" : "IDIF"};
    for_each_specification(ctx.run, setting,
                           [&](std::string_view specification) { write_dif_dpf_set(ctx, specification); });
}

}  // namespace korvelan

#include "engine/tables/entry_statistics.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/input/data_input.h"
#include "engine/report/table_heading.h"
#include "engine/run/file_units.h"
#include "engine/run/report_line.h"
#include "engine/tables/entry_statistics_layout.h"
#include "engine/tables/summary_slots.h"

namespace korvelan {

namespace {

const std::string kBar(1, box::kVertical);

const char* status_word(int s) {
    switch (s) {
        case status::kDropped:
            return "DROPPED";
        case status::kDeleted:
            return "DELETED";
        case status::kInestimableHigh:
            return "INESTIMABLE: HIGH";
        case status::kInestimableLow:
            return "INESTIMABLE: LOW";
        default:
            return "DESELECTED";
    }
}

void append_count(std::string& t, const EntryColumns& c, float x) {
    if (c.weighted_counts) append_table_number(t, x, 7, 1);
    else append_table_integer(t, nint(x), 7);
}

// Positions 1 to 67 of a row: number, score, count, measure and S.E., then the fit cells, the
// extreme note or the status word.
std::string row_text(const EntryColumns& c, const RowValues& r, int e, char letter) {
    std::string t = " " + kBar + fmt_i(e, 6);
    if (r.status < status::kExtremeMinimum)
        return pad_right(t + "     " + status_word(r.status), 38) + kBar + std::string(10, ' ') +
               kBar + std::string(10, ' ') + kBar + std::string(5, ' ') + kBar;
    append_count(t, c, r.v.raw_score);
    append_count(t, c, r.v.count);
    append_table_number(t, r.v.measure, 8, c.decimals);
    // An anchored entry's S.E. takes the 7 columns after its "A".
    if (r.status >= status::kAnchored) t += 'A';
    append_table_number(t, r.v.standard_error, r.status >= status::kAnchored ? 7 : 8, c.decimals);
    t += kBar;
    if (r.status <= status::kExtremeMaximum) {
        const char* side = r.status == status::kExtremeMaximum ? "MAXIMUM" : "MINIMUM";
        return pad_right(t + " " + side + " ESTIMATED MEASURE", 66) + kBar;
    }
    std::string correlation = fmt_f(r.v.point_biserial, 5, 2);
    if (correlation[0] == ' ') correlation[0] = letter;
    t += fmt_f(r.v.infit_mnsq, 4, 2);
    append_table_number(t, r.v.infit_zstd, 6, 1);
    t += kBar + fmt_f(r.v.outfit_mnsq, 4, 2);
    append_table_number(t, r.v.outfit_zstd, 6, 1);
    return t + kBar + correlation + kBar;
}

// The weight cell: the weight in 5 columns, two decimals where they fit, and the cell's rule.
std::string weight_cell(float weight) { return fmt_f(weight, 5, 2) + kBar; }

std::string displacement_cell(const EntryColumns& c, const RowValues& r) {
    const std::string value = r.status < status::kExtremeMinimum
                                  ? std::string(8, ' ')
                                  : fmt_f(r.v.displacement, 8, c.decimals);
    return value + kBar;
}

void copy_row_to_summary_file(Run& run, const std::string& row, const std::string& label_area) {
    const std::string text = std::string(trim_right(row)) + label_area + kBar;
    write_unit_line(run, unit::kSummary, trim_right(display_prefix(text, 80)));
    run.rs.io_status = 0;
}

// The MEAN or S.D. row of the side's summary slots.
void statistics_row(Run& run, const EntryColumns& c, const char* label, bool mean) {
    const auto& slot = run.arrays.summary;
    const SideSlots& s = c.items ? kItemSlots : kPersonSlots;
    auto v = [&](int k) { return mean ? slot[k].mean : slot[k].sd; };
    const int error = c.real_errors ? s.real_error : s.first + 3;
    std::string t = " " + kBar + " " + label;
    append_table_number(t, v(s.first), 8, 0);
    append_table_number(t, v(s.first + 1), 7, 0);
    append_table_number(t, v(s.first + 2), 8, c.decimals);
    append_table_number(t, v(error), 8, c.decimals);
    t += kBar + fmt_f(v(s.first + 4), 4, 2);
    append_table_number(t, v(s.first + 5), 6, 1);
    t += kBar + fmt_f(v(s.first + 6), 4, 2);
    append_table_number(t, v(s.first + 7), 6, 1);
    t = pad_right(t + kBar, 66) + kBar;
    if (c.weight_column) t += "     " + kBar;
    if (c.displacement_column) t += "        " + kBar;
    run.rep.line.clear();
    run.rep.line.put(1, t + std::string(static_cast<std::size_t>(c.label_width), ' ') + kBar);
    write_report_line(run);
}

void write_row(ReportContext& ctx, const EntryColumns& c, WorkFiles& files, ListWalk& walk,
               int p, int n) {
    Run& run = ctx.run;
    const std::optional<RowValues> taken = take_list_entry(ctx, c, files, walk, p, n);
    if (!taken) return;
    const RowValues& r = *taken;
    const int e = std::abs(ctx.order(ctx.side).entries[static_cast<std::size_t>(p - 1)]);
    if (gap_line_due(run, walk, r)) {
        break_page_if_needed(run, run.rep.page_line_counter + 1);
        write_omitted_line(run, c);
        walk.gap_line_written = true;
    }
    break_page_if_needed(run, run.rep.page_line_counter + 4);
    if (run.rep.page_line_counter == 2) {
        write_entry_sub_heading(run, c);
        write_entry_column_headings(run, c);
    }
    const std::string row = row_text(c, r, e, c.fit_order ? misfit_letter(p, n) : ' ');
    const std::string label = row_label_area(c, r.label, r.model, r.group);
    std::int32_t& copied = c.items ? run.rep.item_rows_copied : run.rep.person_rows_copied;
    if (c.fit_order && copied < std::min(n, 4) && !run.rs.report_closed) {
        copy_row_to_summary_file(run, row, label);
        ++copied;
    }
    std::string line(trim_right(row));
    if (c.weight_column) line += weight_cell(r.weight);
    if (c.displacement_column) line += displacement_cell(c, r);
    run.rep.line.clear();
    run.rep.line.put(1, line + label + kBar);
    write_report_line(run);
}

}  // namespace

void write_entry_statistics_table(ReportContext& ctx) {
    Run& run = ctx.run;
    const EntryColumns c = choose_entry_columns(ctx);
    write_table_heading(run, 0);
    run.rep.line.clear();
    run.rep.line.put(2, pad_right(run.arrays.estimation.separation_note, 100));
    write_report_line(run);
    write_blank_report_line(run);
    write_entry_sub_heading(run, c);
    if (c.fit_order && !run.rs.report_closed) write_copied_rows_heading(run, c);
    write_entry_column_headings(run, c);

    WorkFiles files = run_work_files(run);
    EntryOrder& order = ctx.order(ctx.side);
    const int n = std::clamp(order.count, 0, static_cast<std::int32_t>(order.entries.size()));
    ListWalk walk;
    for (int p = 1; p <= n; ++p) {
        if (order.entries[static_cast<std::size_t>(p - 1)] < 1) {
            walk.omitted = true;
            continue;
        }
        write_row(ctx, c, files, walk, p, n);
    }
    if (walk.omitted && !walk.gap_line_written) write_omitted_line(run, c);

    write_entry_rule(run, c, box::kVerticalRight, box::kCross, box::kVerticalLeft);
    statistics_row(run, c, "MEAN", true);
    statistics_row(run, c, "S.D.", false);
    write_entry_rule(run, c, box::kUpRight, box::kUpHorizontal, box::kUpLeft);
}

}  // namespace korvelan

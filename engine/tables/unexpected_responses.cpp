#include "engine/tables/unexpected_responses.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/entry_sort.h"
#include "engine/report/plot_grid.h"
#include "engine/report/response_residual.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/response_cells.h"

namespace korvelan {

namespace {

struct Grid {
    Grid(ReportContext& c) : ctx(c), run(c.run), files(run_work_files(c.run)) {}
    ReportContext& ctx;
    Run& run;
    WorkFiles files;
    bool items = false;       // the rows are items, the columns persons
    bool misfit_strings = false;  // sub-table 4
    std::vector<std::int32_t> rows, columns;  // columns in the order they are shown
    int label_width = 1;
    int cell_width = 1;
    int digits = 1;
    std::vector<std::uint8_t> scores;
    std::string label;
};

std::vector<std::int32_t> absolute(std::vector<std::int32_t> list) {
    for (std::int32_t& e : list) e = std::abs(e);
    return list;
}

void read_label(Grid& g, int e) {
    if (g.items)
        read_item_label_record(g.run, g.files, e, g.label);
    else
        read_person_name_record(g.run, g.files, e, g.label);
}

void choose_lists(Grid& g) {
    const AnalysisArrays& a = g.run.arrays;
    const EstimationResults& est = a.estimation;
    const EntryOrder& order = g.ctx.order(g.ctx.side);
    const int direction = g.items ? -1 : 1;
    const std::vector<float>& side_measures = g.items ? a.item_measure : a.person_measure;
    const std::vector<float>& other_measures = g.items ? a.person_measure : a.item_measure;
    if (g.misfit_strings) {
        const int n = std::clamp(order.count, 0, static_cast<std::int32_t>(order.entries.size()));
        g.rows = absolute({order.entries.begin(), order.entries.begin() + std::min(n, 26)});
    } else {
        g.rows = absolute(g.items ? est.most_unexpected_items : est.most_unexpected_persons);
        sort_entries_by_value(g.rows, side_measures, static_cast<int>(g.rows.size()), direction);
    }
    g.columns = absolute(g.items ? est.most_unexpected_persons : est.most_unexpected_items);
    sort_entries_by_value(g.columns, other_measures, static_cast<int>(g.columns.size()),
                          direction);
    std::reverse(g.columns.begin(), g.columns.end());
}

void choose_widths(Grid& g) {
    int largest = 0;
    for (std::int32_t e : g.columns) largest = std::max(largest, e);
    g.digits = digit_count(largest);
    const int top = g.run.arrays.top_value;
    g.cell_width = top < 10 ? 1 : top < 100 ? 2 : 3;
    g.label_width = 1;
    for (std::int32_t e : g.rows) {
        read_label(g, e);
        g.label_width =
            std::max(g.label_width, static_cast<int>(display_width(trim_right(g.label))));
    }
    const int grid = static_cast<int>(g.columns.size()) * g.cell_width;
    g.label_width = std::max(std::min(g.label_width, 50 * g.cell_width + 13 - grid), 1);
}

int grid_width(const Grid& g) {
    return static_cast<int>(g.columns.size()) * g.cell_width;
}

// The entry numbers of the columns, one digit place a row, each in its cell's last character:
// from above right-justified (places 7 - D to 6 of six), from below from the first digit.
void write_digit_rows(Grid& g, bool from_above) {
    const int w = g.cell_width, first = g.label_width + 20;
    for (int r = 1; r <= g.digits; ++r) {
        ReportLineBuffer& line = g.run.rep.line;
        line.clear();
        line.put(first - 1, std::string(1, box::kVertical));
        for (std::size_t k = 0; k < g.columns.size(); ++k) {
            const std::string number =
                from_above ? fmt_i(g.columns[k], 6) : int_to_text_left(g.columns[k]);
            const std::size_t place =
                from_above ? static_cast<std::size_t>(6 - g.digits + r - 1) : static_cast<std::size_t>(r - 1);
            if (place < number.size())
                line.put(first + static_cast<int>(k) * w + w - 1, number.substr(place, 1));
        }
        write_report_line(g.run);
    }
}

void write_block_heading(Grid& g) {
    Run& run = g.run;
    const int W = g.label_width;
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    line.put(1, g.misfit_strings ? " MOST MISFITTING RESPONSE STRINGS" : " MOST UNEXPECTED RESPONSES");
    write_report_line(run);
    const ReportSide other = g.items ? ReportSide::Persons : ReportSide::Items;
    line.clear();
    line.put(1, " " + pad_right(side_word(run, g.ctx.side), static_cast<std::size_t>(W + 7)) + " " +
                    (g.misfit_strings ? "OUTMNSQ" : "MEASURE") + "  " + box::kVertical +
                    side_word(run, other));
    write_report_line(run);
    write_digit_rows(g, true);
    line.clear();
    line.put(W + 16, "high");
    line.put(W + 20, std::string(static_cast<std::size_t>(grid_width(g)), box::kHorizontal));
    write_report_line(run);
}

void write_block_foot(Grid& g) {
    Run& run = g.run;
    const int W = g.label_width, c = grid_width(g);
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    line.put(W + 19, std::string(1, box::kVerticalRight));
    line.put(W + 20, std::string(static_cast<std::size_t>(c), box::kHorizontal));
    line.put(W + c + 16, "low");
    write_report_line(run);
    write_digit_rows(g, false);
}

// The grid row of entry e; false when it shows no unexpected response.
bool fill_row(Grid& g, int e, std::string& cells) {
    Run& run = g.run;
    const int w = g.cell_width;
    cells.assign(static_cast<std::size_t>(grid_width(g)), ' ');
    if (!g.items) read_person_scores_record(run, g.files, e, g.scores);
    bool unexpected = false;
    for (std::size_t k = 0; k < g.columns.size(); ++k) {
        const int o = g.columns[k];
        const int person = g.items ? o : e, item = g.items ? e : o;
        if (g.items) read_person_scores_record(run, g.files, o, g.scores);
        const int x = g.scores[static_cast<std::size_t>(item - 1)];
        const int c = recoded_category(run.arrays, array_value(run.arrays.item_group, item), x);
        if (c < 0) continue;
        const std::size_t last = k * static_cast<std::size_t>(w) + static_cast<std::size_t>(w) - 1;
        if (!unexpected_residual(response_standardized_residual(run, person, item, c))) {
            cells[last] = '.';
            continue;
        }
        const std::string text = fmt_i(x, 6).substr(static_cast<std::size_t>(6 - w));
        cells.replace(last + 1 - static_cast<std::size_t>(w), static_cast<std::size_t>(w), text);
        unexpected = true;
    }
    return unexpected;
}

void write_row(Grid& g, int e) {
    Run& run = g.run;
    const AnalysisArrays& a = run.arrays;
    if ((g.items ? item_status_of(a, e) : person_status_of(a, e)) <= 0) return;
    std::string cells;
    if (!fill_row(g, e, cells)) return;
    read_label(g, e);
    const EntryOrder& order = g.ctx.order(g.ctx.side);
    const char letter = get_category_plot_symbol(order.entries, order.count, e);
    const std::string value =
        g.misfit_strings
            ? fmt_f(array_value(g.items ? a.item_outfit_mnsq : a.person_outfit_mnsq, e), 7, 2)
            : fmt_f(array_value(g.items ? a.item_measure : a.person_measure, e), 7,
                    decimals_of_format(run.cv.user_decimals_format));
    run.rep.line.clear();
    run.rep.line.put(1, " " + fmt_i(e, 6) + " " +
                            pad_right(g.label, static_cast<std::size_t>(g.label_width)) + " " +
                            value + " " + letter + box::kVertical + cells);
    write_report_line(run);
}

// A later block opens a new page: the page length is 1 for the call, so the page always breaks.
void force_page_break(Run& run) {
    const std::int32_t length = run.cv.page_length;
    run.cv.page_length = 1;
    break_page_if_needed(run, std::max(run.rep.page_line_counter + 1, 2));
    run.cv.page_length = length;
}

}  // namespace

void write_unexpected_response_grid(ReportContext& ctx) {
    Run& run = ctx.run;
    Grid g(ctx);
    g.items = ctx.side == ReportSide::Items;
    g.misfit_strings = ctx.misfit_listing_mode == 1;
    g.scores.assign(static_cast<std::size_t>(std::max(run.arrays.items, 1)), kMissingScore);
    choose_lists(g);
    choose_widths(g);
    write_table_heading(run, 1);
    const int page = run.cv.page_length;
    const int n = static_cast<int>(g.rows.size());
    int first = 0;
    for (bool first_block = true; first < n || first_block; first_block = false) {
        if (!first_block) force_page_break(run);
        const int size = page <= 0 ? n
                         : first_block ? block_rows(page, 2 * g.digits + 11)
                                       : block_rows(page, 2 * g.digits + 9);
        write_block_heading(g);
        const int last = std::min(first + std::max(size, 1), n);
        for (int k = first; k < last; ++k) write_row(g, g.rows[static_cast<std::size_t>(k)]);
        write_block_foot(g);
        first = last;
    }
}

}  // namespace korvelan

#include "engine/tables/misfit_responses.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/response_residual.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"
#include "engine/tables/response_cells.h"

namespace korvelan {

namespace {

const std::string kRule(1, box::kHorizontal);

struct Listing {
    Listing(ReportContext& c, bool listing_items)
        : ctx(c),
          run(c.run),
          files(run_work_files(c.run)),
          items(listing_items),
          layout(response_row_layout(c.run.cv.line_width, c.run.arrays.top_value)) {}
    ReportContext& ctx;
    Run& run;
    WorkFiles files;
    bool items;  // Table 11: the items are listed, the persons are the other side
    ResponseRowLayout layout;
    float limit = 1.2f;
    bool mean_squares = true;
    std::string label_word;  // "MNSQ" or the standardized-fit label
    std::vector<std::uint8_t> scores, codes;
    bool codes_read = false;  // codes holds the listed person's (Table 7) or person o's (Table 11)
    std::string label;
    std::vector<std::string> responses, residuals;
    int row_number = 0;
    bool none_listed = true;
};

void write_list_headings(Listing& l) {
    Run& run = l.run;
    const ReportSide other = l.items ? ReportSide::Persons : ReportSide::Items;
    run.rep.line.clear();
    run.rep.line.put(1, " TABLE OF POORLY FITTING " + side_plural(run, l.ctx.side) + "   (" +
                            side_plural(run, other) + " IN ENTRY ORDER)");
    write_report_line(run);
    run.rep.line.clear();
    run.rep.line.put(1, " NUMBER " + kRule + " NAME " + kRule + kRule + " POSITION " +
                            std::string(6, box::kHorizontal) + " MEASURE " + kRule + " INFIT (" +
                            pad_right(l.label_word, 4) + ") OUTFIT");
    write_report_line(run);
    write_blank_report_line(run);
}

// The cells of a row in groups of five: each group after one blank, and one blank more after
// each pair of groups (before the next pair in the residual line, which starts one blank
// earlier for it).
std::string grouped_cells(const std::vector<std::string>& cells, bool residual_line) {
    std::string text;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        if (k % 5 == 0) {
            const std::size_t group = k / 5;
            if (group % 2 == 0 && (residual_line || group > 0)) text += ' ';
            text += ' ';
        }
        text += cells[k];
    }
    return text;
}

void print_row_pair(Listing& l) {
    Run& run = l.run;
    if (l.responses.empty()) return;
    break_page_if_needed(run, run.rep.page_line_counter + 7);
    if (run.rep.page_line_counter == 2) write_list_headings(l);
    run.rep.line.clear();
    run.rep.line.put(1, "   RESPONSE:" + fmt_i(l.row_number, 7) + ":" +
                            grouped_cells(l.responses, false));
    write_report_line(run);
    run.rep.line.clear();
    run.rep.line.put(1, " Z-RESIDUAL:" + std::string(7, ' ') + grouped_cells(l.residuals, true));
    write_report_line(run);
    write_blank_report_line(run);
    l.responses.clear();
    l.residuals.clear();
}

// The residual cell of response x of the person to the item: blank, the not-usable mark, or the
// residual when its shown value passes 1 in magnitude.
std::string residual_cell(const Listing& l, int person, int item, int x) {
    const AnalysisArrays& a = l.run.arrays;
    const int w = l.layout.cell_width;
    const std::string not_usable = pad_left("X", static_cast<std::size_t>(w));
    const int other_status = l.items ? person_status_of(a, person) : item_status_of(a, item);
    if (other_status < status::kMeasured) return not_usable;
    const int c = recoded_category(a, array_value(a.item_group, item), x);
    if (c < 0) return not_usable;
    const int t = shown_residual(response_standardized_residual(l.run, person, item, c));
    return std::abs(t) <= 1 ? std::string(static_cast<std::size_t>(w), ' ') : fmt_i(t, w);
}

void add_response(Listing& l, int o, int x, int person, int item) {
    const int w = l.layout.cell_width;
    if (static_cast<int>(l.responses.size()) >= l.layout.per_row) print_row_pair(l);
    if (l.responses.empty()) l.row_number = o;
    if (x == kMissingScore) {
        l.responses.push_back(pad_left("M", static_cast<std::size_t>(w)));
        l.residuals.push_back(std::string(static_cast<std::size_t>(w), ' '));
        return;
    }
    l.responses.push_back(fmt_i(x, w));
    l.residuals.push_back(residual_cell(l, person, item, x));
}

// Response x of the person to the item, or the response as read where either was deleted.
int response_of(Listing& l, int person, int item, int x) {
    if (x != kMissingScore || !response_never_scored(l.run, person, item)) return x;
    if (!l.codes_read) read_person_codes_record(l.run, l.files, person, l.codes);
    l.codes_read = true;
    return shown_response(l.run, person, item, x, l.codes.data());
}

void list_responses(Listing& l, int e) {
    Run& run = l.run;
    const int m = l.items ? run.arrays.persons : run.arrays.items;
    l.responses.clear();
    l.residuals.clear();
    if (!l.items) l.codes_read = false;
    for (int o = 1; o <= m; ++o) {
        if (l.items) {
            read_person_scores_record(run, l.files, o, l.scores);
            l.codes_read = false;
            add_response(l, o, response_of(l, o, e, l.scores[static_cast<std::size_t>(e - 1)]), o, e);
        } else {
            add_response(l, o, response_of(l, e, o, l.scores[static_cast<std::size_t>(o - 1)]), e, o);
        }
    }
    print_row_pair(l);
}

struct FitValues {
    float infit = 0.0f, outfit = 0.0f;
};

FitValues fit_values(Listing& l, int e) {
    const AnalysisArrays& a = l.run.arrays;
    if (!l.mean_squares) {
        if (l.items) return {array_value(a.item_infit_zstd, e), array_value(a.item_outfit_zstd, e)};
        return {array_value(a.person_infit_zstd, e), array_value(a.person_outfit_zstd, e)};
    }
    if (l.items) return {array_value(a.item_infit_mnsq, e), array_value(a.item_outfit_mnsq, e)};
    PersonWorkFields record;
    read_person_work_record(l.run, l.files, e, record);
    return {record.infit_mnsq, record.outfit_mnsq};
}

void list_entry(Listing& l, int i, int n, int e, int entry_status, const FitValues& fit) {
    Run& run = l.run;
    if (!l.none_listed) break_page_if_needed(run, run.rep.page_line_counter + 8);
    if (l.none_listed || run.rep.page_line_counter == 2) write_list_headings(l);
    l.none_listed = false;
    const AnalysisArrays& a = run.arrays;
    const float measure = array_value(l.items ? a.item_measure : a.person_measure, e);
    if (l.items) {
        read_item_label_record(run, l.files, e, l.label);
    } else {
        read_person_name_record(run, l.files, e, l.label);
        read_person_scores_record(run, l.files, e, l.scores);
    }
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    line.put(2, fmt_i(e, 6));
    if (entry_status == status::kAnchored) line.put(8, "*");
    line.put(10, pad_right(l.label, 25));
    line.put(34, fmt_f(measure, 8, decimals_of_format(run.cv.user_decimals_format)));
    line.put(45, fmt_f(fit.infit, 5, 1));
    line.put(53, std::string(1, misfitting_response_letter(i, n)));
    line.put(56, fmt_f(fit.outfit, 5, 1));
    write_report_line(run);
    list_responses(l, e);
}

}  // namespace

ResponseRowLayout response_row_layout(int line_width, int top_value) {
    const bool narrow = top_value < 10;
    const int span = narrow ? 23 : 33;
    const int q = (line_width - 22) / span, r = (line_width - 22) % span;
    int per_row = 10 * q + (r > (narrow ? 10 : 15) ? 5 : 0);
    return {narrow ? 2 : 3, std::max(per_row, 5)};
}

char misfitting_response_letter(int i, int n) {
    if (i >= 1 && i <= 26) return static_cast<char>('A' + i - 1);
    if (n - i >= 0 && n - i < 26) return static_cast<char>('a' + n - i);
    return ' ';
}

void write_misfitting_responses_table(ReportContext& ctx) {
    Run& run = ctx.run;
    const bool items = ctx.side == ReportSide::Items;
    write_table_heading(run, 1);
    run.host->write_text_window_line(msg::kProcessingMisfitting + side_plural(run, ctx.side) +
                                     msg::kForTable + table_number_text(run));
    Listing l(ctx, items);
    l.mean_squares = run.cv.mn_flag == 'Y';
    const float f = items ? run.cv.fiti : run.cv.fitp;
    l.limit = l.mean_squares ? 1.0f + f * 0.1f : f;
    l.label_word = l.mean_squares ? "MNSQ" : run.cv.standardized_fit_label;
    l.scores.assign(static_cast<std::size_t>(std::max(run.arrays.items, 1)), kMissingScore);
    l.codes.assign(l.scores.size(), 0);

    const EntryOrder& order = ctx.order(ctx.side);
    const int n = std::clamp(order.count, 0, static_cast<std::int32_t>(order.entries.size()));
    for (int i = 1; i <= n; ++i) {
        const int e = std::abs(order.entries[static_cast<std::size_t>(i - 1)]);
        const int s = items ? item_status_of(run.arrays, e) : person_status_of(run.arrays, e);
        if (e > 0 && s > 0) {
            const FitValues fit = fit_values(l, e);
            if (fit.outfit >= l.limit || fit.infit >= l.limit) list_entry(l, i, n, e, s, fit);
        }
        show_progress_bar(run, i, n);
    }
    if (l.none_listed) {
        run.rep.line.clear();
        run.rep.line.put(1, " NO POORLY FITTING " + side_plural(run, ctx.side));
        write_report_line(run);
    }
}

}  // namespace korvelan

#include "engine/tables/distractor_table.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>
#include <string>

#include "engine/estimation/estimation_common.h"
#include "engine/input/data_input.h"
#include "engine/input/response_scoring.h"
#include "engine/input/work_files.h"
#include "engine/report/category_labels.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/tables/distractor_counts.h"
#include "engine/tables/entry_statistics_layout.h"

namespace korvelan {

namespace {

const std::string kBar(1, box::kVertical);
constexpr int kCodeColumn = 11;  // the data code of a row, from the page-control column
constexpr int kCodeWidth = 7;
constexpr float kLargestOutfit = 9.99f;  // a normalised outfit shows at most this

std::string blanks(int n) { return std::string(static_cast<std::size_t>(std::max(n, 0)), ' '); }

// The words of the table and the width W of its label column.
struct Layout {
    EntryColumns c;
    std::string singular;
    int label_length = 0;
    int width = 1;
    int mode = 1;  // the code order
};

// Where the walk down the list stands: whether a row has been written since the last heading.
struct Walk {
    bool row_since_heading = false;
    std::vector<int> code_order;
};

void write_rule(Run& run, const Layout& l, char left, char join, char right) {
    const auto h = [](int n) { return std::string(static_cast<std::size_t>(n), box::kHorizontal); };
    run.rep.line.clear();
    run.rep.line.put(1, " " + std::string(1, left) + h(20) + join + h(12) + join + h(20) + join +
                            h(l.width) + right);
    write_report_line(run);
}

void write_text_line(Run& run, const std::string& text) {
    run.rep.line.clear();
    run.rep.line.put(1, text);
    write_report_line(run);
}

void write_title(Run& run, const Layout& l) {
    std::string text = l.c.word + " CATEGORY/OPTION/DISTRACTOR FREQUENCIES:  " + l.c.key + " ORDER";
    if (l.c.key.find("ALPHA") != std::string::npos)
        text += " ON COLUMN: " + fmt_f_left(l.c.label_column, 5, 0);
    run.rep.line.clear();
    run.rep.line.put(11, text);
    write_report_line(run);
    write_blank_report_line(run);
}

void write_column_headings(Run& run, const Layout& l) {
    write_rule(run, l, box::kDownRight, box::kDownHorizontal, box::kDownLeft);
    write_text_line(run, " " + kBar + "ENTRY   DATA  SCORE " + kBar + "     DATA   " + kBar +
                             " AVERAGE  S.E.  OUTF" + kBar + blanks(l.width) + kBar);
    write_text_line(run, " " + kBar + "NUMBER  CODE  VALUE " + kBar + "  COUNT   % " + kBar +
                             " MEASURE  MEAN  MNSQ" + kBar +
                             pad_right(" " + l.singular, static_cast<std::size_t>(l.width)) + kBar);
    write_rule(run, l, box::kVerticalRight, box::kCross, box::kVerticalLeft);
}

void write_separator(Run& run, const Layout& l) {
    write_text_line(run, " " + kBar + blanks(20) + kBar + blanks(12) + kBar + blanks(20) + kBar +
                             blanks(l.width) + kBar);
}

// Average measure (8 characters) and S.E. of the mean (5) of a weighted mean and mean square,
// two decimals where they fit; the S.E. follows the character `before`.
struct MeanTexts {
    std::string average, error;
};
MeanTexts mean_texts(float weight, float mean, float mean_square, char before) {
    MeanTexts t{blanks(8), blanks(5)};
    if (weight > 1.0f) {
        t.error = std::string(1, before);
        append_table_number(t.error, standard_error_of_mean(weight, mean, mean_square), 5, 2);
        t.error.erase(0, 1);
    }
    if (weight > 0.0f) t.average = fmt_f(mean, 8, 2);
    return t;
}

std::string codes_entry_text(const Run& run, int code) {
    return pad_right(shown_code(run.cv, code), kCodeWidth);
}

// One item: its number, letter and label on its first row, what the rows share.
struct ItemRows {
    int item = 0;
    int group = 0;
    char letter = ' ';
    std::string label;  // the label column, W characters
    float divisor = 1.0f;
    bool any_row = false;

    std::string lead() const {
        return any_row ? blanks(8) : fmt_i(item, 5) + " " + letter + " ";
    }
    std::string label_column(int width) const { return any_row ? blanks(width) : label; }
    std::string percent(int count) const {
        return fmt_i(nint(100.0f * static_cast<float>(count) / divisor), 4);
    }
};

void write_heading_again_if_paged(Run& run, const Layout& l, Walk& walk) {
    break_page_if_needed(run, run.rep.page_line_counter + 2);
    if (run.rep.page_line_counter != 2) return;
    write_title(run, l);
    write_column_headings(run, l);
    walk.row_since_heading = false;
}

void write_code_row(Run& run, const Layout& l, const OptionFrequencies& f, ItemRows& r, int s) {
    const CodeFigures& c = f.at(r.item, s);
    const char mark = c.weight > 0.0f && measure_disordered(run.cv, f, r.item, s) ? '*' : ' ';
    const MeanTexts m = mean_texts(c.weight, c.mean, c.mean_square, mark);
    std::string figures = m.average + mark + m.error;
    if (c.weight > 0.0f) append_table_number(figures, code_outfit(f, r.item, s, kLargestOutfit), 5, 1);
    else figures += blanks(5);
    const int v = c.score_value;
    const std::string value = v < 0 || v > 254 ? " ***" : fmt_i(v, 4);
    const std::string code = codes_entry_text(run, s);
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    line.put(1, " " + kBar + r.lead() + code + value + " " + kBar + fmt_i(c.count, 7) +
                    r.percent(c.count) + " " + kBar + figures + " " + kBar +
                    r.label_column(l.width) + kBar);
    line.put(line.length() + 2, trim(code));
    if (!read_item_category_label(run, s, r.item, r.group, line))
        read_category_label(run, line, v, r.group, run.arrays.item_group);
    write_report_line(run);
    r.any_row = true;
}

void write_missing_row(Run& run, const Layout& l, const OptionFrequencies& f, ItemRows& r, int s) {
    const CodeFigures& c = f.at(r.item, s);
    const MeanTexts m = mean_texts(c.missing_weight, c.missing_mean, c.missing_mean_square, ' ');
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    line.put(1, " " + kBar + r.lead() + "MISSING *** " + kBar + fmt_i(c.missing_count, 7) +
                    r.percent(c.missing_count) + " " + kBar + m.average + " " + m.error +
                    blanks(6) + kBar + r.label_column(l.width) + kBar);
    if (s > 0) {
        const std::string code = codes_entry_text(run, s);
        line.put(kCodeColumn, code);
        line.put(line.length() + 2, trim(code));
        read_item_category_label(run, s, r.item, r.group, line);
    }
    write_report_line(run);
    r.any_row = true;
}

void write_item(Run& run, const Layout& l, const OptionFrequencies& f, Walk& walk, ItemRows& r) {
    int total = 0;
    bool missing = false;
    for (int s = 0; s <= f.codes; ++s) {
        if (s > 0) total += f.at(r.item, s).count;
        missing = missing || f.at(r.item, s).missing_count > 0;
    }
    r.divisor = total > 0 ? static_cast<float>(total) : 1.0f;
    sort_code_order(f, r.item, l.mode, walk.code_order);
    for (int s : walk.code_order) {
        if (f.at(r.item, s).count <= 0) continue;
        write_heading_again_if_paged(run, l, walk);
        if (!r.any_row && walk.row_since_heading) write_separator(run, l);
        write_code_row(run, l, f, r, s);
        walk.row_since_heading = true;
    }
    if (!missing) return;
    if (!r.any_row && walk.row_since_heading) write_separator(run, l);
    for (int s = 0; s <= f.codes; ++s) {
        if (f.at(r.item, s).missing_count <= 0) continue;
        write_missing_row(run, l, f, r, s);
        walk.row_since_heading = true;
    }
}

Layout choose_layout(ReportContext& ctx) {
    Layout l;
    l.c = choose_entry_columns(ctx);
    l.singular = std::string(trim(ctx.run.cv.item_word));
    l.label_length = std::max(ctx.run.cv.itlen, 0);
    l.width = label_field_columns(ctx.run, ReportSide::Items) + 1;
    return l;
}

void write_items(ReportContext& ctx, const Layout& l, const OptionFrequencies& f) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    EntryOrder& order = ctx.items;
    const int n = std::clamp(order.count, 0, static_cast<std::int32_t>(order.entries.size()));
    Walk walk;
    walk.code_order.resize(static_cast<std::size_t>(f.codes));
    std::iota(walk.code_order.begin(), walk.code_order.end(), 1);
    WorkFiles files = run_work_files(run);
    for (int k = 1; k <= n; ++k) {
        std::int32_t& slot = order.entries[static_cast<std::size_t>(k - 1)];
        const int i = slot;
        if (i < 1 || i > f.items) continue;
        if (left_out_of_misfit_list(l.c, k, n, array_value(a.item_infit_zstd, i),
                                    array_value(a.item_outfit_zstd, i))) {
            slot = -i;
            continue;
        }
        if (base_status(array_value(a.item_status, i, status::kDeleted)) <= status::kDeleted)
            slot = -i;
        ItemRows r;
        r.item = i;
        r.group = array_value(a.item_group, i);
        r.letter = l.c.fit_order ? misfit_letter(k, n) : ' ';
        std::string label;
        read_item_label_record(run, files, i, label);
        r.label = pad_right(
            " " + std::string(character_prefix(label, static_cast<std::size_t>(l.label_length))),
            static_cast<std::size_t>(l.width));
        write_item(run, l, f, walk, r);
    }
}

}  // namespace

void write_option_frequency_table(ReportContext& ctx) {
    Run& run = ctx.run;
    Layout l = choose_layout(ctx);
    l.mode = option_order_mode(run.cv.osort);
    write_table_heading(run, 1);
    OptionFrequencies f;
    if (!allocate_option_frequencies(run, f)) {
        const std::int64_t bytes = option_frequency_bytes(
            std::max(run.cv.categs, 0), std::max(run.arrays.top_value, 0), std::max(run.arrays.items, 0));
        show_message_line(run, std::string(trim(int_to_text_left(bytes))) + msg::kNoMemoryForTable);
        write_text_line(run, msg::kNotEnoughMemoryForTable);
        return;
    }
    score_code_slots(run, f);
    if (run.host)
        run.host->write_text_window_line(
            msg::kBuildingDistractorTable +
            std::string(trim(int_to_text_left(run.rep.request.table))));
    WorkFiles files = run_work_files(run);
    tally_option_frequencies(run, f, [&](int p, std::span<std::uint8_t> codes) {
        read_person_codes_record(run, files, p, codes);
    });
    write_title(run, l);
    write_column_headings(run, l);
    write_items(ctx, l, f);
    write_rule(run, l, box::kUpRight, box::kUpHorizontal, box::kUpLeft);
}

}  // namespace korvelan

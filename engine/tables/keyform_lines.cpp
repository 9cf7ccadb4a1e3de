#include "engine/tables/keyform_lines.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "engine/input/data_input.h"
#include "engine/report/plot_text.h"
#include "engine/report/response_residual.h"
#include "engine/report/scale_orientation.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/keyforms.h"
#include "engine/tables/measure_axis_lines.h"
#include "engine/tables/response_cells.h"

namespace korvelan {

namespace {

void write_text_line(Run& run, const std::string& text) {
    run.rep.line.clear();
    run.rep.line.put(1, text);
    write_report_line(run);
}

// The observed response's text: its code, or the digit of the scored value without one.
std::string observed_text(const KeyformPage& page, int item, int x) {
    const std::string code = code_text(page.run.cv, page.codes[static_cast<std::size_t>(item - 1)]);
    return code.empty() ? std::string(1, static_cast<char>('0' + x % 10)) : code;
}

struct ItemLine {
    std::string plot;  // plot columns 0..W and room for markers beyond
    int person_column = 0;
    int width = 60;  // W
};

int column_of(const PlotAxis& axis, float measure) {
    return plot_column(axis, measure);
}

// Where the observed text of `length` characters goes for a wanted column: inside columns 1 to
// W - length, so that the markers on both sides of it stay on the plot.
int observed_column(const ItemLine& l, int wanted, int length) {
    return std::clamp(wanted, 1, std::max(l.width - length, 1));
}

// The observed text at q with its pair of markers, both kept within columns 0..W.
void put_observed(ItemLine& l, int q, const std::string& observed, char left, char right) {
    const std::span<char> plot = std::span<char>(l.plot).first(static_cast<std::size_t>(l.width) + 1);
    overlay_text_on_plot_line(plot, static_cast<std::size_t>(q), observed);
    place_marker_pair(plot, static_cast<std::size_t>(q), left, right);
}

// The observed and expected responses of the person on one item; false when the item gets no
// line.
bool fill_item_line(KeyformPage& page, ItemLine& l, int p, int item, int x, int r) {
    Run& run = page.run;
    const AnalysisArrays& a = run.arrays;
    const PlotAxis& axis = page.ctx.axis;
    const int g = a.item_group[item];
    const CategoryZones z{&a.category_half_point_measure, a.group_first_slot[g],
                          a.group_top_category[g], a.item_measure[item], scale_orientation(run.cv)};
    const float mu = a.person_measure[p];
    const std::string observed = observed_text(page, item, x);
    const int length = static_cast<int>(observed.size());
    const std::span<char> line(l.plot);
    if (observed_out_of_zone(z, r, mu)) {
        const float at = category_point_measure(
            run.cv, z.item_measure, array_value(a.category_score_point_measure, z.first_slot + r));
        const bool very = unexpected_residual(response_standardized_residual(run, p, item, r));
        put_observed(l, observed_column(l, column_of(axis, at), length), observed, very ? '(' : '.',
                     very ? ')' : '.');
    } else {
        if (page.ctx.request.letters[7] != ' ') return false;
        put_observed(l, observed_column(l, l.person_column, length), observed, '.', '.');
    }
    for (int k = 0; k <= z.top; ++k) {
        if (!expected_in_zone(z, k, mu) || l.plot[static_cast<std::size_t>(l.person_column)] != '|')
            continue;
        const std::string text =
            category_code_text(run, array_value(a.category_value, z.first_slot + k), item);
        const int q = std::max(std::min(l.person_column, l.width + 1 - static_cast<int>(text.size())), 0);
        overlay_text_on_plot_line(line, static_cast<std::size_t>(q), text);
    }
    return true;
}

}  // namespace

KeyformPage::KeyformPage(ReportContext& c, std::string labels_line, std::string rule_line)
    : ctx(c),
      run(c.run),
      files(run_work_files(c.run)),
      labels(std::move(labels_line)),
      rule(std::move(rule_line)),
      scores(static_cast<std::size_t>(std::max(c.run.arrays.items, 1)), 255),
      codes(static_cast<std::size_t>(std::max(c.run.arrays.items, 1)), 0) {}

void write_person_keyform(KeyformPage& page, int p) {
    Run& run = page.run;
    const AnalysisArrays& a = run.arrays;
    const PlotAxis& axis = page.ctx.axis;
    ItemLine template_line;
    template_line.width = axis.plot_width;
    template_line.person_column = std::clamp(column_of(axis, a.person_measure[p]), 0, axis.plot_width);
    template_line.plot.assign(ReportLineBuffer::kWidth, ' ');
    template_line.plot[static_cast<std::size_t>(template_line.person_column)] = '|';
    write_text_line(run, page.labels);
    write_text_line(run, page.rule);
    bool any = false;
    const EntryOrder& items = page.ctx.items;
    const int n = std::clamp(items.count, 0, static_cast<std::int32_t>(items.entries.size()));
    for (int k = 1; k <= n; ++k) {
        const int i = std::abs(items.entries[static_cast<std::size_t>(k - 1)]);
        const int st = item_status_of(a, i);
        if (st <= 0) continue;
        const int x = page.scores[static_cast<std::size_t>(i - 1)];
        const int r = recoded_category(a, a.item_group[i], x);
        if (r < 0) continue;
        break_page_if_needed(run, run.rep.page_line_counter + 4);
        if (run.rep.page_line_counter == 2) {
            write_text_line(run, page.labels);
            write_text_line(run, page.rule);
        }
        ItemLine l = template_line;
        if (!fill_item_line(page, l, p, i, x, r)) continue;
        read_item_label_record(run, page.files, i, page.item_label);
        const std::string plot =
            shown_codes(run.cv.code_characters,
                        std::string_view(l.plot).substr(0, static_cast<std::size_t>(l.width + 1)));
        write_text_line(
            run, " " + plot + " " + fmt_i(i, 4) + (st == status::kAnchored ? "*" : " ") + " " +
                     pad_right(page.item_label, static_cast<std::size_t>(
                                                    label_field_columns(run, ReportSide::Items))));
        any = true;
    }
    if (!any) write_text_line(run, "    *** NOTHING TO SHOW ***");
    write_text_line(run, page.rule);
    write_text_line(run, page.labels);
}

}  // namespace korvelan

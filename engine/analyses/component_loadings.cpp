// The loadings table of a component, sorted by loading (positive loadings, then negative ones),
// by measure or by entry number.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/analyses/component_reports.h"
#include "engine/analyses/residual_correlations.h"
#include "engine/report/plot_grid.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr int kLongestLabel = 100;

std::string rule(int n) { return std::string(static_cast<std::size_t>(std::max(n, 0)), box::kHorizontal); }

// The box lines of one table.
struct LoadingBox {
    int block = 19;  // the measure block; 25 with the WEIGHT column
    int label = 1;   // W: the label column
    std::string top, header1, header2, separator, negative_separator, bottom;
};

LoadingBox loading_box(bool weighted, int w, bool group_column, const std::string& word) {
    LoadingBox b;
    b.block = weighted ? 25 : 19;
    b.label = group_column ? w + 2 : w;
    const std::string v(1, box::kVertical);
    auto line = [&](char left, char a, char b2, char c, char right) {
        return std::string(" ") + left + rule(6) + a + rule(7) + b2 + rule(b.block) + c + rule(b.label + 8) + right;
    };
    b.top = line(box::kDownRight, box::kDownHorizontal, box::kDownHorizontal, box::kDownHorizontal, box::kDownLeft);
    b.separator = line(box::kVerticalRight, box::kCross, box::kCross, box::kCross, box::kVerticalLeft);
    b.bottom = line(box::kUpRight, box::kUpHorizontal, box::kUpHorizontal, box::kUpHorizontal, box::kUpLeft);
    b.negative_separator = " " + v + "      " + box::kVerticalRight + rule(7) + box::kCross + rule(b.block) +
                           box::kCross + rule(b.label + 8) + box::kVerticalLeft;
    const std::string blanks = group_column ? std::string(static_cast<std::size_t>(w), ' ') + " G"
                                            : std::string(static_cast<std::size_t>(b.label), ' ');
    const std::string words = group_column ? pad_right(trim(word), static_cast<std::size_t>(w)) + " R"
                                           : pad_right(trim(word), static_cast<std::size_t>(b.label));
    b.header1 = " " + v + "      " + v + "       " + v +
                (weighted ? "       INFIT OUTFIT      " : "       INFIT OUTFIT") + v + " ENTRY " + blanks + " " + v;
    b.header2 = " " + v + "FACTOR" + v + "LOADING" + v +
                (weighted ? "MEASURE  MNSQ MNSQ WEIGHT" : "MEASURE  MNSQ MNSQ ") + v + "NUMBER " + words + " " + v;
    return b;
}

void write_text(Run& run, const std::string& text) {
    run.rep.line.clear();
    run.rep.line.put(1, text);
    write_report_line(run);
    run.rep.line.clear();
}

// The weight column: the count text of the weight in five characters, or the weight with
// fewer decimals where that text is longer.
std::string weight_text(float weight) {
    const std::string t(trim(format_count_text(weight, "F(5.2)")));
    return pad_right(t.size() <= 5 ? t : fmt_f_left(weight, 5, 2), 5);
}

}  // namespace

void write_component_loadings_table(ReportContext& ctx, const ComponentResult& c, LoadingOrder order) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    const bool items = ctx.side == ReportSide::Items;
    const std::vector<float>& measures = items ? a.item_measure : a.person_measure;
    const std::vector<float>& infit = items ? a.item_infit_mnsq : a.person_infit_mnsq;
    const std::vector<float>& outfit = items ? a.item_outfit_mnsq : a.person_outfit_mnsq;
    const std::vector<float>& weights = items ? a.item_weights : a.person_weights;
    const bool weighted = !weights.empty();

    std::vector<std::int32_t> list;
    for (std::size_t e = 1; e < c.flags.size(); ++e)
        if (c.flags[e] == 1) list.push_back(static_cast<std::int32_t>(e));
    if (order == LoadingOrder::Loading)
        std::stable_sort(list.begin(), list.end(), [&](std::int32_t x, std::int32_t y) {
            return std::fabs(c.loadings[static_cast<std::size_t>(x)]) > std::fabs(c.loadings[static_cast<std::size_t>(y)]);
        });
    else if (order == LoadingOrder::Measure)
        std::stable_sort(list.begin(), list.end(), [&](std::int32_t x, std::int32_t y) {
            return array_value(measures, x) > array_value(measures, y);
        });

    int w = 1;
    for (std::int32_t e : list)
        w = std::max(w, static_cast<int>(display_width(c.labels[static_cast<std::size_t>(e)])));
    w = std::min(w, kLongestLabel);
    const bool group_column = items && a.groups >= 2 && run.cv.groups_mode != 2;
    const LoadingBox box = loading_box(weighted, w, group_column, facet_word(run, ctx.side));

    const char* sort_word = order == LoadingOrder::Loading ? "LOADING" : order == LoadingOrder::Measure ? "MEASURE" : "ENTRY";
    ReportLineBuffer& line = run.rep.line;
    write_table_heading(run, 1);
    line.clear();
    line.put(3, "FACTOR" + fmt_i(c.k, 2) + " FROM PRINCIPAL COMPONENT ANALYSIS OF ");
    write_report_line(run);
    line.clear();
    line.put(4, residual_word(residual_kind(run), false) + " CORRELATIONS FOR " +
                    std::string(trim(facet_plural(run, ctx.side))) + " (SORTED BY " + sort_word + ")");
    write_report_line(run);
    line.clear();
    line.put(1, "    Factor" + fmt_i(c.k, 2) + " explains " +
                    real_to_text_left(static_cast<float>(c.eigenvalue), "(F10.1)") + " of " +
                    std::to_string(c.included) + " residual variance units, one per " + facet_word(run, ctx.side));
    squeeze_report_line_blanks(line);
    write_report_line(run);
    line.clear();
    if (residual_kind(run) != 'O') {
        line.put(5, yardstick_line(run, ctx.side, c));
        squeeze_report_line_blanks(line);
        write_report_line(run);
        line.clear();
    }
    for (const std::string* l : {&box.top, &box.header1, &box.header2}) write_text(run, *l);

    const std::string v(1, box::kVertical);
    const std::string decimals = run.cv.user_decimals_format;
    const std::span<const std::int32_t> listed(ctx.order(ctx.side).entries.data(),
                                               static_cast<std::size_t>(std::max(ctx.order(ctx.side).count, 0)));
    auto row = [&](std::size_t k) {
        const std::int32_t e = list[k];
        const auto n = static_cast<std::size_t>(e);
        break_page_if_needed(run, run.rep.page_line_counter + 2);
        if (run.rep.page_line_counter == 2)
            for (const std::string* l : {&box.separator, &box.header1, &box.header2, &box.separator}) write_text(run, *l);
        std::string label = pad_right(c.labels[n], static_cast<std::size_t>(w));
        if (group_column) label += std::string(" ") + (n <= a.strings.groups.size() ? a.strings.groups[n - 1] : ' ');
        std::string text = " " + v + "  " + std::to_string(c.k % 10) + "   " + v +
                           fmt_f(std::clamp(c.loadings[n], -1.0, 1.0), 6, 2) + " " + v +
                           fmt_f(array_value(measures, e), 8, decimals_of_format(decimals));
        append_table_number(text, array_value(infit, e), 5, 2);
        append_table_number(text, array_value(outfit, e), 5, 2);
        if (weighted) text += "  " + weight_text(array_value(weights, e));
        text += " " + v + get_category_plot_symbol(listed, ctx.order(ctx.side).count, e) + fmt_i(e, 5) + " " + label + " " + v;
        write_text(run, text);
    };
    write_text(run, box.separator);
    if (order != LoadingOrder::Loading) {
        for (std::size_t k = 0; k < list.size(); ++k) row(k);
    } else {
        // Positive loadings, then negative ones below a rule that keeps the FACTOR column open.
        bool negative_started = false;
        for (std::size_t k = 0; k < list.size(); ++k)
            if (c.loadings[static_cast<std::size_t>(list[k])] >= 0.0) row(k);
        for (std::size_t k = 0; k < list.size(); ++k) {
            if (c.loadings[static_cast<std::size_t>(list[k])] >= 0.0) continue;
            if (!negative_started) write_text(run, box.negative_separator);
            negative_started = true;
            row(k);
        }
    }
    write_text(run, box.bottom);
}

}  // namespace korvelan

#include <algorithm>
#include <initializer_list>
#include <string>

#include "engine/input/response_scoring.h"
#include "engine/report/category_labels.h"
#include "engine/report/plot_text.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/structure_rows.h"

namespace korvelan {

namespace {

const std::string kBar(1, box::kVertical);
const std::string kDoubleBar = kBar + kBar;

enum class Rule { Top, Separator, Bottom };

// " " and a rule over cells of the given widths: corners at the ends, junctions between the
// cells (a cell of width 0 makes a double junction).
std::string rule_text(Rule kind, std::initializer_list<int> widths) {
    const char left = kind == Rule::Top ? box::kDownRight
                      : kind == Rule::Separator ? box::kVerticalRight : box::kUpRight;
    const char join = kind == Rule::Top ? box::kDownHorizontal
                      : kind == Rule::Separator ? box::kCross : box::kUpHorizontal;
    const char right = kind == Rule::Top ? box::kDownLeft
                       : kind == Rule::Separator ? box::kVerticalLeft : box::kUpLeft;
    std::string text = " ";
    text += left;
    bool first = true;
    for (int w : widths) {
        if (!first) text += join;
        text += std::string(static_cast<std::size_t>(w), box::kHorizontal);
        first = false;
    }
    return text + right;
}

// Writes the text from position 1, through the OBS-EXP column drop when asked.
void write_text(ReportContext& ctx, const std::string& text, bool drop) {
    ReportLineBuffer& line = ctx.run.rep.line;
    line.clear();
    line.put(1, text);
    if (drop) drop_column_from_report_line(line, ctx.residual_column_flag);
    write_report_line(ctx.run);
}

void write_from_column_2(Run& run, const char* text) {
    run.rep.line.clear();
    run.rep.line.put(2, text);
    write_report_line(run);
}

// The count and percentage of a row after " │" and the category value and score.
std::string counts_text(const StructureRow& r) {
    std::string t = fmt_i(r.value, 3);
    append_table_integer(t, r.score, 4);
    append_table_integer(t, nint(r.count), 8);
    append_table_integer(t, r.percent, 4);
    t += kBar + r.observed_average + r.disorder + r.expected_average + kBar + fmt_f(r.infit, 6, 2);
    append_table_number(t, r.outfit, 6, 2);
    return t;
}

// The coherence and residual cells that close the rows of the dichotomous and second tables.
std::string coherence_text(const StructureRow& r) {
    std::string t = fmt_i(r.measure_to_category, 4) + "%";
    append_table_integer(t, r.category_to_measure, 4);
    return t + "%" + kBar + fmt_f(r.residual, 7, 1) + (r.residual_percent ? "%" : " ") + " " + kBar;
}

// The response code of the category (from the first member of the group with a CODES= entry
// for it), then its CFILE= label, or else its CLFILE= label, after the row.
void write_row_with_labels(ReportContext& ctx, const StructureGroup& s, const StructureRow& r,
                           const std::string& text, bool drop) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    line.put(1, text);
    if (drop) drop_column_from_report_line(line, ctx.residual_column_flag);
    int code = 0;
    for (int i = s.first_item; i <= a.items && code == 0; ++i)
        if (array_value(a.item_group, i) == s.group) code = find_code_for_category(run, r.value, i);
    const std::size_t xwide = static_cast<std::size_t>(std::max(run.cv.xwide, 1));
    if (const std::string shown = shown_code(run.cv, code); !shown.empty())
        line.put(line.length() + 2, pad_right(shown, xwide));
    const bool labelled = read_category_label(run, line, r.value, s.group, a.item_group);
    if (!labelled && !trim(run.cv.clfile).empty() && code > 0)
        read_item_category_label(run, code, s.first_item, s.group, line);
    write_report_line(run);
}

// Before a middle row: a page break when the rest of the table does not fit, and then the
// table's opening lines again.
void break_before_middle_row(ReportContext& ctx, const StructureGroup& s, int k,
                             const std::vector<std::string>& opening, bool drop) {
    Run& run = ctx.run;
    if (run.cv.page_length <= 0 || run.rep.page_line_counter + s.top - k + 2 <= run.cv.page_length)
        return;
    break_page_if_needed(run, run.rep.page_line_counter + 2);
    if (run.rep.page_line_counter == 2)
        for (const std::string& l : opening) write_text(ctx, l, drop);
}

void write_missing_line(ReportContext& ctx, const StructureGroup& s, const std::string& tail,
                        bool drop) {
    std::string t = " " + kBar + "MISSING";
    append_table_integer(t, static_cast<std::int64_t>(s.missing), 8);
    append_table_integer(t, s.missing_percent, 4);
    write_text(ctx, t + kBar + s.missing_average + tail, drop);
}

}  // namespace

void write_dichotomous_structure(ReportContext& ctx, const StructureGroup& s) {
    const std::initializer_list<int> widths = {19, 12, 12, 10, 9};
    write_text(ctx, rule_text(Rule::Top, widths), true);
    write_text(ctx, " " + kBar + "CATEGORY   OBSERVED" + kBar + "OBSVD SAMPLE" + kBar +
                        "INFIT OUTFIT" + kBar + " COHERENCE" + kBar + " OBS-EXP " + kBar,
               true);
    write_text(ctx, " " + kBar + "LABEL SCORE COUNT %" + kBar + "AVRGE EXPECT" + kBar +
                        "  MNSQ  MNSQ" + kBar + " M->C C->M" + kBar + "RESIDUAL%" + kBar,
               true);
    write_text(ctx, rule_text(Rule::Separator, widths), true);
    for (const StructureRow& r : s.rows)
        write_row_with_labels(ctx, s, r, " " + kBar + counts_text(r) + kBar + coherence_text(r), true);
    if (s.missing > 0.0f) {
        write_text(ctx, rule_text(Rule::Separator, widths), true);
        write_missing_line(ctx, s, std::string(6, ' ') + kBar + std::string(12, ' ') + kBar +
                                       std::string(10, ' ') + kBar + std::string(9, ' ') + kBar,
                           true);
    }
    write_text(ctx, rule_text(Rule::Bottom, widths), true);
    write_from_column_2(ctx.run, "AVERAGE MEASURE is mean of measures in category.");
    write_from_column_2(ctx.run, "M->C = Does Measure imply Category?");
    write_from_column_2(ctx.run, "C->M = Does Category imply Measure?");
}

namespace {

void write_first_table(ReportContext& ctx, const StructureGroup& s) {
    const std::initializer_list<int> widths = {19, 12, 12, 0, 9, 8};
    const std::vector<std::string> opening = {
        rule_text(Rule::Top, widths),
        " " + kBar + "CATEGORY   OBSERVED" + kBar + "OBSVD SAMPLE" + kBar + "INFIT OUTFIT" +
            kDoubleBar + "  STEP   " + kBar + "CATEGORY" + kBar,
        " " + kBar + "LABEL SCORE COUNT %" + kBar + "AVRGE EXPECT" + kBar + "  MNSQ  MNSQ" +
            kDoubleBar + "CALIBRATN" + kBar + " MEASURE" + kBar,
        rule_text(Rule::Separator, widths)};
    for (const std::string& l : opening) write_text(ctx, l, false);
    for (const StructureRow& r : s.rows) {
        const bool middle = r.k > 0 && r.k < s.top;
        if (middle) break_before_middle_row(ctx, s, r.k, opening, false);
        std::string text = " " + kBar + counts_text(r) + kDoubleBar;
        if (r.k == 0)
            text += std::string("  NONE ") + (r.anchored ? "A" : " ") + " " + kBar +
                    r.category_measure + ")" + kBar;
        else
            text += r.step + kBar + r.category_measure + (middle ? " " : ")") + kBar;
        write_row_with_labels(ctx, s, r, text, false);
    }
    if (s.missing > 0.0f) {
        write_text(ctx, rule_text(Rule::Separator, widths), false);
        write_missing_line(ctx, s, std::string(6, ' ') + kBar + std::string(12, ' ') + kDoubleBar +
                                       std::string(9, ' ') + kBar + std::string(8, ' ') + kBar,
                           false);
    }
    write_text(ctx, rule_text(Rule::Bottom, widths), false);
    write_from_column_2(ctx.run, "AVERAGE MEASURE is mean of measures in category.");
    write_blank_report_line(ctx.run);
}

void write_second_table(ReportContext& ctx, const StructureGroup& s) {
    const std::initializer_list<int> widths = {24, 21, 9, 10, 9};
    const std::string step_title = s.offset != 0.0f ? " MEASURE " : "CALIBRATN";
    const std::vector<std::string> opening = {
        rule_text(Rule::Top, widths),
        " " + kBar + "CATEGORY   STEP    STEP " + kBar + "  SCORE-TO-MEASURE   " + kBar +
            "THURSTONE" + kBar + " COHERENCE" + kBar + " OBS-EXP " + kBar,
        " " + kBar + " LABEL  " + step_title + "  S.E. " + kBar + " AT CAT. ----ZONE----" + kBar +
            "THRESHOLD" + kBar + " M->C C->M" + kBar + "RESIDUAL " + kBar,
        rule_text(Rule::Separator, widths)};
    for (const std::string& l : opening) write_text(ctx, l, true);
    for (const StructureRow& r : s.rows) {
        const bool middle = r.k > 0 && r.k < s.top;
        if (middle) break_before_middle_row(ctx, s, r.k, opening, true);
        std::string text = " " + kBar + fmt_i(r.value, 4);
        if (r.k == 0) {
            text += std::string(6, ' ') + "NONE " + (r.anchored ? "A" : " ") + std::string(8, ' ') +
                    kBar + r.category_measure + ") -INF";
            append_table_number(text, r.upper_zone, 8, 2);
            text += kBar + std::string(9, ' ');
        } else if (middle) {
            text += "    " + r.step_error + " " + kBar + r.category_measure;
            append_table_number(text, r.lower_zone, 7, 2);
            append_table_number(text, r.upper_zone, 7, 2);
            text += kBar + fmt_f(r.thurstone, 8, 2) + " ";
        } else {
            text += "    " + r.step_error + " " + kBar + r.category_measure + ")";
            append_table_number(text, r.lower_zone, 6, 2);
            text += "  +INF " + kBar + fmt_f(r.thurstone, 8, 2) + " ";
        }
        write_row_with_labels(ctx, s, r, text + kBar + coherence_text(r), true);
    }
    write_text(ctx, rule_text(Rule::Bottom, widths), true);
    write_from_column_2(ctx.run, "M->C = Does Measure imply Category?");
    write_from_column_2(ctx.run, "C->M = Does Category imply Measure?");
}

}  // namespace

void write_polytomous_structure(ReportContext& ctx, const StructureGroup& s) {
    write_first_table(ctx, s);
    write_second_table(ctx, s);
}

}  // namespace korvelan

#include "engine/tables/structure_summary.h"

#include <string>

#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/curve_plots.h"
#include "engine/tables/entry_statistics_layout.h"
#include "engine/tables/probability_curves.h"
#include "engine/tables/structure_rows.h"

namespace korvelan {

namespace {

bool group_member(const AnalysisArrays& a, int item, int group) {
    return array_value(a.item_status, item, status::kDeleted) > 0 &&
           array_value(a.item_group, item) == group;
}

void write_text(Run& run, const std::string& text) {
    run.rep.line.clear();
    run.rep.line.put(1, text);
    write_report_line(run);
}

}  // namespace

std::vector<std::int32_t> group_item_runs(const AnalysisArrays& a, int group) {
    std::vector<std::int32_t> runs;
    for (int i = 1; i <= a.items; ++i) {
        if (!group_member(a, i, group)) continue;
        int last = i;
        while (last < a.items && group_member(a, last + 1, group)) ++last;
        runs.push_back(i);
        if (last > i) runs.push_back(-last);
        i = last;
    }
    return runs;
}

std::vector<std::string> item_run_lines(std::string prefix, const std::vector<std::int32_t>& runs) {
    std::vector<std::string> lines;
    std::string line = std::move(prefix) + " NUMBERS:";
    for (std::int32_t e : runs) {
        if (line.size() > 74 && e > 0) {
            lines.push_back(line);
            line = " ";
        }
        const std::string number(trim(int_to_text_left(e)));
        line += e < 0 ? number : " " + number;
    }
    lines.push_back(line);
    return lines;
}

int write_rating_scale_group_heading(ReportContext& ctx, int g) {
    Run& run = ctx.run;
    AnalysisArrays& a = run.arrays;
    const int top = array_value(a.group_top_category, g);
    const bool shown = a.groups > 1 && (run.cv.stept_flag == 'Y' || run.rep.request.table == 3 || top >= 1);
    if (!shown) return 0;
    ctx.item_sort = ' ';
    const std::vector<std::int32_t> runs = group_item_runs(a, g);
    ctx.items.entries = runs;
    ctx.items.count = static_cast<std::int32_t>(runs.size());
    if (runs.empty()) return 0;

    std::string head = " FOR GROUP \"" + std::string(1, group_character(run, runs.front())) + "\"";
    const char model = array_value(a.group_model, g, 'R');
    if (model != 'R') head += "  MODEL \"" + std::string(1, model) + "\"";
    const std::string word(trim(run.cv.item_word));
    if (runs.size() == 1) {
        WorkFiles files = run_work_files(run);
        std::string label;
        read_item_label_record(run, files, runs.front(), label);
        write_text(run, head + " " + word + " NUMBER: " + std::string(trim(int_to_text_left(runs.front()))) + "  " +
                            std::string(trim_right(label)));
    } else {
        for (const std::string& l : item_run_lines(head + " " + word, runs)) write_text(run, l);
    }
    write_blank_report_line(run);
    return static_cast<int>(runs.size());
}

void write_category_structure(ReportContext& ctx, int g) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    int first = 0;
    for (int i = 1; i <= a.items && first == 0; ++i)
        if (group_member(a, i, g)) first = i;
    if (first == 0) return;
    const int top = a.group_top_category[g];
    write_blank_report_line(run);
    break_page_if_needed(run, run.rep.page_line_counter + top + 9);
    write_text(run, " SUMMARY OF MEASURED STEPS");

    float offset = 0.0f;
    if (write_rating_scale_group_heading(ctx, g) == 1) {
        offset = array_value(a.item_measure, ctx.items.entries.front());
        run.rep.line.clear();
        run.rep.line.put(2, std::string(trim(run.cv.item_word)) + " DIFFICULTY OF " +
                                std::string(trim(real_to_text10(offset, "(F7.2)"))) +
                                " ADDED TO MEASURES");
        write_report_line(run);
    }
    if (array_value(a.group_pivot_flag, g, std::uint8_t{'N'}) == 'Y') {
        run.rep.line.clear();
        run.rep.line.put(2, "RATING SCALE PIVOTED AT " +
                                std::string(trim(real_to_text10(a.group_pivot[g], "(F7.2)"))));
        write_report_line(run);
    }
    const StructureGroup s = structure_group_values(run, g, first, offset, ctx.residual_column_flag);
    if (top == 1)
        write_dichotomous_structure(ctx, s);
    else
        write_polytomous_structure(ctx, s);
}

std::vector<int> rating_scale_section_order(const AnalysisArrays& a) {
    std::vector<int> order;
    for (int pass = 0; pass < 2; ++pass)
        for (int g = 1; g <= a.groups; ++g) {
            const int top = array_value(a.group_top_category, g);
            if (pass == 0 ? top >= 2 : top == 1) order.push_back(g);
        }
    return order;
}

void write_rating_scale_sections(ReportContext& ctx) {
    Run& run = ctx.run;
    const bool stept = run.cv.stept_flag == 'Y';
    const bool summary = run.rep.request.table == 3 ? stept : !stept;
    for (int g : rating_scale_section_order(run.arrays)) {
        write_table_heading(run, summary ? 0 : 1);
        if (summary) {
            write_category_structure(ctx, g);
        } else {
            write_rating_scale_group_heading(ctx, g);
            // Without the structure Table, whose rows carry the category labels, the curves get
            // a key of their own.
            for (int i = 1; i <= run.arrays.items; ++i)
                if (group_member(run.arrays, i, g)) {
                    write_category_label_key(run, g, i);
                    break;
                }
        }
        if (!group_item_runs(run.arrays, g).empty()) write_probability_curves(ctx, g);
    }
}

}  // namespace korvelan

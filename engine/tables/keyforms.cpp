#include "engine/tables/keyforms.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/entry_sort.h"
#include "engine/report/plot_grid.h"
#include "engine/report/plot_range.h"
#include "engine/report/scale_orientation.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/keyform_lines.h"
#include "engine/tables/measure_axis_lines.h"
#include "engine/tables/response_cells.h"

namespace korvelan {

namespace {

int category_reference(const TableRequest& r, const ControlVariables& cv) {
    return r.letters[4] == ' ' ? cv.catr : static_cast<int>(r.selectors[4]);
}

void order_items(ReportContext& ctx, int c) {
    AnalysisArrays& a = ctx.run.arrays;
    EntryOrder& items = ctx.items;
    if (c == -3) {
        items.entries.clear();
        for (int i = 1; i <= a.items; ++i)
            if (item_status_of(a, i) >= 0) items.entries.push_back(i);
        items.count = static_cast<std::int32_t>(items.entries.size());
    } else {
        const std::vector<float> keys = keyform_item_keys(ctx.run, c);
        select_and_sort_entries(items, keys, a.items, 'G', a.item_status);
    }
    ctx.item_sort = ' ';
}

std::string table_text(const Run& run) {
    const int t = run.rep.request.table;
    return std::string(trim(int_to_text_left(t))) + (t == 7 ? ".2" : ".3");
}

struct PersonFit {
    float infit = 0.0f, outfit = 0.0f;
};

void write_person_heading(KeyformPage& page, int p, int st, const PersonFit& fit,
                          const PersonWorkFields& record, char letter) {
    Run& run = page.run;
    const int d = decimals_of_format(run.cv.user_decimals_format);
    ReportLineBuffer& line = run.rep.line;
    const std::string rule(1, box::kHorizontal);
    line.clear();
    line.put(1, " NUMBER " + rule + " NAME " + std::string(18, box::kHorizontal) + " MEASURE " +
                    rule + " INFIT (" + pad_right(page.fit_label, 4) + ") OUTFIT " + rule +
                    " S.E.");
    write_report_line(run);
    line.clear();
    line.put(2, fmt_i(p, 6));
    if (st == status::kAnchored) line.put(8, "*");
    line.put(10, pad_right(page.person_label, 25));
    line.put(34, fmt_f(array_value(run.arrays.person_measure, p), 8, d));
    line.put(45, fmt_f(fit.infit, 5, 1));
    line.put(53, std::string(1, letter));
    line.put(56, fmt_f(fit.outfit, 5, 1));
    line.put(67, fmt_f_left(record.standard_error, 8, d));
    write_report_line(run);
    write_blank_report_line(run);
}

}  // namespace

bool observed_out_of_zone(const CategoryZones& z, int r, float mu) {
    const auto bound = [&](int k) { return array_value(*z.half_points, z.first_slot + k); };
    const float d = z.orientation * (mu - z.item_measure);
    if (r == 0) return z.top > 0 && bound(1) < d;
    if (r == z.top) return d < bound(r);
    return bound(r + 1) < d || d < bound(r);
}

bool expected_in_zone(const CategoryZones& z, int k, float mu) {
    const auto bound = [&](int j) { return array_value(*z.half_points, z.first_slot + j); };
    const float d = z.orientation * (mu - z.item_measure);
    if (k == 0) return z.top == 0 || d <= bound(1);
    if (k == z.top) return bound(k) < d;
    return bound(k) < d && d <= bound(k + 1);
}

std::vector<float> keyform_item_keys(const Run& run, int c) {
    const AnalysisArrays& a = run.arrays;
    std::vector<float> key(static_cast<std::size_t>(a.items) + 1, 0.0f);
    float largest = 0.0f;
    for (int i = 1; i <= a.items; ++i) {
        float offset = 0.0f;
        const int g = array_value(a.item_group, i, 0);
        if (item_status_of(a, i) > 0 && c > 0 && g >= 1) {
            const int f = a.group_first_slot[g];
            for (int k = 1; k <= a.group_top_category[g]; ++k) {
                offset = array_value(a.category_score_point_measure, f + k);
                if (array_value(a.category_value, f + k) >= c) break;
            }
        }
        key[static_cast<std::size_t>(i)] = category_point_measure(run.cv, array_value(a.item_measure, i), offset);
        largest = std::max(largest, std::fabs(key[static_cast<std::size_t>(i)]));
    }
    if (a.groups > 1 && c == -1)
        for (int i = 1; i <= a.items; ++i)
            key[static_cast<std::size_t>(i)] +=
                static_cast<float>(a.groups - array_value(a.item_group, i, 0)) *
                (2.0f * largest + 2.0f);
    return key;
}

void write_keyforms(ReportContext& ctx) {
    Run& run = ctx.run;
    AnalysisArrays& a = run.arrays;
    const TableRequest& request = ctx.request;
    find_plot_measure_range(ctx.axis, run.cv, request,
                            plot_range_sources(a, a.category_score_point_measure));
    ctx.axis.plot_width = 60;
    ctx.axis.columns_per_tick = 6;
    scale_plot_axis(ctx.axis, request);
    if (!axis_labels_fit(ctx.axis)) {
        show_plot_format_failure(run, table_text(run));
        return;
    }
    KeyformPage page(ctx, axis_label_line(ctx.axis, false),
                     axis_rule_line(ctx.axis, side_word(run, ReportSide::Items)));
    order_items(ctx, category_reference(request, run.cv));
    const bool mean_squares = run.cv.mn_flag == 'Y';
    const float limit = mean_squares ? 1.0f + run.cv.fitp * 0.1f : run.cv.fitp;
    page.fit_label = mean_squares ? "MNSQ" : run.cv.standardized_fit_label;
    const bool misfits_only = request.table == 7;
    const EntryOrder& persons = ctx.persons;
    const int n = std::clamp(persons.count, 0, static_cast<std::int32_t>(persons.entries.size()));
    bool first = true;
    for (int k = 1; k <= n; ++k) {
        const int p = std::abs(persons.entries[static_cast<std::size_t>(k - 1)]);
        const int st = person_status_of(a, p);
        if (p < 1 || st < (misfits_only ? 1 : -1)) continue;
        PersonWorkFields record;
        read_person_work_record(run, page.files, p, record);
        PersonFit fit{record.infit_mnsq, record.outfit_mnsq};
        if (!mean_squares) fit = {array_value(a.person_infit_zstd, p), array_value(a.person_outfit_zstd, p)};
        if (misfits_only && fit.outfit < limit && fit.infit < limit) continue;
        write_table_heading(run, 1);
        if (first) {
            run.rep.line.clear();
            run.rep.line.put(1, " KEY: .1.=OBSERVED, 1=EXPECTED, (1)=OBSERVED, BUT VERY UNEXPECTED.");
            write_report_line(run);
            write_blank_report_line(run);
            first = false;
        }
        read_person_name_record(run, page.files, p, page.person_label);
        read_person_scores_record(run, page.files, p, page.scores);
        read_person_codes_record(run, page.files, p, page.codes);
        const char letter = misfits_only ? get_category_plot_symbol(persons.entries, n, p) : ' ';
        write_person_heading(page, p, st, fit, record, letter);
        write_person_keyform(page, p);
    }
}

}  // namespace korvelan

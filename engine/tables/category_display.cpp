#include "engine/tables/category_display.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/input/data_input.h"
#include "engine/report/axis_strip.h"
#include "engine/report/entry_sort.h"
#include "engine/report/plot_range.h"
#include "engine/report/plot_text.h"
#include "engine/report/scale_orientation.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/measure_axis_lines.h"
#include "engine/tables/response_cells.h"

namespace korvelan {

namespace {

float abs_uscale(const Run& run) {
    const float u = std::fabs(run.cv.uscale);
    return u > 0.0f ? u : 1.0f;
}

void write_text_line(Run& run, const std::string& text) {
    run.rep.line.clear();
    run.rep.line.put(1, text);
    write_report_line(run);
}

std::string title_of(const Run& run, int d) {
    const std::string persons = pad_right(run.cv.person_plural, 13);
    switch (d) {
        case 1: return " MOST PROBABLE RESPONSE: MODE  (BETWEEN \"0\" AND \"1\" IS \"0\", ETC.)";
        case 2: return " EXPECTED SCORE: MEAN  (\":\" INDICATES HALF-SCORE POINT)";
        case 3: return " THURSTONE THRESHOLD: MEDIAN";
        case 4: return " STEP DIFFICULTY CALIBRATIONS";
        case 5: return " OBSERVED AVERAGE MEASURES BY CATEGORY SCORE FOR " + persons;
        case 6: return " OBSERVED AVERAGE MEASURES BY OBSERVED CATEGORY FOR " + persons;
        default: return " EXPECTED AVERAGE MEASURES BY CATEGORY SCORE FOR " + persons;
    }
}

int category_reference(const TableRequest& r, const ControlVariables& cv) {
    return r.letters[4] == ' ' ? cv.catr : static_cast<int>(r.selectors[4]);
}

// The measure (user units) where display d shows category k of item i: the category points
// of 1 to 4, stored relative to the item, placed on the reported scale; the averages of 5 and 7
// as they are.
float display_measure(const CategoryDisplays& t, int d, int i, int k) {
    const AnalysisArrays& a = t.run.arrays;
    const int s = a.group_first_slot[a.item_group[i]] + k;
    const float item = a.item_measure[i];
    const auto point = [&](float relative) { return category_point_measure(t.run.cv, item, relative); };
    switch (d) {
        case 1: return point(array_value(t.modal, s) ? array_value(t.mode_start, s) : 0.0f);
        case 2: return point(array_value(a.category_score_point_measure, s));
        case 3: return point(array_value(a.category_thurstone_threshold, s));
        case 4:
            return point(array_value(a.category_status, s) >= 1
                             ? abs_uscale(t.run) * array_value(a.step_calibration, s)
                             : 0.0f);
        case 5: return array_value(t.observed_average, t.at(k, i));
        case 7: return array_value(t.expected_average, t.at(k, i));
        default: return item;
    }
}

// The listed items of display d in their order; the keys of the order beside them.
std::vector<float> order_items(CategoryDisplays& t, int d, int r) {
    AnalysisArrays& a = t.run.arrays;
    EntryOrder& items = t.ctx.items;
    std::vector<float> key(static_cast<std::size_t>(a.items) + 1, 0.0f);
    t.ctx.item_sort = ' ';  // the list leaves this display in an order of its own
    if (r == -3) {
        items.entries.clear();
        for (int i = 1; i <= a.items; ++i)
            if (item_status_of(a, i) >= 1) items.entries.push_back(i);
        items.count = static_cast<std::int32_t>(items.entries.size());
        for (int i = 1; i <= a.items; ++i) key[static_cast<std::size_t>(i)] = a.item_measure[i];
        return key;
    }
    float largest = 0.0f;
    for (int i = 1; i <= a.items; ++i) {
        float v = array_value(a.item_measure, i);
        const int g = array_value(a.item_group, i, 0);
        if (item_status_of(a, i) >= 1 && r > 0 && g >= 1) {
            const int f = a.group_first_slot[g];
            for (int k = 1; k <= a.group_top_category[g]; ++k) {
                v = display_measure(t, d, i, k);
                if (array_value(a.category_value, f + k) >= r) break;
            }
        }
        key[static_cast<std::size_t>(i)] = v;
        largest = std::max(largest, std::fabs(key[static_cast<std::size_t>(i)]));
    }
    if (r == -1 && a.groups > 1)
        for (int i = 1; i <= a.items; ++i)
            key[static_cast<std::size_t>(i)] +=
                static_cast<float>(a.groups - array_value(a.item_group, i, 0)) * (2.0f * largest + 2.0f);
    select_and_sort_entries(items, key, a.items, 'G', a.item_status);
    return key;
}

struct Row {
    std::string plot;  // plot columns 0..W
    int width = 60;
};

int column_at(const CategoryDisplays& t, float measure, std::size_t length) {
    const int c = plot_column(t.ctx.axis, measure);
    return std::clamp(c, 0, std::max(t.ctx.axis.plot_width + 1 - static_cast<int>(length), 0));
}

void put_label(const CategoryDisplays& t, Row& row, float measure, const std::string& text) {
    overlay_text_on_plot_line(std::span<char>(row.plot),
                              static_cast<std::size_t>(column_at(t, measure, text.size())), text);
}

void put_free(const CategoryDisplays& t, Row& row, float measure, const std::string& text) {
    overlay_text_at_free_place(std::span<char>(row.plot),
                               static_cast<std::size_t>(column_at(t, measure, text.size())), text);
}

// The mark of code index 0 in 2.6: the first of "M", "m", "#", "-" that is no code.
std::string missing_mark(const ControlVariables& cv) {
    for (const char* m : {"M", "m", "#", "-"})
        if (cv.codes.find(m) == std::string::npos) return m;
    return "*";
}

void fill_code_row(const CategoryDisplays& t, Row& row, int i) {
    const ControlVariables& cv = t.run.cv;
    for (int c = 0; c <= std::max(cv.categs, 0); ++c) {
        if (array_value(t.code_weight, t.at(c, i)) == 0.0f) continue;
        put_free(t, row, array_value(t.code_average, t.at(c, i)),
                 c == 0 ? missing_mark(cv) : code_text(cv, c));
    }
}

void fill_category_row(const CategoryDisplays& t, int d, Row& row, int i) {
    const Run& run = t.run;
    const AnalysisArrays& a = run.arrays;
    const int g = a.item_group[i], f = a.group_first_slot[g], m = a.group_top_category[g];
    const float item = a.item_measure[i];
    const auto at_point = [&](const std::vector<float>& points, int slot) {
        return category_point_measure(run.cv, item, array_value(points, slot));
    };
    const auto label = [&](int k) {
        return category_code_text(run, array_value(a.category_value, f + k), i);
    };
    for (int k = 0; k <= m; ++k) {
        if (d >= 5) {
            const std::vector<float>& w = d == 5 ? t.observed_weight : t.expected_weight;
            const std::vector<float>& avg = d == 5 ? t.observed_average : t.expected_average;
            if (array_value(w, t.at(k, i)) != 0.0f)
                put_free(t, row, array_value(avg, t.at(k, i)),
                         std::string(trim(int_to_text_left(array_value(a.category_value, f + k)))));
            continue;
        }
        if (k == 0) continue;
        if (d == 1 && !array_value(t.modal, f + k)) continue;
        if (d == 4 && array_value(a.category_status, f + k) < 1) continue;
        if (d == 2) {
            const int c = std::clamp(plot_column(t.ctx.axis, at_point(a.category_half_point_measure, f + k)),
                                     0, row.width);
            overlay_text_on_plot_line(std::span<char>(row.plot), static_cast<std::size_t>(c), ":");
            if (k == m) continue;
        }
        put_label(t, row, display_measure(t, d, i, k), label(k));
    }
    if (d > 3) return;
    const std::string bottom = label(0), top = label(m);
    if (d == 2) {
        put_label(t, row, at_point(a.category_score_point_measure, f + m), top);
        put_label(t, row, at_point(a.category_score_point_measure, f), bottom);
    }
    const std::string& left = run.cv.uscale > 0.0f ? bottom : top;
    const std::string& right = run.cv.uscale > 0.0f ? top : bottom;
    overlay_text_on_plot_line(std::span<char>(row.plot), 0, left);
    overlay_text_on_plot_line(
        std::span<char>(row.plot),
        static_cast<std::size_t>(std::max(row.width + 1 - static_cast<int>(right.size()), 0)), right);
}

void write_titles(CategoryDisplays& t, int d) {
    write_text_line(t.run, title_of(t.run, d));
    write_text_line(t.run, t.labels);
    write_text_line(t.run, t.rule);
}

std::string spacer_row(int width) {
    std::string s(static_cast<std::size_t>(width + 2), ' ');
    s[1] = '|';
    s[static_cast<std::size_t>(width + 1)] = '|';
    return s;
}

void write_item_row(CategoryDisplays& t, int d, int i) {
    Run& run = t.run;
    const int width = t.ctx.axis.plot_width;
    Row row{std::string(static_cast<std::size_t>(width + 1), ' '), width};
    if (d == 6)
        fill_code_row(t, row, i);
    else
        fill_category_row(t, d, row, i);
    if (row.plot[0] == ' ') row.plot[0] = '|';
    if (row.plot[static_cast<std::size_t>(width)] == ' ') row.plot[static_cast<std::size_t>(width)] = '|';
    std::string label;
    WorkFiles files = run_work_files(run);
    read_item_label_record(run, files, i, label);
    const char flag = item_status_of(run.arrays, i) == status::kAnchored ? '*' : ' ';
    write_text_line(run, " " + shown_codes(run.cv.code_characters, row.plot) + " " + fmt_i(i, 4) +
                             flag + " " +
                             std::string(trim_right(character_prefix(
                                 label, static_cast<std::size_t>(std::max(run.cv.itlen, 0))))));
}

}  // namespace

void write_category_display(CategoryDisplays& t, int d) {
    Run& run = t.run;
    write_table_heading(run, 1);
    const int r = category_reference(t.ctx.request, run.cv);
    const std::vector<float> key = order_items(t, d, r);
    const EntryOrder& items = t.ctx.items;
    const int n = std::clamp(items.count, 0, static_cast<std::int32_t>(items.entries.size()));
    const auto key_of = [&](int k) {
        return key[static_cast<std::size_t>(std::abs(items.entries[static_cast<std::size_t>(k)]))];
    };
    float u = 0.0f;
    if (r != -3 && r != -1 && n > 0 && n < 30) u = std::fabs(key_of(0) - key_of(n - 1)) / static_cast<float>(n);
    write_titles(t, d);
    const int width = t.ctx.axis.plot_width;
    for (int k = 0; k < n; ++k) {
        int b = 0;
        if (k > 0 && u > 0.0f)
            b = std::min(static_cast<int>(std::fabs(key_of(k) - key_of(k - 1)) / u), 2);
        const int page = run.rep.page_number;
        break_page_if_needed(run, run.rep.page_line_counter + 4 + b);
        if (run.rep.page_number != page) {
            b = 0;
            write_titles(t, d);
        }
        for (int s = 0; s < b; ++s) write_text_line(run, spacer_row(width));
        write_item_row(t, d, std::abs(items.entries[static_cast<std::size_t>(k)]));
    }
    write_text_line(run, t.rule);
    write_text_line(run, t.labels);
    const AnalysisArrays& a = run.arrays;
    write_axis_distribution_counts(run, t.ctx.axis,
                                   AxisStripEntries{a.person_measure, a.person_status, a.persons, 'P'},
                                   run.cv.person_plural, width + 5, width);
}

void find_mode_starts(CategoryDisplays& t) {
    const AnalysisArrays& a = t.run.arrays;
    const std::size_t slots = static_cast<std::size_t>(std::max(a.slots, 0)) + 2;
    t.mode_start.assign(slots, 0.0f);
    t.modal.assign(slots, 0);
    std::vector<float> p(static_cast<std::size_t>(std::max(a.top_value, 1)) + 2);
    const float scale = abs_uscale(t.run);
    const float per_point = 10.0f * t.ctx.axis.columns_per_unit;
    for (int g = 1; g <= a.groups; ++g) {
        const int f = a.group_first_slot[g], m = a.group_top_category[g];
        if (m < 1) continue;
        const float start = array_value(a.category_thurstone_threshold, f + 1);
        if (m == 1) {
            t.modal[static_cast<std::size_t>(f + 1)] = 1;
            t.mode_start[static_cast<std::size_t>(f + 1)] = start;
            continue;
        }
        const CategoryModel model = group_model_view(a, g);
        int c = 0;
        for (int j = 0; j <= 10 * t.ctx.axis.plot_width && c < m; ++j) {
            const float x = start + static_cast<float>(j) / per_point;
            compute_category_probabilities(model, x / scale, p.data());
            float most = p[static_cast<std::size_t>(c)];
            int candidate = -1;
            for (int k = c + 1; k <= m; ++k)
                if (p[static_cast<std::size_t>(k)] >= most) candidate = k, most = p[static_cast<std::size_t>(k)];
            if (candidate < 0) continue;
            t.modal[static_cast<std::size_t>(f + candidate)] = 1;
            t.mode_start[static_cast<std::size_t>(f + candidate)] = x;
            c = candidate;
        }
    }
}

void write_table2_category_maps(ReportContext& ctx) {
    Run& run = ctx.run;
    AnalysisArrays& a = run.arrays;
    find_plot_measure_range(ctx.axis, run.cv, ctx.request,
                            plot_range_sources(a, a.category_score_point_measure));
    ctx.axis.plot_width = 60;
    ctx.axis.columns_per_tick = 6;
    scale_plot_axis(ctx.axis, ctx.request);
    if (!axis_labels_fit(ctx.axis)) {
        show_plot_format_failure(run, table_number_text(run));
        return;
    }
    CategoryDisplays t(ctx);
    t.labels = axis_label_line(ctx.axis, true);
    t.rule = axis_rule_line(ctx.axis, run.cv.item_word);
    find_mode_starts(t);
    int largest_top = 0;
    for (int g = 1; g <= a.groups; ++g) largest_top = std::max(largest_top, a.group_top_category[g]);
    const TableRequest& r = ctx.request;
    const bool named = r.letters[0] != ' ';
    for (int i = 1; i <= 5; ++i) {
        const bool asked = named && r.selectors[0] == static_cast<float>(i);
        const bool by_default = (!named || r.selectors[0] == 0.0f) &&
                                ((i == 1 && largest_top < 2) || (i == 2 && largest_top > 1) || i == 5);
        if (!asked && !by_default) continue;
        if (i == 5) {
            write_average_measure_displays(t);
            continue;
        }
        run.rep.sub_table_counter = i - 1;
        write_category_display(t, i);
    }
}

}  // namespace korvelan

#include "engine/driver/table_registry.h"

#include <numeric>

#include "engine/analyses/component_reports.h"
#include "engine/analyses/dif_tables.h"
#include "engine/analyses/subtotal_tables.h"
#include "engine/analyses/principal_components.h"
#include "engine/report/entry_sort.h"
#include "engine/report/item_reflection.h"
#include "engine/report/plot_range.h"
#include "engine/report/table_heading.h"
#include "engine/tables/category_display.h"
#include "engine/tables/distractor_table.h"
#include "engine/tables/empirical_curves.h"
#include "engine/tables/entry_statistics.h"
#include "engine/tables/fit_graph.h"
#include "engine/tables/fit_plot.h"
#include "engine/tables/keyforms.h"
#include "engine/tables/misfit_responses.h"
#include "engine/tables/scalogram.h"
#include "engine/tables/score_table.h"
#include "engine/tables/structure_summary.h"
#include "engine/tables/summary_table.h"
#include "engine/tables/unexpected_responses.h"
#include "engine/tables/variable_map.h"

namespace korvelan {

namespace {

// ---- What the writers of several Tables share ------------------------------------------------

bool all_or(const ReportContext& ctx, bool condition) {
    return ctx.all_sub_tables() || condition;
}
float sub(const ReportContext& ctx) {
    return ctx.sub_table();
}

// The fit key of the entry statistics, the fit graph and the distractor table.
void set_fit_key(ReportContext& ctx) {
    ctx.fit_key = ctx.run.cv.ou_flag == 'N' ? "INFIT" : "MISFIT";
}

// The fit order of a side, unless its list already stands in it.
void fit_sort(ReportContext& ctx, ReportSide side) {
    char& letter = ctx.sort_letter(side);
    if (letter == 'F') return;
    AnalysisArrays& a = ctx.run.arrays;
    const bool items = side == ReportSide::Items;
    sort_entries_by_fit(
        ctx.run, ctx.order(side), items ? a.items : a.persons, letter,
        items ? a.item_status : a.person_status, items ? a.item_outfit_mnsq : a.person_outfit_mnsq,
        items ? a.item_infit_mnsq : a.person_infit_mnsq, ctx.run.cv.ou_flag, ctx.request.table);
}

// A side's list by a real key ("M" measure, "D" displacement, "P" correlation), unless it
// already stands in that order.
void key_sort(ReportContext& ctx, ReportSide side, char letter, const std::vector<float>& key) {
    char& state = ctx.sort_letter(side);
    if (state == letter) return;
    state = letter;
    AnalysisArrays& a = ctx.run.arrays;
    const bool items = side == ReportSide::Items;
    select_and_sort_entries(ctx.order(side), key, items ? a.items : a.persons, letter,
                            items ? a.item_status : a.person_status);
}

// A side's list in entry order.
void entry_order(ReportContext& ctx, ReportSide side) {
    char& state = ctx.sort_letter(side);
    if (state == 'E') return;
    state = 'E';
    const bool items = side == ReportSide::Items;
    const int n = items ? ctx.run.arrays.items : ctx.run.arrays.persons;
    EntryOrder& order = ctx.order(side);
    order.entries.resize(static_cast<std::size_t>(std::max(n, 0)));
    std::iota(order.entries.begin(), order.entries.end(), 1);
    order.count = n;
}

// A side's list in label order from the ISO= or PSO= column.
void label_sort(ReportContext& ctx, ReportSide side) {
    ctx.sort_letter(side) = 'A';
    AnalysisArrays& a = ctx.run.arrays;
    const bool items = side == ReportSide::Items;
    sort_entries_by_label_for_table(ctx.run, side, ctx.order(side), items ? a.items : a.persons,
                                    items ? a.item_status : a.person_status,
                                    items ? ctx.run.cv.iso : ctx.run.cv.pso,
                                    ctx.run.rep.sub_table_counter + 1, ctx.request);
}

// Sub-tables 1 and 2 of the per-entry statistics Tables: the statistics when every sub-table
// or 0 or 1 is asked for; the fit graph, under CHART=Y, for every sub-table or 0 or 2; for the
// items, under DISTRACTOR=Y, the category, option and distractor frequencies for every
// sub-table or 0 or 3. That table marks the item list, so the items are sorted again for the
// next Table that needs an order.
void entry_statistics(ReportContext& ctx) {
    if (all_or(ctx, sub(ctx) <= 1.0f)) {
        ctx.run.rep.sub_table_counter = 0;
        write_entry_statistics_table(ctx);
    }
    if (all_or(ctx, sub(ctx) == 0.0f || sub(ctx) == 2.0f) && ctx.run.cv.ch_flag == 'Y') {
        ctx.run.rep.sub_table_counter = 1;
        write_fit_graph(ctx);
    }
    if (ctx.side == ReportSide::Items && ctx.run.cv.dist_flag == 'Y' &&
        all_or(ctx, sub(ctx) == 0.0f || sub(ctx) == 3.0f)) {
        ctx.run.rep.sub_table_counter = 2;
        write_option_frequency_table(ctx);
        ctx.item_sort = ' ';
    }
}

// ---- The writers of each Table, in their order ----------------------------------------------

// Table 3: the summary statistics (3.1); the rating-scale structure and probability curves of
// sub-tables 2 on are drawn with CUR= set to "100" for the Table.
void summary_and_structure_table(ReportContext& ctx) {
    if (all_or(ctx, sub(ctx) <= 1.0f)) write_measure_summary_table(ctx);
    if (ctx.all_sub_tables() && ctx.run.cv.stept_flag != 'Y') return;
    if (!all_or(ctx, sub(ctx) > 1.0f)) return;
    ctx.run.rep.sub_table_counter = 1;
    const std::string curves = ctx.run.cv.curves;
    ctx.run.cv.curves = "100";
    write_rating_scale_sections(ctx);
    ctx.run.cv.curves = curves;
}

// Tables 1, 12 and 16: the variable maps. Tables 1 and 12 draw their reflected maps (1.10,
// 1.12, 12.12) with the item measures reflected for the call and put back exactly after it.
void variable_map_tables(ReportContext& ctx) {
    AnalysisArrays& a = ctx.run.arrays;
    int& counter = ctx.run.rep.sub_table_counter;
    const int t = ctx.request.table;
    counter = t == 1 ? -1 : 0;
    write_variable_map(ctx, t == 1 ? a.category_thurstone_threshold : a.category_half_point_measure);
    if (t == 16 || (t == 12 && !all_or(ctx, sub(ctx) == 12.0f))) return;
    const ReflectedItems reflected(ctx.run);
    ctx.request.letters[0] = '1';
    if (t == 1) {
        ctx.request.selectors[0] = 0.0f;
        counter = 9;
        write_variable_map(ctx, a.category_thurstone_threshold);
    }
    ctx.request.selectors[0] = 2.0f;
    counter = 11;
    write_variable_map(ctx, a.category_thurstone_threshold);
}

// Table 20: the score table of the complete test (20.1, 20.2); the item score table (20.3) when
// a sub-table from 3 on is asked for.
void score_tables(ReportContext& ctx) {
    if (all_or(ctx, sub(ctx) <= 2.0f)) {
        write_table_heading(ctx.run, 1);
        write_score_table(ctx);
    }
    if (!ctx.all_sub_tables() && sub(ctx) >= 3.0f) {
        ctx.run.rep.sub_table_counter = 2;
        write_table_heading(ctx.run, 1);
        write_item_score_table(ctx);
    }
}

// Table 21: the rating-scale sections with the probability curves that CUR= chooses.
void probability_curve_table(ReportContext& ctx) {
    ctx.run.rep.sub_table_counter = 0;
    write_rating_scale_sections(ctx);
}

// Tables 4, 5 (persons) and 8, 9 (items): in fit order, the measures against infit (4, 8) or
// outfit (5, 9) with the other side's strip; Tables 5 and 9 add infit against outfit.
void fit_plot_tables(ReportContext& ctx) {
    set_fit_key(ctx);
    fit_sort(ctx, ctx.side);
    const bool items = ctx.side == ReportSide::Items;
    const bool mean_squares = ctx.run.cv.mn_flag == 'Y';
    const int first = (items ? 15 : 7) + (mean_squares ? 0 : 1);
    const FitPlotRange range = find_fit_plot_range(ctx.run, first, first - 2);
    const int t = ctx.request.table;
    const bool outfit = t == 5 || t == 9;
    if (all_or(ctx, sub(ctx) <= 1.0f)) {
        AnalysisArrays& a = ctx.run.arrays;
        find_plot_measure_range(ctx.axis, ctx.run.cv, ctx.request,
                                plot_range_sources(a, a.category_thurstone_threshold));
        write_fit_plot(ctx, range, outfit);
    }
    const bool pair = t == 5 ? all_or(ctx, sub(ctx) == 2.0f) : t == 9 && all_or(ctx, sub(ctx) != 1.0f);
    if (pair) {
        ctx.run.rep.sub_table_counter = 1;
        write_infit_outfit_plot(ctx, range);
    }
}

// Sub-tables 4 and 5 of Tables 6 and 10: the most misfitting response strings and the most
// unexpected responses, each for every sub-table, sub-table 0 or its own number.
void unexpected_response_grids(ReportContext& ctx) {
    if (all_or(ctx, sub(ctx) == 4.0f || sub(ctx) == 0.0f)) {
        ctx.misfit_listing_mode = 1;
        ctx.run.rep.sub_table_counter = 3;
        write_unexpected_response_grid(ctx);
    }
    if (all_or(ctx, sub(ctx) == 5.0f || sub(ctx) == 0.0f)) {
        ctx.misfit_listing_mode = 0;
        ctx.run.rep.sub_table_counter = 4;
        write_unexpected_response_grid(ctx);
    }
}

// Tables 6 (persons) and 10 (items): the statistics in fit order. The most misfitting and most
// unexpected responses (sub-tables 4 and 5) read the fit order too, so asking for them alone
// sorts as well.
void misfit_order_tables(ReportContext& ctx) {
    set_fit_key(ctx);
    const float last_sorted = ctx.side == ReportSide::Persons ? 2.0f : 3.0f;
    if (all_or(ctx, sub(ctx) <= last_sorted || sub(ctx) == 4.0f || sub(ctx) == 5.0f))
        fit_sort(ctx, ctx.side);
    entry_statistics(ctx);
    unexpected_response_grids(ctx);
}

// Tables 7 (persons) and 11 (items): misfitting responses in fit order; Table 7 shows them
// (sub-tables 0 and 1) and the keyforms of the misfitting persons (every sub-table but 1).
void misfitting_response_tables(ReportContext& ctx) {
    set_fit_key(ctx);
    fit_sort(ctx, ctx.side);
    if (ctx.request.table == 11 || sub(ctx) < 2.0f) write_misfitting_responses_table(ctx);
    if (ctx.request.table == 7 && sub(ctx) != 1.0f) {
        ctx.run.rep.sub_table_counter = 1;
        write_keyforms(ctx);
    }
}

// Tables 13, 14, 15, 25 and 26: item statistics in measure, entry, label, displacement and
// correlation order.
void item_order_tables(ReportContext& ctx) {
    ctx.item_sort = ctx.person_sort = ' ';
    AnalysisArrays& a = ctx.run.arrays;
    const int t = ctx.request.table;
    const bool numbered = ctx.run.cv.item_numbering == 'Y';
    if (t == 13) {
        ctx.fit_key = "MEASURE";
        key_sort(ctx, ReportSide::Items, 'M', a.item_measure);
    } else if (t == 14 || (t == 15 && numbered)) {
        // Table 15 of unlabelled items is Table 14 again: nothing when Table 14 is also asked.
        const std::string& selection = ctx.run.cv.table_selection;
        if (t == 15 && selection.size() >= 14 && selection[13] == '1') return;
        ctx.fit_key = "ENTRY";
        entry_order(ctx, ReportSide::Items);
    } else if (t == 15) {
        ctx.fit_key = "ALPHA";
        label_sort(ctx, ReportSide::Items);
    } else if (t == 25) {
        ctx.fit_key = "DISPLACEMENT";
        key_sort(ctx, ReportSide::Items, 'D', a.item_displacement);
    } else {
        ctx.fit_key = "CORRELATION";
        key_sort(ctx, ReportSide::Items, 'P', a.item_point_biserial);
    }
    entry_statistics(ctx);
}

// Tables 17, 18 and 19: person statistics in measure, entry and label order.
void person_order_tables(ReportContext& ctx) {
    const int t = ctx.request.table;
    if (t == 17) {
        ctx.fit_key = "MEASURE";
        key_sort(ctx, ReportSide::Persons, 'M', ctx.run.arrays.person_measure);
    } else if (t == 18) {
        ctx.fit_key = "ENTRY";
        entry_order(ctx, ReportSide::Persons);
    } else {
        ctx.fit_key = "ALPHA";
        label_sort(ctx, ReportSide::Persons);
    }
    entry_statistics(ctx);
    if (sub(ctx) > 2.0f) {
        ctx.run.rep.sub_table_counter = 2;
        write_keyforms(ctx);
    }
}

// Tables 23 (items) and 24 (persons): principal components of the residuals, which exist only
// when PRCOMP= is not "N"; they reorder the side's list. The components (sub-tables 2 on) come
// first, then the largest residual correlations as sub-table 1.
void component_tables(ReportContext& ctx) {
    if (ctx.run.cv.prcomp == 'N') return;
    ctx.sort_letter(ctx.side) = ' ';
    if (all_or(ctx, sub(ctx) == 0.0f || sub(ctx) == 2.0f)) {
        const AnalysisArrays& a = ctx.run.arrays;
        find_plot_measure_range(ctx.axis, ctx.run.cv, ctx.request,
                                plot_range_sources(a, a.category_score_point_measure));
        ctx.misfit_listing_mode = 0;
        ctx.run.rep.sub_table_counter = 1;
        compute_principal_components(ctx);
    }
    if (ctx.run.cv.prcomp != 'N' && all_or(ctx, sub(ctx) == 0.0f || sub(ctx) == 1.0f)) {
        ctx.misfit_listing_mode = 0;
        ctx.run.rep.sub_table_counter = 0;
        write_residual_correlation_table(ctx);
    }
}

constexpr ReportSide kItems = ReportSide::Items;
constexpr ReportSide kPersons = ReportSide::Persons;

constexpr TableEntry kTableRegistry[] = {
    {1, 1, kItems, "variable maps of persons and items", variable_map_tables},
    {2, 2, kItems, "category displays", write_table2_category_maps},
    {3, 3, kItems, "summary statistics and rating-scale structure", summary_and_structure_table},
    {4, 5, kPersons, "person fit plots", fit_plot_tables},
    {6, 6, kPersons, "person statistics in misfit order", misfit_order_tables},
    {7, 7, kPersons, "misfitting responses and keyforms of persons", misfitting_response_tables},
    {8, 9, kItems, "item fit plots", fit_plot_tables},
    {10, 10, kItems, "item statistics in misfit order", misfit_order_tables},
    {11, 11, kItems, "misfitting responses of items", misfitting_response_tables},
    {12, 12, kItems, "item map", variable_map_tables},
    {13, 15, kItems, "item statistics in measure, entry and label order", item_order_tables},
    {16, 16, kPersons, "person map", variable_map_tables},
    {17, 19, kPersons, "person statistics in measure, entry and label order", person_order_tables},
    {20, 20, kItems, "score tables", score_tables},
    {21, 21, kItems, "probability curves", probability_curve_table},
    {22, 22, kItems, "Guttman scalogram", write_guttman_scalogram},
    {23, 23, kItems, "principal components of item residuals", component_tables},
    {24, 24, kPersons, "principal components of person residuals", component_tables},
    {25, 26, kItems, "item statistics in displacement and correlation order", item_order_tables},
    {27, 27, kItems, "item subtotals", write_subtotal_tables},
    {28, 28, kPersons, "person subtotals", write_subtotal_tables},
    {29, 29, kItems, "empirical curves", write_empirical_curves},
    {30, 30, kPersons, "differential item functioning", run_dif_dpf_tables},
    {31, 31, kItems, "differential person functioning", run_dif_dpf_tables},
    {32, 40, kItems, "no Table: an empty Table file after the run", nullptr},
    {99, 99, kItems, "comparison of two measure files", nullptr},
};

}  // namespace

std::span<const TableEntry> table_registry() {
    return kTableRegistry;
}

const TableEntry* find_table_entry(int table) {
    for (const TableEntry& e : kTableRegistry)
        if (table >= e.first && table <= e.last) return &e;
    return nullptr;
}

}  // namespace korvelan

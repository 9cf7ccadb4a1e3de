// The subtotal Tables of one specification: the groups met in the labels, the group table and
// one summary block per group.
#include "engine/analyses/subtotal_tables.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "engine/analyses/class_codes.h"
#include "engine/analyses/scratch_block.h"
#include "engine/analyses/subtotal_cells.h"
#include "engine/analyses/subtotal_histograms.h"
#include "engine/analyses/subtotal_texts.h"
#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// The groups met in the labels of every entry, whatever its status: the whole sample first.
void collect_groups(Run& run, ReportSide side, LabelCodeTable& groups) {
    groups.set_first(std::string("***").substr(0, static_cast<std::size_t>(std::min(groups.width(), 3))));
    const std::int32_t n = side == ReportSide::Items ? run.arrays.items : run.arrays.persons;
    for (std::int32_t e = 1; e <= n; ++e) groups.add(groups.code_of_entry(run, side, e));
}

std::vector<SubtotalEntry> gather_entries(Run& run, ReportSide side, const LabelCodeTable& groups) {
    const AnalysisArrays& a = run.arrays;
    const bool items = side == ReportSide::Items;
    const std::int32_t n = items ? a.items : a.persons;
    const bool weighted = items ? run.input.item_weights_present : run.input.person_weights_present;
    WorkFiles files = run_work_files(run);
    std::vector<SubtotalEntry> entries(static_cast<std::size_t>(std::max(n, 0)));
    for (std::int32_t e = 1; e <= n; ++e) {
        SubtotalEntry& entry = entries[static_cast<std::size_t>(e - 1)];
        entry.status = items ? array_value(a.item_status, e) : array_value(a.person_status, e);
        if (weighted) entry.weight = array_value(items ? a.item_weights : a.person_weights, e, 1.0f);
        const int g = groups.find(groups.code_of_entry(run, side, e));
        entry.group = g > 1 ? g : 0;
        if (items) {
            entry.values = item_statistics(a, e);
        } else {
            PersonWorkFields record;
            read_person_work_record(run, files, e, record);
            entry.values = person_statistics(a, e, record);
        }
    }
    return entries;
}

std::vector<SubtotalGroup> group_statistics(const std::vector<SubtotalEntry>& entries, int count, bool weighted) {
    std::vector<SubtotalGroup> groups(static_cast<std::size_t>(count));
    for (const SubtotalEntry& e : entries) {
        accumulate_subtotal_entry(groups[0], e);
        if (e.group > 1) accumulate_subtotal_entry(groups[static_cast<std::size_t>(e.group - 1)], e);
    }
    find_group_medians(groups, entries, measure_order_of(entries), weighted);
    for (SubtotalGroup& g : groups) finish_subtotal_group(g);
    return groups;
}

// Group 1 first, then the others by ascending code.
std::vector<int> row_order(const LabelCodeTable& groups) {
    std::vector<int> order;
    for (int g = 1; g <= groups.count(); ++g) order.push_back(g);
    std::stable_sort(order.begin() + 1, order.end(),
                     [&](int a, int b) { return groups.codes()[a - 1] < groups.codes()[b - 1]; });
    return order;
}

}  // namespace

void write_subtotal_set(ReportContext& ctx, std::string_view specification) {
    Run& run = ctx.run;
    const ReportSide side = ctx.side;
    const std::string keyword = side == ReportSide::Items ? msg::kIsubtotalName : msg::kPsubtotalName;
    show_processing_line(run, keyword, specification);
    LabelCodeTable groups;
    if (!groups.parse(run, specification, keyword)) return;
    const std::string spec(specification);
    if (groups.capacity() < 3) {
        write_wide_report_line(run, msg::kNoRoomForSubtotals + spec);
        return;
    }
    write_table_heading(run, 1);
    write_wide_report_line(run, " Subtotal specification is: " + keyword + "=" + spec);
    write_blank_report_line(run);
    collect_groups(run, side, groups);
    const std::int32_t n = side == ReportSide::Items ? run.arrays.items : run.arrays.persons;
    const Size bytes = checked_sum(checked_product(508, groups.count()), checked_product(8, n));
    std::vector<SubtotalEntry> entries;
    std::vector<SubtotalGroup> stats;
    bool obtained = memory_request_allowed(run, MemoryBlock::SubtotalGroups, bytes);
    if (obtained) {
        try {
            const bool weighted =
                side == ReportSide::Items ? run.input.item_weights_present : run.input.person_weights_present;
            entries = gather_entries(run, side, groups);
            stats = group_statistics(entries, groups.count(), weighted);
        } catch (const std::bad_alloc&) {
            obtained = false;
        }
    }
    if (!obtained) {
        if (run.host)
            run.host->write_text_window_line(
                std::string(trim(int_to_text_left(shown_bytes(bytes)))) + msg::kNoMemoryForTable);
        write_report_text(run, msg::kNotEnoughMemoryForTable);
        return;
    }
    const std::vector<int> order = row_order(groups);
    write_subtotal_group_table(run, side, groups, stats, order);
    write_subtotal_histograms(ctx, groups, entries, order);
    for (int g : order) {
        write_table_heading(run, 1);
        write_subtotal_summary_block(run, side, groups, stats, g);
    }
}

void write_subtotal_tables(ReportContext& ctx) {
    const bool items = ctx.side == ReportSide::Items;
    const SpecificationSetting setting{items ? &ctx.run.cv.isubtotal : &ctx.run.cv.psubtotal,
                                       items ? "ISUBTOTAL" : "PSUBTOTAL"};
    for_each_specification(ctx.run, setting,
                           [&](std::string_view specification) { write_subtotal_set(ctx, specification); });
}

}  // namespace korvelan

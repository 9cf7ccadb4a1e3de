#include "engine/tables/fit_graph.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/input/data_input.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/entry_statistics_layout.h"

namespace korvelan {

namespace {

const std::string kBar(1, box::kVertical);
constexpr int kStripWidth = 21;
constexpr int kMeasureStrip = 9;

std::string runs(char c, int n) {
    return std::string(static_cast<std::size_t>(std::max(n, 0)), c);
}

// The mean-square scale: the strip with "." at 1.0 and ":" at the marks, and its labels.
struct FitScale {
    std::string strip;
    std::string labels;
};

float control_mark(const TableRequest& r, int k, float low, float high, float fallback) {
    const float v = r.selectors[static_cast<std::size_t>(k)];
    return r.letters[static_cast<std::size_t>(k)] != ' ' && v >= low && v <= high ? v : fallback;
}

void put_mark_label(std::string& labels, float mark, int position) {
    std::string text = fmt_f(mark, 3, 1);
    if (text[0] == ' ') text[0] = '0';
    const int p = std::max(1, std::min(position - 1, 19));
    labels.replace(static_cast<std::size_t>(p - 1), 3, text);
}

FitScale fit_scale(const TableRequest& request) {
    const float low = control_mark(request, 1, 0.0f, 1.0f, 0.7f);
    const float high = control_mark(request, 2, 1.0f, 2.0f, 1.3f);
    const int low_position = static_cast<int>(10.0f * low + 1.1f);
    const int high_position = static_cast<int>(10.0f * high + 1.1f);
    FitScale s{runs(' ', 10) + "." + runs(' ', 10), "0         1         2"};
    s.strip[static_cast<std::size_t>(low_position - 1)] = ':';
    s.strip[static_cast<std::size_t>(high_position - 1)] = ':';
    put_mark_label(s.labels, low, low_position);
    put_mark_label(s.labels, high, high_position);
    if (s.labels.substr(0, 2) == "  ") s.labels[0] = '0';
    if (s.labels.substr(9, 3) == "   ") s.labels[10] = '1';
    if (s.labels.substr(19, 2) == "  ") s.labels[20] = '2';
    return s;
}

struct MeasureRange {
    float lowest = 0.0f, highest = 1.0f;
};

// The range of the measures of every listed entry with status -1 or above, omitted ones too.
MeasureRange measure_range(const Run& run, const EntryColumns& c, const EntryOrder& order, int n) {
    const AnalysisArrays& a = run.arrays;
    MeasureRange r;
    bool any = false;
    for (int k = 0; k < n; ++k) {
        const int e = std::abs(order.entries[static_cast<std::size_t>(k)]);
        const int s = array_value(c.items ? a.item_status : a.person_status, e, status::kDeleted);
        if (s < status::kExtremeMinimum) continue;
        const float m = array_value(c.items ? a.item_measure : a.person_measure, e);
        r.lowest = any ? std::min(r.lowest, m) : m;
        r.highest = any ? std::max(r.highest, m) : m;
        any = true;
    }
    if (!(r.highest > r.lowest)) r.highest = r.lowest + 1.0f;
    return r;
}

void write_rule(Run& run, const EntryColumns& c, char left, char join, char right) {
    const char h = box::kHorizontal;
    run.rep.line.clear();
    run.rep.line.put(2, left + runs(h, 6) + join + runs(h, kMeasureStrip) + join +
                            runs(h, kStripWidth) + join + runs(h, kStripWidth) + join +
                            runs(h, c.label_width) + right);
    write_report_line(run);
}

void write_title(Run& run, const EntryColumns& c) {
    std::string text = c.word + " FIT GRAPH:  " + c.key + " ORDER";
    if (c.key.find("ALPHA") != std::string::npos)
        text += " ON COLUMN: " + fmt_f_left(c.label_column, 5, 0);
    run.rep.line.clear();
    run.rep.line.put(11, text);
    write_report_line(run);
    write_blank_report_line(run);
}

void write_column_headings(Run& run, const EntryColumns& c, const FitScale& scale) {
    write_rule(run, c, box::kDownRight, box::kDownHorizontal, box::kDownLeft);
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    l.put(2, kBar + "ENTRY " + kBar + " MEASURE " + kBar + "  INFIT MEAN-SQUARE  " + kBar +
                 " OUTFIT MEAN-SQUARE  " + kBar + runs(' ', c.label_width) + kBar);
    write_report_line(run);
    EntryColumns heading = c;
    heading.word = c.word.substr(0, 6);
    l.clear();
    l.put(2, kBar + "NUMBER" + kBar + " -     + " + kBar + scale.labels + kBar + scale.labels + kBar +
                 heading_label_area(heading) + kBar);
    write_report_line(run);
    write_rule(run, c, box::kVerticalRight, box::kCross, box::kVerticalLeft);
}

void write_omit_line(Run& run, const EntryColumns& c) {
    const char h = box::kHorizontal;
    run.rep.line.clear();
    run.rep.line.put(2, box::kVerticalRight + std::string(1, h) + "OMIT" + h + box::kCross +
                            runs(h, kMeasureStrip) + box::kCross + runs(h, kStripWidth) +
                            box::kCross + runs(h, kStripWidth) + box::kVerticalLeft +
                            runs(' ', c.label_width) + kBar);
    write_report_line(run);
}

std::string measure_strip(const RowValues& r, const MeasureRange& range) {
    if (r.status == status::kDropped) return "DROPPED  ";
    if (r.status < status::kDropped) return "DELETED  ";
    std::string strip = runs(' ', kMeasureStrip);
    const char symbol = r.status >= status::kAnchored ? 'A' : r.status < 1 ? 'E' : '*';
    const int p = nint(8.0 * (r.v.measure - range.lowest) / (range.highest - range.lowest)) + 1;
    strip[static_cast<std::size_t>(std::clamp(p, 1, kMeasureStrip) - 1)] = symbol;
    return strip;
}

void plot_mean_square(std::string& strip, float mean_square) {
    const int p = static_cast<int>(10.0f * mean_square) + 1;
    strip[static_cast<std::size_t>(std::clamp(p, 1, kStripWidth) - 1)] = '*';
}

struct GraphWalk {
    FitScale scale;
    MeasureRange range;
    ListWalk list;
};

void write_entry_line(ReportContext& ctx, const EntryColumns& c, WorkFiles& files,
                      GraphWalk& walk, int k, int n) {
    Run& run = ctx.run;
    const std::optional<RowValues> taken = take_list_entry(ctx, c, files, walk.list, k, n);
    if (!taken) return;
    const RowValues& r = *taken;
    const int e = std::abs(ctx.order(ctx.side).entries[static_cast<std::size_t>(k - 1)]);
    if (c.fit_order && gap_line_due(run, walk.list, r)) {
        break_page_if_needed(run, run.rep.page_line_counter + 1);
        write_omit_line(run, c);
        walk.list.gap_line_written = true;
    }
    break_page_if_needed(run, run.rep.page_line_counter + 1);
    if (run.rep.page_line_counter == 2) {
        write_title(run, c);
        write_column_headings(run, c, walk.scale);
    }
    std::string infit = walk.scale.strip, outfit = walk.scale.strip;
    if (r.status >= status::kMeasured) {
        plot_mean_square(infit, r.v.infit_mnsq);
        plot_mean_square(outfit, r.v.outfit_mnsq);
        if (outfit[0] == ' ' && c.fit_order) outfit[0] = misfit_letter(k, n);
    }
    run.rep.line.clear();
    run.rep.line.put(2, kBar + fmt_i(e, 6) + kBar + measure_strip(r, walk.range) + kBar + infit +
                            kBar + outfit + kBar + row_label_area(c, r.label, r.model, r.group) +
                            kBar);
    write_report_line(run);
}

}  // namespace

void write_fit_graph(ReportContext& ctx) {
    Run& run = ctx.run;
    const EntryColumns c = choose_entry_columns(ctx);
    EntryOrder& order = ctx.order(ctx.side);
    const int n = std::clamp(order.count, 0, static_cast<std::int32_t>(order.entries.size()));
    GraphWalk walk{fit_scale(ctx.request), measure_range(run, c, order, n), ListWalk{}};
    write_table_heading(run, 1);
    write_title(run, c);
    write_column_headings(run, c, walk.scale);

    WorkFiles files = run_work_files(run);
    for (int k = 1; k <= n; ++k) {
        if (order.entries[static_cast<std::size_t>(k - 1)] < 1) {
            walk.list.omitted = true;
            continue;
        }
        write_entry_line(ctx, c, files, walk, k, n);
    }
    // Entries an earlier sub-table negated (deleted ones) are no gap in a measure, entry or label
    // order: the "OMIT" line marks the gap of a misfit order only.
    if (c.fit_order && walk.list.omitted && !walk.list.gap_line_written) write_omit_line(run, c);
    write_rule(run, c, box::kUpRight, box::kUpHorizontal, box::kUpLeft);
}

}  // namespace korvelan

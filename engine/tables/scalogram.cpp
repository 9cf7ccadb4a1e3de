#include "engine/tables/scalogram.h"

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/entry_sort.h"
#include "engine/report/scale_orientation.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"
#include "engine/tables/response_cells.h"

namespace korvelan {

namespace {

constexpr int kCellLine = 400;

struct Scalogram {
    Run& run;
    WorkFiles files;
    std::vector<std::int32_t> items;  // item position i at items[i - 1]: lowest measure first
    int persons = 0;                  // selected persons
    int digits = 1, cell_width = 1, block = 1;
    bool zoned = false;
    std::vector<std::uint8_t> scores;
};

void sort_lists(ReportContext& ctx) {
    AnalysisArrays& a = ctx.run.arrays;
    if (ctx.item_sort != 'm') {
        ctx.item_sort = 'm';
        ctx.side = ReportSide::Items;
        select_and_sort_entries(ctx.items, a.item_measure, a.items, 'm', a.item_status);
    }
    if (ctx.person_sort != 'M') {
        ctx.person_sort = 'M';
        ctx.side = ReportSide::Persons;
        select_and_sort_entries(ctx.persons, a.person_measure, a.persons, 'M', a.person_status);
    }
}

// Row r (1..d) of the item numbers over (above) or under the block, each digit in the last
// character of its cell: right-aligned from above, from the first digit below.
void write_number_row(Scalogram& s, int a, int b, int r, bool above) {
    ReportLineBuffer& line = s.run.rep.line;
    line.clear();
    line.put(9, std::string(1, box::kVertical));
    for (int i = a; i <= b; ++i) {
        const int e = s.items[static_cast<std::size_t>(i - 1)];
        const std::string number = above ? fmt_i(e, 6) : int_to_text_left(e);
        const std::size_t place = static_cast<std::size_t>(above ? 6 - s.digits + r - 1 : r - 1);
        if (place < number.size())
            line.put(9 + s.cell_width * (i - a + 1), number.substr(place, 1));
    }
    write_report_line(s.run);
}

void write_rule(Scalogram& s, int a, int b) {
    ReportLineBuffer& line = s.run.rep.line;
    line.clear();
    line.put(9, std::string(1, box::kVerticalRight));
    line.put(10, std::string(static_cast<std::size_t>(s.cell_width * (b - a + 1)), box::kHorizontal));
    write_report_line(s.run);
}

void write_page_header(Scalogram& s, int a, int b) {
    Run& run = s.run;
    run.rep.line.clear();
    run.rep.line.put(1, s.zoned ? " GUTTMAN SCALOGRAM OF ZONED RESPONSES: @=0, A=1, B=2,.."
                                : " GUTTMAN SCALOGRAM OF RESPONSES:");
    write_report_line(run);
    run.rep.line.clear();
    run.rep.line.put(1, " " + pad_right(side_word(run, ReportSide::Persons), 7) + box::kVertical +
                            side_word(run, ReportSide::Items));
    write_report_line(run);
    for (int r = 1; r <= s.digits; ++r) write_number_row(s, a, b, r, true);
    write_rule(s, a, b);
}

void write_page_footer(Scalogram& s, int a, int b) {
    write_rule(s, a, b);
    for (int r = 1; r <= s.digits; ++r) write_number_row(s, a, b, r, false);
}

void write_person_line(Scalogram& s, int p, int a, int b) {
    Run& run = s.run;
    const AnalysisArrays& am = run.arrays;
    read_person_scores_record(run, s.files, p, s.scores);
    std::string cells(static_cast<std::size_t>(s.cell_width * (b - a + 1)), ' ');
    for (int i = a; i <= b; ++i) {
        const int item = s.items[static_cast<std::size_t>(i - 1)];
        const int x = s.scores[static_cast<std::size_t>(item - 1)];
        const int g = am.item_group[item];
        const int k = recoded_category(am, g, x);
        if (k < 0) continue;
        std::string text = fmt_i(x, 6).substr(static_cast<std::size_t>(6 - s.cell_width));
        const float difference =
            oriented_difference(run.cv, am.person_measure[p] - am.item_measure[item]);
        if (s.zoned && outside_expected_zone(am.category_half_point_measure, am.group_first_slot[g],
                                             am.group_top_category[g], k, difference))
            for (char& c : text)
                if (c != ' ') c = static_cast<char>(c + 16);
        cells.replace(static_cast<std::size_t>(s.cell_width * (i - a)),
                      static_cast<std::size_t>(s.cell_width), text);
    }
    run.rep.line.clear();
    run.rep.line.put(1, " " + fmt_i(p, 6) + " " + box::kCross + cells);
    write_report_line(run);
}

// A page after the first of the pass opens with the continuation line: the page length is 1
// for the call, so the page always breaks.
void force_page_break(Run& run) {
    const std::int32_t length = run.cv.page_length;
    run.cv.page_length = 1;
    break_page_if_needed(run, 10);
    run.cv.page_length = length;
}

void write_pass(ReportContext& ctx, Scalogram& s) {
    Run& run = s.run;
    if (s.zoned)
        run.host->write_text_window_line(msg::kWritingOutOfZoneResponses +
                                         table_number_text(run));
    write_table_heading(run, 1);
    const int count = static_cast<int>(s.items.size());
    const int page = run.cv.page_length;
    bool first_page = true;
    for (int a = 1; a <= count; a += s.block) {
        const int b = std::min(a + s.block - 1, count);
        show_progress_bar(run, a, count);
        for (int f = 1; f <= s.persons || (first_page && s.persons == 0);) {
            const int header = first_page ? 12 : 10;
            if (!first_page) force_page_break(run);
            first_page = false;
            const int l = page == 0 ? s.persons
                                    : std::min(s.persons, std::max(f, f + page - 2 * s.digits - header));
            write_page_header(s, a, b);
            for (int k = f; k <= l; ++k)
                write_person_line(s, std::abs(ctx.persons.entries[static_cast<std::size_t>(k - 1)]),
                                  a, b);
            write_page_footer(s, a, b);
            f = std::max(l, f) + 1;
        }
        show_progress_bar(run, b, count);
    }
}

}  // namespace

int scalogram_block_items(int line_width, int cell_width) {
    const int k = (line_width - 7) / cell_width;
    return std::clamp(k, 1, kCellLine / cell_width);
}

bool outside_expected_zone(const std::vector<float>& half_points, int first_slot, int top, int x,
                           float difference) {
    if (x > 0 && difference < array_value(half_points, first_slot + x)) return true;
    return x < top && difference > array_value(half_points, first_slot + x + 1);
}

void write_guttman_scalogram(ReportContext& ctx) {
    Run& run = ctx.run;
    run.host->write_text_window_line(msg::kWritingSortedResponses +
                                     table_number_text(run));
    sort_lists(ctx);
    Scalogram s{run, run_work_files(run), {}, 0, 1, 1, 1, false, {}};
    const int n = std::clamp(ctx.items.count, 0, static_cast<std::int32_t>(ctx.items.entries.size()));
    for (int i = n; i >= 1; --i) s.items.push_back(std::abs(ctx.items.entries[static_cast<std::size_t>(i - 1)]));
    s.persons = std::clamp(ctx.persons.count, 0, static_cast<std::int32_t>(ctx.persons.entries.size()));
    int largest = 0;
    for (std::int32_t e : s.items) largest = std::max(largest, e);
    s.digits = digit_count(largest);
    const int top = run.arrays.top_value;
    s.cell_width = top < 10 ? 1 : top < 100 ? 2 : 3;
    s.block = scalogram_block_items(run.cv.line_width, s.cell_width);
    s.scores.assign(static_cast<std::size_t>(std::max(run.arrays.items, 1)), kMissingScore);
    for (bool zoned : {false, true}) {
        s.zoned = zoned;
        write_pass(ctx, s);
    }
}

}  // namespace korvelan

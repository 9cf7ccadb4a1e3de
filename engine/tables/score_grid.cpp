#include <algorithm>
#include <array>
#include <string>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/weighted_sums.h"
#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"
#include "engine/tables/score_table.h"
#include "engine/tables/score_table_parts.h"
#include "engine/tables/structure_summary.h"

namespace korvelan {

namespace {

const std::string kBar(1, box::kVertical);
constexpr int kCellWidth = 23;

void write_rule(Run& run, char left, char join, char right) {
    const std::string run24(24, box::kHorizontal);
    std::string text = " ";
    text += left;
    text += run24 + join + run24 + join + run24 + right;
    write_report_text(run, text);
}

void write_grid_heading(Run& run) {
    std::string text = " " + kBar;
    for (int c = 0; c < 3; ++c) text += " SCORE  MEASURE    S.E. " + kBar;
    write_report_text(run, text);
}

std::string cell_text(Run& run, int score, float measure, float error, bool extreme) {
    const int d = decimals_of_format(run.cv.user_decimals_format);
    std::string text = fmt_i(score, 6) + " " + fmt_f(measure, 8, d) + (extreme ? "E" : " ");
    append_table_number(text, error, 7, d);
    return text;
}

}  // namespace

ScoreMeasures write_score_grid(Run& run, const ScoreRange& r, const ScoreMeasure& lowest,
                               const ScoreMeasure& highest, float start, const ScoreSearch& search,
                               const std::function<void(int, float, char)>& mark) {
    ScoreMeasures out;
    out.measure.assign(static_cast<std::size_t>(r.range) + 1, 0.0f);
    out.error.assign(static_cast<std::size_t>(r.range) + 1, 0.0f);
    write_rule(run, box::kDownRight, box::kDownHorizontal, box::kDownLeft);
    write_grid_heading(run);
    write_rule(run, box::kVerticalRight, box::kCross, box::kVerticalLeft);
    const int rows = r.range / 3 + 1;
    std::array<float, 3> column_start{start, start, start};
    for (int row = 0; row < rows; ++row) {
        std::string text = " " + kBar;
        for (int c = 0; c < 3; ++c) {
            const int k = row + c * rows;
            std::string cell(kCellWidth, ' ');
            if (k <= r.range) {
                const bool extreme = k == 0 || k == r.range;
                const ScoreMeasure m = k == 0            ? lowest
                                       : k == r.range ? highest
                                                      : search(k, column_start[c]);
                column_start[c] = m.measure;
                out.measure[static_cast<std::size_t>(k)] = m.measure;
                out.error[static_cast<std::size_t>(k)] = m.standard_error;
                cell = cell_text(run, k + r.base, m.measure, m.standard_error, extreme);
                mark(k, m.measure, extreme ? 'E' : '*');
            }
            text += cell + " " + kBar;
        }
        break_page_if_needed(run, run.rep.page_line_counter + 3);
        if (run.rep.page_line_counter < 3) {
            write_rule(run, box::kVerticalRight, box::kCross, box::kVerticalLeft);
            write_grid_heading(run);
            write_rule(run, box::kVerticalRight, box::kCross, box::kVerticalLeft);
        }
        write_report_text(run, text);
        show_progress_bar(run, row + 1, rows);
    }
    write_rule(run, box::kUpRight, box::kUpHorizontal, box::kUpLeft);
    return out;
}

namespace {

// The score range of group g over the measured persons.
ScoreRange person_score_range(const AnalysisArrays& a, int g) {
    double top = 0.0, low = 0.0;
    const int f = a.group_first_slot[g];
    for (int n = 1; n <= a.persons; ++n) {
        if (base_status(array_value(a.person_status, n, status::kDeleted)) <= 0) continue;
        const double w = person_weight(a, n);
        top += w * a.group_top_category[g];
        low += w * array_value(a.category_value, f);
    }
    return {weighted_score_nint(top), weighted_score_nint(low), static_cast<float>(top)};
}

int first_member(const AnalysisArrays& a, int g) {
    for (int i = 1; i <= a.items; ++i)
        if (array_value(a.item_status, i, status::kDeleted) > 0 && a.item_group[i] == g) return i;
    return 0;
}

void write_item_grid(ReportContext& ctx, int g, int item, const ScoreRange& r) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    const std::string table = std::string(trim(int_to_text_left(run.rep.request.table)));
    run.host->write_text_window_line(msg::kCalculatingItem + std::string(trim(int_to_text_left(item))) +
                                     msg::kScoresForTable + table);
    if (a.groups > 1) write_rating_scale_group_heading(ctx, g);
    WorkFiles files = run_work_files(run);
    std::string label;
    read_item_label_record(run, files, item, label);
    const std::size_t length = static_cast<std::size_t>(std::clamp(run.cv.itlen, 0, 300));
    label = std::string(trim(character_prefix(label, length)));
    write_report_text(run, " TABLE OF ITEM MEASURES ON COMPLETE NON-EXTREME SAMPLE FOR " +
                               std::string(trim(run.cv.item_plural)) + " LIKE " +
                               std::string(trim(int_to_text_left(item))) + "  " + label);

    const ScoreSearchScale scale = score_search_scale(run, false);
    ScoreEntryList persons = score_person_list(score_search_persons(run), group_model_view(a, g), scale);
    const EstimationResults& est = a.estimation;
    auto search = [&](int k, float start) {
        return find_item_measure_for_score(start, score_row_target(k, r.range, r.maximum),
                                           r.maximum, persons, scale);
    };
    const ScoreMeasure m0 = search(0, est.person_mean_measure + 3.0f * est.item_sd_measure);
    const ScoreMeasure mr = search(r.range, 2.0f * est.item_mean_measure - m0.measure);
    write_score_grid(run, r, m0, mr, est.item_mean_measure, search, [](int, float, char) {});
    write_blank_report_line(run);
}

}  // namespace

void write_item_score_table(ReportContext& ctx) {
    const AnalysisArrays& a = ctx.run.arrays;
    if (a.estimation.active_persons <= 0) return;
    for (int g = 1; g <= a.groups; ++g) {
        if (a.group_top_category[g] == 0) continue;
        const int item = first_member(a, g);
        if (item == 0) continue;
        const ScoreRange r = person_score_range(a, g);
        if (r.range == 0) continue;
        write_item_grid(ctx, g, item, r);
        return;
    }
}

}  // namespace korvelan

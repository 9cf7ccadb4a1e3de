#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/score_frequencies.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/tables/score_table_parts.h"

namespace korvelan {

namespace {

const std::string kBar(1, box::kVertical);
constexpr double kEps = 9.35762297e-14;  // exp(-30)

void write_rule(Run& run, char left, char join, char right) {
    std::string text = " ";
    text += left;
    text += std::string(24, box::kHorizontal) + join + std::string(50, box::kHorizontal) + right;
    write_report_text(run, text);
}

void write_norms_heading(Run& run) {
    write_report_text(run, " " + kBar + " SCORE   MEASURE    S.E." + kBar +
                               "NORMED S.E.  FREQUENCY %   CUM.FREQ. %  PERCENTILE" + kBar);
}

// The percentile of a score with `count` persons and `below` persons at lower scores.
double percentile(int count, int below, int total) {
    if (count == 0 && below == 0) return 0.0;
    if (count == 0 && below == total) return 100.0;
    return std::clamp((count * 0.5 + below) * 100.0 / total, 1.0, 99.0);
}

}  // namespace

bool write_score_norms(ReportContext& ctx, const ScoreRange& r, ScoreMeasures s) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    const std::string table = std::string(trim(int_to_text_left(run.rep.request.table)));
    run.host->write_text_window_line(msg::kCalculatingFrequencies + table);
    write_table_heading(run, 1);
    run.rep.line.clear();
    run.rep.line.put(2, "TABLE OF SAMPLE NORMS (500/100) AND FREQUENCIES CORRESPONDING TO COMPLETE TEST");
    write_report_line(run);

    // Measures that do not rise with the score are a fault of the search: the Table ends
    // here, and a report that lacks the rest of it is named as not written in full.
    const auto frequencies = score_frequencies(a, s.measure, run.cv.uscale);
    if (!frequencies) {
        show_message_line(run, msg::kSortSequenceError);
        if (!run.rs.report_closed)
            note_output_file_failure(run, std::string(msg::kScoreTableOutOfOrderInReport) +
                                              std::string(trim(run.rs.report_file)));
        return false;
    }
    const std::vector<std::int32_t>& count = *frequencies;
    int total = 0;
    for (const std::int32_t c : count) total += c;

    write_rule(run, box::kDownRight, box::kDownHorizontal, box::kDownLeft);
    write_norms_heading(run);
    write_rule(run, box::kVerticalRight, box::kCross, box::kVerticalLeft);
    total = std::max(total, 1);
    const SummarySlot& all = a.summary[19];
    const int d = decimals_of_format(run.cv.user_decimals_format);
    int cumulative = 0;
    for (int k = 0; k <= r.range; ++k) {
        const std::size_t at = static_cast<std::size_t>(k);
        std::string field(75, ' ');
        auto put = [&](int column, const std::string& text) {
            field.replace(static_cast<std::size_t>(column - 1), text.size(), text);
        };
        put(1, fmt_i(k + r.base, 6));
        put(8, fmt_f(s.measure[at], 8, d));
        if (k == 0 || k == r.range) put(16, "E");
        put(18, fmt_f(s.error[at], 7, d));
        put(25, kBar);
        if (all.sd > 0.0f) {
            const double sd = std::max<double>(all.sd, kEps);
            put(27, fmt_i(nint((s.measure[at] - all.mean) * 100.0 / sd + 500.0), 4));
            put(32, fmt_i(nint(s.error[at] * 100.0 / sd), 4));
        }
        const int c = count[at];
        put(38, fmt_i(c, 6));
        put(45, fmt_f(c * 100.0 / total, 5, 1));
        put(70, fmt_i(nint(percentile(c, cumulative, total)), 3));
        cumulative += c;
        put(52, fmt_i(cumulative, 6));
        put(59, fmt_f(cumulative * 100.0 / total, 5, 1));
        break_page_if_needed(run, run.rep.page_line_counter + 3);
        if (run.rep.page_line_counter < 3) {
            write_rule(run, box::kVerticalRight, box::kCross, box::kVerticalLeft);
            write_norms_heading(run);
            write_rule(run, box::kVerticalRight, box::kCross, box::kVerticalLeft);
        }
        write_report_text(run, " " + kBar + field + kBar);
    }
    write_rule(run, box::kUpRight, box::kUpHorizontal, box::kUpLeft);
    return true;
}

}  // namespace korvelan

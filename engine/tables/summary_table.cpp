#include "engine/tables/summary_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/summary_stats.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"
#include "engine/tables/summary_slots.h"

namespace korvelan {

namespace {

using Slots = std::array<SummarySlot, 25>;


// How many entries of one side have each status that is not measured.
struct StatusCounts {
    int maximum = 0;  // extreme maximum score
    int minimum = 0;  // extreme minimum score
    int lacking = 0;  // no usable responses
    int deleted = 0;
    int extreme() const { return maximum + minimum; }
};

// What one half of the table shows beyond the slots themselves.
struct SideNumbers {
    StatusCounts counts;
    int measured = 0;  // measured entries that are not extreme
    SeparationReliability real, model;
    float error_of_mean = 0.0f;
    SeparationReliability real_all, model_all;  // the extreme entries included
};

// ---- numbers ----------------------------------------------------------------------------------

StatusCounts count_statuses(const std::vector<std::int8_t>& status, int entries) {
    StatusCounts c;
    for (int n = 1; n <= entries; ++n) {
        const int s = base_status(array_value(status, n, status::kDeleted));
        if (s == status::kExtremeMaximum)
            ++c.maximum;
        else if (s == status::kExtremeMinimum)
            ++c.minimum;
        else if (s == status::kDropped)
            ++c.lacking;
        else if (s < status::kDropped)
            ++c.deleted;
    }
    return c;
}

SeparationReliability separation(const SummarySlot& errors, const SummarySlot& measures) {
    return compute_separation_reliability(errors.sd, errors.mean, measures.sd);
}

SideNumbers side_numbers(const Slots& slot, const std::vector<std::int8_t>& status, int entries,
                         int measured, const SideSlots& s) {
    SideNumbers r;
    r.counts = count_statuses(status, entries);
    r.measured = measured;
    const SummarySlot& measures = slot[s.first + 2];
    r.real = separation(slot[s.real_error], measures);
    r.model = separation(slot[s.first + 3], measures);
    r.error_of_mean = measures.sd / std::sqrt(static_cast<float>(std::max(measured - 1, 1)));
    const SummarySlot& all = slot[s.with_extremes];
    r.real_all = separation(slot[s.with_extremes + 2], all);
    r.model_all = separation(slot[s.with_extremes + 1], all);
    return r;
}

// The share of the measured items' responses that the mean measured person made, in percent
// (99.9 at most, so that an almost complete data set never shows 100); none when every person
// answered every measured item, when weights of either side are present, or with no responses.
std::optional<float> valid_response_percentage(const Run& run) {
    const float mean_count = run.arrays.summary[2].mean;
    const int items = run.arrays.estimation.active_items;
    if (run.input.person_weights_present || run.input.item_weights_present) return std::nullopt;
    if (!(mean_count > 0.0f) || items <= 0 || mean_count == static_cast<float>(items))
        return std::nullopt;
    return std::min(mean_count * 100.0f / static_cast<float>(items), 99.9f);
}

// A trimming limit as the estimation applied it, |CUTLO= / USCALE=| logits, in user units.
float shown_cut_limit(float limit, float uscale) {
    const float scale = uscale == 0.0f ? 1.0f : uscale;
    return std::fabs(limit / scale) * scale;
}

// ---- lines --------------------------------------------------------------------------------------

const std::string kBar(1, box::kVertical);
constexpr int kRightFrame = 80;
constexpr const char* kMeanFormat = "(F7.2)";
constexpr const char* kScalingFormat = "(F8.3)";

enum class Block { Mean, Sd, Maximum, Minimum };

float block_value(const SummarySlot& s, Block b) {
    switch (b) {
        case Block::Mean:
            return s.mean;
        case Block::Sd:
            return s.sd;
        case Block::Maximum:
            return s.maximum;
        case Block::Minimum:
            return s.minimum;
    }
    return 0.0f;
}

std::string left_text(float x, const char* format) {
    return std::string(trim(real_to_text_left(x, format)));
}
std::string count_text(std::int64_t n) {
    return std::string(trim(int_to_text_left(n)));
}

ReportLineBuffer& fresh_line(Run& run) {
    run.rep.line.clear();
    return run.rep.line;
}

// Closes the box line with its right-hand frame and writes it.
void write_framed(Run& run) {
    run.rep.line.put(kRightFrame, kBar);
    write_report_line(run);
}

void rule_line(Run& run, char left, char right) {
    fresh_line(run).put(2, left + std::string(77, box::kHorizontal) + right);
    write_report_line(run);
}

void column_headings(Run& run, const char* error_word) {
    const std::string& fit = run.cv.standardized_fit_label;
    ReportLineBuffer& l = fresh_line(run);
    l.put(2, kBar);
    l.put(14, "RAW");
    l.put(43, error_word);
    l.put(57, "INFIT");
    l.put(70, "OUTFIT");
    write_framed(run);
    l.clear();
    l.put(2, kBar);
    l.put(13, "SCORE");
    l.put(23, "COUNT");
    l.put(33, "MEASURE");
    l.put(43, "ERROR");
    l.put(54, "MNSQ");
    l.put(61, fit);
    l.put(68, "MNSQ");
    l.put(75, fit);
    write_framed(run);
}

void statistics_row(Run& run, const char* label, Block b, const SideSlots& s, int error_slot) {
    const Slots& slot = run.arrays.summary;
    auto v = [&](int k) { return block_value(slot[k], b); };
    ReportLineBuffer& l = fresh_line(run);
    std::string t = kBar + " " + label;
    append_table_number(t, v(s.first), 10, 1);
    append_table_number(t, v(s.first + 1), 10, 1);
    append_table_number(t, v(s.first + 2), 12, 2);
    append_table_number(t, v(error_slot), 8, 2);
    l.put(2, t);
    t = fmt_f(v(s.first + 4), 7, 2);
    append_table_number(t, v(s.first + 5), 7, 1);
    append_table_number(t, v(s.first + 6), 7, 2);
    append_table_number(t, v(s.first + 7), 7, 1);
    l.put(51, t);
    write_framed(run);
}

void separation_line(Run& run, const char* kind, const SeparationReliability& r,
                     const std::string& word) {
    ReportLineBuffer& l = fresh_line(run);
    l.put(2, with_table_number(kBar + kind + " RMSE", r.rmse, 7, 2));
    l.put(22, with_table_number("ADJ.SD", r.adjusted_sd, 8, 2));
    l.put(38, with_table_number("SEPARATION", r.separation, 6, 2));
    l.put(56, with_table_number(pad_right(word, 6) + " RELIABILITY", r.reliability, 5, 2));
    write_framed(run);
}

struct SideWords {
    std::string word, plural;  // trimmed
};

// The box of one side, from the title to the bottom rule.
void side_box(Run& run, const SideNumbers& n, const SideSlots& s, const SideWords& w) {
    const bool real = run.cv.rea_flag == 'Y';
    const Slots& slot = run.arrays.summary;
    const int k = n.counts.extreme();
    std::string title = "SUMMARY OF";
    append_table_integer(title, n.measured, 7);
    fresh_line(run).put(7, title + " MEASURED" +
                               (k >= 1 ? " (NON-EXTREME) " : " ") + w.plural);
    write_report_line(run);
    rule_line(run, box::kDownRight, box::kDownLeft);
    column_headings(run, real ? " REAL" : "MODEL");
    rule_line(run, box::kVerticalRight, box::kVerticalLeft);
    const int error_slot = real ? s.real_error : s.first + 3;
    statistics_row(run, "MEAN", Block::Mean, s, error_slot);
    statistics_row(run, "S.D.", Block::Sd, s, error_slot);
    statistics_row(run, "MAX.", Block::Maximum, s, error_slot);
    statistics_row(run, "MIN.", Block::Minimum, s, error_slot);
    rule_line(run, box::kVerticalRight, box::kVerticalLeft);
    separation_line(run, " REAL", n.real, w.word);
    separation_line(run, "MODEL", n.model, w.word);
    fresh_line(run).put(
        2, kBar + " S.E. OF " + w.word + " MEAN = " + left_text(n.error_of_mean, kMeanFormat));
    write_framed(run);
    if (k >= 1) {
        const SummarySlot& all = slot[s.with_extremes];
        fresh_line(run).put(2, kBar + " WITH " + count_text(k) +
                                   " EXTREME = " + count_text(k + n.measured) + " " + w.plural +
                                   "  MEAN = " + left_text(all.mean, kMeanFormat) +
                                   ",  S.D. = " + left_text(all.sd, kMeanFormat));
        write_framed(run);
        separation_line(run, " REAL", n.real_all, w.word);
        separation_line(run, "MODEL", n.model_all, w.word);
    }
    rule_line(run, box::kUpRight, box::kUpLeft);
}

void count_line(Run& run, int position, const char* text, std::int64_t count,
                const std::string& plural) {
    if (count <= 0) return;
    std::string line = text;
    append_table_integer(line, count, 7);
    fresh_line(run).put(position, line + " " + plural);
    write_report_line(run);
}

// The counts under the box; beyond capacity is 0 for items.
void count_lines(Run& run, const StatusCounts& c, std::int64_t beyond, const std::string& plural) {
    count_line(run, 4, "MAXIMUM EXTREME SCORE:", c.maximum, plural);
    count_line(run, 4, "MINIMUM EXTREME SCORE:", c.minimum, plural);
    count_line(run, 8, "LACKING RESPONSES:", c.lacking, plural);
    count_line(run, 10, "BEYOND CAPACITY:", beyond, plural);
    count_line(run, 18, "DELETED:", c.deleted, plural);
}

void valid_responses_line(Run& run) {
    const std::optional<float> percentage = valid_response_percentage(run);
    if (!percentage) return;
    const ControlVariables& cv = run.cv;
    ReportLineBuffer& l = fresh_line(run);
    l.put(10, "VALID RESPONSES: " + fmt_f(*percentage, 5, 1) + "%");
    if (cv.cut_low != 0.0f || cv.cut_high != 0.0f)
        l.put(40, "CUTLO=" + fmt_f(shown_cut_limit(cv.cut_low, cv.uscale), 5, 1) +
                      " CUTHI=" + fmt_f(shown_cut_limit(cv.cut_high, cv.uscale), 5, 1));
    write_report_line(run);
}

}  // namespace

void write_measure_summary_table(ReportContext& ctx) {
    Run& run = ctx.run;
    const AnalysisArrays& a = run.arrays;
    const EstimationResults& est = a.estimation;
    write_table_heading(run, 1);

    const SideWords persons{std::string(trim(run.cv.person_word)),
                            std::string(trim(run.cv.person_plural))};
    const SideNumbers p =
        side_numbers(a.summary, a.person_status, a.persons, est.active_persons, kPersonSlots);
    side_box(run, p, kPersonSlots, persons);
    const std::int64_t beyond = std::max<std::int64_t>(run.input.records_input - a.persons, 0);
    count_lines(run, p.counts, beyond, persons.plural);
    valid_responses_line(run);
    break_page_if_needed(run, run.rep.page_line_counter + 14);
    write_blank_report_line(run);

    const SideWords items{std::string(trim(run.cv.item_word)),
                          std::string(trim(run.cv.item_plural))};
    const SideNumbers i =
        side_numbers(a.summary, a.item_status, a.items, est.active_items, kItemSlots);
    side_box(run, i, kItemSlots, items);
    count_lines(run, i.counts, 0, items.plural);

    fresh_line(run).put(1, " UMEAN=" + left_text(run.cv.umean, kScalingFormat) +
                               " USCALE=" + left_text(run.cv.uscale, kScalingFormat));
    write_report_line(run);
}

}  // namespace korvelan

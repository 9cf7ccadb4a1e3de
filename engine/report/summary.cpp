#include "engine/report/summary.h"

#include <string>

#include "engine/estimation/summary_stats.h"
#include "engine/report/iteration_report.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr std::size_t kNoteLength = 100;

void frame(Run& run, char left, char right) {
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    l.c[1] = left;
    for (int col = 3; col <= 78; ++col) l.c[col - 1] = box::kHorizontal;
    l.c[78] = right;
    write_report_line_to_summary_file(run);
}

// The heading of a block, written straight to ZRR: the plural word, how many were input and
// how many measured, and the two fit column titles.
void block_heading(Run& run, const std::string& plural, int input, int measured) {
    ReportLineBuffer l;
    l.put(2, std::string(1, box::kVertical) + " " + std::string(trim(plural)) + " " + fmt_i(input, 7) +
                 msg::kSummaryInput + fmt_i(measured, 7) + msg::kSummaryMeasured);
    l.put(56, msg::kSummaryInfit);
    l.put(70, msg::kSummaryOutfit);
    l.c[78] = box::kVertical;
    write_unit_line(run, unit::kSummary, trim_right(l.view(1, 80)));
}

// A MEAN or S.D. row from the slots score, count, measure, real error, the two mean-squares and
// the two standardized values.
void statistics_row(Run& run, const char* label, const AnalysisArrays& a, const int (&slots)[8],
                    bool mean) {
    auto v = [&](int k) { return mean ? a.summary[slots[k]].mean : a.summary[slots[k]].sd; };
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    l.put(2, std::string(1, box::kVertical) + " " + label);
    l.put(10, fmt_f(v(0), 8, 1));
    l.put(20, fmt_f(v(1), 8, 1));
    std::string t = fmt_f(v(2), 8, 2);
    append_table_number(t, v(3), 8, 2);
    l.put(32, t);
    t = fmt_f(v(4), 7, 2);
    append_table_number(t, v(5), 7, 1);
    append_table_number(t, v(6), 7, 2);
    append_table_number(t, v(7), 7, 1);
    l.put(51, t);
    l.c[78] = box::kVertical;
    write_report_line_to_summary_file(run);
}

SeparationReliability reliability_row(Run& run, const AnalysisArrays& a, int error_slot,
                                      int measure_slot, const std::string& word) {
    const SummarySlot& e = a.summary[error_slot];
    const SeparationReliability r = compute_separation_reliability(e.sd, e.mean, a.summary[measure_slot].sd);
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    l.put(2, with_table_number(std::string(1, box::kVertical) + msg::kSummaryReal + msg::kSummaryRmse, r.rmse, 7, 2));
    l.put(22, with_table_number(msg::kSummaryAdjustedSd, r.adjusted_sd, 8, 2));
    l.put(38, with_table_number(msg::kSummarySeparation, r.separation, 6, 2));
    l.put(56, with_table_number(pad_right(trim(word), 6) + " " + msg::kSummaryReliability, r.reliability, 5, 2));
    l.c[78] = box::kVertical;
    write_report_line_to_summary_file(run);
    return r;
}

std::string note_part(const std::string& word, const SeparationReliability& r) {
    return std::string(trim(word)) + msg::kNoteSeparation + fmt_f_left(r.separation, 10, 2) +
           msg::kNoteReliability + fmt_f_left(r.reliability, 10, 2);
}

const char* fit_label(const EstimationSettings& settings) {
    if (settings.local == 'L') return msg::kFitLabelLogarithm;
    return settings.local == 'Y' ? msg::kFitLabelRescaled : msg::kFitLabelCubeRoot;
}

}  // namespace

void write_measure_summary(Run& run, const EstimationSettings& settings) {
    const AnalysisArrays& a = run.arrays;
    const EstimationResults& est = a.estimation;
    open_unit(run, unit::kSummary, work_file_path(run, "ZRR"), OpenMode::ReadWrite);
    write_unit_line(run, unit::kSummary, trim_right(" " + pad_right(run.cv.title, 60)));
    frame(run, box::kDownRight, box::kDownLeft);

    block_heading(run, run.cv.person_plural, a.persons, est.active_persons);
    ReportLineBuffer& l = run.rep.line;
    l.clear();
    l.c[1] = box::kVertical;
    l.put(13, msg::kSummaryScore);
    l.put(23, msg::kSummaryCount);
    l.put(33, msg::kSummaryMeasure);
    l.put(43, msg::kSummaryError);
    l.put(53, msg::kSummaryInfitMnsq);
    l.put(61, fit_label(settings));
    l.put(67, msg::kSummaryOutfitMnsq);
    l.put(75, fit_label(settings));
    l.c[78] = box::kVertical;
    write_report_line_to_summary_file(run);
    const int person_slots[8] = {1, 2, 3, 17, 5, 6, 7, 8};
    statistics_row(run, msg::kSummaryMean, a, person_slots, true);
    statistics_row(run, msg::kSummarySd, a, person_slots, false);
    const SeparationReliability persons = reliability_row(run, a, 17, 3, run.cv.person_word);
    std::string note = note_part(run.cv.person_word, persons);

    frame(run, box::kVerticalRight, box::kVerticalLeft);
    block_heading(run, run.cv.item_plural, a.items, est.active_items);
    const int item_slots[8] = {9, 10, 11, 18, 13, 14, 15, 16};
    statistics_row(run, msg::kSummaryMean, a, item_slots, true);
    statistics_row(run, msg::kSummarySd, a, item_slots, false);
    const SeparationReliability items = reliability_row(run, a, 18, 11, run.cv.item_word);
    note += msg::kNoteJoin + note_part(run.cv.item_word, items);
    run.arrays.estimation.separation_note = note.substr(0, kNoteLength);
    frame(run, box::kUpRight, box::kUpLeft);
}

}  // namespace korvelan

#include "engine/analyses/subtotal_texts.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/estimation/summary_stats.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

std::string rule(std::size_t n) { return std::string(n, box::kHorizontal); }
const std::string kBar(1, box::kVertical);

std::string count_text(double x, std::string_view format) {
    return std::string(trim(format_count_text(static_cast<float>(x), format)));
}
std::string f72(double x) { return std::string(trim(fmt_f(x, 7, 2))); }

SeparationReliability separation(const SubtotalGroup& g, int error, int measure) {
    return compute_separation_reliability(static_cast<float>(g.at(error).sd()),
                                          static_cast<float>(g.at(error).mean),
                                          static_cast<float>(g.at(measure).sd()));
}

double error_of_mean(const SubtotalCell& c) { return c.sd() / std::sqrt(std::max(c.weight - 1, 1.0)); }

const std::string& word_of(const Run& run, ReportSide side) {
    return side == ReportSide::Items ? run.cv.item_word : run.cv.person_word;
}
std::string plural_of(const Run& run, ReportSide side) {
    return std::string(trim(side == ReportSide::Items ? run.cv.item_plural : run.cv.person_plural));
}

// A line of the group table: its text, and "│" at column L + 3.
void write_group_line(Run& run, std::size_t width, std::string line) {
    place_text(line, width + 3, kBar);
    write_wide_report_line(run, line);
}

void put(std::string& line, std::size_t column, const std::string& text) {
    place_text(line, column, text);
}

// A line of a summary block: "│" in column 80 once the fields are placed.
void write_block_line(Run& run, std::string line) {
    place_text(line, 80, kBar);
    write_wide_report_line(run, line);
}

void write_separation_line(Run& run, const std::string& kind, const std::string& word6, SeparationReliability s) {
    std::string line = with_table_number(" " + kBar + kind + " RMSE", s.rmse, 7, 2);
    put(line, 22, with_table_number("ADJ.SD", s.adjusted_sd, 8, 2));
    put(line, 38, with_table_number("SEPARATION", s.separation, 6, 2));
    put(line, 56, with_table_number(pad_right(word6, 6) + " RELIABILITY", s.reliability, 5, 2));
    write_block_line(run, line);
}

void write_statistic_rows(Run& run, const SubtotalGroup& g) {
    const int error = run.cv.rea_flag == 'Y' ? slot::kRealError : slot::kError;
    const int slots[] = {slot::kScore, slot::kCount, slot::kMeasure, error,
                         slot::kInfit, slot::kInfitZ, slot::kOutfit, slot::kOutfitZ};
    const char* names[] = {"MEAN", "S.D.", "MAX.", "MIN."};
    for (int row = 0; row < 4; ++row) {
        auto value = [&](int k) {
            const SubtotalCell& c = g.at(slots[k]);
            return row == 0 ? c.mean : row == 1 ? c.sd() : row == 2 ? c.maximum : c.minimum;
        };
        std::string line = " " + kBar + " " + names[row];
        append_table_number(line, value(0), 10, 1);
        append_table_number(line, value(1), 10, 1);
        append_table_number(line, value(2), 12, 2);
        append_table_number(line, value(3), 8, 2);
        std::string fit = fmt_f(value(4), 7, 2);
        append_table_number(fit, value(5), 7, 1);
        append_table_number(fit, value(6), 7, 2);
        append_table_number(fit, value(7), 7, 1);
        put(line, 51, fit);
        write_block_line(run, line);
    }
}

void write_extreme_counts(Run& run, const SubtotalGroup& g, const std::string& plural) {
    const struct {
        double weight;
        std::size_t column;
        const char* text;
    } lines[] = {{g.extreme_maximum, 4, "MAXIMUM EXTREME SCORE: "},
                 {g.extreme_minimum, 4, "MINIMUM EXTREME SCORE: "},
                 {g.lacking, 8, "LACKING RESPONSES: "},
                 {g.deleted, 18, "DELETED: "}};
    for (const auto& l : lines) {
        if (l.weight <= 0) continue;
        std::string line;
        put(line, l.column, l.text + count_text(l.weight, "(F10.2)") + " " + plural);
        write_wide_report_line(run, line);
    }
}

}  // namespace

void write_subtotal_group_table(Run& run, ReportSide side, const LabelCodeTable& groups,
                                const std::vector<SubtotalGroup>& stats, const std::vector<int>& order) {
    const std::size_t width = static_cast<std::size_t>(std::max(groups.width(), 4)) + 53;
    write_wide_report_line(run, std::string(" ") + box::kDownRight + rule(width) + box::kDownLeft);
    write_group_line(run, width, " " + kBar + " " + pad_right(word_of(run, side), 6) +
                                     "  MEAN     S.E.  OBSERVED  MEDIAN   REAL");
    write_group_line(run, width, " " + kBar + " COUNT  MEASURE   MEAN    S.D.          SEPARATION  CODE");
    write_wide_report_line(run, std::string(" ") + box::kVerticalRight + rule(width) + box::kVerticalLeft);
    for (int g : order) {
        const SubtotalGroup& s = stats[static_cast<std::size_t>(g - 1)];
        const SubtotalCell& all = s.at(slot::kAllMeasures);
        std::string line = " " + kBar;
        // The count without decimals that are zero, or with fewer where they do not fit.
        const std::string count = count_text(s.count(), "(F7.2)");
        put(line, 3, count.size() <= 7 ? pad_left(count, 7) : fmt_f(s.count(), 7, 2));
        put(line, 11, fmt_f(all.mean, 7, 2));
        put(line, 19, all.weight <= 1 ? pad_left("-", 7) : fmt_f(error_of_mean(all), 7, 2));
        put(line, 27, fmt_f(all.sd(), 7, 2));
        put(line, 35, fmt_f(s.median, 7, 2));
        put(line, 43, fmt_f(separation(s, slot::kAllRealErrors, slot::kAllMeasures).separation, 7, 2));
        put(line, 55, groups.codes()[static_cast<std::size_t>(g - 1)]);
        write_group_line(run, width, line);
    }
    write_wide_report_line(run, std::string(" ") + box::kUpRight + rule(width) + box::kUpLeft);
    write_report_text(run, " UMEAN=" + count_text(run.cv.umean, "(F8.3)") + " USCALE=" +
                               count_text(run.cv.uscale, "(F8.3)"));
    write_blank_report_line(run);
}

void write_subtotal_summary_block(Run& run, ReportSide side, const LabelCodeTable& groups,
                                  const std::vector<SubtotalGroup>& stats, int g) {
    const SubtotalGroup& s = stats[static_cast<std::size_t>(g - 1)];
    const std::string plural = plural_of(run, side);
    const std::string n = std::string(trim(int_to_text_left(nint(s.at(slot::kMeasure).weight))));
    const std::string word(trim(word_of(run, side)));
    const std::string word6 = pad_right(word_of(run, side), 6);
    if (g == 1) write_report_text(run, " TOTAL FOR ALL " + n + " NON-EXTREME " + plural);
    else
        write_wide_report_line(run, " \"" + groups.codes()[static_cast<std::size_t>(g - 1)] + "\" SUBTOTAL FOR " + n +
                                        " NON-EXTREME " + plural);
    write_report_text(run, std::string(" ") + box::kDownRight + rule(77) + box::kDownLeft);
    std::string line = " " + kBar;
    put(line, 14, "RAW");
    put(line, 43, run.cv.rea_flag == 'Y' ? " REAL" : "MODEL");
    put(line, 57, "INFIT");
    put(line, 70, "OUTFIT");
    write_block_line(run, line);
    const std::string z = pad_right(run.cv.standardized_fit_label, 4);
    line = " " + kBar;
    for (const auto& [column, text] : {std::pair<std::size_t, std::string>{13, "SCORE"}, {23, "COUNT"}, {33, "MEASURE"},
                                       {43, "ERROR"}, {54, "MNSQ"}, {61, z}, {68, "MNSQ"}, {75, z}})
        put(line, column, text);
    write_block_line(run, line);
    write_report_text(run, std::string(" ") + box::kVerticalRight + rule(77) + box::kVerticalLeft);
    write_statistic_rows(run, s);
    write_report_text(run, std::string(" ") + box::kVerticalRight + rule(77) + box::kVerticalLeft);
    write_separation_line(run, " REAL", word6, separation(s, slot::kRealError, slot::kMeasure));
    write_separation_line(run, "MODEL", word6, separation(s, slot::kError, slot::kMeasure));
    const SubtotalCell& measured = s.at(slot::kMeasure);
    if (measured.weight > 1)
        write_block_line(run, " " + kBar + " S.E. OF " + word + " MEAN = " + f72(error_of_mean(measured)));
    const SubtotalCell& all = s.at(slot::kAllMeasures);
    if (s.at(slot::kScore).weight < all.weight) {
        write_block_line(run, " " + kBar + " WITH " + count_text(s.extreme_maximum + s.extreme_minimum, "(F7.2)") +
                                  " EXTREME = " + count_text(s.count(), "(F7.2)") + " " + plural +
                                  "  MEAN = " + f72(all.mean) + "  S.D. = " + f72(all.sd()) +
                                  "  MEDIAN = " + f72(s.median));
        write_separation_line(run, " REAL", word6, separation(s, slot::kAllRealErrors, slot::kAllMeasures));
        write_separation_line(run, "MODEL", word6, separation(s, slot::kAllErrors, slot::kAllMeasures));
        if (all.weight > 1)
            write_block_line(run, " " + kBar + " S.E. OF " + word + " MEAN = " + f72(error_of_mean(all)));
    } else {
        write_block_line(run, " " + kBar + " MEDIAN = " + f72(s.median));
    }
    write_report_text(run, std::string(" ") + box::kUpRight + rule(77) + box::kUpLeft);
    write_extreme_counts(run, s, plural);
    write_blank_report_line(run);
}

}  // namespace korvelan

#include "engine/outfiles/score_file.h"

#include <algorithm>
#include <string>

#include "engine/outfiles/output_frame.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr const char* kNormsHeading =
    " TABLE OF SAMPLE NORMS (500/100) AND FREQUENCIES CORRESPONDING TO COMPLETE TEST";
constexpr const char* kColumnHeading =
    ";SCORE   MEASURE    S.E. INFO   NORMED S.E.  FREQUENCY %   CUM.FREQ. %  PERCENTILE";
constexpr std::size_t kRecordWidth = 100;

void write_headings(OutputFile& file, const Run& run, const OutputSettings& s) {
    const std::string word(trim(s.person_word)), title(trim(s.title)), date(trim(run.rs.run_date));
    if (!is_csv(s)) {
        file.write("; " + word + " SCORE FILE FOR");
        file.write(";" + title);
        file.write(";" + date);
        file.write(std::string(";") + kNormsHeading);
        file.write(kColumnHeading);
        return;
    }
    auto quoted_line = [&](std::initializer_list<std::string_view> texts) {
        std::string line;
        for (std::string_view t : texts) {
            if (!line.empty()) line += ',';
            append_quoted(line, t);
        }
        compress_csv_line(line, s.csv);
        file.write(line);
    };
    quoted_line({";", word, "SCORE FILE FOR"});
    quoted_line({";", title});
    quoted_line({";", date});
    std::string norms;
    append_quoted(norms, std::string(";") + kNormsHeading);
    file.write(norms);
    quoted_line({";SCORE", "MEASURE", "S.E.", "INFO", "NORMED", "S.E.", "FREQUENCY", "%", "CUM.FREQ.", "%",
                 "PERCENTILE"});
}

// The text placed so that it ends at column `last` of the record.
void put_ending_at(std::string& line, std::size_t last, const std::string& text) {
    line.replace(last - text.size(), text.size(), text);
}

std::string int_field(std::int64_t n, int w) {
    std::string f;
    append_int_field(f, n, w);
    return f;
}

std::string fixed_field(float x, int w, int d) {
    std::string f;
    append_fixed_field(f, x, w, d);
    return f;
}

// The CSV record: the runs of non-blank characters of the fixed record joined by commas.
std::string csv_record(const std::string& fixed, char csv) {
    std::string out;
    for (std::size_t at = 0; at < fixed.size();) {
        const std::size_t from = fixed.find_first_not_of(' ', at);
        if (from == std::string::npos) break;
        const std::size_t to = std::min(fixed.find(' ', from), fixed.size());
        if (!out.empty()) out += ',';
        out.append(fixed, from, to - from);
        at = to;
    }
    compress_csv_line(out, csv);
    return out;
}

// The percentile of a row with `count` persons and `below` persons at lower scores.
double percentile(std::int32_t count, std::int32_t below, std::int32_t total) {
    if (count == 0 && below == 0) return 0.0;
    if (count == 0 && below == total) return 100.0;
    return std::clamp((count * 0.5 + below) * 100.0 / total, 1.0, 99.0);
}

}  // namespace

void write_person_score_file(Run& run, const OutputSettings& s, const AnalysisArrays& a) {
    if (run.host) run.host->write_text_window_line(msg::kCalculatingScoreMeasures);
    const TestScoreRange r = test_score_range(a);
    if (r.range <= 0) return;
    OutputFile file(run, s.scfile);
    if (!file.open(msg::kMenuEditScfile)) return;
    if (heading_lines(s)) write_headings(file, run, s);
    const ScoreRows rows = person_measures_for_scores(run, r);
    if (run.host) run.host->write_text_window_line(msg::kComputingScoreFrequencies);
    const auto frequencies = score_frequencies(a, rows.measure, s.uscale);
    if (!frequencies) {
        show_message_line(run, msg::kScoreSortSequenceError);
        return;
    }
    std::int32_t total = 0;
    for (std::int32_t f : *frequencies) total += f;
    total = std::max(total, 1);
    const int d = measure_decimals(s);
    const float mean = a.estimation.person_mean_measure, sd = a.estimation.person_sd_measure;
    std::int32_t cumulative = 0;
    for (std::int32_t k = 0; k <= r.range && file.ok(); ++k) {
        const auto at = static_cast<std::size_t>(k);
        const std::int32_t f = (*frequencies)[at];
        std::string line(kRecordWidth, ' ');
        put_ending_at(line, 6, int_field(r.bottom + k, 6));
        put_ending_at(line, 15, fixed_field(rows.measure[at], 8, d));
        put_ending_at(line, 24, fixed_field(rows.error[at], 7, d));
        put_ending_at(line, 31, fixed_field(rows.information[at], 7, d));
        if (sd > 0.0f) {
            put_ending_at(line, 36, int_field(nint(500.0 + 100.0 * (rows.measure[at] - mean) / sd), 4));
            put_ending_at(line, 41, int_field(nint(100.0 * rows.error[at] / sd), 4));
        }
        put_ending_at(line, 49, int_field(f, 6));
        put_ending_at(line, 55, fixed_field(static_cast<float>(100.0 * f / total), 5, 1));
        put_ending_at(line, 78, int_field(nint(percentile(f, cumulative, total)), 3));
        cumulative += f;
        put_ending_at(line, 63, int_field(cumulative, 6));
        put_ending_at(line, 69, fixed_field(static_cast<float>(100.0 * cumulative / total), 5, 1));
        file.write(is_csv(s) ? csv_record(line, s.csv) : line);
    }
    file.close();
}

}  // namespace korvelan

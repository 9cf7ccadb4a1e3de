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

// The numbers of one row of the score file.
struct ScoreRow {
    std::int64_t score = 0;
    float measure = 0, error = 0, information = 0;
    bool normed = false;  // the norm fields are blank when the person S.D. is 0
    std::int32_t norm = 0, norm_error = 0, frequency = 0, cumulative = 0, percentile = 0;
    float percent = 0, cumulative_percent = 0;
};

std::string fixed_record(const ScoreRow& r, int d) {
    std::string line(kRecordWidth, ' ');
    put_ending_at(line, 6, int_field(r.score, 6));
    put_ending_at(line, 15, fixed_field(r.measure, 8, d));
    put_ending_at(line, 24, fixed_field(r.error, 7, d));
    put_ending_at(line, 31, fixed_field(r.information, 7, d));
    if (r.normed) {
        put_ending_at(line, 36, int_field(r.norm, 4));
        put_ending_at(line, 41, int_field(r.norm_error, 4));
    }
    put_ending_at(line, 49, int_field(r.frequency, 6));
    put_ending_at(line, 55, fixed_field(r.percent, 5, 1));
    put_ending_at(line, 78, int_field(r.percentile, 3));
    put_ending_at(line, 63, int_field(r.cumulative, 6));
    put_ending_at(line, 69, fixed_field(r.cumulative_percent, 5, 1));
    return line;
}

// The CSV record: one field for each name of the column heading, every number in full, the
// norm fields empty when they are blank in the fixed record.
std::string csv_record(const ScoreRow& r, int d, char csv) {
    std::string out;
    auto number = [&](float x, int decimals) {
        append_full_number(out, x, decimals);
        out += ',';
    };
    auto integer = [&](std::int64_t n, bool shown) {
        if (shown) append_integer_field(out, n, 0, true);
        out += ',';
    };
    integer(r.score, true);
    number(r.measure, d);
    number(r.error, d);
    number(r.information, d);
    integer(r.norm, r.normed);
    integer(r.norm_error, r.normed);
    integer(r.frequency, true);
    number(r.percent, 1);
    integer(r.cumulative, true);
    number(r.cumulative_percent, 1);
    append_integer_field(out, r.percentile, 0, true);
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
    const ScoreRows rows = person_measures_for_scores(run, r);
    if (run.host) run.host->write_text_window_line(msg::kComputingScoreFrequencies);
    const auto frequencies = score_frequencies(a, rows.measure, s.uscale);
    // Measures that do not rise with the score are a fault of the search: the file is not
    // written, so the earlier file of its name stays, and the run names it as not written.
    if (!frequencies) {
        show_message_line(run, msg::kScoreSortSequenceError);
        note_output_file_failure(run, std::string(msg::kScoreTableOutOfOrder) + std::string(trim(s.scfile)));
        return;
    }
    OutputFile file(run, s.scfile);
    if (!file.open(msg::kMenuEditScfile)) return;
    if (heading_lines(s)) write_headings(file, run, s);
    std::int32_t total = 0;
    for (std::int32_t f : *frequencies) total += f;
    total = std::max(total, 1);
    const int d = measure_decimals(s);
    const float mean = a.estimation.person_mean_measure, sd = a.estimation.person_sd_measure;
    std::int32_t cumulative = 0;
    for (std::int32_t k = 0; k <= r.range && file.ok(); ++k) {
        const auto at = static_cast<std::size_t>(k);
        ScoreRow row;
        row.score = r.bottom + k;
        row.measure = rows.measure[at];
        row.error = rows.error[at];
        row.information = rows.information[at];
        row.normed = sd > 0.0f;
        if (row.normed) {
            row.norm = nint(500.0 + 100.0 * (rows.measure[at] - mean) / sd);
            row.norm_error = nint(100.0 * rows.error[at] / sd);
        }
        row.frequency = (*frequencies)[at];
        row.percent = static_cast<float>(100.0 * row.frequency / total);
        row.percentile = nint(percentile(row.frequency, cumulative, total));
        cumulative += row.frequency;
        row.cumulative = cumulative;
        row.cumulative_percent = static_cast<float>(100.0 * cumulative / total);
        file.write(is_csv(s) ? csv_record(row, d, s.csv) : fixed_record(row, d));
    }
    file.close();
}

}  // namespace korvelan

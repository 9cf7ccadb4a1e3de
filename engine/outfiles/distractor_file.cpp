#include <algorithm>
#include <limits>
#include <span>
#include <string>

#include "engine/estimation/option_tally.h"
#include "engine/input/response_scoring.h"
#include "engine/outfiles/output_frame.h"
#include "engine/outfiles/score_file.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"

namespace korvelan {

namespace {

constexpr std::size_t kCodeColumns = 9;

struct Heading {
    std::size_t column;
    const char* fixed;
    const char* csv;
};
constexpr Heading kHeadings[] = {
    {7, "ITEM", "ITEM"},           {12, "CODE", "CODE"},           {26, "SCORE", "SCORE"},
    {38, "ALL", "ALL"},            {46, "ALL %", "ALL %"},         {57, "USED", "USED"},
    {65, "USED %", "USED %"},      {72, "AVGE MEAS", "AVGE MEAS"}, {82, "S.E. MEAS", "S.E. MEAS"},
    {92, "OUTF MNSQ", "OUTFIT MNSQ"}, {102, "LABEL", "LABEL"},
};

char separator(const OutputSettings& s) { return s.csv == 'T' ? '\t' : ','; }

void write_heading(OutputFile& file, const OutputSettings& s) {
    std::string line;
    for (const Heading& h : kHeadings) {
        if (is_csv(s)) {
            if (!line.empty()) line += separator(s);
            append_quoted(line, h.csv);
        } else {
            if (line.size() < h.column - 1) line.resize(h.column - 1, ' ');
            line += h.fixed;
        }
    }
    file.write(line);
}

// The values of one row; a missing row shows fixed texts for its percentages and outfit.
struct OptionRow {
    std::int32_t item = 0;
    std::string code;
    std::int32_t score = 0, count = 0, all_percent = 0, used_percent = 0;
    double used = 0.0, mean = 0.0, error = 0.0, outfit = 0.0;
    bool missing_row = false;
};

std::string real10(double x) { return real_to_text10(static_cast<float>(x), "(F10.2)"); }

std::string fixed_row(const OptionRow& r, std::string_view label) {
    std::string line = int_to_text10(r.item) + " " + pad_right(r.code, kCodeColumns);
    line += int_to_text10(r.score) + int_to_text10(r.count) + int_to_text10(r.all_percent) + real10(r.used);
    line += r.missing_row ? real10(0.0) : int_to_text10(r.used_percent);
    line += real10(r.mean) + real10(r.error) + real10(r.outfit) + " " + std::string(label);
    return line;
}

std::string csv_row(const OptionRow& r, std::string_view label, char sep) {
    auto field = [&](std::string& line, std::string_view text) {
        line += trim(text);
        line += sep;
    };
    std::string line;
    field(line, int_to_text10(r.item));
    append_quoted(line, trim(r.code));
    line += sep;
    field(line, r.missing_row ? std::string("-1") : int_to_text10(r.score));
    field(line, int_to_text10(r.count));
    field(line, r.missing_row ? std::string("0") : int_to_text10(r.all_percent));
    field(line, real10(r.used));
    field(line, r.missing_row ? std::string("0.00") : int_to_text10(r.used_percent));
    field(line, real10(r.mean));
    field(line, real10(r.error));
    field(line, r.missing_row ? std::string("0.0") : real10(r.outfit));
    append_quoted(line, label);
    return line;
}

std::string code_of(const Run& run, std::int32_t c) {
    return c == 0 ? std::string(msg::kMissingCodeLabel) : shown_code(run.cv, c);
}

void write_item_rows(OutputFile& file, const Run& run, const OutputSettings& s, const OptionFrequencies& f,
                     std::int32_t i, std::string_view label) {
    std::int32_t total = 0;
    double used_total = 0.0;
    for (std::int32_t c = 1; c <= f.codes; ++c) total += f.at(i, c).count, used_total += f.at(i, c).weight;
    if (total == 0) total = 1;
    if (used_total == 0.0) used_total = 1.0;
    auto emit = [&](const OptionRow& r) {
        file.write(is_csv(s) ? csv_row(r, label, separator(s)) : fixed_row(r, label));
    };
    constexpr float kUncapped = std::numeric_limits<float>::infinity();
    for (std::int32_t c = 1; c <= f.codes && file.ok(); ++c) {
        const CodeFigures& o = f.at(i, c);
        OptionRow r{i, code_of(run, c), o.score_value == 255 ? -1 : o.score_value, o.count,
                    nint(100.0 * o.count / total), nint(100.0 * o.weight / used_total),
                    o.weight, o.mean, standard_error_of_mean(o.weight, o.mean, o.mean_square),
                    code_outfit(f, i, c, kUncapped), false};
        emit(r);
    }
    for (std::int32_t c = 0; c <= f.codes && file.ok(); ++c) {
        const CodeFigures& o = f.at(i, c);
        if (o.missing_count <= 0) continue;
        emit(OptionRow{i, code_of(run, c), -1, o.missing_count, 0, 0, o.missing_weight, o.missing_mean,
                       standard_error_of_mean(o.missing_weight, o.missing_mean, o.missing_mean_square), 0.0,
                       true});
    }
}

}  // namespace

void write_distractor_file(Run& run, const OutputSettings& s, const AnalysisArrays& a, EntryRecords& records) {
    if (run.host) run.host->write_text_window_line(msg::kBuildingDisfile);
    OptionFrequencies f;
    if (!allocate_option_frequencies(run, f)) {
        const std::int64_t bytes = option_frequency_bytes(std::max(run.cv.categs, 0),
                                                          std::max(a.top_value, 0), std::max(a.items, 0));
        show_message_line(run, std::string(trim(int_to_text_left(bytes))) + msg::kNoMemoryForFile);
        return;
    }
    score_code_slots(run, f);
    tally_option_frequencies(run, f, [&](int p, std::span<std::uint8_t> codes) { records.person_codes(p, codes); });
    OutputFile file(run, s.disfile);
    if (!file.open(msg::kMenuEditDisfile)) return;
    if (heading_lines(s)) write_heading(file, s);
    for (std::int32_t i = 1; i <= a.items && file.ok(); ++i)
        write_item_rows(file, run, s, f, i, trim(records.label_of(Entity::Item, i)));
    file.close();
}

}  // namespace korvelan

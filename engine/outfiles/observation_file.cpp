#include "engine/outfiles/observation_file.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/input/response_scoring.h"
#include "engine/outfiles/observation_values.h"
#include "engine/outfiles/output_frame.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"
#include "engine/run/report_line.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

namespace {

// The fields of a record in their order: width, fixed and CSV heading, decimals (-1 integer).
struct FieldSpec {
    int width;
    const char* fixed;
    const char* csv;
    int decimals;
};
constexpr FieldSpec kFields[] = {
    {7, "", "", -1},                          // person entry (heading: the person word)
    {7, "", "", -1},                          // item entry (heading: the item word)
    {4, "OBS", "OBSERVED", -1},
    {4, "ORD", "ORDERED", -1},
    {7, "EXPECT", "EXPECTATION", 3},
    {7, "VARIAN", "VARIANCE", 3},
    {7, "ZSCORE", "ZSCORE", 3},
    {7, "RESIDL", "RESIDUAL", 3},
    {7, "MEASRE", "MEASURE", 2},
    {10, "LOG(PROB)", "LOG(PROBABILITY)", 3},
};
constexpr int kNumberFields = 10;

bool chosen(const OutputSettings& s, int k) {
    return static_cast<std::size_t>(k) < s.xfile_fields.size() && s.xfile_fields[static_cast<std::size_t>(k)] != ' ';
}

// The entries a file covers: all, or the one the limit names when it is chosen and in range.
struct EntryRange {
    std::int32_t first = 1, last = 0;
    std::string text;  // " for PERSON 3", at most 15 characters
};
EntryRange entry_range(const OutputSettings& s, int flag, std::int32_t limit, std::int32_t count,
                       const std::string& word) {
    EntryRange r{1, count, ""};
    if (chosen(s, flag) && limit >= 1 && limit <= count) {
        r.first = r.last = limit;
        r.text = (" for " + std::string(trim(word)) + " " + std::string(trim(int_to_text_left(limit)))).substr(0, 15);
    }
    return r;
}

std::string field_heading(const OutputSettings& s, int k, bool csv) {
    if (k == xfield::kPerson || k == xfield::kItem) {
        const std::string word(trim(k == xfield::kPerson ? s.person_word : s.item_word));
        return csv ? word : word.substr(0, 6);
    }
    return csv ? kFields[k].csv : kFields[k].fixed;
}

void write_headings(OutputFile& file, const Run& run, const OutputSettings& s) {
    const std::string title(trim(s.title)), date(trim(run.rs.run_date));
    std::string line;
    if (!is_csv(s)) {
        file.write(std::string("; ") + msg::kResidualFileFor + " " + title + "  " + date);
        line = " ";
        for (int k = 0; k < kNumberFields; ++k)
            if (chosen(s, k)) line += pad_left(field_heading(s, k, false), static_cast<std::size_t>(kFields[k].width));
        if (chosen(s, xfield::kCode)) line += "CODE";
        file.write(line);
        return;
    }
    for (const std::string& text : {std::string(msg::kResidualFileFor), title, date}) {
        if (!line.empty()) line += ',';
        append_quoted(line, text);
    }
    compress_csv_line(line, s.csv);
    file.write(line);
    line.clear();
    for (int k = 0; k <= xfield::kCode; ++k) {
        if (!chosen(s, k)) continue;
        if (!line.empty()) line += ',';
        append_quoted(line, k == xfield::kCode ? std::string("CODE") : field_heading(s, k, true));
    }
    compress_csv_line(line, s.csv);
    file.write(line);
}

// The number text of x with d decimals and no blanks; a value that is not finite gives the
// field's width of "*".
void append_number_text(std::string& line, float x, int d, int width) {
    if (!std::isfinite(x)) {
        line.append(static_cast<std::size_t>(width), '*');
        return;
    }
    append_full_number(line, x, d);
}

// One observation's record in the chosen fields.
void format_record(std::string& line, const OutputSettings& s, std::int32_t person,
                   std::int32_t item, const ObservationValues& v, std::string_view code) {
    const bool csv = is_csv(s);
    const std::int64_t integers[4] = {person, item, v.observed, v.ordered};
    const float reals[6] = {v.expectation, v.variance, v.zscore, v.residual, v.measure, v.log_probability};
    line.clear();
    for (int k = 0; k < kNumberFields; ++k) {
        if (!chosen(s, k)) continue;
        const FieldSpec& f = kFields[k];
        if (csv) line += '"';
        if (f.decimals < 0) {
            if (csv) line += trim(int_to_text_left(integers[k]));
            else if (k < 2) append_entry_number(line, integers[k], f.width);
            else append_int_field(line, integers[k], f.width);
        } else if (csv) {
            append_number_text(line, reals[k - 4], f.decimals, f.width);
        } else {
            append_fixed_field(line, reals[k - 4], f.width, f.decimals);
        }
        if (csv) line += "\",";
    }
    if (chosen(s, xfield::kCode)) {
        if (csv) {
            append_quoted(line, trim(code));
        } else {
            line += ' ';
            line += trim(code);
        }
    } else if (csv && !line.empty()) {
        line.pop_back();  // no comma after the last field
    }
    if (csv) compress_csv_line(line, s.csv);
}

// The code of each response number c (1..NC) in CODES=; nothing for a response that matched none.
std::vector<std::string> code_texts(const Run& run) {
    std::vector<std::string> texts(256);
    for (std::int32_t c = 1; c <= std::min(run.cv.categs, 255); ++c)
        texts[static_cast<std::size_t>(c)] = shown_code(run.cv, c);
    return texts;
}

// Persons go in blocks of about this many observations: their records are read in person order,
// their lines formatted on the worker threads, then written in order.
constexpr std::int64_t kBlockObservations = 1 << 18;

struct PersonBlock {
    std::int32_t first = 0, count = 0;
    std::vector<std::uint8_t> scores, codes;  // NI bytes per person
    std::vector<std::string> text;           // per chunk, lines ended by CR LF
};

}  // namespace

void write_observation_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                            EntryRecords& records, CategoryCurves& curves) {
    const EntryRange persons = entry_range(s, xfield::kOnlyPerson, s.xfile_person_limit, a.persons, s.person_word);
    const EntryRange items = entry_range(s, xfield::kOnlyItem, s.xfile_item_limit, a.items, s.item_word);
    if (run.host) run.host->write_text_window_line(msg::kWritingXfile + persons.text + items.text);
    OutputFile file(run, s.xfile);
    if (!file.open(msg::kMenuEditXfile)) return;
    if (heading_lines(s)) write_headings(file, run, s);

    const auto ni = static_cast<std::size_t>(std::max(a.items, 0));
    const std::int32_t span = std::max(persons.last - persons.first + 1, 0);
    const std::int32_t per_block = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(kBlockObservations / std::max<std::int64_t>(items.last - items.first + 1, 1), 1, 16384));
    const ChunkPlan plan = plan_person_chunks(std::min(span, per_block), 0);
    WorkerPool pool(plan.chunks > 1 ? 0 : 1, plan.chunks);
    const std::size_t probabilities = static_cast<std::size_t>(std::max(a.top_value, 1)) + 2;
    int largest_top = 0;
    for (int g = 1; g <= a.groups; ++g) largest_top = std::max(largest_top, a.group_top_category[static_cast<std::size_t>(g)]);
    const std::size_t work = std::max(probabilities, static_cast<std::size_t>(largest_top) + 2);
    const bool missing = chosen(s, xfield::kMissing), extreme = chosen(s, xfield::kExtreme);
    PersonBlock block;
    const std::vector<std::string> codes_shown = code_texts(run);
    for (std::int32_t first = persons.first; first <= persons.last && file.ok(); first += per_block) {
        block.first = first;
        block.count = std::min(per_block, persons.last - first + 1);
        block.scores.assign(ni * static_cast<std::size_t>(block.count), 255);
        block.codes.assign(ni * static_cast<std::size_t>(block.count), 0);
        for (std::int32_t k = 0; k < block.count; ++k) {
            if (array_value(a.person_status, first + k, status::kDeleted) <= status::kDeleted) continue;
            records.person_scores(first + k, std::span(block.scores).subspan(ni * static_cast<std::size_t>(k), ni));
            records.person_codes(first + k, std::span(block.codes).subspan(ni * static_cast<std::size_t>(k), ni));
        }
        block.text.resize(static_cast<std::size_t>(plan.chunks));
        auto format = [&](int c) {
            std::string& text = block.text[static_cast<std::size_t>(c)];
            text.clear();
            std::vector<float> p(work, 0.0f);
            std::string line;
            for (std::int32_t k = plan.first(c) - 1, last = std::min(plan.last(c, block.count), block.count); k < last; ++k) {
                const std::int32_t person = first + k;
                const int ps = array_value(a.person_status, person, status::kDeleted);
                if (ps <= status::kDeleted) continue;
                const float bp = measure_in_logits(s, a.person_measure[static_cast<std::size_t>(person)],
                                                   a.estimation.person_bias_factor);
                const std::size_t row = ni * static_cast<std::size_t>(k);
                for (std::int32_t i = items.first; i <= items.last; ++i) {
                    const std::size_t at = row + static_cast<std::size_t>(i - 1);
                    const ObservationValues v = observation_values(a, s, curves, i, ps, bp, block.scores[at], p.data());
                    if (!missing && v.ordered == -1) continue;
                    if (!extreme && (base_status(ps) <= 0 || array_value(a.item_status, i, status::kDeleted) <= 0)) continue;
                    // A deleted item's code is kept for the Tables only: the file shows none.
                    const bool deleted = array_value(a.item_status, i, status::kDeleted) <= status::kDeleted;
                    format_record(line, s, person, i, v,
                                  codes_shown[deleted ? 0 : block.codes[at]]);
                    text.append(trim_right(line));
                    text.append("\r\n");
                }
            }
        };
        pool.run(plan.chunks, format);
        for (int c = 0; c < plan.chunks && plan.first(c) <= block.count; ++c) {
            if (!file.write_lines(block.text[static_cast<std::size_t>(c)])) break;
            show_progress_bar(run, first - persons.first + std::min(plan.last(c, block.count), block.count), span);
        }
    }
    file.close();
}

}  // namespace korvelan

#include "engine/outfiles/measure_files.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "engine/outfiles/output_frame.h"
#include "engine/run/entry_statistics.h"
#include "engine/run/message_texts.h"
#include "engine/run/numtext.h"
#include "engine/run/report_line.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

namespace {

// Everything one record shows of an entry: its statistics, status and weight. With TOTALSCORE=Y
// the count and the score are those of the total score.
struct EntryValues : EntryStatistics {
    std::int32_t status = 0;
    float weight = 1.0f;
};

EntryValues entry_values(const OutputSettings& s, const AnalysisArrays& a, Entity side,
                         std::int32_t n, const PersonWorkFields& record) {
    const bool persons = side == Entity::Person;
    EntryValues v;
    static_cast<EntryStatistics&>(v) = persons ? person_statistics(a, n, record) : item_statistics(a, n);
    v.status = array_value(persons ? a.person_status : a.item_status, n);
    v.weight = array_value(persons ? a.person_weights : a.item_weights, n, 1.0f);
    if (s.total_score == 'Y') {
        v.count = array_value(persons ? a.person_shown_count : a.item_shown_count, n);
        v.raw_score = array_value(persons ? a.person_shown_score : a.item_shown_score, n);
    }
    return v;
}

char model_letter(const AnalysisArrays& a, std::int32_t i) {
    std::int32_t g = array_value(a.item_group, i);
    return g >= 1 ? array_value(a.group_model, g, ' ') : ' ';
}

void write_headings(OutputFile& file, Run& run, const OutputSettings& s, Entity side) {
    const std::string& word = side == Entity::Person ? s.person_word : s.item_word;
    const std::string correlation = s.point_biserial == 'Y' ? msg::kPointBiserialWord : msg::kCorrelationWord;
    const std::string& w = s.fit_word;
    const std::string first = pad_right(word, 12) + msg::kMeasureFileFor;
    const std::string title(trim_right(s.title));
    std::string line;
    if (!is_csv(s)) {
        file.write(";" + first);
        file.write(";" + title);
        file.write(";" + run.rs.run_date);
        line = std::string(msg::kMeasureColumnsStart) + w + msg::kMeasureColumnsOutfit + w +
               msg::kMeasureColumnsDispl + correlation + msg::kMeasureColumnsWeight +
               (side == Entity::Item ? msg::kMeasureColumnsItemNames : msg::kMeasureColumnsPersonNames);
        file.write(line);
        return;
    }
    for (const std::string& text : {first, title, run.rs.run_date}) {
        line.clear();
        append_quoted(line, text);
        compress_csv_line(line, s.csv);
        file.write(line);
    }
    std::vector<std::string> names = {";",      "ENTRY",   "MEASURE", "STATUS", "COUNT",
                                      "SCORE",  "ERROR",   "IN.MSQ",  "IN." + w, "OUT.MSQ",
                                      "OUT." + w, "DISPLACE", correlation, "WEIGHT"};
    if (side == Entity::Item) names.insert(names.end(), {"GROUP", "MODEL"});
    names.push_back("NAME");
    line.clear();
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (k > 0) line += ',';
        append_quoted(line, names[k]);
    }
    compress_csv_line(line, s.csv);
    file.write(line);
}

// One record of entry i, its work record and label given, into line.
void format_record(const OutputSettings& s, const AnalysisArrays& a, Entity side, std::int32_t i,
                   const PersonWorkFields& record, std::string_view label, std::string& line) {
    const bool persons = side == Entity::Person;
    const bool csv = is_csv(s);
    const int d = measure_decimals(s);
    EntryValues v = entry_values(s, a, side, i, record);
    if (s.real_error == 'Y') v.standard_error *= std::sqrt(std::max(v.infit_mnsq, 1.0f));
    const char flag = heading_lines(s) && v.status < 1 ? ';' : ' ';
    line.clear();
    if (csv) {
        line += '"';
        line += flag;
        line += "\",";
    } else {
        line += flag;
    }
    const char separator = csv ? ',' : '\0';
    auto next = [&] {
        if (separator) line += separator;
    };
    append_entry_number(line, i, 5);
    next();
    append_number_field(line, v.measure, 8, d, csv);
    next();
    append_integer_field(line, v.status, 3, csv);
    next();
    append_number_field(line, v.count, 8, 1, csv);
    next();
    append_number_field(line, v.raw_score, 9, 1, csv);
    next();
    append_number_field(line, v.standard_error, 7, d, csv);
    next();
    for (float x : {v.infit_mnsq, v.infit_zstd, v.outfit_mnsq, v.outfit_zstd, v.displacement,
                    v.point_biserial, v.weight}) {
        append_number_field(line, x, 7, 2, csv);
        next();
    }
    label = trim_right(label);
    if (csv) {
        if (!persons) {
            const char codes[2] = {item_groups_character(s, a, i), model_letter(a, i)};
            append_quoted(line, std::string_view(codes, 1));
            line += ',';
            append_quoted(line, std::string_view(codes + 1, 1));
            line += ',';
        }
        append_quoted(line, label);
        compress_csv_line(line, s.csv);
    } else {
        line += ' ';
        if (!persons) {
            line += item_groups_character(s, a, i);
            line += ' ';
            line += model_letter(a, i);
            line += ' ';
        }
        line += label;
        if (line.size() > kFixedRecordLimit) line.resize(character_offset(line, kFixedRecordLimit));
    }
}

// Entries of the measure files go in blocks of this many: their labels and work records are
// read in entry order, their records formatted on the worker threads, then written in order.
constexpr std::int32_t kBlockEntries = 16384;

// The labels and person work records of a block of entries.
struct EntryBlock {
    std::string labels;
    std::vector<std::size_t> ends;  // label k ends at ends[k]
    std::vector<PersonWorkFields> records;
    std::vector<std::string> lines;  // per chunk: its records, each ended by CR LF

    void gather(EntryRecords& source, Entity side, std::int32_t first, std::int32_t count) {
        labels.clear();
        ends.clear();
        records.assign(side == Entity::Person ? static_cast<std::size_t>(count) : 0, PersonWorkFields{});
        for (std::int32_t k = 0; k < count; ++k) {
            // A label may come padded with blanks: only its text is kept.
            labels.append(trim_right(source.label_of(side, first + k)));
            ends.push_back(labels.size());
            if (side == Entity::Person) records[static_cast<std::size_t>(k)] = source.person_stats(first + k);
        }
    }
    std::string_view label(std::int32_t k) const {
        const std::size_t from = k == 0 ? 0 : ends[static_cast<std::size_t>(k) - 1];
        return std::string_view(labels).substr(from, ends[static_cast<std::size_t>(k)] - from);
    }
    PersonWorkFields record(std::int32_t k) const {
        return records.empty() ? PersonWorkFields{} : records[static_cast<std::size_t>(k)];
    }
};

}  // namespace

void write_measure_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                        EntryRecords& records, Entity side) {
    const bool persons = side == Entity::Person;
    const std::string word(trim_right(persons ? s.person_word : s.item_word));
    if (run.host) run.host->write_text_window_line(msg::kWritingPrefix + word + msg::kWritingMeasureFile);
    OutputFile file(run, persons ? s.pfile : s.ifile);
    if (!file.open(msg::kMenuEdit + word + (persons ? msg::kEditPfileSuffix : msg::kEditIfileSuffix)))
        return;
    if (heading_lines(s)) write_headings(file, run, s, side);

    const std::int32_t n = persons ? a.persons : a.items;
    EntryBlock block;
    const ChunkPlan plan = plan_person_chunks(std::min(n, kBlockEntries), 0);
    WorkerPool pool(plan.chunks > 1 ? 0 : 1, plan.chunks);
    for (std::int32_t first = 1; first <= n && file.ok(); first += kBlockEntries) {
        const std::int32_t count = std::min(kBlockEntries, n - first + 1);
        block.gather(records, side, first, count);
        block.lines.resize(static_cast<std::size_t>(plan.chunks));
        auto format = [&](int c) {
            std::string& text = block.lines[static_cast<std::size_t>(c)];
            text.clear();
            std::string line;
            line.reserve(kFixedRecordLimit + 64);
            for (std::int32_t k = plan.first(c) - 1, last = std::min(plan.last(c, count), count); k < last; ++k) {
                format_record(s, a, side, first + k, block.record(k), block.label(k), line);
                text.append(trim_right(line));
                text.append("\r\n");
            }
        };
        pool.run(plan.chunks, format);
        for (int c = 0; c < plan.chunks && plan.first(c) <= count; ++c) {
            if (!file.write_lines(block.lines[static_cast<std::size_t>(c)])) break;
            show_progress_bar(run, first - 1 + std::min(plan.last(c, count), count), n);
        }
    }
    file.close();
}

}  // namespace korvelan

#include "engine/analyses/measure_comparison.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <new>

#include "engine/analyses/scratch_block.h"
#include "engine/input/data_input.h"
#include "engine/input/measure_lines.h"
#include "engine/input/work_files.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"
#include "engine/run/text_lines.h"

namespace korvelan {

namespace {

constexpr char kCtrlZ = 26;
constexpr std::size_t kLabelWidth = 20;
// Chart names tried: "00Z", then 41Z, 42Z, ... ; the search gives up after this many.
constexpr int kChartNameTries = 100;

// The numeric field of the statistic: the measure, the infit or the outfit mean-square.
std::size_t statistic_field(char column) {
    return column == 'M' ? kMeasureField : column == 'I' ? 7 : 9;
}

// The lines of a measure file, with the file errors reported.
bool read_measure_lines(Run& run, const std::string& path, std::vector<std::string>& lines) {
    const int status = read_text_file_lines(run, path, lines);
    if (status == 0) return true;
    report_file_error(run, path, status == -3 ? 'O' : 'R');
    return false;
}

// The lines of a file after its headings, which are known by their place.
std::vector<std::string>::const_iterator first_entry_line(const std::vector<std::string>& lines) {
    return lines.begin() + static_cast<std::ptrdiff_t>(measure_heading_lines(lines));
}

std::int64_t largest_entry(const std::vector<std::string>& lines) {
    std::int64_t n = 0;
    MeasureLine l;
    for (auto line = first_entry_line(lines); line != lines.end(); ++line)
        if (parse_measure_line(*line, false, l))
            n = std::max<std::int64_t>(n, std::max(l.first, l.last));
    return n;
}

void take_file(const std::vector<std::string>& lines, bool items, char column, bool left,
               std::vector<ComparedEntry>& entries) {
    const int n = static_cast<int>(entries.size());
    MeasureLine l;
    for (auto line = first_entry_line(lines); line != lines.end(); ++line) {
        if (!parse_measure_line(*line, items, l) || l.first > n) continue;
        // An entry without a measure, or a statistic of stars or an empty cell, cannot be
        // compared: its entries are counted out.
        float value = 0;
        const bool readable = measure_line_value(l, statistic_field(column), value);
        for (int e = l.first; e <= std::min(l.last, n); ++e) {
            ComparedEntry& c = entries[static_cast<std::size_t>(e - 1)];
            (left ? c.left_listed : c.right_listed) = true;
            c.unreadable = c.unreadable || !readable;
            if (!readable) continue;
            (left ? c.left : c.right) = true;
            (left ? c.left_value : c.right_value) = value;
            if (left || trim(c.label).empty()) c.label = l.label;
        }
    }
}

// Whether each file of the comparison holds items. A file whose heading (or a record only one
// side writes) does not tell takes the side compared with, or the other file's kind.
void file_kinds(char side, const std::vector<std::string>& left_lines,
                const std::vector<std::string>& right_lines, bool& left_items, bool& right_items) {
    const MeasureFileKind left = measure_file_kind(left_lines),
                          right = measure_file_kind(right_lines);
    auto kind = [&](const MeasureFileKind& own, const MeasureFileKind& other) {
        if (own.told) return own.items;
        if (side == 'I' || side == 'P') return side == 'I';
        return other.told ? other.items : own.items;
    };
    left_items = kind(left, right);
    right_items = kind(right, left);
}

// The label as the chart shows it: without surrounding double quotes, at most 20 characters.
std::string clean_label(std::string label) {
    left_justify_in_place(label);
    label = std::string(trim_right(label));
    if (!label.empty() && label.front() == '"') label.front() = ' ';
    if (!label.empty() && label.back() == '"') label.back() = ' ';
    label = std::string(trim(label));
    return std::string(character_prefix(label, kLabelWidth));
}

// The left values of the current items or persons; entries that are not measured drop out.
void take_analysis(Run& run, char side, char column, std::vector<ComparedEntry>& entries) {
    const AnalysisArrays& a = run.arrays;
    WorkFiles files = run_work_files(run);
    for (std::size_t k = 0; k < entries.size(); ++k) {
        ComparedEntry& c = entries[k];
        if (!c.right) continue;
        const std::int32_t e = static_cast<std::int32_t>(k) + 1;
        const bool items = side == 'I';
        if (side == 'L') {
            c.right = c.left;
        } else if (side != 'I' && side != 'P') {
            c.right = false;
        } else if ((items ? array_value(a.item_status, e) : array_value(a.person_status, e)) < 1) {
            c.right = false;
        } else {
            std::string label;
            if (items) {
                c.left_value = column == 'M' ? a.item_measure[e] : column == 'I' ? a.item_infit_mnsq[e] : a.item_outfit_mnsq[e];
                read_item_label_record(run, files, e, label);
            } else {
                PersonWorkFields record;
                if (column != 'M') read_person_work_record(run, files, e, record);
                c.left_value = column == 'M' ? a.person_measure[e] : column == 'I' ? record.infit_mnsq : record.outfit_mnsq;
                read_person_name_record(run, files, e, label);
            }
            if (!trim(label).empty()) c.label = label;
        }
        if (c.right) c.label = clean_label(c.label);
    }
}

// The entries on both sides that are not drawn because a file holds stars for their statistic.
std::int64_t entries_without_value(const Run& run, char side, const std::vector<ComparedEntry>& entries) {
    std::int64_t n = 0;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const ComparedEntry& c = entries[k];
        const std::int32_t e = static_cast<std::int32_t>(k) + 1;
        const bool on_left = side == 'L'   ? c.left_listed
                             : side == 'I' ? array_value(run.arrays.item_status, e) >= 1
                             : side == 'P' && array_value(run.arrays.person_status, e) >= 1;
        n += c.unreadable && !c.right && c.right_listed && on_left;
    }
    return n;
}

// The chart's file name: the work-file name with the code "00Z", or 41Z, 42Z, ... while a file
// of that name exists; empty when every name tried exists.
std::string chart_file_name(const Run& run) {
    const std::string tail = run.rs.run_id + "kv.txt";
    std::string name = run.rs.output_directory + "00Z" + tail;
    for (int counter = 40, tries = 0; std::filesystem::exists(name); ) {
        if (++tries >= kChartNameTries) return {};
        ++counter;
        name = run.rs.output_directory + std::to_string(100 + counter % 100).substr(1) + "Z" + tail;
    }
    return name;
}

void write_chart(Run& run, const std::vector<std::string>& chart) {
    const std::string name = chart_file_name(run);
    if (name.empty() || !run.host || run.host->create_output_file(name) != 0) {
        show_message_line(run, msg::kNoFreeComparisonName + std::to_string(kChartNameTries) + msg::kTries);
        report_file_error(run, name.empty() ? run.rs.output_directory + "00Z" + run.rs.run_id + "kv.txt" : name, 'W');
        return;
    }
    const bool closed = run.rs.report_closed;
    run.rs.report_closed = true;  // the chart lines go to the line file
    for (const std::string& line : chart) write_wide_report_line(run, line);
    run.rs.report_closed = closed;
    run.host->close_file_handle();
    if (run.rs.io_status == 0) run.host->run_program_with_argument(run.host->initial_settings().editor, name);
}

}  // namespace

int read_text_file_lines(Run& run, const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    TextLineFile file;
    if (!file.open(path)) return run.rs.io_status = -3;
    // Empty lines are passed over; a Ctrl+Z ends the data.
    std::string line;
    int status = 0;
    while ((status = file.next(line)) == 0) {
        const std::size_t end = line.find(kCtrlZ);
        if (end != std::string::npos) line.resize(end);
        if (!line.empty()) lines.push_back(line);
        if (end != std::string::npos) break;
    }
    return run.rs.io_status = status > 0 ? status : 0;
}

void compare_measure_files(Run& run) {
    const ComparisonSettings& s = run.rs.comparison;
    std::vector<std::string> left_lines, right_lines;
    std::int64_t n = s.side == 'I' ? run.arrays.items : s.side == 'P' ? run.arrays.persons : 0;
    if (s.side != 'I' && s.side != 'P') {
        if (!read_measure_lines(run, s.left_path, left_lines)) return;
        n = largest_entry(left_lines);
    }
    const Size bytes = checked_product(n, 36);
    std::vector<ComparedEntry> entries;
    bool obtained = n <= kLargestComparedEntry && memory_request_allowed(run, MemoryBlock::ComparisonEntries, bytes);
    try {
        if (obtained) entries.resize(static_cast<std::size_t>(n));
    } catch (const std::bad_alloc&) {
        obtained = false;
    }
    if (!obtained) {
        show_message_line(run, std::string(trim(int_to_text_left(shown_bytes(bytes)))) +
                                   msg::kNoMemoryForComparison);
        return;
    }
    if (!read_measure_lines(run, s.right_path, right_lines)) return;
    bool left_items = false, right_items = false;
    file_kinds(s.side, left_lines, right_lines, left_items, right_items);
    if (s.side == 'L') take_file(left_lines, left_items, s.column, true, entries);
    take_file(right_lines, right_items, s.column, false, entries);
    take_analysis(run, s.side, s.column, entries);
    const std::string left_title = s.side == 'L'   ? s.left_name
                                   : s.side == 'I' ? std::string(trim(run.cv.item_word))
                                                   : std::string(trim(run.cv.person_word));
    std::vector<std::string> chart = comparison_chart(entries, s.column, left_title, s.right_name);
    const std::int64_t unreadable = entries_without_value(run, s.side, entries);
    const std::string left_out = msg::kEntriesWithoutReadableValue + std::to_string(unreadable);
    if (unreadable > 0) show_message_line(run, left_out);
    if (chart.empty()) {
        show_message_line(run, msg::kNoComparisonsPossible);
        return;
    }
    if (unreadable > 0) chart.push_back(" " + left_out);
    write_chart(run, chart);
}

}  // namespace korvelan

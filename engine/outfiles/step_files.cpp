#include "engine/outfiles/step_files.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/estimation/category_model.h"
#include "engine/outfiles/output_frame.h"
#include "engine/report/scale_orientation.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// Status of a failed work-array allocation: "Insufficient memory".
constexpr int kMemoryStatus = 8;

bool valid_group(const AnalysisArrays& a, std::int32_t g) { return g >= 1 && g <= a.groups; }
std::int32_t top_of(const AnalysisArrays& a, std::int32_t g) {
    return valid_group(a, g) ? array_value(a.group_top_category, g) : 0;
}
std::int32_t first_of(const AnalysisArrays& a, std::int32_t g) {
    return valid_group(a, g) ? array_value(a.group_first_slot, g) : 0;
}
// True when every slot of group g lies inside the category arrays.
bool group_slots_present(const AnalysisArrays& a, std::int32_t g) {
    if (!valid_group(a, g) || top_of(a, g) < 0 || first_of(a, g) < 1) return false;
    const std::size_t last = static_cast<std::size_t>(first_of(a, g) + top_of(a, g));
    return last < a.step_calibration.size() && last < a.category_status.size() &&
           last < a.category_value.size();
}

std::string date_right_in_24(const Run& run) { return pad_left(trim_right(run.rs.run_date), 24); }

}  // namespace

std::int32_t largest_category_number(const AnalysisArrays& a) {
    std::int32_t m = a.top_value;
    for (std::int32_t g = 1; g <= a.groups; ++g) m = std::max(m, top_of(a, g));
    return m;
}

namespace {

// The walk of the reported step values (reported_step_values) and of the values an anchor file
// needs (step_anchor_values) over the categories of group g.
bool walk_step_values(const AnalysisArrays& a, std::int32_t g, float uscale, bool for_anchors,
                      float* values) {
    const float u = std::fabs(uscale);
    const std::int32_t f = first_of(a, g);
    const std::int32_t top = top_of(a, g);
    // The anchor file: steps of a chain model stand alone, those of a rating scale add up,
    // whatever the number of groups.
    const char model = valid_group(a, g) ? array_value(a.group_model, g, 'R') : 'R';
    const bool chain = for_anchors && uses_step_chain(CategoryModel{top, model});
    const bool keep_sum = for_anchors ? !chain : a.groups == 1;
    float out = 0.0f, carry = 0.0f;
    bool bottom_null = false;
    for (std::int32_t k = 0; k <= top; ++k) {
        const std::int32_t slot = f + k;
        const std::int32_t status = array_value(a.category_status, slot);
        const float step = array_value(a.step_calibration, slot);
        if (status < 1) {
            if (k == 0) {
                bottom_null = true;
            } else if (chain) {
                // A null step of the success chain is always passed, of the failure chain
                // always failed.
                out = model == 'S' ? out - 40.0f * u : out + 40.0f * u;
            } else {
                out = out + 40.0f * u;
                carry = keep_sum ? carry - out : carry - 40.0f;
            }
        } else if (chain) {
            out = u * step;
        } else {
            const float c = status == 1 || for_anchors ? carry : 0.0f;
            out = keep_sum ? u * step + c : (step + c) * u;
            carry = 0.0f;
        }
        values[slot] = out;
    }
    return bottom_null;
}

}  // namespace

bool reported_step_values(const AnalysisArrays& a, std::int32_t g, float uscale, float* values) {
    return walk_step_values(a, g, uscale, false, values);
}

bool step_anchor_values(const AnalysisArrays& a, std::int32_t g, float uscale, float* values) {
    return walk_step_values(a, g, uscale, true, values);
}

void write_step_measure_file(Run& run, const OutputSettings& s, const AnalysisArrays& a) {
    if (run.host) run.host->write_text_window_line(msg::kWritingStepFile);
    OutputFile file(run, s.sfile);
    if (!file.open(msg::kEditSfile)) return;
    const bool csv = is_csv(s);
    const bool one_group = a.groups == 1;
    std::string line;
    if (heading_lines(s)) {
        std::string first = std::string(trim_right(s.title)) + " " + std::string(trim(run.rs.run_date));
        if (csv) {
            append_quoted(line, msg::kStepFileCsvFor + first);
            compress_csv_line(line, s.csv);
            file.write(line);
            line.clear();
            if (one_group) {
                append_quoted(line, std::string(";") + msg::kCategoryWord);
            } else {
                append_quoted(line, ";" + pad_right(s.item_word, 12));
                line += ',';
                append_quoted(line, msg::kCategoryWord);
            }
            line += ',';
            append_quoted(line, msg::kStepAnchorDifficultyName);
            compress_csv_line(line, s.csv);
            file.write(line);
        } else {
            file.write(msg::kStepFileFixedFor + first);
            file.write(one_group ? std::string(msg::kStepColumnsOneGroup)
                                 : "; " + pad_right(s.item_word, 12) + msg::kStepColumnsGroups);
        }
    }

    std::vector<float> values(a.step_calibration.size() + 1, 0.0f);
    // One line per category of group g; item 0 means the lines carry no item number.
    auto write_group = [&](std::int32_t item, std::int32_t g) {
        const bool bottom_null = step_anchor_values(a, g, s.uscale, values.data());
        for (std::int32_t k = 0; k <= top_of(a, g) && file.ok(); ++k) {
            const std::int32_t slot = first_of(a, g) + k;
            line.clear();
            if (item > 0) {
                append_entry_number(line, item, 6);
                if (csv) line += ',';
            }
            append_integer_field(line, array_value(a.category_value, slot), 3, csv);
            line += csv ? ',' : ' ';
            if (k == 0 && bottom_null) line += csv ? msg::kNullStep : pad_left(msg::kNullStep, 7);
            else append_number_field(line, values[static_cast<std::size_t>(slot)], 7, 2, csv);
            if (csv) compress_csv_line(line, s.csv);
            file.write(line);
        }
    };
    if (one_group) {
        if (group_slots_present(a, 1)) write_group(0, 1);
    } else {
        for (std::int32_t i = 1; i <= a.items && file.ok(); ++i) {
            const std::int32_t g = array_value(a.item_group, i);
            if (array_value(a.item_status, i) > 0 && group_slots_present(a, g) && top_of(a, g) > 0)
                write_group(i, g);
            show_progress_bar(run, i, a.items);
        }
    }
    file.close();
}

namespace {

void write_item_step_headings(OutputFile& file, Run& run, const OutputSettings& s, int maxtop) {
    std::string line;
    if (!is_csv(s)) {
        file.write(";" + std::string(trim_right(s.item_plural)) + msg::kItemStepFileFor);
        file.write(";" + std::string(trim_right(s.title)));
        file.write(";" + date_right_in_24(run));
        line = msg::kItemStepColumnsStart;
        for (int k = 0; k < maxtop; ++k) line += msg::kItemStepColumnsBlock;
        file.write(line);
        return;
    }
    const std::string texts[3] = {pad_right(s.item_plural, 13).substr(0, 6) + msg::kItemStepFileFor,
                                   std::string(trim_right(pad_right(s.title, 45))),
                                   date_right_in_24(run)};
    for (const std::string& text : texts) {
        line.clear();
        append_quoted(line, text);
        compress_csv_line(line, s.csv);
        file.write(line);
    }
    line.clear();
    auto name = [&](const char* n) {
        if (!line.empty()) line += ',';
        append_quoted(line, n);
    };
    for (const char* n : {"ENTRY", "ST", "MAX", "LOW", "AT.25"}) name(n);
    for (int k = 0; k < maxtop; ++k)
        for (const char* n : {"CAT", "STEP", "MEASURE", "ERROR", "AT-0.5", "ATSTEP", "THRESH"}) name(n);
    compress_csv_line(line, s.csv);
    file.write(line);
}

}  // namespace

void write_item_step_file(Run& run, const OutputSettings& s, const AnalysisArrays& a) {
    if (run.host) run.host->write_text_window_line(msg::kWritingItemStepFile);
    OutputFile file(run, s.isfile);
    if (!file.open(msg::kEditIsfile)) return;
    std::vector<float> values;
    try {
        values.assign(a.step_calibration.size() + 1, 0.0f);
    } catch (const std::bad_alloc&) {
        run.rs.io_status = kMemoryStatus;
        report_output_file_error(run, trim(s.isfile), 'O');
        return;
    }
    if (a.groups == 1) {
        if (group_slots_present(a, 1)) reported_step_values(a, 1, s.uscale, values.data());
    } else {
        std::vector<bool> walked(static_cast<std::size_t>(std::max(a.groups, 0)) + 1, false);
        for (std::int32_t i = 1; i <= a.items; ++i) {
            const std::int32_t g = array_value(a.item_group, i);
            if (array_value(a.item_status, i) <= 0 || !group_slots_present(a, g) || top_of(a, g) <= 0) continue;
            if (walked[static_cast<std::size_t>(g)]) continue;  // a group's values never change
            walked[static_cast<std::size_t>(g)] = true;
            reported_step_values(a, g, s.uscale, values.data());
        }
    }
    int maxtop = 0;
    for (std::int32_t g = 1; g <= a.groups; ++g) maxtop = std::max(maxtop, top_of(a, g));
    if (heading_lines(s)) write_item_step_headings(file, run, s, maxtop);

    const bool csv = is_csv(s);
    const float u = s.uscale;
    std::string line;
    for (std::int32_t i = 1; i <= a.items && file.ok(); ++i) {
        const std::int32_t status = array_value(a.item_status, i);
        const std::int32_t g = array_value(a.item_group, i);
        const bool shown = status >= -1 && group_slots_present(a, g);
        const std::int32_t f = shown ? first_of(a, g) : 0;
        const std::int32_t top = shown ? top_of(a, g) : 0;
        const float d = shown ? array_value(a.item_measure, i) : 0.0f;
        const std::int32_t low = shown ? array_value(a.category_value, f) : 0;
        // The category points lie on the reported scale as the Tables draw them.
        const auto at = [&](float point) { return category_point_measure(run.cv, d, point); };
        const float at25 = shown ? at(array_value(a.category_score_point_measure, f)) : 0.0f;
        line.clear();
        auto next = [&] {
            if (csv) line += ',';
        };
        if (!csv) line += heading_lines(s) && status < -1 ? ';' : ' ';
        append_entry_number(line, i, 5);
        next();
        append_integer_field(line, status, 5, csv);
        next();
        append_integer_field(line, top, 5, csv);
        next();
        append_integer_field(line, low, 5, csv);
        next();
        append_number_field(line, at25, 8, 2, csv);
        for (std::int32_t k = 1; k <= maxtop; ++k) {
            const std::int32_t slot = f + k;
            const bool step = k <= top;
            next();
            append_integer_field(line, step ? array_value(a.category_value, slot) : 0, 5, csv);
            next();
            append_integer_field(line, step ? k + low : 0, 5, csv);
            float numbers[5] = {0, 0, 0, 0, 0};
            if (step) {
                const float information = std::max(array_value(a.step_information, slot), 0.001f);
                numbers[0] = at(values[static_cast<std::size_t>(slot)]);
                numbers[1] = std::fabs(u / std::sqrt(information));
                numbers[2] = at(array_value(a.category_half_point_measure, slot));
                numbers[3] = at(array_value(a.category_score_point_measure, slot));
                numbers[4] = at(array_value(a.category_thurstone_threshold, slot));
            }
            for (float x : numbers) {
                next();
                append_number_field(line, x, 8, 2, csv);
            }
        }
        if (csv) compress_csv_line(line, s.csv);
        file.write(line);
        show_progress_bar(run, i, a.items);
    }
    file.close();
}

}  // namespace korvelan

// GRFILE=: the probability-curve file.
#include <algorithm>
#include <cmath>

#include "engine/outfiles/output_frame.h"
#include "engine/outfiles/step_files.h"
#include "engine/report/scale_orientation.h"
#include "engine/run/message_texts.h"
#include "engine/run/numtext.h"

namespace korvelan {

namespace {

constexpr int kCurvePoints = 100;  // intervals: 101 points per group
constexpr int kFieldWidth = 7;

bool group_usable(const AnalysisArrays& a, std::int32_t g) {
    const std::int32_t top = array_value(a.group_top_category, g);
    const std::int32_t first = array_value(a.group_first_slot, g);
    return top >= 0 && first >= 1 &&
           static_cast<std::size_t>(first + top) < a.category_score_point_measure.size();
}

// Appends one field of a record: right-justified in 7 columns in the fixed layout; a comma and
// the text in the comma-separated layout, whose compression then drops the leading blanks.
void append_number(std::string& line, bool csv, float x) {
    if (csv) {
        line += ',';
        append_full_number(line, x, 2);
    } else {
        append_fixed_field(line, x, kFieldWidth, 2);
    }
}

void append_name(std::string& line, bool csv, std::string_view name) {
    if (csv) {
        line += ',';
        line += name;
    } else {
        line += pad_left(name, kFieldWidth);
    }
}

}  // namespace

CurveRange probability_curve_range(const OutputSettings& s, const AnalysisArrays& a) {
    CurveRange r;
    float lo = 0.0f, hi = 0.0f;
    for (std::int32_t g = 1; g <= a.groups; ++g) {
        if (!group_usable(a, g)) continue;
        const std::int32_t f = array_value(a.group_first_slot, g);
        for (std::int32_t k = 0; k <= array_value(a.group_top_category, g); ++k) {
            const float p = array_value(a.category_score_point_measure, f + k);
            if (!r.set || p < lo) lo = p;
            if (!r.set || p > hi) hi = p;
            r.set = true;
        }
    }
    if (!r.set) return r;
    const float two_u = 2.0f * std::fabs(s.uscale);
    float low_end = std::trunc(lo - two_u);
    if (low_end > lo) low_end -= two_u;
    float high_end = std::trunc(hi + two_u);
    if (high_end < hi) high_end += two_u;
    const float mid = (low_end + high_end) / 2.0f;
    const float w = std::fabs(s.plot_half_range);
    r.high = std::max(mid + w, high_end);
    r.low = std::min(mid - w, low_end);
    return r;
}

void write_probability_curve_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                  CategoryCurves& curves) {
    if (run.host) run.host->write_text_window_line(msg::kWritingCurveFile);
    const CurveRange range = probability_curve_range(s, a);
    if (!range.set) return;
    OutputFile file(run, s.grfile);
    if (!file.open(msg::kEditGrfile)) return;
    const bool csv = is_csv(s);
    const std::int32_t maxcat = largest_category_number(a);
    std::string line;
    if (heading_lines(s)) {
        const std::string text = msg::kCurveFileFor + std::string(trim_right(s.title)) + " " +
                                 std::string(trim(run.rs.run_date));
        if (csv) {
            append_quoted(line, text);
            file.write(line);
        } else {
            file.write("; " + text);
        }
        line = " ";
        if (csv) line += ";ITEM";
        else line += pad_left(";ITEM", 5);
        for (const char* name : {"MEAS", "SCOR", "INFO"}) append_name(line, csv, name);
        // The columns are the recounted categories 0..top of the widest group, as the records
        // hold them (the category values may start above 0).
        std::int32_t columns = 0;
        for (std::int32_t g = 1; g <= a.groups; ++g) columns = std::max(columns, array_value(a.group_top_category, g));
        for (std::int32_t k = 0; k <= columns; ++k) append_name(line, csv, std::to_string(k));
        if (csv) compress_csv_line(line, s.csv);
        file.write(line);
    }

    const float u = std::fabs(s.uscale);
    const float orientation = scale_orientation(run.cv);
    // The grid in the orientation of the logits; under a negative USCALE= it is walked from its
    // top, so that MEAS rises down the file and each line is the mirror of a line of USCALE=1.
    const auto grid = [&](int point) {
        if (orientation < 0.0f) point = kCurvePoints - point;
        return range.low + static_cast<float>(point) * (range.high - range.low) / kCurvePoints;
    };
    std::vector<float> p(static_cast<std::size_t>(maxcat) + 2, 0.0f);
    for (std::int32_t g = 1; g <= a.groups && file.ok(); ++g) {
        if (!group_usable(a, g)) continue;
        const std::int32_t top = array_value(a.group_top_category, g);
        const std::int32_t first = array_value(a.group_first_slot, g);
        std::int32_t item = 0;
        for (std::int32_t i = 1; i <= a.items && item == 0; ++i)
            if (array_value(a.item_group, i) == g) item = i;
        for (int point = 0; point <= kCurvePoints && file.ok(); ++point) {
            const float measure = grid(point) / u;
            std::fill(p.begin(), p.end(), 0.0f);
            // Under every model the curves are those of the categories: the expected score is
            // their mean, the information their variance.
            float information = 0.0f;
            const float expected = curves.category_probabilities(a, g, measure, p.data());
            for (std::int32_t k = 1; k <= top; ++k) information += static_cast<float>(k * k) * p[k];
            information -= expected * expected;
            line = " ";
            append_entry_number(line, item, csv ? 1 : 5);
            append_number(line, csv, orientation * u * measure);
            append_number(line, csv, expected + static_cast<float>(array_value(a.category_value, first)));
            append_number(line, csv, information);
            for (std::int32_t k = 0; k <= top; ++k) append_number(line, csv, p[static_cast<std::size_t>(k)]);
            if (csv) compress_csv_line(line, s.csv);
            file.write(line);
        }
    }
    file.close();
}

}  // namespace korvelan

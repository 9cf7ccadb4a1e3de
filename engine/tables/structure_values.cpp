#include <algorithm>
#include <cmath>
#include <string>

#include "engine/report/scale_orientation.h"
#include "engine/run/numtext.h"
#include "engine/tables/structure_rows.h"

namespace korvelan {

namespace {

// An average measure in its field of `width` columns, at the measure format's decimals where
// they fit; `before` is the character the field follows.
std::string average_text(const Run& run, float x, int width, char before = ' ') {
    std::string text(1, before);
    append_table_number(text, x, width, decimals_of_format(run.cv.user_decimals_format));
    return text.substr(1);
}

// The word of a null step: a category that the model cannot reach.
const char* null_step_word(char model) {
    if (model == 'F') return "HARD";
    if (model == 'S') return "EASY";
    return "NULL";
}

std::string null_step(char model, std::size_t width) {
    std::string text(width, ' ');
    text.replace(2, 4, null_step_word(model));
    return text;
}

// The category measure in 7 characters; at the ends of the scale the parenthesis that the
// layout closes opens the field, the number fitted into the 6 columns after it.
std::string category_measure_text(float x, bool end) {
    std::string field = fmt_f(x, 7, 2);
    if (end && field[0] != ' ') field = "(" + fmt_f(x, 6, 2);
    else if (end) field[0] = '(';
    return field;
}

// Coherence of a category: how many of the observations whose measure implies it are in it
// (M->C), and how many of those in it have a measure that implies it (C->M), in percent. A
// category with some hits never shows 0, and one short of all of them never 100.
void set_coherence(StructureRow& r, int predicted, int hits) {
    int to_category = 100 * hits / std::max(predicted, 1);
    int to_measure = static_cast<int>(100.0 * hits / std::max<double>(r.count, 1.0));
    if (hits > 0) to_category = std::max(to_category, 1), to_measure = std::max(to_measure, 1);
    if (hits < predicted) to_category = std::min(to_category, 99);
    if (hits < r.count) to_measure = std::min(to_measure, 99);
    r.measure_to_category = to_category;
    r.category_to_measure = to_measure;
}

int percent_of(double part, double total) {
    return total > 0.0 ? nint(100.0 * part / total) : 0;
}

}  // namespace

StructureGroup structure_group_values(const Run& run, int g, int first_item, float offset,
                                      std::int32_t& residual_column_flag) {
    const AnalysisArrays& a = run.arrays;
    StructureGroup s;
    s.group = g;
    s.top = a.group_top_category[g];
    s.first_slot = a.group_first_slot[g];
    s.first_item = first_item;
    s.model = array_value(a.group_model, g, 'R');
    s.offset = offset;
    s.missing = array_value(a.group_weight_sum, g);
    const float scale = std::fabs(run.cv.uscale == 0.0f ? 1.0f : run.cv.uscale);
    const int f = s.first_slot;

    double total = s.missing;
    for (int k = 0; k <= s.top; ++k) total += array_value(a.category_observed_count, f + k);
    residual_column_flag = 0;
    s.missing_percent = percent_of(s.missing, total);
    if (s.missing > 0.0f)
        s.missing_average = average_text(run, offset + array_value(a.group_average_difference, g), 6);

    bool any_earlier = false;
    float highest_earlier = 0.0f;
    for (int k = 0; k <= s.top; ++k) {
        const int slot = f + k;
        StructureRow r;
        r.k = k;
        r.value = array_value(a.category_value, slot);
        r.score = array_value(a.category_value, f) + k;
        r.count = array_value(a.category_observed_count, slot);
        r.percent = percent_of(r.count, total);
        r.observed = r.count > 0.0f;
        const float residual = array_value(a.category_expected_count, slot);  // OBS - EXP
        const double expected = std::max<double>(r.count - residual, 1.0);
        if (std::fabs(residual) / expected >= 0.01) residual_column_flag = 1;
        if (r.observed) {
            // Disorder is judged along the logits, whatever the orientation of the report.
            const float average = array_value(a.category_observed_average, slot);
            const float rising = oriented_difference(run.cv, average);
            if (any_earlier && highest_earlier >= rising) r.disorder = '*';
            r.observed_average = average_text(run, offset + average, 6);
            r.expected_average =
                average_text(run, offset + array_value(a.category_expected_average, slot), 5, r.disorder);
            highest_earlier = any_earlier ? std::max(highest_earlier, rising) : rising;
            any_earlier = true;
            r.residual = static_cast<float>(100.0 * residual / expected);
            r.residual_percent = true;
        } else {
            r.residual = -residual;
        }
        r.infit = array_value(a.category_infit_mnsq, slot);
        r.outfit = array_value(a.category_outfit_mnsq, slot);
        set_coherence(r, array_value(a.category_count_first, slot),
                      array_value(a.category_count_second, slot));

        const int status = array_value(a.category_status, slot);
        r.anchored = status == 2;
        if (k > 0 && status > 0) {
            const float step = array_value(a.step_calibration, slot) * scale;
            const float information = std::max(array_value(a.step_information, slot), 0.001f);
            r.step = fmt_f(step, 8, 2) + (status == 2 ? "A" : " ");
            r.step_error = fmt_f(offset + step, 8, 2) + (status == 2 && offset == 0.0f ? "A" : " ");
            append_table_number(r.step_error, std::fabs(scale / std::sqrt(information)), 6, 2);
        } else if (k > 0) {
            r.step = null_step(s.model, 9);
            r.step_error = null_step(s.model, 15);
        }
        r.category_measure = category_measure_text(
            offset + array_value(a.category_score_point_measure, slot), k == 0 || k == s.top);
        r.lower_zone = offset + array_value(a.category_half_point_measure, slot);
        r.upper_zone = offset + array_value(a.category_half_point_measure, slot + 1);
        r.thurstone = offset + array_value(a.category_thurstone_threshold, slot);
        s.rows.push_back(r);
    }
    return s;
}

}  // namespace korvelan

// Sub-tables 2.5 to 2.7: the average measures of the persons by category and by response code.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/plot_range.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"
#include "engine/tables/category_display.h"
#include "engine/tables/measure_axis_lines.h"
#include "engine/tables/response_cells.h"

namespace korvelan {

namespace {

float logit_of(float measure, float umean, float factor) {
    return (measure - umean) / (factor == 0.0f ? 1.0f : factor);
}

struct Tally {
    CategoryDisplays& t;
    const AnalysisArrays& a;
    std::vector<float> p;
    std::vector<std::uint8_t> scores, codes;
};

void add_response(Tally& s, int i, float w, float measure, float b, int x, int code) {
    CategoryDisplays& t = s.t;
    const AnalysisArrays& a = s.a;
    const int c = std::clamp(code, 0, std::max(t.run.cv.categs, 0));
    add_to_weighted_mean(t.code_weight[t.at(c, i)], t.code_average[t.at(c, i)], w, measure);
    const int r = recoded_category(a, a.item_group[i], x);
    if (r < 0) return;
    add_to_weighted_mean(t.observed_weight[t.at(r, i)], t.observed_average[t.at(r, i)], w, measure);
    const float uscale = t.run.cv.uscale == 0.0f ? 1.0f : t.run.cv.uscale;
    const float difference =
        (b - logit_of(a.item_measure[i], t.run.cv.umean, a.estimation.item_bias_factor)) / uscale;
    const int g = a.item_group[i];
    const CategoryModel model = group_model_view(a, g);
    std::fill(s.p.begin(), s.p.end(), 0.0f);
    compute_category_probabilities(model, difference, s.p.data());
    for (int k = 0; k <= a.group_top_category[g]; ++k) {
        const float pk = s.p[static_cast<std::size_t>(k)];
        t.expected_weight[t.at(k, i)] += pk * w;
        t.expected_average[t.at(k, i)] += measure * w * pk;
    }
}

void tally_persons(CategoryDisplays& t) {
    Run& run = t.run;
    const AnalysisArrays& a = run.arrays;
    WorkFiles files = run_work_files(run);
    const std::size_t ni = static_cast<std::size_t>(std::max(a.items, 1));
    Tally s{t, a, std::vector<float>(static_cast<std::size_t>(std::max(a.top_value, 1)) + 2),
            std::vector<std::uint8_t>(ni, kMissingScore), std::vector<std::uint8_t>(ni, 0)};
    for (int p = 1; p <= a.persons; ++p) {
        if (person_status_of(a, p) >= status::kExtremeMinimum) {
            const float w = run.input.person_weights_present ? person_weight(a, p) : 1.0f;
            if (w > 0.0f) {
                const float measure = a.person_measure[p];
                const float b = logit_of(measure, run.cv.umean, a.estimation.person_bias_factor);
                read_person_scores_record(run, files, p, s.scores);
                read_person_codes_record(run, files, p, s.codes);
                for (int i = 1; i <= a.items; ++i)
                    if (item_status_of(a, i) >= 1)
                        add_response(s, i, w, measure, b, s.scores[static_cast<std::size_t>(i - 1)],
                                     s.codes[static_cast<std::size_t>(i - 1)]);
            }
        }
        show_progress_bar(run, p, a.persons);
    }
    for (std::size_t k = 0; k < t.expected_weight.size(); ++k)
        if (t.expected_weight[k] > 0.0f) t.expected_average[k] /= t.expected_weight[k];
}

}  // namespace

void add_to_weighted_mean(float& weight_sum, float& mean, float w, float value) {
    weight_sum += w;
    mean += w * (value - mean) / weight_sum;
}

void write_average_measure_displays(CategoryDisplays& t) {
    Run& run = t.run;
    AnalysisArrays& a = run.arrays;
    // The axis of the persons' measures alone: the range of Table 24.
    TableRequest persons_only = t.ctx.request;
    persons_only.table = 24;
    find_plot_measure_range(t.ctx.axis, run.cv, persons_only,
                            plot_range_sources(a, a.category_score_point_measure));
    t.ctx.axis.plot_width = 60;
    t.ctx.axis.columns_per_tick = 6;
    scale_plot_axis(t.ctx.axis, t.ctx.request);
    if (!axis_labels_fit(t.ctx.axis)) {
        show_plot_format_failure(run, table_number_text(run));
        return;
    }
    t.labels = axis_label_line(t.ctx.axis, true);
    t.rule = axis_rule_line(t.ctx.axis, run.cv.item_word);
    run.host->write_text_window_line(msg::kComputingAverageMeasures + table_number_text(run));
    const std::size_t items = static_cast<std::size_t>(std::max(a.items, 0));
    const std::size_t by_category = items * (static_cast<std::size_t>(std::max(a.top_value, 0)) + 1);
    const std::size_t by_code = items * (static_cast<std::size_t>(std::max(run.cv.categs, 0)) + 1);
    for (auto* v : {&t.observed_weight, &t.observed_average, &t.expected_weight, &t.expected_average})
        v->assign(by_category, 0.0f);
    for (auto* v : {&t.code_weight, &t.code_average}) v->assign(by_code, 0.0f);
    tally_persons(t);
    for (int d = 5; d <= 7; ++d) {
        run.rep.sub_table_counter = d - 1;
        write_category_display(t, d);
    }
    for (auto* v : {&t.observed_weight, &t.observed_average, &t.expected_weight,
                    &t.expected_average, &t.code_weight, &t.code_average})
        std::vector<float>().swap(*v);
}

}  // namespace korvelan

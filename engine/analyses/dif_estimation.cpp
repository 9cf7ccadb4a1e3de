#include "engine/analyses/dif_estimation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

#include "engine/analyses/scratch_block.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/weighted_sums.h"
#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// Scored responses run from 0 to 254, so no top category passes 254.
constexpr int kLargestTop = 254;

double weight_of(const std::vector<float>& weights, bool present, std::int32_t n) {
    return present ? static_cast<double>(array_value(weights, n, 1.0f)) : 1.0;
}

// The class of each classified entry that takes part: measured, a code in the table, a positive
// weight.
void assign_classes(Run& run, ReportSide classified, const LabelCodeTable& classes, DifCells& cells) {
    const AnalysisArrays& a = run.arrays;
    const bool persons = classified == ReportSide::Persons;
    const std::int32_t k = persons ? a.persons : a.items;
    for (std::int32_t n = 1; n <= k; ++n) {
        const int status = persons ? array_value(a.person_status, n) : array_value(a.item_status, n);
        std::int32_t c = 0;
        if (status >= 1) c = classes.find(classes.code_of_entry(run, classified, n));
        const double w = persons ? weight_of(a.person_weights, run.input.person_weights_present, n)
                                 : weight_of(a.item_weights, run.input.item_weights_present, n);
        if (w <= 0.0) c = 0;
        cells.class_of[static_cast<std::size_t>(n - 1)] = c;
    }
}

float to_logit(const Run& run, float measure, float factor) {
    const float scale = run.cv.uscale == 0.0f ? 1.0f : run.cv.uscale;
    return (measure - run.cv.umean) / (factor == 0.0f ? 1.0f : factor) / scale;
}

// Expected score and model variance of a response at measure difference x: the mean and the
// variance of the item's category probabilities, in the chains too, whose observed score the
// cell counts by its category as well.
void expectation(const CategoryModel& g, float x, double& e, double& v) {
    std::array<float, kLargestTop + 1> p{};
    const int m = std::min(g.top, kLargestTop);
    const CategoryModel group{m, g.model, g.steps, g.status};
    v = 0;
    e = compute_category_probabilities(group, x, p.data());
    for (int k = 1; k <= m; ++k) v += static_cast<double>(k) * k * p[k];
    v -= e * e;
}

// One pass over the measured persons' responses into the cells.
void accumulate_pass(Run& run, bool dif, DifCells& cells, bool first_pass) {
    AnalysisArrays& a = run.arrays;
    WorkFiles files = run_work_files(run);
    std::vector<std::uint8_t> scores(static_cast<std::size_t>(std::max(a.items, 0)), 255);
    for (std::int32_t n = 1; n <= a.persons; ++n) {
        show_progress_bar(run, n, a.persons);
        if (array_value(a.person_status, n) < 1) continue;
        const std::int32_t person_class = dif ? cells.class_of[static_cast<std::size_t>(n - 1)] : 0;
        if (dif && person_class == 0) continue;
        const double person_weight = dif ? weight_of(a.person_weights, run.input.person_weights_present, n) : 1.0;
        read_person_scores_record(run, files, n, scores);
        const float b = to_logit(run, a.person_measure[n], a.estimation.person_bias_factor);
        for (std::int32_t i = 1; i <= a.items; ++i) {
            if (array_value(a.item_status, i) < 1) continue;
            const std::int32_t c = dif ? person_class : cells.class_of[static_cast<std::size_t>(i - 1)];
            if (c == 0) continue;
            DifCell& cell = dif ? cells.at(c, i) : cells.at(c, n);
            if (cell.status < 0) continue;
            const std::uint8_t x = scores[static_cast<std::size_t>(i - 1)];
            const int g = a.item_group[i];
            const int r = recoded_category(a, g, x);
            if (r < 0) continue;
            const double w = dif ? person_weight : weight_of(a.item_weights, run.input.item_weights_present, i);
            const CategoryModel model = group_model_view(a, g);
            if (first_pass) {
                cell.observed += w * r;
                cell.maximum += w * model.top;
            }
            const float d = to_logit(run, a.item_measure[i], a.estimation.item_bias_factor);
            const float theta = static_cast<float>(b - d + cell.size);
            double e = 0, v = 0;
            expectation(model, theta, e, v);
            cell.expected += w * e;
            cell.variance += w * v;
        }
    }
}

// Judges the cells after a pass and steps the estimated ones; returns the largest |step|.
double step_cells(DifCells& cells) {
    double largest = 0;
    for (DifCell& cell : cells.cells) {
        if (cell.status != dif_status::kUnjudged && cell.status != dif_status::kEstimated) continue;
        const ScoreEnd end = reachable_score_end(cell.observed, cell.maximum);
        if (cell.maximum == 0.0) cell.status = dif_status::kUnusable;
        else if (end == ScoreEnd::kLowest) cell.status = dif_status::kMinimumScore;
        else if (end == ScoreEnd::kHighest) cell.status = dif_status::kMaximumScore;
        else if (cell.variance == 0.0) cell.status = dif_status::kUnusable;
        else {
            cell.status = dif_status::kEstimated;
            const double step = std::clamp((cell.observed - cell.expected) / std::max(cell.variance, 1.0), -1.0, 1.0);
            cell.size += step;
            largest = std::max(largest, std::fabs(step));
        }
    }
    return largest;
}

}  // namespace

void collect_classes(Run& run, ReportSide classified, LabelCodeTable& classes) {
    const AnalysisArrays& a = run.arrays;
    const bool persons = classified == ReportSide::Persons;
    const std::int32_t k = persons ? a.persons : a.items;
    for (std::int32_t n = 1; n <= k; ++n) {
        const int status = persons ? array_value(a.person_status, n) : array_value(a.item_status, n);
        if (status >= 1) classes.add(classes.code_of_entry(run, classified, n));
    }
}

std::optional<std::int64_t> dif_block_bytes(std::int64_t c, std::int64_t m, std::int64_t k) {
    return checked_sum(checked_product(checked_product(32, c), m), checked_product(4, k));
}

bool obtain_dif_cells(const Run& run, int classes, int others, int classified, DifCells& cells) {
    cells = DifCells{};
    const Size bytes = dif_block_bytes(classes, others, classified);
    if (!memory_request_allowed(run, MemoryBlock::DifCells, bytes)) return false;
    try {
        cells.cells.assign(static_cast<std::size_t>(classes) * static_cast<std::size_t>(others), DifCell{});
        cells.class_of.assign(static_cast<std::size_t>(std::max(classified, 0)), 0);
    } catch (const std::bad_alloc&) {
        cells = DifCells{};
        return false;
    }
    cells.classes = classes;
    cells.others = others;
    return true;
}

DifPasses estimate_dif_sizes(Run& run, ReportSide classified, const LabelCodeTable& classes,
                             DifCells& cells, int pass_cap) {
    DifPasses result;
    if (run.rs.finish_iterating) return result;
    const bool dif = classified == ReportSide::Persons;
    const std::string word = dif ? msg::kDifWord : msg::kDpfWord;
    assign_classes(run, classified, classes, cells);
    if (run.host) run.host->write_text_window_line(msg::kDifComputing + word + msg::kDifOneBarPerIteration);
    const double shown_scale = std::fabs(run.cv.uscale == 0.0f ? 1.0f : run.cv.uscale);
    for (;;) {
        accumulate_pass(run, dif, cells, result.passes == 0);
        result.largest_change = step_cells(cells);
        ++result.passes;
        if (run.host)
            run.host->write_text_window_line(msg::kDifLargestChange +
                                             std::string(trim(real_to_text_left(
                                                 static_cast<float>(result.largest_change * shown_scale), "(F4.2)"))) + msg::kDifUnits);
        if (result.largest_change <= kDifConvergence || run.rs.finish_iterating) break;
        if (result.passes >= pass_cap) {
            result.capped = true;
            show_message_line(run, " " + word + msg::kDifNotConverged +
                                       std::string(trim(int_to_text_left(result.passes))) +
                                       msg::kDifPassesStop);
            break;
        }
        for (DifCell& cell : cells.cells) cell.expected = cell.variance = 0;
    }
    if (dif)
        for (DifCell& cell : cells.cells) cell.size = -cell.size;
    return result;
}

}  // namespace korvelan

// The contrast table of a component: how each entry of the other facet responded to the entries
// with the highest and the lowest loadings, as responses above (HIGH), near (EXP.) and below
// (LOW) their expectation.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "engine/analyses/component_reports.h"
#include "engine/analyses/scratch_block.h"
#include "engine/estimation/category_model.h"
#include "engine/estimation/estimation_common.h"
#include "engine/input/data_input.h"
#include "engine/input/work_files.h"
#include "engine/report/table_heading.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr int kMostContrasted = 9;
constexpr float kLoadingMark = 0.4f;
constexpr std::size_t kEnoughRows = 10;

// The counters of one other-facet entry: top group HIGH, EXP., LOW, then the bottom group's.
using Counters = std::array<int, 6>;

// The n highest loadings (highest first) and the n lowest (lowest first) of the list, each entry
// taken once; of equal loadings the earlier in the list first.
std::vector<std::int32_t> contrasted_entries(std::span<const std::int32_t> list, const ComponentResult& c, int n) {
    std::vector<std::uint8_t> taken(list.size(), 0);
    std::vector<std::int32_t> chosen;
    for (int side = 0; side < 2; ++side)
        for (int k = 0; k < n; ++k) {
            std::size_t best = list.size();
            for (std::size_t i = 0; i < list.size(); ++i) {
                if (taken[i]) continue;
                const double l = c.loadings[static_cast<std::size_t>(std::abs(list[i]))];
                const double b = best < list.size() ? c.loadings[static_cast<std::size_t>(std::abs(list[best]))] : 0.0;
                if (best == list.size() || (side == 0 ? l > b : l < b)) best = i;
            }
            if (best == list.size()) break;
            taken[best] = 1;
            chosen.push_back(std::abs(list[best]));
        }
    return chosen;
}

float logit(float measure, float umean, float factor, float uscale) {
    return (measure - umean) / (factor * uscale);
}

void write_text(Run& run, const std::string& text) {
    run.rep.line.clear();
    run.rep.line.put(1, text);
    write_report_line(run);
    run.rep.line.clear();
}

// A line of the contrast boxes with its closing "|" at position 36.
std::string boxed(std::string text) {
    const std::size_t w = display_width(text);
    if (w > 35) return text;
    return pad_right(text, 35) + '|';
}

// The heading and the two boxes, entries favouring the top entries first, then the bottom ones.
void write_contrast_boxes(ReportContext& ctx, const ComponentResult& c, int n, std::span<const Counters> counters) {
    Run& run = ctx.run;
    const ReportSide other = other_side(ctx.side);
    const EntryOrder& others = ctx.order(other);
    std::vector<int> contrast(counters.size());
    int largest = 0;
    for (std::size_t k = 0; k < counters.size(); ++k) {
        const Counters& t = counters[k];
        contrast[k] = t[0] - t[2] - t[3] + t[5];
        largest = std::max(largest, std::abs(contrast[k]));
    }
    write_table_heading(run, 1);
    write_text(run, "  " + std::string(trim(facet_word(run, ctx.side))) + " FACTOR " + std::to_string(c.k) +
                        " CONTRASTING RESPONSES BY " + std::string(trim(facet_plural(run, other))));
    if (largest == 0) {
        write_text(run, msg::kPcaNoContrast);
        return;
    }
    const std::string plural(trim(facet_plural(run, ctx.side)));
    const std::size_t digits = std::to_string(other == ReportSide::Items ? run.arrays.items : run.arrays.persons).size();
    for (int sign : {1, -1}) {
        write_text(run, msg::kPcaContrastRule);
        write_text(run, boxed(" |        " + std::string(trim(facet_word(run, other))) +
                              (sign > 0 ? " FAVORS TOP" : " FAVORS BOTTOM")));
        std::string groups = " | TOP " + std::to_string(n) + " " + plural;
        groups = pad_right(groups, std::max<std::size_t>(display_width(groups), 18));
        write_text(run, boxed(groups + "| BOTTOM " + std::to_string(n) + " " + plural));
        write_text(run, " | HIGH  EXP. LOW | HIGH  EXP. LOW |");
        write_text(run, msg::kPcaContrastRule);
        std::size_t rows = 0;
        for (int v = largest; v >= 1 && rows < kEnoughRows; --v)
            for (std::size_t k = 0; k < counters.size(); ++k) {
                if (sign * contrast[k] != v) continue;
                std::string row = " |";
                for (int i = 0; i < 6; ++i) {
                    row += "    " + std::to_string(counters[k][static_cast<std::size_t>(i)]);
                    if (i == 2) row += " |";
                }
                const std::int32_t e = others.entries[k];
                row += " | " + pad_right(std::to_string(e), digits) + "  " + entry_label(run, other, e);
                write_text(run, row);
                ++rows;
            }
        write_text(run, msg::kPcaContrastRule);
    }
}

}  // namespace

void write_component_contrast_table(ReportContext& ctx, const ComponentResult& c) {
    Run& run = ctx.run;
    AnalysisArrays& a = run.arrays;
    const bool items = ctx.side == ReportSide::Items;
    const ReportSide other = other_side(ctx.side);
    const std::vector<std::int8_t>& other_status = items ? a.person_status : a.item_status;
    const std::vector<std::int8_t>& facet_status = items ? a.item_status : a.person_status;
    const std::int32_t other_count = items ? a.persons : a.items;

    EntryOrder& others = ctx.order(other);
    others.entries.clear();
    for (std::int32_t e = 1; e <= other_count; ++e)
        if (array_value(other_status, e, std::int8_t{-3}) >= 0) others.entries.push_back(e);
    others.count = static_cast<std::int32_t>(others.entries.size());
    ctx.sort_letter(other) = ' ';

    const EntryOrder& order = ctx.order(ctx.side);
    const std::span<const std::int32_t> list(order.entries.data(), static_cast<std::size_t>(std::max(order.count, 0)));
    int high = 0, low = 0;
    for (std::int32_t e : list) {
        const float l = static_cast<float>(c.loadings[static_cast<std::size_t>(std::abs(e))]);
        high += l >= kLoadingMark;
        low += l <= -kLoadingMark;
    }
    const int n = std::min({std::max({high, low, 3}), static_cast<int>(list.size()) / 2, kMostContrasted});
    if (n == 0) return;
    ScratchBlock<Counters> counters;
    const Size bytes = checked_sum(checked_product(others.count, std::int64_t{24}), std::int64_t{n} * 8);
    if (!counters.obtain(run, MemoryBlock::ContrastCounters, others.count, bytes)) return;
    const std::vector<std::int32_t> chosen = contrasted_entries(list, c, n);

    const float uscale = run.cv.uscale == 0.0f ? 1.0f : run.cv.uscale;
    const float umean = run.cv.umean;
    WorkFiles files = run_work_files(run);
    std::vector<std::uint8_t> scores(static_cast<std::size_t>(std::max(a.items, 1)));
    std::vector<float> p(static_cast<std::size_t>(a.top_value) + 2);
    // Items analysed: the responses of each person e; persons analysed: those of each chosen person.
    std::vector<std::vector<std::uint8_t>> chosen_scores;
    if (!items)
        for (std::int32_t s : chosen) {
            read_person_scores_record(run, files, s, scores);
            chosen_scores.push_back(scores);
        }
    for (std::size_t k = 0; k < others.entries.size(); ++k) {
        const std::int32_t e = others.entries[k];
        if (array_value(other_status, e) <= 0) continue;
        if (items) read_person_scores_record(run, files, e, scores);
        for (std::size_t j = 0; j < chosen.size(); ++j) {
            const std::int32_t s = chosen[j];
            if (array_value(facet_status, s) <= 0) continue;
            const std::int32_t item = items ? s : e, person = items ? e : s;
            const std::uint8_t score = items ? scores[static_cast<std::size_t>(item - 1)]
                                             : chosen_scores[j][static_cast<std::size_t>(item - 1)];
            const std::int32_t g = array_value(a.item_group, item);
            const std::int32_t x = recoded_category(a, g, score);
            if (x < 0) continue;
            const CategoryModel model = group_model_view(a, g);
            const float d = logit(a.person_measure[static_cast<std::size_t>(person)], umean, a.estimation.person_bias_factor, uscale) -
                            logit(a.item_measure[static_cast<std::size_t>(item)], umean, a.estimation.item_bias_factor, uscale);
            // The item's expected score, the mean of its category probabilities in every model.
            const float expected = compute_category_probabilities(model, d, p.data());
            const float residual = static_cast<float>(x) - expected;
            const int kind = residual > 0.5f ? 0 : residual < -0.5f ? 2 : 1;
            counters[k][static_cast<std::size_t>((j < static_cast<std::size_t>(n) ? 0 : 3) + kind)] += 1;
        }
    }
    write_contrast_boxes(ctx, c, n, counters.span());
}

}  // namespace korvelan

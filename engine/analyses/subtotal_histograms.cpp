#include "engine/analyses/subtotal_histograms.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/estimation/weighted_sums.h"
#include "engine/report/plot_axis.h"
#include "engine/report/plot_range.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

struct Tally {
    std::vector<double> count;
    double total = 0, sum = 0, sum_squares = 0;
    bool positive = false;  // a positively weighted entry was counted
};

// Mean and S.D. of the column index weighted by the values.
void column_moments(HistogramKind& kind) {
    double w = 0, s = 0, q = 0;
    for (std::size_t c = 0; c < kind.values.size(); ++c) {
        w += kind.values[c];
        s += kind.values[c] * static_cast<double>(c);
        q += kind.values[c] * static_cast<double>(c) * static_cast<double>(c);
    }
    if (w <= 0) return;
    kind.mean = s / w;
    kind.sd = std::sqrt(std::max(q / w - kind.mean * kind.mean, 0.0));
}

void raise_to_whole(HistogramKind& kind) {
    for (double& v : kind.values) v = static_cast<double>(drawn_count(v));
}

const char* const kKindTitles[] = {"LOCAL SAMPLE COUNT", "PER THOUSAND IN LOCAL SAMPLE",
                                   "PER THOUSAND AT MEASURE FOR COUNTED LOCAL SAMPLES",
                                   "PER THOUSAND AT MEASURE FOR EQUAL LOCAL SAMPLES"};

void write_text_line(Run& run, std::string line) { write_wide_report_line(run, std::move(line)); }

// The digit rows of the values, highest power of ten first, then the marker row.
void write_histogram_columns(Run& run, const HistogramKind& kind) {
    double p = 10;
    while (std::any_of(kind.values.begin(), kind.values.end(), [&](double v) { return v >= p; })) p *= 10;
    std::vector<double> rest = kind.values;
    std::vector<bool> started(rest.size(), false);
    for (p /= 10; p >= 1; p /= 10) {
        std::string line(rest.size() + 1, ' ');
        for (std::size_t c = 0; c < rest.size(); ++c) {
            const int digit = static_cast<int>(rest[c] / p);
            rest[c] -= digit * p;
            if (started[c] || digit >= 1) {
                line[c + 1] = static_cast<char>('0' + std::min(digit, 9));
                started[c] = true;
            } else if (p == 1 && kind.values[c] > 0) {
                line[c + 1] = '1';
            }
        }
        write_text_line(run, line);
    }
    std::string marks(kind.values.size() + 1, ' ');
    const int last = static_cast<int>(kind.values.size()) - 1;
    auto put = [&](double at, char c) { marks[static_cast<std::size_t>(std::clamp(nint(at), 0, last)) + 1] = c; };
    put(kind.mean - 2 * kind.sd, 'T');
    put(kind.mean + 2 * kind.sd, 'T');
    put(kind.mean - kind.sd, 'S');
    put(kind.mean + kind.sd, 'S');
    put(kind.mean, 'M');
    write_text_line(run, marks);
}

std::string ruler_line(const PlotAxis& axis) {
    std::string line = std::string(" ") + box::kVerticalRight;
    for (int t = 0; t < axis.tick_count; ++t)
        line += std::string(static_cast<std::size_t>(axis.columns_per_tick - 1), box::kHorizontal) + box::kCross;
    line.back() = box::kVerticalLeft;
    return line;
}

std::string label_line(const PlotAxis& axis) {
    const int k = axis.columns_per_tick;
    std::string line(static_cast<std::size_t>(axis.tick_count * k + 2), ' ');
    auto value = [&](int j) {
        const double u = axis.axis_step;
        return static_cast<std::int64_t>(nint(std::round((axis.lowest_measure + j * axis.units_per_tick) / u) * u));
    };
    for (int j = 1; j <= axis.tick_count; ++j) line.replace(static_cast<std::size_t>(j * k - 3), 5, fmt_i(value(j), 5));
    const std::string first(trim(int_to_text_left(value(0))));
    // The lowest label is written over the line; a first tick label it would reach gives way.
    if (axis.tick_count >= 1 && tick_labels_touch(first, 2, fmt_i(value(1), 5), k - 2))
        line.replace(static_cast<std::size_t>(k - 3), 5, std::string(5, ' '));
    line.replace(1, first.size(), first);
    return line;
}

}  // namespace

std::vector<std::vector<HistogramKind>> histogram_kinds(const std::vector<SubtotalEntry>& entries, int groups,
                                                        double low, double columns_per_unit, int width,
                                                        bool weighted) {
    const std::size_t columns = static_cast<std::size_t>(width) + 1;
    std::vector<Tally> tallies(static_cast<std::size_t>(groups), Tally{std::vector<double>(columns, 0.0)});
    bool any_positive = false;
    for (const SubtotalEntry& e : entries) {
        if (e.status < -1) continue;
        const double w = weighted ? e.weight : 1.0;
        any_positive = any_positive || w > 0;
        const double x = e.values.measure;
        const std::size_t c = static_cast<std::size_t>(std::clamp(nint((x - low) * columns_per_unit), 0, width));
        auto count = [&](Tally& t) {
            if (w <= 0 && t.positive) return;
            t.positive = t.positive || w > 0;
            t.count[c] += w;
            t.total += w;
            t.sum += w * x;
            t.sum_squares += w * x * x;
        };
        count(tallies[0]);
        if (e.group > 1) count(tallies[static_cast<std::size_t>(e.group - 1)]);
    }
    std::vector<std::vector<HistogramKind>> kinds(static_cast<std::size_t>(groups), std::vector<HistogramKind>(4));
    for (int g = 1; g <= groups; ++g) {
        const Tally& t = tallies[static_cast<std::size_t>(g - 1)];
        std::vector<HistogramKind>& k = kinds[static_cast<std::size_t>(g - 1)];
        k[0].values = t.count;
        k[1].values.assign(columns, 0.0);
        for (std::size_t c = 0; c < columns && t.total != 0; ++c) k[1].values[c] = t.count[c] * 1000 / t.total;
        const double mean = t.total != 0 ? t.sum / t.total : 0;
        const double sd = t.total != 0 ? std::sqrt(std::max(t.sum_squares / t.total - mean * mean, 0.0)) : 0;
        for (int kind = 0; kind < 2; ++kind) {
            k[static_cast<std::size_t>(kind)].mean = (mean - low) * columns_per_unit;
            k[static_cast<std::size_t>(kind)].sd = sd * columns_per_unit;
        }
        k[2].values.assign(columns, 0.0);
        k[3].values.assign(columns, 0.0);
    }
    auto takes_part = [&](int g) { return !any_positive || tallies[static_cast<std::size_t>(g - 1)].positive; };
    for (std::size_t c = 0; c < columns; ++c) {
        const double total = tallies[0].count[c];
        double equal = 0;
        for (int g = 2; g <= groups; ++g)
            if (takes_part(g)) equal += kinds[static_cast<std::size_t>(g - 1)][1].values[c];
        for (int g = 1; g <= groups; ++g) {
            std::vector<HistogramKind>& k = kinds[static_cast<std::size_t>(g - 1)];
            if (g > 1 && !takes_part(g)) continue;
            if (total > 0) k[2].values[c] = g == 1 ? 1000 : tallies[static_cast<std::size_t>(g - 1)].count[c] * 1000 / total;
            if (equal > 0) k[3].values[c] = g == 1 ? 1000 : k[1].values[c] * 1000 / equal;
        }
    }
    for (std::vector<HistogramKind>& group : kinds) {
        column_moments(group[2]);
        column_moments(group[3]);
        for (HistogramKind& kind : group) raise_to_whole(kind);
    }
    return kinds;
}

void write_subtotal_histograms(ReportContext& ctx, const LabelCodeTable& groups,
                               const std::vector<SubtotalEntry>& entries, const std::vector<int>& order) {
    Run& run = ctx.run;
    write_table_heading(run, 1);
    const AnalysisArrays& a = run.arrays;
    PlotAxis axis;
    find_plot_measure_range(axis, run.cv, run.rep.request, plot_range_sources(a, a.category_score_point_measure));
    axis.plot_width = 60;
    axis.columns_per_tick = 6;
    scale_plot_axis(axis, run.rep.request);
    const bool weighted = ctx.side == ReportSide::Items ? run.input.item_weights_present : run.input.person_weights_present;
    const auto kinds = histogram_kinds(entries, groups.count(), axis.lowest_measure, axis.columns_per_unit,
                                       axis.plot_width, weighted);
    auto total = [&](int g) {
        const std::vector<double>& v = kinds[static_cast<std::size_t>(g - 1)][0].values;
        double s = 0;
        for (double x : v) s += x;
        return s;
    };
    if (total(1) <= 0) return;
    const std::string ruler = ruler_line(axis), labels = label_line(axis);
    for (int g : order) {
        if (total(g) <= 0) continue;
        const std::string code = groups.codes()[static_cast<std::size_t>(g - 1)];
        for (int k = 0; k < (g == 1 ? 2 : 4); ++k) {
            write_blank_report_line(run);
            write_histogram_columns(run, kinds[static_cast<std::size_t>(g - 1)][static_cast<std::size_t>(k)]);
            write_text_line(run, ruler + "  " + code + (g == 1 ? " TOTAL" : ""));
            write_text_line(run, labels + "  " +
                                     (g == 1 ? (k == 0 ? "GLOBAL SAMPLE COUNT" : "PER THOUSAND IN GLOBAL SAMPLE")
                                             : kKindTitles[k]));
        }
    }
}

}  // namespace korvelan

#include "engine/report/axis_strip.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/estimation/weighted_sums.h"
#include "engine/run/numtext.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr int kScoreTable = 20;
constexpr int kCategoryTable = 2;

float entry_weight(const Run& run, const AxisStripEntries& entries, int n) {
    if (entries.side == 'P')
        return run.input.person_weights_present ? array_value(run.arrays.person_weights, n, 1.0f)
                                                : 1.0f;
    return run.input.item_weights_present ? array_value(run.arrays.item_weights, n, 1.0f) : 1.0f;
}

template <typename T>
T at(std::span<const T> v, std::int64_t n, T fallback) {
    return n >= 0 && static_cast<std::size_t>(n) < v.size() ? v[static_cast<std::size_t>(n)]
                                                            : fallback;
}

// One strip line: in Table 2 the strip from column 2 and the label at label_column; elsewhere
// the label in column 2 and the strip from label_column.
void write_strip_line(Run& run, std::string_view strip, std::string_view label, int label_column) {
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    if (run.rep.request.table == kCategoryTable) {
        line.put(2, strip);
        line.put(label_column, trim(label));
    } else {
        line.put(2, display_prefix(label, 6));
        line.put(label_column, strip);
    }
    write_report_line(run);
}

void write_count_digits(Run& run, const std::vector<std::int64_t>& bins, std::string_view label,
                        int label_column) {
    const std::vector<std::string> strips = stacked_count_digits(bins);
    for (std::size_t k = 0; k < strips.size(); ++k)
        write_strip_line(run, strips[k], k + 1 == strips.size() ? label : std::string_view{},
                         label_column);
}

void write_mean_marks(Run& run, const PlotAxis& axis, const AxisDistribution& counts,
                      int label_column) {
    const double mean = counts.weighted_sum / counts.weight_sum;
    const double variance =
        (counts.weighted_squares - counts.weight_sum * mean * mean) / counts.weight_sum;
    const double s = std::sqrt(std::max(variance, 0.0));
    std::string strip(counts.bins.size(), ' ');
    const std::pair<char, double> marks[] = {
        {'T', mean - 2 * s}, {'T', mean + 2 * s}, {'S', mean + s}, {'S', mean - s}, {'M', mean}};
    for (const auto& [mark, x] : marks) {
        const int c = plot_column(axis, static_cast<float>(x));
        if (c >= 0 && c < static_cast<int>(strip.size())) strip[static_cast<std::size_t>(c)] = mark;
    }
    write_strip_line(run, strip, {}, label_column);
}

}  // namespace

std::vector<std::string> stacked_count_digits(std::vector<std::int64_t> bins) {
    std::int64_t p = 10;
    while (std::any_of(bins.begin(), bins.end(), [p](std::int64_t b) { return b >= p; })) p *= 10;
    std::vector<bool> started(bins.size(), false);
    std::vector<std::string> strips;
    for (p /= 10; p >= 1; p /= 10) {
        std::string strip(bins.size(), ' ');
        for (std::size_t c = 0; c < bins.size(); ++c) {
            const std::int64_t d = bins[c] / p;
            if (d < 1 && !started[c]) continue;
            strip[c] = static_cast<char>('0' + d);
            bins[c] -= d * p;
            started[c] = true;
        }
        strips.push_back(strip);
    }
    return strips;
}

AxisDistribution tally_axis_distribution(const Run& run, PlotAxis& axis,
                                         const AxisStripEntries& entries, int width) {
    width = std::clamp(width, 0, kAxisStripLastColumn);
    const float range = axis.highest_measure - axis.lowest_measure;
    axis.columns_per_unit = range > 0.0f ? static_cast<float>(width) / range : 0.0f;
    std::vector<double> weights(static_cast<std::size_t>(width) + 1, 0.0);
    AxisDistribution counts;
    const bool extremes_at_ends = run.rep.request.table != kScoreTable;
    for (int n = 1; n <= entries.count; ++n) {
        const std::int8_t s = at(entries.status, n, status::kDeleted);
        const float w = entry_weight(run, entries, n);
        if (s < status::kExtremeMinimum || !(w > 0.0f)) continue;
        if (extremes_at_ends && s < status::kMeasured) {
            weights[s == status::kExtremeMaximum ? static_cast<std::size_t>(width) : 0] += w;
            continue;
        }
        const float m = at(entries.measures, n, 0.0f);
        weights[static_cast<std::size_t>(std::clamp(plot_column(axis, m), 0, width))] += w;
        counts.weight_sum += w;
        counts.weighted_sum += static_cast<double>(w) * m;
        counts.weighted_squares += static_cast<double>(w) * m * m;
    }
    counts.bins.reserve(weights.size());
    for (double w : weights) counts.bins.push_back(drawn_count(w));
    return counts;
}

void write_axis_distribution_counts(Run& run, PlotAxis& axis, const AxisStripEntries& entries,
                                    std::string_view label, int label_column, int width) {
    const AxisDistribution counts = tally_axis_distribution(run, axis, entries, width);
    write_blank_report_line(run);
    write_count_digits(run, counts.bins, label, label_column);
    if (counts.weight_sum > 0.0) write_mean_marks(run, axis, counts, label_column);
}

}  // namespace korvelan

// The table of the largest residual correlations of a facet (sub-table 1 of Tables 23 and 24):
// the pairs with positive correlations, then those with negative ones.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/analyses/component_reports.h"
#include "engine/analyses/residual_correlations.h"
#include "engine/report/table_heading.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

std::string rule(std::size_t n) { return std::string(n, box::kHorizontal); }

// A line may be wider than the report line when labels are long: it is built whole and the
// report line keeps what fits.
void write_text(Run& run, const std::string& text) {
    run.rep.line.clear();
    run.rep.line.put(1, text);
    write_report_line(run);
    run.rep.line.clear();
}

}  // namespace

void write_residual_correlation_table(ReportContext& ctx) {
    Run& run = ctx.run;
    if (!residual_correlations_current(run, ctx.side)) compute_residual_correlations(run, ctx.side);
    if (!residual_correlations_current(run, ctx.side)) return;
    const std::size_t facet = ctx.side == ReportSide::Items ? 0 : 1;
    // The list is ordered by decreasing absolute correlation, ties in reverse order of finding;
    // the ordering works on a copy, so that every request prints the same table.
    std::vector<ResidualCorrelationPair> pairs = run.arrays.estimation.residual_correlations[facet].largest;
    if (pairs.empty()) return;
    for (std::size_t i = pairs.size(); i >= 2; --i)
        for (std::size_t j = i - 1; j >= 1; --j)
            if (std::fabs(pairs[j - 1].correlation) <= std::fabs(pairs[i - 1].correlation))
                std::swap(pairs[j - 1], pairs[i - 1]);

    std::vector<std::string> first_labels, second_labels;
    std::size_t w1 = 1, w2 = 1;
    for (const ResidualCorrelationPair& p : pairs) {
        first_labels.push_back(entry_label(run, ctx.side, p.first));
        second_labels.push_back(entry_label(run, ctx.side, p.second));
        w1 = std::max(w1, display_width(first_labels.back()));
        w2 = std::max(w2, display_width(second_labels.back()));
    }
    const std::string v(1, box::kVertical);
    const std::string word(trim(facet_word(run, ctx.side)));
    write_table_heading(run, 1);
    run.rep.line.clear();
    run.rep.line.put(7, "LARGEST " + residual_word(residual_kind(run), true) + " CORRELATIONS");
    write_report_line(run);
    run.rep.line.clear();
    run.rep.line.put(7, "USED TO IDENTIFY DEPENDENT " + std::string(trim(facet_plural(run, ctx.side))));
    write_report_line(run);
    write_text(run, std::string(" ") + box::kDownRight + rule(7) + box::kDownHorizontal + rule(w1 + 8) +
                        box::kDownHorizontal + rule(w2 + 8) + box::kDownLeft);
    write_text(run, " " + v + "RESIDUL" + v + " ENTRY " + std::string(w1, ' ') + " " + v + " ENTRY " +
                        std::string(w2, ' ') + " " + v);
    write_text(run, " " + v + "CORRELN" + v + "NUMBER " + pad_right(word, w1) + " " + v + "NUMBER " +
                        pad_right(word, w2) + " " + v);
    for (int sign : {1, -1}) {
        bool started = false;
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            const float r = pairs[k].correlation;
            if (!(sign > 0 ? r > 0.0f : r < 0.0f)) continue;
            if (!started)
                write_text(run, std::string(" ") + box::kVerticalRight + rule(7) + box::kCross + rule(w1 + 8) +
                                    box::kCross + rule(w2 + 8) + box::kVerticalLeft);
            started = true;
            write_text(run, " " + v + " " + fmt_f(r, 5, 2) + " " + v + " " + fmt_i(pairs[k].first, 5) + " " +
                                pad_right(first_labels[k], w1) + " " + v + " " + fmt_i(pairs[k].second, 5) + " " +
                                pad_right(second_labels[k], w2) + " " + v);
        }
    }
    write_text(run, std::string(" ") + box::kUpRight + rule(7) + box::kUpHorizontal + rule(w1 + 8) +
                        box::kUpHorizontal + rule(w2 + 8) + box::kUpLeft);
}

}  // namespace korvelan

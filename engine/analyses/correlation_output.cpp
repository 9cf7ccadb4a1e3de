#include "engine/analyses/correlation_output.h"

#include "engine/analyses/residual_correlations.h"
#include "engine/analyses/residual_pairs.h"
#include "engine/analyses/work_file.h"

namespace korvelan {

namespace {
ReportSide side_of(Entity side) { return side == Entity::Item ? ReportSide::Items : ReportSide::Persons; }
constexpr double kAbsent = 10.0;
}  // namespace

bool RunResidualCorrelations::prepare(Entity side) {
    if (!residual_correlations_current(run_, side_of(side))) compute_residual_correlations(run_, side_of(side));
    return residual_correlations_current(run_, side_of(side));
}

void RunResidualCorrelations::for_each_pair(
    Entity side, const std::function<bool(std::int32_t, std::int32_t, double)>& pair) {
    const bool items = side == Entity::Item;
    using Source = ResidualCorrelationFacet::Source;
    const Source source = run_.arrays.estimation.residual_correlations[items ? 0 : 1].source;
    if (source != Source::WorkFile) {
        const float smallest = run_.rs.smallest_positive;
        const bool observed_only = residual_kind(run_) == 'O';
        const bool held = use_held_residuals(run_, side_of(side), [&](const ResidualMatrix& m, std::span<const std::int32_t> entries) {
            if (source == Source::Products) {
                for_each_complete_pair(ResidualRows(m.held_block(), m.row_count(), m.column_count()), entries, smallest, pair);
                return;
            }
            for_each_pairwise_pair(PairwiseRows(m.held_block(), m.row_count(), m.column_count(), observed_only, smallest),
                                   entries, pair);
        });
        if (!held) fail_correlation_work_file(run_, 0, 'I');
        return;
    }
    const std::vector<std::int32_t> active = active_entries(items ? run_.arrays.item_status : run_.arrays.person_status,
                                                            items ? run_.arrays.items : run_.arrays.persons);
    WorkFileHandle file;
    if (!file.open_existing(correlation_work_file_path(run_, side_of(side)), false))
        fail_correlation_work_file(run_, 0, 'I');
    CorrelationRecords records(file);
    std::int64_t p = 0;
    for (std::size_t a = 0; a < active.size(); ++a)
        for (std::size_t b = a + 1; b < active.size(); ++b) {
            double r = 0.0;
            if (!records.read(++p, r)) fail_correlation_work_file(run_, p, 'R');
            if (r < kAbsent && !pair(active[a], active[b], r)) return;
        }
}

}  // namespace korvelan

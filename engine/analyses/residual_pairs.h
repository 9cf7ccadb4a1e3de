// Every pair of complete residuals, from the blocked cross products on the worker threads: the
// largest correlations, the correlation work file when one is kept, and the pairs in the order
// of the work file for the correlation files of a facet that keeps none.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "engine/analyses/pairwise_rows.h"
#include "engine/analyses/residual_access.h"
#include "engine/analyses/residual_products.h"
#include "engine/analyses/work_file.h"
#include "engine/report/report_context.h"
#include "engine/run/run.h"

namespace korvelan {

// The largest correlations of the rows (entry numbers `entries`), offered in pair order as the
// pairwise computation offers them, so that the list is the same; with `file`, every pair's
// correlation into it. False when "Finish iterating" ended the pass.
bool complete_pair_pass(Run& run, const ResidualRows& x, std::span<const std::int32_t> entries,
                        std::vector<ResidualCorrelationPair>& largest, WorkFileHandle* file);

// pair(a, b, r) for every pair of the rows in the work-file order; pair returns false to stop.
void for_each_complete_pair(const ResidualRows& x, std::span<const std::int32_t> entries, float smallest,
                            const std::function<bool(std::int32_t, std::int32_t, double)>& pair);

// The pairwise correlations of residual rows with missing codes, in blocks on the worker threads:
// with `largest`, its list as the row-by-row computation offers the pairs; with `file`, every
// pair into it in order; with `packed` (room for every pair), every pair into it in the same
// order. False when "Finish iterating" ended the pass.
bool pairwise_pair_pass(Run& run, const PairwiseRows& x, std::span<const std::int32_t> entries,
                        std::vector<ResidualCorrelationPair>* largest, WorkFileHandle* file, std::span<double> packed);

// pair(a, b, r) for every pair of the rows in the work-file order; pair returns false to stop.
void for_each_pairwise_pair(const PairwiseRows& x, std::span<const std::int32_t> entries,
                            const std::function<bool(std::int32_t, std::int32_t, double)>& pair);

// The facet's active residuals read again into memory from ZUU; use(matrix, entries) then runs
// on them, held whole. False, without a message, when memory is refused or "Finish iterating"
// ended the reading.
bool use_held_residuals(Run& run, ReportSide side,
                        const std::function<void(const ResidualMatrix&, std::span<const std::int32_t>)>& use);

}  // namespace korvelan

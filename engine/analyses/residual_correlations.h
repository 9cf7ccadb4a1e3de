// The residual correlations of one facet: for every pair of active entries (status above 0) the
// correlation of their residuals across the active entries of the other facet, written in pair
// order to the facet's correlation work file (ZTT for items, ZWW for persons), and the ten
// pairs of largest absolute correlation. Residuals held in memory whose pairs the run could also
// hold keep no work file: the pairs are computed again from the residuals when needed (as
// products when none is missing, else pair by pair). Read by the principal components, the
// residual-correlation table and the correlation files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/report/report_context.h"
#include "engine/run/run.h"

namespace korvelan {

// Worker threads for a computation of this many residual steps: one for small ones, else the
// pool's default.
int correlation_threads(std::int64_t steps);

// The residual kind letter of the run: PRCOMP=, "S" when it is not set.
char residual_kind(const Run& run);

// The active entries 1..n of a status array (status above 0), ascending.
std::vector<std::int32_t> active_entries(std::span<const std::int8_t> status, std::int32_t n);

// Whether the facet's work file and largest pairs are current: computed, and the active entries
// of both facets unchanged since.
bool residual_correlations_current(const Run& run, ReportSide side);

// The path of the facet's correlation work file in the temporary directory.
std::string correlation_work_file_path(const Run& run, ReportSide side);

// compute_residual_correlations: the facet's work file, largest pairs and done flag. Without the
// residual file: the "No Information" message and PRCOMP= becomes "N". A computation ended by
// "Finish iterating" or by a disk too small for the work file leaves the flag clear.
// with_work_file: the pairs go to the work file even where memory would hold them; keep_pairs:
// pairs computed pair by pair in memory are kept in the facet's kept_pairs for the components.
void compute_residual_correlations(Run& run, ReportSide side, bool with_work_file = false, bool keep_pairs = false);

// fail_correlation_work_file: the failure message with the record number, then the fatal file
// error with the mode letter. Never returns.
[[noreturn]] void fail_correlation_work_file(Run& run, std::int64_t record, char mode);

// The correlation of two rows of 16-bit residuals (-32768 missing) by running means,
// variances and covariance (population, divisor n). A column where both are missing is skipped;
// with observed_only (PRCOMP=O) one where either is missing, otherwise a missing value counts
// as 0. 0.0 when fewer than two columns count or either variance is 0. computed tells which.
double residual_correlation(std::span<const std::int16_t> a, std::span<const std::int16_t> b,
                            bool observed_only, float smallest, bool& computed);

// Offers pair (a, b) with correlation r to the list of the largest (at most 10, largest |r|
// first, a new pair ahead of listed pairs of equal |r|). A perfect 1.0 whose two entries both
// already appear in listed perfect pairs is not listed.
void offer_largest_correlation(std::vector<ResidualCorrelationPair>& list, std::int32_t a,
                               std::int32_t b, double r);

}  // namespace korvelan

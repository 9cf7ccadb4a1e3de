// Runs of whole analyses for the component and correlation tests: simulated data with a planted
// second dimension, Tables written after the run, and the correlation matrix read back from the
// work file (or computed again from the residuals) together with its exact eigen-decomposition.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include <Eigen/Dense>

#include "engine/report/report_context.h"
#include "tests/engine/tables/summary_fixture.h"

namespace korvelan::testing {

// Dichotomous responses of `persons` persons to `cluster + rest` items: one ability plus a
// second dimension that raises the first `cluster` items and lowers the others in proportion,
// so that the residuals contrast the two clusters. The settings go before &END.
std::string planted_dimension_set(int persons, int cluster, int rest, const std::string& settings);

// The lines of a Table (for example "23" or "24.1") written after the run into its own file,
// with a fixed report name and date in the headings.
std::vector<std::string> table_after_run(SummaryRun& analysis, const std::string& request);

// The same lines with the first heading line of each sub-table dropped (it names the file).
std::vector<std::string> without_file_lines(const std::vector<std::string>& table);

// The sub-table numbers of the headings, in their order ("23.2", "23.3", ...).
std::vector<std::string> sub_table_ids(const std::vector<std::string>& table);

// The correlation matrix of a facet as the work file holds it (active entries in order, unit
// diagonal).
Eigen::MatrixXd correlation_matrix(SummaryRun& analysis, ReportSide side);

// The largest eigenvalue and its eigenvector, the largest element made positive and scaled to
// the square root of the eigenvalue (the loadings).
struct ExactComponent {
    double eigenvalue = 0;
    Eigen::VectorXd loadings;
};
ExactComponent largest_component(const Eigen::MatrixXd& r);

// Row r of a row-major block of residual codes, `columns` to a row.
std::span<const std::int16_t> code_row(const std::vector<std::int16_t>& codes, std::size_t columns, std::size_t r);

// The entry numbers 1..n.
std::vector<std::int32_t> numbered(std::size_t n);

}  // namespace korvelan::testing

// The principal components of the residual correlations of the facet of a Table 23 (items) or
// 24 (persons) request: up to five components by power iteration with deflation, each reported
// by its loading plot, its loadings sorted by loading, its contrast table and its loadings
// sorted by measure and by entry. The matrix is held in memory when the run can have it, or
// passed over from the correlation work file and the deflation scratch file ZSS.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "engine/report/report_context.h"

namespace korvelan {

// One extracted component as its reports see it.
struct ComponentResult {
    int k = 1;               // the component number, 1 to 5
    double eigenvalue = 0;   // in units of one entry's variance
    std::int32_t included = 0;            // c: the entries in the analysis
    std::span<const double> loadings;     // by entry number (element 0 unused)
    std::span<const std::int32_t> flags;  // inclusion flags by entry number
    std::span<const std::string> labels;  // trimmed labels by entry number, of every active entry
};

// compute_principal_components for ctx.side: the correlations first when they are not current;
// the components and their reports. The plot range in ctx.axis is set by the caller.
void compute_principal_components(ReportContext& ctx);

}  // namespace korvelan

// The reports of Tables 23 and 24: per component the loading plot, the loadings sorted by
// loading, the contrast table and the loadings sorted by measure and by entry, each under its
// own Table heading; and the table of the largest residual correlations (sub-table 1).
#pragma once

#include <string>

#include "engine/analyses/principal_components.h"
#include "engine/report/report_context.h"

namespace korvelan {

enum class LoadingOrder { Loading = 1, Measure = 2, Entry = 3 };

// The five reports of one component, in their order.
void write_component_reports(ReportContext& ctx, const ComponentResult& component);

void write_component_loading_plot(ReportContext& ctx, const ComponentResult& component);
void write_component_loadings_table(ReportContext& ctx, const ComponentResult& component,
                                    LoadingOrder order);
void write_component_contrast_table(ReportContext& ctx, const ComponentResult& component);

// write_residual_correlation_table: the largest positive, then negative, correlations of the
// facet (computed first when they are not current); nothing when there are none.
void write_residual_correlation_table(ReportContext& ctx);

// squeeze_report_line_blanks: keeps the report line up to its first non-blank character and
// replaces every later run of blanks by one blank.
void squeeze_report_line_blanks(ReportLineBuffer& line);

// The residual word of the residual kind: for the component reports, or (correlation_table)
// for the table of the largest correlations.
std::string residual_word(char kind, bool correlation_table);

// The two ratio texts of the yardstick line, one decimal each: (c x yardstick variance) /
// (noise variance x eigenvalue), and yardstick variance / noise variance.
std::string yardstick_line(const Run& run, ReportSide side, const ComponentResult& component);

// The facet's words and labels.
const std::string& facet_word(const Run& run, ReportSide side);
const std::string& facet_plural(const Run& run, ReportSide side);
ReportSide other_side(ReportSide side);
// The trimmed label of an entry, read from the work files.
std::string entry_label(Run& run, ReportSide side, std::int32_t entry);

}  // namespace korvelan

// The correlation files ICORFILE= (items) and PCORFILE= (persons): one line per pair of active
// entries, "i j r" in fixed columns (I10, I10, F10.2) or comma- or tab-separated, no headings.
#pragma once

#include <string>

#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

// The line of one pair in the layout of CSV=.
std::string correlation_file_line(const OutputSettings& s, std::int32_t i, std::int32_t j, double r);

// write_correlation_file: the facet's correlations (computed first when they are not current);
// nothing when the run has none.
void write_correlation_file(Run& run, const OutputSettings& s, OutputServices& services, Entity side);

}  // namespace korvelan

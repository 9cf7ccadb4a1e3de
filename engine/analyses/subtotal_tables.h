// Tables 27 (items) and 28 (persons): the measures summarised by the groups that ISUBTOTAL= or
// PSUBTOTAL= cut out of the labels.
#pragma once

#include <string_view>

#include "engine/report/report_context.h"

namespace korvelan {

void write_subtotal_tables(ReportContext& ctx);
void write_subtotal_set(ReportContext& ctx, std::string_view specification);

}  // namespace korvelan

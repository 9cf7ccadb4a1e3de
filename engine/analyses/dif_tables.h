// Tables 30 (DIF: persons classified by DIF=) and 31 (DPF: items classified by DPF=).
#pragma once

#include "engine/analyses/dif_estimation.h"
#include "engine/report/report_context.h"

namespace korvelan {

// Every specification of the side's setting, each under its own heading.
void run_dif_dpf_tables(ReportContext& ctx);

// One specification; pass_cap bounds the passes of its estimation.
void write_dif_dpf_set(ReportContext& ctx, std::string_view specification, int pass_cap = kDifPassCap);

// The box table of the cells (after the estimation).
void write_dif_box_table(Run& run, ReportSide classified, const LabelCodeTable& classes, DifCells& cells);

}  // namespace korvelan

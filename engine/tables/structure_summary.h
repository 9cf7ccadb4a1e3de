// The rating-scale structure of Tables 3 (from sub-table 2) and 21: per rating-scale group its
// heading (the group character, the model and the run of its items) and the category structure
// summary (" SUMMARY OF MEASURED STEPS"): counts, average measures, category fit, step
// calibrations, category measures, zones, Thurstone thresholds and coherence, one table for a
// dichotomous group and two for a rating scale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/report/report_context.h"

namespace korvelan {

// The measured items (status above 0) of group g in entry order as runs: an item alone adds its
// number, a run a..b (b > a) adds a and -b.
std::vector<std::int32_t> group_item_runs(const AnalysisArrays& a, int group);

// The lines of the item list of a heading: "<prefix> NUMBERS:" and the runs ("1-5 7 9-12"), a
// new line (starting with a blank) before a run that would start past position 74. Each text
// starts at report position 1.
std::vector<std::string> item_run_lines(std::string prefix, const std::vector<std::int32_t>& runs);

// write_rating_scale_group_heading: with more than one group, and STEPT=Y, Table 3 or a group of
// at least two categories, names group g (its GROUPS= character, the model when it is not "R")
// and its items, then a blank line. The item list overwrites the item order, whose sort letter
// becomes blank. Returns how many entries the list holds (0 when nothing was written).
int write_rating_scale_group_heading(ReportContext& ctx, int group);

// write_category_structure: the structure summary of group g; nothing for a group without a
// measured item. The OBS-EXP column is dropped when no category's residual reaches 1% of its
// expected count.
void write_category_structure(ReportContext& ctx, int group);

// The groups in the order their sections are written: the rating scales (top category 2 or
// more) in group order, then the dichotomous groups.
std::vector<int> rating_scale_section_order(const AnalysisArrays& a);

// The sections of Table 3 (from 3.2) or Table 21: per group of the section order a sub-table
// heading, then the structure summary (Table 3 with STEPT=Y, Table 21 without) or the group
// heading alone, then the probability curves CURVES= chooses for a group with measured items.
void write_rating_scale_sections(ReportContext& ctx);

}  // namespace korvelan

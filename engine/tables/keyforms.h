// Keyforms: one person's responses laid out on the measure axis, one line per item from the
// highest key down, a "|" in the person's column, the expected response there and the observed
// one where it falls, marked ".1." in its zone and "(1)" when it is very unexpected. Table 7
// (from sub-table 2) shows the misfitting persons in fit order, Tables 17-19 (from sub-table 3)
// every measured, anchored and extreme person in the order of their list.
#pragma once

#include <string>
#include <vector>

#include "engine/report/report_context.h"

namespace korvelan {

// The zone of category k of an item (0..top): from lower (the half-point measure of k, none
// for 0) up to upper (that of k + 1, none for the top). The half-points are stored relative to
// the item in the orientation of the logits; a person measure mu (user units) is compared with
// them as orientation x (mu - item measure), orientation being scale_orientation of the run.
struct CategoryZones {
    const std::vector<float>* half_points = nullptr;  // per slot, relative to the item
    int first_slot = 0;
    int top = 0;
    float item_measure = 0.0f;
    float orientation = 1.0f;
};
// Whether the observed category r stands outside its zone at measure mu; on a boundary it is in.
bool observed_out_of_zone(const CategoryZones& z, int r, float mu);
// Whether mu lies in the zone of category k as the expected response: above lower, at or below
// upper.
bool expected_in_zone(const CategoryZones& z, int k, float mu);

// The item keys of the keyform order for category reference c: the item measure plus the
// measure at expected score of the first category whose value reaches c (the top one's when
// none does, placed on the reported scale by category_point_measure) when c > 0; under c = -1 with several groups, group 1 first and each group in its
// own order. Element 0 unused.
std::vector<float> keyform_item_keys(const Run& run, int c);

// Writes the keyforms of the request's persons; the item list is left in the keyform order
// with a blank sort letter, so that the next Table sorts it again.
void write_keyforms(ReportContext& ctx);

}  // namespace korvelan

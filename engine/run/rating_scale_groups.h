// The per-item strings made ready for scoring, and the rating-scale groups with their model
// codes, as the analysis driver sets them up between the second reading and data input.
#pragma once

#include "engine/run/run.h"

namespace korvelan {

// Upper-cases the GROUPS=, MODELS=, RESCORE= and IREFER= strings given per item, reduces them to
// one character per item when XWIDE > 1, and turns each RESCORE= mark into "1" or "0". A
// string in neither per-item form ends the run.
void prepare_item_strings(Run& run);

// The single model letter: blank when MODELS= is given per item (and then one group per item
// when GROUPS= is absent); otherwise upper-cased, blank taken as "R", and anything but "R", "S"
// or "F" ends the run.
void settle_model_letter(Run& run);

// Numbers the groups and sets item_group and run.arrays.groups: one group without GROUPS=, one
// per item with GROUPS=0, else the groups named by characters in character order, followed by
// one group of its own for every item whose character is blank or "0" (which becomes "0").
void form_rating_scale_groups(Run& run);

// The model code of every group (the group block must exist): the single letter, or the letters
// given per item, one model per group; two different letters in one group end the run.
void set_group_model_codes(Run& run);

// With IVALUE= rows, GROUPS= per item and no IREFER= per item, the group characters serve as
// the IREFER= letters; without IVALUE= rows there is no IREFER=.
void take_irefer_from_groups(Run& run);

}  // namespace korvelan

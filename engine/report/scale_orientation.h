// The orientation of the reported scale. Measures are reported as logit x USCALE= + UMEAN=, so a
// negative USCALE= turns the scale round; the category points of a rating scale (score points,
// half-points, Thurstone thresholds, and the step calibrations shown in user units) are stored
// relative to their item as logits x |USCALE=|, in the orientation of the logits. These
// routines are the one place where the two meet: a Table decides zones, disorder and expected
// categories on the orientation of the stored points, and draws a point where it lies on the
// reported scale.
#pragma once

#include "engine/run/control_variables.h"

namespace korvelan {

// 1, or -1 when USCALE= is negative (0 counts as 1, as the estimation takes it).
float scale_orientation(const ControlVariables& cv);

// A difference or average on the reported scale (person - item, or a mean of measures, in user
// units) turned into the orientation of the stored category points: it rises with the logits
// whatever the sign of USCALE=.
float oriented_difference(const ControlVariables& cv, float difference);

// Where a category point stored relative to an entry (logits x |USCALE=|) lies on the reported
// scale: the entry's measure plus the point, signed by USCALE=.
float category_point_measure(const ControlVariables& cv, float entry_measure, float point);

}  // namespace korvelan

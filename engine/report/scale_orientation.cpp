#include "engine/report/scale_orientation.h"

namespace korvelan {

float scale_orientation(const ControlVariables& cv) {
    return cv.uscale < 0.0f ? -1.0f : 1.0f;
}

float oriented_difference(const ControlVariables& cv, float difference) {
    return scale_orientation(cv) * difference;
}

float category_point_measure(const ControlVariables& cv, float entry_measure, float point) {
    return entry_measure + scale_orientation(cv) * point;
}

}  // namespace korvelan

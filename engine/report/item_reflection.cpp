#include "engine/report/item_reflection.h"

namespace korvelan {

ReflectedItems::ReflectedItems(Run& run)
    : arrays_(run.arrays), measures_(run.arrays.item_measure), statuses_(run.arrays.item_status) {
    const float twice_origin = 2.0f * run.cv.umean;
    for (float& m : arrays_.item_measure) m = twice_origin - m;
    for (std::int8_t& s : arrays_.item_status) {
        if (s == 0) s = -1;
        else if (s == -1) s = 0;
    }
}

ReflectedItems::~ReflectedItems() {
    arrays_.item_measure = std::move(measures_);
    arrays_.item_status = std::move(statuses_);
}

}  // namespace korvelan

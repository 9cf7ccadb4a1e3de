// The items as the reflected variable maps of Tables 1 and 12 show them: each item measure m
// becomes 2 x UMEAN= - m and the extreme statuses 0 and -1 change places. The measures and
// statuses are saved first and put back exactly when the reflection ends: reflecting twice in
// floating point need not give the measures back.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

class ReflectedItems {
public:
    explicit ReflectedItems(Run& run);
    ~ReflectedItems();
    ReflectedItems(const ReflectedItems&) = delete;
    ReflectedItems& operator=(const ReflectedItems&) = delete;

private:
    AnalysisArrays& arrays_;
    std::vector<float> measures_;
    std::vector<std::int8_t> statuses_;
};

}  // namespace korvelan

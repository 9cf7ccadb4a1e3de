// Numbers as the SPSS conversions write them in their records.
#pragma once

#include <string>

namespace korvelan::spss {

// The number in a fixed field of the given width and decimals, left-adjusted. Magnitudes above
// 2^31, which the field's 32-bit arithmetic does not hold (dates, long identifiers), are written
// in full in up to 60 characters with the same rounding. A number too wide even for those gives
// a run of "*".
std::string fixed_number_text(double value, int width, int decimals);

}  // namespace korvelan::spss

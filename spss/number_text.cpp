#include "spss/number_text.h"

#include <cmath>

#include "engine/run/numtext.h"

namespace korvelan::spss {

namespace {
constexpr double kTwoTo31 = 2147483648.0;
constexpr int kWidestText = 60;
// Room for every finite number fmt_f writes, with its decimals.
constexpr int kFullText = 400;
}  // namespace

std::string fixed_number_text(double value, int width, int decimals) {
    if (std::fabs(value) <= kTwoTo31) {
        const std::string format = "(F" + std::to_string(width) + "." + std::to_string(decimals) + ")";
        return std::string(trim(double_to_text30(value, format)));
    }
    // In full at its decimals, or not at all: a wider text is a run of "*" (fmt_f would give up
    // decimals to fit it).
    const std::string text(trim(fmt_f(value, kFullText, decimals)));
    return static_cast<int>(text.size()) <= kWidestText ? text : std::string(kWidestText, '*');
}

}  // namespace korvelan::spss

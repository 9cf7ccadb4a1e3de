#include "spss/number_text.h"

#include <cmath>

#include "engine/run/numtext.h"

namespace korvelan::spss {

namespace {
constexpr double kTwoTo31 = 2147483648.0;
constexpr int kWidestText = 60;
}  // namespace

std::string fixed_number_text(double value, int width, int decimals) {
    if (std::fabs(value) <= kTwoTo31) {
        const std::string format = "(F" + std::to_string(width) + "." + std::to_string(decimals) + ")";
        return std::string(trim(double_to_text30(value, format)));
    }
    return std::string(trim(fmt_f(value, kWidestText, decimals)));
}

}  // namespace korvelan::spss

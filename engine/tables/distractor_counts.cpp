#include "engine/tables/distractor_counts.h"

#include <string_view>
#include <utility>

#include "engine/report/scale_orientation.h"

namespace korvelan {

namespace {

// Slot b comes strictly before slot a in the order of the mode.
bool comes_first(const CodeFigures& b, const CodeFigures& a, int mode) {
    if (mode <= 2) return b.score_value < a.score_value || (b.score_value == a.score_value && b.mean < a.mean);
    if (mode <= 4) {
        if (b.weight != a.weight) return b.weight < a.weight;
        return b.score_value < a.score_value || (b.score_value == a.score_value && b.mean < a.mean);
    }
    return b.mean < a.mean || (b.mean == a.mean && b.score_value < a.score_value);
}

}  // namespace

int option_order_mode(char& osort) {
    if (osort >= 'a' && osort <= 'z') osort = static_cast<char>(osort - 'a' + 'A');
    constexpr std::string_view kModes = "SVUCAMD";
    const std::size_t at = osort == ' ' ? std::string_view::npos : kModes.find(osort);
    if (at == std::string_view::npos) {
        osort = 'S';
        return 1;
    }
    return static_cast<int>(at) + 1;
}

void sort_code_order(const OptionFrequencies& f, int item, int mode, std::vector<int>& order) {
    if (mode == 7) return;
    const std::size_t n = order.size();
    for (std::size_t a = 0; a + 1 < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b)
            if (comes_first(f.at(item, order[b]), f.at(item, order[a]), mode)) std::swap(order[a], order[b]);
}

bool measure_disordered(const ControlVariables& cv, const OptionFrequencies& f, int item, int code) {
    const CodeFigures& c = f.at(item, code);
    for (int j = 1; j <= f.codes; ++j) {
        const CodeFigures& o = f.at(item, j);
        if (j == code || !(o.weight > 0.0f)) continue;
        if (o.score_value >= 0 && o.score_value <= 254 && o.score_value < c.score_value &&
            oriented_difference(cv, c.mean) <= oriented_difference(cv, o.mean))
            return true;
    }
    return false;
}

}  // namespace korvelan

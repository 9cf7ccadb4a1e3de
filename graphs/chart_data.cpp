#include "graphs/chart_data.h"

#include "engine/run/numtext.h"

namespace korvelan::graphs {

std::string chart_data_text(const std::vector<SeriesRow>& rows, const std::string& y_title) {
    std::string text = "X\t" + y_title + "\n";
    for (const SeriesRow& r : rows) {
        if (r.y < 0.0f) {
            text += "\n";
            continue;
        }
        text += korvelan::fmt_f_left(r.x, 12, 4) + "\t" + korvelan::fmt_f_left(r.y, 12, 6) + "\n";
    }
    return text;
}

std::vector<std::vector<SeriesRow>> split_curves(const std::vector<SeriesRow>& rows) {
    std::vector<std::vector<SeriesRow>> curves(1);
    for (const SeriesRow& r : rows) {
        if (r.y < 0.0f)
            curves.emplace_back();
        else
            curves.back().push_back(r);
    }
    return curves;
}

}  // namespace korvelan::graphs

// What the component reports share: the words, the yardstick line, the squeezing of blanks, the
// labels, and the order of the reports of one component.
#include <string>

#include "engine/analyses/component_reports.h"
#include "engine/input/data_input.h"
#include "engine/input/work_files.h"

namespace korvelan {

std::string residual_word(char kind, bool correlation_table) {
    switch (kind) {
        case 'R': return correlation_table ? "OBSERVATION RESIDUAL" : "RESIDUAL";
        case 'S':
        case 'Y': return "STANDARDIZED RESIDUAL";
        case 'L': return "LOGIT RESIDUAL";
        case 'O': return "OBSERVATION";
        case 'K': return "LIKELIHOOD";
        case 'H': return "LOG-LIKELIHOOD";
        case 'G': return "LOGIT-LIKELIHOOD";
        default: return "";
    }
}

const std::string& facet_word(const Run& run, ReportSide side) {
    return side == ReportSide::Items ? run.cv.item_word : run.cv.person_word;
}

const std::string& facet_plural(const Run& run, ReportSide side) {
    return side == ReportSide::Items ? run.cv.item_plural : run.cv.person_plural;
}

ReportSide other_side(ReportSide side) {
    return side == ReportSide::Items ? ReportSide::Persons : ReportSide::Items;
}

std::string entry_label(Run& run, ReportSide side, std::int32_t entry) {
    WorkFiles files = run_work_files(run);
    std::string label;
    if (side == ReportSide::Items) read_item_label_record(run, files, entry, label);
    else read_person_name_record(run, files, entry, label);
    return std::string(trim(label));
}

std::string yardstick_line(const Run& run, ReportSide side, const ComponentResult& component) {
    // The residual pass leaves four variance components: the variance the measures explain,
    // summed once over the person and once over the item sums of the same observations, and
    // twice the unexplained variance (bounded below by the smallest positive value). The
    // yardstick variance of a facet is the explained variance of its own sums; the noise
    // variance is the unexplained variance.
    const std::array<float, 4>& v = run.arrays.estimation.residual_variance_components;
    const double yardstick = side == ReportSide::Items ? v[1] : v[0];
    const double noise = std::max<double>(side == ReportSide::Items ? v[3] : v[2], run.rs.smallest_positive);
    const double this_factor = component.included * yardstick / (noise * component.eigenvalue);
    return "Yardstick/This Factor ratio: " + fmt_f(this_factor, 10, 1) +
           "/1   Yardstick/Total Noise ratio: " + fmt_f(yardstick / noise, 10, 1) + "/1";
}

void squeeze_report_line_blanks(ReportLineBuffer& line) {
    std::string text(line.view(1, ReportLineBuffer::kWidth));
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return;
    std::string out = text.substr(0, start);
    for (std::size_t i = start; i < text.size(); ++i)
        if (text[i] != ' ' || (out.back() != ' ')) out += text[i];
    line.clear();
    line.put(1, out);
}

void write_component_reports(ReportContext& ctx, const ComponentResult& component) {
    write_component_loading_plot(ctx, component);
    write_component_loadings_table(ctx, component, LoadingOrder::Loading);
    write_component_contrast_table(ctx, component);
    write_component_loadings_table(ctx, component, LoadingOrder::Measure);
    write_component_loadings_table(ctx, component, LoadingOrder::Entry);
}

}  // namespace korvelan

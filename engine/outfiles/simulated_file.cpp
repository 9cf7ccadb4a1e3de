#include <algorithm>
#include <string>
#include <vector>

#include "engine/estimation/estimation_common.h"
#include "engine/input/response_scoring.h"
#include "engine/outfiles/data_lines.h"
#include "engine/outfiles/observation_values.h"
#include "engine/outfiles/output_frame.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// The category drawn with u in [0, 1): walking down from the top, the first whose probability
// takes u to 0 or below; 0 when none does.
int draw_category(const float* p, int top, double u) {
    for (int k = top; k > 0; --k) {
        if (p[k] <= 0.0f) continue;
        u -= p[k];
        if (u <= 0.0) return k;
    }
    return 0;
}

}  // namespace

void write_simulated_data_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                               EntryRecords& records, CategoryCurves& curves) {
    show_message_line(run, msg::kSimulatingData);
    if (a.persons <= 0) {
        show_message_line(run, msg::kNoDataFound);
        return;
    }
    OutputFile file(run, s.sifile);
    if (!file.open("")) return;
    const DataLineLayout layout = data_line_layout(run, false);
    const auto xwide = static_cast<std::size_t>(layout.xwide);
    int largest = std::max(a.top_value, 1);
    for (int g = 1; g <= a.groups; ++g) largest = std::max(largest, a.group_top_category[static_cast<std::size_t>(g)]);
    std::vector<float> p(static_cast<std::size_t>(largest) + 2, 0.0f);
    // Every simulation starts from the same state, so that a control file always gives the
    // same simulated data.
    SimulationGenerator random;
    std::string line;
    show_progress_bar(run, 1, a.persons);
    for (std::int32_t n = 1; n <= a.persons && file.ok(); ++n) {
        start_data_line(line, layout);
        if (base_status(array_value(a.person_status, n, status::kDeleted)) >= status::kExtremeMinimum) {
            const float b = measure_in_logits(s, a.person_measure[static_cast<std::size_t>(n)], 1.0f);
            for (std::int32_t i = 1; i <= a.items; ++i) {
                const int g = array_value(a.item_group, i);
                if (array_value(a.item_status, i, status::kDeleted) < status::kExtremeMinimum || g < 1 ||
                    g > a.groups || a.group_top_category[static_cast<std::size_t>(g)] <= 0)
                    continue;
                const int top = a.group_top_category[static_cast<std::size_t>(g)];
                const float d = b - measure_in_logits(s, a.item_measure[static_cast<std::size_t>(i)], 1.0f);
                curves.category_probabilities(a, g, d, p.data());
                const int k = draw_category(p.data(), top, random.next());
                const int value = array_value(a.category_value, a.group_first_slot[static_cast<std::size_t>(g)] + k);
                const std::int32_t j = std::abs(find_code_for_category(run, value, i));
                const std::size_t from = static_cast<std::size_t>(j - 1) * xwide;
                if (j > 0 && j <= run.cv.categs && from < run.cv.codes.size())
                    put_response_field(line, layout, i, std::string_view(run.cv.codes).substr(from, xwide));
            }
        }
        // A code that is a character of several bytes is written as that character.
        if (!run.cv.code_characters.empty()) line = shown_codes(run.cv.code_characters, line);
        place_data_line_label(line, layout, trim_right(records.label_of(Entity::Person, n)));
        file.write(line);
        show_progress_bar(run, n, a.persons);
    }
    file.close();
    if (run.host) run.host->add_edit_menu_entry(msg::kMenuEditSifile, file.name());
}

}  // namespace korvelan

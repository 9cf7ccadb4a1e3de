#include <algorithm>
#include <string>
#include <vector>

#include "engine/outfiles/observation_file.h"
#include "engine/outfiles/output_frame.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr std::size_t kShortestLabelColumns = 30;

// Columns of one response: the digits of the largest category value.
int response_width(std::int32_t largest) { return largest <= 9 ? 1 : largest <= 99 ? 2 : 3; }

}  // namespace

void write_scored_response_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                EntryRecords& records, std::span<const std::int8_t> person_status) {
    if (run.host) run.host->write_text_window_line(msg::kWritingRfile);
    OutputFile file(run, s.rfile);
    if (!file.open(msg::kMenuEditRfile)) return;
    const int w = response_width(a.top_value);
    const std::size_t columns = std::max(kShortestLabelColumns,
                                         static_cast<std::size_t>(std::max(run.input.longest_person_label, 1)));
    const auto ni = static_cast<std::size_t>(std::max(a.items, 0));
    std::vector<std::uint8_t> scores(ni);
    std::string line, digits(3, ' ');
    for (std::int32_t p = 1; p <= a.persons && file.ok(); ++p) {
        const int status = p < static_cast<std::int32_t>(person_status.size()) ? person_status[static_cast<std::size_t>(p)]
                                                                              : status::kDeleted;
        line.clear();
        if (status >= status::kDropped) {
            line = pad_right(trim_right(records.label_of(Entity::Person, p)), columns);
            records.person_scores(p, scores);
            for (std::size_t i = 1; i <= ni; ++i) {
                const std::uint8_t x = scores[i - 1];
                if (array_value(a.item_status, static_cast<std::int64_t>(i), status::kDeleted) < status::kDropped ||
                    x > a.top_value) {
                    line.append(static_cast<std::size_t>(w), ' ');
                    continue;
                }
                int_to_text_right(x, digits);
                line.append(digits, 3 - static_cast<std::size_t>(w), static_cast<std::size_t>(w));
            }
        } else {
            line = status == status::kDeleted ? msg::kResponseDeletedLabel
                                              : msg::kResponseOmittedLabel;
        }
        file.write(line);
        show_progress_bar(run, p, a.persons);
    }
    file.close();
}

}  // namespace korvelan

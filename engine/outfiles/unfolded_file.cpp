#include <algorithm>
#include <string>
#include <vector>

#include "engine/outfiles/data_lines.h"
#include "engine/outfiles/output_frame.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/record_files.h"
#include "engine/run/report_line.h"
#include "engine/run/run_start.h"

namespace korvelan {

namespace {

constexpr int kScratchUnit = 27;

// By rank: the easiest and the hardest item rank each person passed, the best and the worst
// person rank that passed each item (0 when none).
struct GuttmanLimits {
    std::vector<std::size_t> highest1, lowest1, first_person, last_person;
};

// The recoded value of a response that is not 1 to item rank j by person rank r.
char unfolded_value(const GuttmanLimits& g, std::size_t r, std::size_t j) {
    const std::size_t hi = g.highest1[r], lo = g.lowest1[r], fp = g.first_person[j], lp = g.last_person[j];
    if (lp == 0) return hi < j ? '2' : j < lo ? '0' : '?';
    if (lo == 0) return r < fp ? '2' : lp < r ? '0' : '?';
    if (hi < j) return '2';
    if (j < lo) return '0';
    if (r < fp) return '2';
    if (lp < r) return '0';
    return '?';
}

bool fail(Run& run, char mode) {
    report_output_file_error(run, work_file_path(run, "ZUF"), mode);
    close_record_unit(run, kScratchUnit);
    return false;
}

}  // namespace

void write_unfolded_data_file(Run& run, const OutputSettings& s, const AnalysisArrays& a, EntryRecords& records) {
    show_message_line(run, msg::kUnfoldingData);
    const std::vector<std::int32_t> items = entries_by_measure(run.cv, a.item_status, a.item_measure, a.items);
    const std::vector<std::int32_t> persons = entries_by_measure(run.cv, a.person_status, a.person_measure, a.persons);
    const DataLineLayout layout = data_line_layout(run, true);
    const auto length = static_cast<std::int32_t>(std::max<std::size_t>(layout.length, 1));
    if (open_record_unit(run, kScratchUnit, work_file_path(run, "ZUF"), length, RecordOpen::Fresh) != 0) {
        fail(run, 'O');
        return;
    }
    std::string line;
    auto put_record = [&](std::int32_t n) {
        line.resize(static_cast<std::size_t>(length), ' ');
        return write_record(run, kScratchUnit, n, line.data()) == 0 || fail(run, 'W');
    };
    for (std::int32_t n = 1; n <= a.persons; ++n) {
        start_data_line(line, layout);
        if (!put_record(n)) return;
    }
    OutputFile file(run, s.unfolded_file);
    if (!file.open(msg::kMenuEditUnfoldedFile)) return;

    show_message_line(run, msg::kFindingGuttmanLimits);
    const std::size_t ni = items.size(), np = persons.size();
    GuttmanLimits g{std::vector<std::size_t>(np + 1, 0), std::vector<std::size_t>(np + 1, 0),
                    std::vector<std::size_t>(ni + 1, 0), std::vector<std::size_t>(ni + 1, 0)};
    std::vector<std::uint8_t> x(static_cast<std::size_t>(std::max(a.items, 0)));
    for (std::size_t r = 1; r <= np; ++r) {
        records.person_scores(persons[r - 1], x);
        for (std::size_t j = ni; j >= 1; --j) {
            if (x[static_cast<std::size_t>(items[j - 1] - 1)] != 1) continue;
            if (g.first_person[j] == 0) g.first_person[j] = r;
            if (g.highest1[r] == 0) g.highest1[r] = j;
            g.last_person[j] = r;
            g.lowest1[r] = j;
        }
        show_progress_bar(run, static_cast<std::int32_t>(r), static_cast<std::int32_t>(np));
    }
    show_message_line(run, msg::kApplyingGuttmanLimits);
    for (std::size_t r = 1; r <= np; ++r) {
        const std::int32_t n = persons[r - 1];
        start_data_line(line, layout);
        records.person_scores(n, x);
        for (std::size_t j = ni; j >= 1; --j) {
            const char value = x[static_cast<std::size_t>(items[j - 1] - 1)] == 1 ? '1' : unfolded_value(g, r, j);
            put_response_field(line, layout, items[j - 1], std::string_view(&value, 1));
        }
        if (!put_record(n)) return;
        show_progress_bar(run, static_cast<std::int32_t>(r), static_cast<std::int32_t>(np));
    }
    show_message_line(run, msg::kWritingUnfoldedFile);
    for (std::int32_t n = 1; n <= a.persons && file.ok(); ++n) {
        line.resize(static_cast<std::size_t>(length), ' ');
        if (read_record(run, kScratchUnit, n, line.data()) != 0 && !fail(run, 'R')) return;
        place_data_line_label(line, layout, trim_right(records.label_of(Entity::Person, n)));
        file.write(line);
    }
    close_record_unit(run, kScratchUnit);
}

}  // namespace korvelan

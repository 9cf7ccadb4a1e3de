// MAKEKEY=: the answer key made from the most frequent response code of every item.
#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "engine/input/data_edits.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr std::size_t kKeyCharactersPerLine = 70;

// Count table: CATEGS x NI counts, code c of item i at (i - 1) x CATEGS + c - 1.
bool obtain_count_table(Run& run, std::int64_t categs, std::int64_t ni,
                        std::vector<float>& counts) {
    const std::int64_t bytes = categs * ni * static_cast<std::int64_t>(sizeof(float));
    try {
        counts.assign(static_cast<std::size_t>(categs * ni), 0.0f);
        return true;
    } catch (const std::bad_alloc&) {
        show_message_line(run, int_to_text10(bytes) + msg::kMakekeyNoMemory);
        write_report_text(run, msg::kMakekeyNoMemoryReport);
        return false;
    }
}

}  // namespace

std::vector<std::string> answer_key_control_lines(std::string_view key) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    do {
        const std::string_view part = key.substr(at, kKeyCharactersPerLine);
        at += part.size();
        std::string line = lines.empty() ? "KEY1=\"" : " +";
        line += part;
        line += at < key.size() ? '+' : '"';
        lines.push_back(std::move(line));
    } while (at < key.size());
    return lines;
}

bool make_answer_key(Run& run, WorkFiles& files, std::int64_t persons,
                     std::span<const std::int8_t> person_status,
                     std::span<const std::int8_t> item_status, std::span<std::uint8_t> codes,
                     ItemDefinitionStrings& strings) {
    ControlVariables& cv = run.cv;
    const std::int64_t categs = cv.categs;
    const std::int64_t ni = std::min<std::int64_t>(cv.ni, static_cast<std::int64_t>(codes.size()));
    if (cv.makekey != 'Y' || categs <= 1 || ni < 1) return false;
    std::vector<float> counts;
    if (!obtain_count_table(run, categs, ni, counts)) return false;

    auto taking_part = [](std::span<const std::int8_t> status, std::int64_t n) {
        return n < static_cast<std::int64_t>(status.size()) &&
               status[static_cast<std::size_t>(n)] > status::kDeleted;
    };
    for (std::int64_t p = 1; p <= persons; ++p) {
        if (!taking_part(person_status, p)) continue;
        read_person_codes_record(run, files, p, codes);
        for (std::int64_t i = 1; i <= ni; ++i) {
            const int c = codes[static_cast<std::size_t>(i - 1)];
            if (c == 0 || c > categs || !taking_part(item_status, i)) continue;
            counts[static_cast<std::size_t>((i - 1) * categs + c - 1)] += 1.0f;
        }
    }

    // The code counted most often; a later code must be counted strictly more often.
    const std::size_t x = static_cast<std::size_t>(std::max(cv.xwide, 1));
    std::string key(static_cast<std::size_t>(ni) * x, ' ');
    const std::string codes_text = pad_bytes(cv.codes, static_cast<std::size_t>(categs) * x);
    for (std::int64_t i = 1; i <= ni; ++i) {
        const float* row = &counts[static_cast<std::size_t>((i - 1) * categs)];
        std::int64_t best = 0;
        for (std::int64_t c = 1; c < categs; ++c)
            if (row[c] > row[best]) best = c;
        key.replace(static_cast<std::size_t>(i - 1) * x, x, codes_text,
                    static_cast<std::size_t>(best) * x, x);
    }
    counts.clear();
    counts.shrink_to_fit();

    // The made key is the only key: keys given in the control file score no longer.
    strings.answer_keys.resize(1);
    strings.key_scores.resize(1);
    strings.answer_keys[0] = key;
    strings.key_scores[0] = 1;
    cv.key_count = 1;

    if (run.host) run.host->write_text_window_line(msg::kMakekeyConstructed);
    const std::string zin = work_file_path(run, "ZIN");
    const std::int32_t saved = run.rs.io_status;
    if (open_unit(run, unit::kControlCopy, zin, OpenMode::Append) != 0) {
        report_file_error(run, zin, 'O');
    } else {
        bool written = write_unit_line(run, unit::kControlCopy, msg::kMakekeyKeyFollows) == 0;
        for (const std::string& line : answer_key_control_lines(key))
            written = written && write_unit_line(run, unit::kControlCopy, line) == 0;
        if (int status = close_unit(run, unit::kControlCopy); written && status != 0)
            run.rs.io_status = status;
        if (!written || run.rs.io_status != 0) report_file_error(run, zin, 'W');
    }
    run.rs.io_status = saved;
    return true;
}

}  // namespace korvelan

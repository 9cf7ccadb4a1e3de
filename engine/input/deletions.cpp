#include "engine/input/deletions.h"

#include <algorithm>

#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// The state of one apply_deletions call, shared by the lists it reads.
struct DeletionPass {
    std::vector<std::int8_t>& status;
    std::int32_t n;
    EntitySide side;
    std::string_view word;
    std::string_view plural;
    DeletionSummary summary;
    bool line_processed = false;
};

enum class LineResult { Used, Skipped, EndOfList };

LineResult apply_deletion_line(DeletionPass& pass, std::string line, bool typed) {
    // Comments and quoted text are not read; "-" joins a range; "+" marks a reinstatement.
    const std::size_t cut = line.find_first_of(";\"");
    if (cut != std::string::npos) line.resize(cut);
    blank_characters(line, "-");
    const bool reinstate = line.find('+') != std::string::npos;
    blank_characters(line, "+");

    int first = 0, range_last = 0, status = 0;
    float value = 0.0f;
    parse_numbers_in_line(line, first, value, status, range_last);
    if (first < 1) return typed ? LineResult::EndOfList : LineResult::Skipped;
    std::int32_t last = status == 0 ? nint(value) : first;
    if (last < first) std::swap(first, last);

    if (!pass.line_processed) {
        pass.line_processed = true;
        if (reinstate) {
            // A list of reinstatements names the entries that stay: all others go.
            pass.summary.list_mode = 0;
            for (std::int32_t e = 1; e <= pass.n; ++e)
                pass.status[static_cast<std::size_t>(e)] = status::kDeleted;
        }
    }
    const std::int32_t to = std::min(last, pass.n);
    for (std::int32_t e = first; e <= to; ++e)
        pass.status[static_cast<std::size_t>(e)] = reinstate ? status::kMeasured : status::kDeleted;
    if (first <= to) pass.summary.highest_entry = std::max(pass.summary.highest_entry, to);
    return LineResult::Used;
}

std::string processing_line(const DeletionPass& pass, std::string_view source) {
    return std::string(msg::kProcessing) + pad_right(pass.plural, 7) + msg::kDeletionsFrom +
           std::string(trim(source));
}

void read_deletion_file(Run& run, DeletionPass& pass, std::string_view name) {
    show_window_line(run, processing_line(pass, name));
    offer_in_edit_menu(
        run,
        std::string(msg::kMenuEdit) + std::string(trim(pass.plural)) +
            (pass.side == EntitySide::Items ? msg::kMenuDeleteIdfile : msg::kMenuDeletePdfile),
        name);
    open_edit_file(run, name);
    std::string line;
    while (read_edit_file_line(run, name, line)) {
        if (is_blank(line)) continue;
        apply_deletion_line(pass, line, false);
    }
}

void read_typed_deletions(Run& run, DeletionPass& pass) {
    show_window_line(run, processing_line(pass, msg::kKeyboard));
    const std::string prompt = std::string(msg::kInputPrompt) + pad_right(pass.word, 6) + msg::kTo +
                               pad_right(msg::kDeleteWord, 7) + msg::kZeroToEnd;
    for (;;) {
        std::optional<std::string> typed = ask_list_line(run, prompt);
        if (!typed) return;
        if (typed->size() > kEditLineWidth) typed->resize(kEditLineWidth);
        if (is_blank(*typed)) continue;
        if (apply_deletion_line(pass, *typed, true) == LineResult::EndOfList) return;
    }
}

std::string entry_number_text(std::int32_t n) {
    return std::string(trim(fmt_i(n, 5)));
}

std::string entry_run_text(const EntryRun& r) {
    if (r.first == r.last) return entry_number_text(r.first);
    return entry_number_text(r.first) + "-" + entry_number_text(r.last);
}

// " ITEM DELETIONS: 3 5-7 12" in the report, continued on further lines when it grows long.
void write_deletions_report_lines(Run& run, const DeletionPass& pass) {
    const std::vector<EntryRun> runs = deleted_entry_runs(pass.status, pass.n);
    if (runs.empty()) return;
    write_blank_report_line(run);
    ReportLineBuffer& line = run.rep.line;
    line.clear();
    line.put(1, " " + std::string(trim(pass.word)) + msg::kDeletionsReport);
    int p = line.length() + 2;
    bool pending = true;
    for (const EntryRun& r : runs) {
        if (!pending) {
            line.clear();
            p = 2;
            pending = true;
        }
        if (r.last > r.first && p > 64) {
            write_report_line(run);
            line.clear();
            p = 2;
        }
        line.put(p, entry_run_text(r));
        p = line.length() + 2;
        if (p > 70) {
            write_report_line(run);
            pending = false;
        }
    }
    if (pending) write_report_line(run);
    line.clear();
}

}  // namespace

DeletionSummary apply_deletions(Run& run, std::vector<std::int8_t>& status, std::int32_t n,
                                char question_switch, std::string& list_file, EntitySide side,
                                std::string_view word, std::string_view plural) {
    n = std::max<std::int32_t>(
        0, std::min<std::int32_t>(n, static_cast<std::int32_t>(status.size()) - 1));
    for (std::int32_t e = 1; e <= n; ++e) status[static_cast<std::size_t>(e)] = status::kMeasured;
    DeletionPass pass{status, n, side, word, plural, {}, false};

    if (!is_blank(list_file)) read_deletion_file(run, pass, list_file);

    if (question_switch != 'N') {
        for (;;) {
            const std::string progress =
                pass.line_processed ? msg::kProgressMore : msg::kProgressSome;
            const std::string deleting = std::string(pad_right(progress, 5)) +
                                         pad_right(plural, 7) + msg::kTo +
                                         pad_right(msg::kDeleteWord, 7);
            std::optional<bool> from_file =
                ask_yes(run, std::string(msg::kAskReadDeletions) + deleting + msg::kFromAFile);
            if (!from_file) break;
            if (*from_file) {
                std::optional<std::string> name =
                    ask_list_line(run, std::string(msg::kAskFileNameOfThe) +
                                           pad_right(msg::kDeleteWord, 7) + msg::kFileQuestion);
                if (!name) break;
                list_file = std::string(trim(*name));
                if (!list_file.empty()) read_deletion_file(run, pass, list_file);
                continue;
            }
            std::optional<bool> typed =
                ask_yes(run, std::string(msg::kAskTypeDeletions) + deleting + msg::kQuestionEnd);
            if (typed && *typed) {
                list_file.clear();
                read_typed_deletions(run, pass);
            }
            break;
        }
    }

    if (side == EntitySide::Items) write_deletions_report_lines(run, pass);
    return pass.summary;
}

std::vector<EntryRun> deleted_entry_runs(const std::vector<std::int8_t>& status, std::int32_t n) {
    std::vector<EntryRun> runs;
    n = std::min<std::int32_t>(n, static_cast<std::int32_t>(status.size()) - 1);
    for (std::int32_t e = 1; e <= n; ++e) {
        if (status[static_cast<std::size_t>(e)] != status::kDeleted) continue;
        if (!runs.empty() && runs.back().last == e - 1)
            runs.back().last = e;
        else
            runs.push_back({e, e});
    }
    return runs;
}

void write_deleted_item_listing(Run& run, const std::vector<std::int8_t>& item_status,
                                std::int32_t ni) {
    const std::vector<EntryRun> runs = deleted_entry_runs(item_status, ni);
    if (runs.empty()) return;
    write_blank_report_line(run);
    constexpr std::size_t kWidth = ReportLineBuffer::kWidth;
    std::string line = msg::kDeletedItemListing;
    for (const EntryRun& r : runs) {
        const std::string text = entry_run_text(r);
        std::size_t column = line.size() + 2;  // one blank before the entry
        const bool full =
            r.first == r.last ? column + text.size() - 1 > kWidth : column + 10 > kWidth;
        if (full) {
            show_window_line(run, line);
            line = " ";
            column = 2;
        }
        line = pad_right(line, column - 1) + text;
    }
    show_window_line(run, line + " *");
}

}  // namespace korvelan

// The entry lists the report Tables walk: one side's entries selected by their status and put in
// order by a real key, by fit, by label or by a value, all with the same Shell sort and ties
// broken on the entry number. The sorts work in place in the list; only the label sort takes
// memory of its own (one label per entry), and it reads the labels from the work files at every
// comparison when that memory cannot be had.
//
// Key, value and status arrays are the run's 1-based analysis arrays: element n belongs to entry
// n, element 0 is unused. An entry beyond a status array counts as deleted.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "engine/report/report_context.h"
#include "engine/run/run.h"

namespace korvelan {

// The gaps of the Shell sort of n entries, largest first and ending in 1 (n = 100: 40, 13, 4, 1).
std::vector<int> shell_sort_gaps(int n);

// Shell sort of the entries in place: before(a, b) is true when entry a must come before entry b
// (a strict order: callers break ties on the entry number). after_pass(gap) runs after each pass.
template <typename Before, typename AfterPass>
void shell_sort_entries(std::span<std::int32_t> entries, Before before, AfterPass after_pass) {
    const std::size_t count = entries.size();
    for (int gap : shell_sort_gaps(static_cast<int>(count))) {
        const auto g = static_cast<std::size_t>(gap);
        for (std::size_t i = g; i < count; ++i) {
            const std::int32_t carried = entries[i];
            std::size_t j = i;
            while (j >= g && before(carried, entries[j - g])) {
                entries[j] = entries[j - g];
                j -= g;
            }
            entries[j] = carried;
        }
        after_pass(gap);
    }
}

// Shell sort by a real key: larger key first; keys closer than the tolerance are ties, in the
// order tie_before(a, b) gives. after_pass(gap) runs after each pass.
template <typename Key, typename TieBefore, typename AfterPass>
void shell_sort_entries_by_key(std::span<std::int32_t> entries, Key key, float tolerance,
                               TieBefore tie_before, AfterPass after_pass) {
    shell_sort_entries(
        entries,
        [&](std::int32_t a, std::int32_t b) {
            const float ka = key(a), kb = key(b);
            if (std::abs(ka - kb) < tolerance) return tie_before(a, b);
            return ka > kb;
        },
        after_pass);
}

// Selects by the letter ("FfGgPp": status above 0; "mMdD": status above -2; other letters keep
// nothing) and sorts by key, larger first ("P": smaller first); keys within 0.0001 are ties, in
// ascending entry number for an upper-case letter, descending for a lower-case one. Returns the
// count kept, also left in order.count.
int select_and_sort_entries(EntryOrder& order, std::span<const float> key, int n, char letter,
                            std::span<const std::int8_t> status);

// The fit order: sets letter to "F", keeps the entries with status above 0 and sorts them by the
// larger of outfit and infit mean-square (infit alone when ou_flag is "N"), ties in ascending
// entry number. With more than one entry kept it tells the Table number on the Input/Output
// window and shows the progress of the passes. Returns the count kept.
int sort_entries_by_fit(Run& run, EntryOrder& order, int n, char& letter,
                        std::span<const std::int8_t> status, std::span<const float> outfit,
                        std::span<const float> infit, char ou_flag, int table);

// The label order of one side for Table request.table, sub-table sub_table: keeps the entries
// with status above -2 and sorts their labels (read from the work files) from the start column,
// equal labels in ascending entry number. The start column is label_start (ISO= or PSO=) unless
// option letter 5 of the request gives it in selector 5; it ends up clamped to 0..300 in
// selector 5, and 0 compares the text IMAP= or PMAP= selects from each label. Items stay in entry
// order when the items carry no labels (ISEQ=Y). A label buffer above memory_limit bytes counts
// as unavailable: the labels are then read again at every comparison. Returns the count kept.
int sort_entries_by_label_for_table(
    Run& run, ReportSide side, EntryOrder& order, int n, std::span<const std::int8_t> status,
    int label_start, int sub_table, TableRequest& request,
    std::size_t memory_limit = std::numeric_limits<std::size_t>::max());

// The misfit-order sort of a list of entry numbers that may carry a sign: by direction (+1 or
// -1) times the value of the absolute entry number, larger first; values within 0.01 are ties in
// ascending absolute entry number. The signs stay with their entries.
void sort_entries_by_value(std::span<std::int32_t> list, std::span<const float> values, int count,
                           int direction);

}  // namespace korvelan

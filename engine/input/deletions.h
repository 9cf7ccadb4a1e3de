// Item and person deletions (IDFILE=, PDFILE= and the question switches): which entries take
// part before the data are read, and the listings of the deleted items.
//
// A deletion list names entries or ranges ("3", "5-7", "7 5"); a line holding "+" reinstates
// its entries instead. When the first line of the lists is a reinstatement, every entry is
// deleted first, so that the "+" lines name the entries that stay.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/input/edit_files.h"
#include "engine/run/run.h"

namespace korvelan {

// What the lists of one apply_deletions call left.
struct DeletionSummary {
    std::int32_t highest_entry = 0;  // highest entry number named (at most N)
    std::int32_t list_mode = 1;      // 1: the entries named are deleted; 0: "+" lines reinstate
};

// Makes entries 1..n active, applies the list file (blank: none), then, when the question
// switch is not "N", asks at the console for more lists. The list file name receives a name
// typed at the console. For the items, the deleted entries are listed in the report.
DeletionSummary apply_deletions(Run& run, std::vector<std::int8_t>& status, std::int32_t n,
                                char question_switch, std::string& list_file, EntitySide side,
                                std::string_view word, std::string_view plural);

// The deleted entries (status -3) of 1..n as runs of consecutive numbers: "3 5-7 12".
struct EntryRun {
    std::int32_t first = 0;
    std::int32_t last = 0;
};
std::vector<EntryRun> deleted_entry_runs(const std::vector<std::int8_t>& status, std::int32_t n);

// The end-of-run listing of the deleted items as an in-line list, " IDFILE=* 3 5-7 12 *", in the
// Input/Output window, after a blank line in the report. Nothing when no item is deleted.
void write_deleted_item_listing(Run& run, const std::vector<std::int8_t>& item_status,
                                std::int32_t ni);

}  // namespace korvelan

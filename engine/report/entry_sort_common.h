// What the entry sorts share: the selection of a side's entries by status into its list, and the
// progress shown after each pass of a sort that tells the user it runs.
#pragma once

#include <cstdint>
#include <span>

#include "engine/run/run.h"

namespace korvelan {

// Status of entry e; an entry beyond the array counts as deleted.
std::int8_t entry_status(std::span<const std::int8_t> status, std::int64_t e);
// Puts the entries 1..n whose status is above the given one into the list, in entry order, and
// sets its count. Returns the count.
int select_entries(EntryOrder& order, int n, std::span<const std::int8_t> status,
                   std::int8_t above);
// The entries the last selection put in the list.
std::span<std::int32_t> selected_entries(EntryOrder& order);

// Progress of a sort of count entries: opened at 1, advanced to count - gap after each pass (when
// above 1), closed at count.
void open_sort_progress(Run& run, int count);
void show_pass_progress(Run& run, int count, int gap);
void close_sort_progress(Run& run, int count);

}  // namespace korvelan

// The Table registry: for every Table number, the side its writers work on and the routine
// that runs its writers in their fixed order under their sub-table conditions. A Table without
// a writer yet runs nothing.
#pragma once

#include <span>

#include "engine/report/report_context.h"

namespace korvelan {

using TableWriters = void (*)(ReportContext& ctx);

struct TableEntry {
    int first, last;     // the Table numbers the entry serves
    ReportSide side;     // the entity side flag set before the writers
    const char* shows;   // what the Table shows
    TableWriters write;  // nullptr: no writer is built yet
};

std::span<const TableEntry> table_registry();
// The entry of Table t; nullptr when no Table has that number.
const TableEntry* find_table_entry(int table);

}  // namespace korvelan

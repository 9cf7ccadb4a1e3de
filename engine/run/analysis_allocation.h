// Allocation of the analysis arrays, block by block, with the memory-shortage messages: every
// block but the person block is fatal when it cannot be obtained; the person status array
// shrinks by halves and the person block by bisection; the memory images are optional. Also
// the person status hold file, which keeps the statuses set before data input while the person
// status array is exchanged for the exact-size person block.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// I/O status shown for a block the platform could not provide (the file-error table's
// "Runtime memory allocation fails").
inline constexpr std::int32_t kAllocationFailedStatus = 10070;

// The one-line memory message: bytes (10 columns), " bytes of memory not available.",
// " NOT ENOUGH MEMORY FOR", count (8 columns), the name, " IOSTAT=" and the status (6 columns).
std::string memory_message(std::int64_t bytes, std::int64_t count, std::string_view name,
                           std::int32_t status);

// Item block: NI entries of every per-item array. Fatal on shortage.
void allocate_item_block(Run& run);
// The per-item strings (GROUPS=, answer keys, RESCORE=, MODELS=, IVALUE=/IREFER=), sized from
// the first reading; MAKEKEY=Y raises the key count to at least 1. Fatal on shortage.
void allocate_item_string_blocks(Run& run);
// Group block for run.arrays.groups groups. Fatal on shortage.
void allocate_group_block(Run& run);
// Person status array of PersonStatusCapacity entries, all active: 1,000,000, halved while
// requests fail and the capacity is above 10. Fatal when the last request fails.
void allocate_person_status_array(Run& run);
// Category block for the slots and the highest category value data input found. Fatal.
void allocate_category_block(Run& run);
// Person block for NP persons; on shortage the largest count that fits, with its message.
// Fatal when not even one person fits.
void allocate_person_block(Run& run);
// " ONLY FIRST ... PROCESSED DUE TO MEMORY LIMITS" when fewer persons are kept than were input.
void report_persons_kept(Run& run);
// Weights block when PWEIGHT= or IWEIGHT= is named. Fatal on shortage.
void allocate_weights_block(Run& run);
// Memory images of the person work records and of the scored responses; silent on shortage.
void allocate_memory_images(Run& run);

// Keeps the person statuses that differ from the default in the hold file ZUU and releases the
// person status array. Returns h, the number of statuses kept (0: no file was written).
std::int32_t hold_person_statuses(Run& run);
// Gives every person of the person block its status: those kept in ZUU (which is then deleted),
// the default for the others.
void restore_person_statuses(Run& run, std::int32_t held);

}  // namespace korvelan

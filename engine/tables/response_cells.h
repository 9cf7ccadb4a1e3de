// What the Tables of single responses share: the category of a scored response
// (recoded_category, engine/run/category_slots.h), the residual as a cell shows it, the digits
// of an entry number, the rows of a page block and the entity words of a side.
#pragma once

#include <cstdint>
#include <string>

#include "engine/report/report_context.h"
#include "engine/run/category_slots.h"

namespace korvelan {

// The standardized residual as a cell shows it: its magnitude capped at 9, truncated toward
// zero (-2.7 shows -2, 14.3 shows 9).
int shown_residual(float z);

// Whether a standardized residual counts as unexpected: a magnitude of 2 or more.
inline bool unexpected_residual(float z) { return !(z > -2.0f && z < 2.0f); }

// The response of a person to an item as the Tables of single responses show it: the scored
// value x, or, where the person or the item was deleted at input (their responses are never
// scored), the value the response's code as read scores to (kMissingScore when none). codes:
// the person's code record, read only for such a response.
int shown_response(const Run& run, int person, int item, int x, const std::uint8_t* codes);
// Whether the person's response to the item was never scored: the person or the item was
// deleted at input.
bool response_never_scored(const Run& run, int person, int item);

// Digits of a non-negative whole number (0 has one).
int digit_count(std::int64_t n);

// Rows a page block holds: the page length less the lines around them, at least one.
int block_rows(int page_length, int lines_around);

// The trimmed singular and plural words of a side.
std::string side_word(const Run& run, ReportSide side);
std::string side_plural(const Run& run, ReportSide side);

// The current Table number as left-justified digits.
std::string table_number_text(const Run& run);

// The person status without the PROX completeness mark; beyond the array it counts as deleted.
int person_status_of(const AnalysisArrays& a, int p);
int item_status_of(const AnalysisArrays& a, int i);

}  // namespace korvelan

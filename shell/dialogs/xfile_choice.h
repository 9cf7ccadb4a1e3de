// The XFILE= fields dialog: which fields and observations the observation file written from the
// Output Files menu holds, and the one person and one item it may be limited to.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// The thirteen check boxes, in order: eleven fields, then "Include missing observations" and
// "Include observations for extreme scores".
inline constexpr int kXFileBoxes = 13;
inline constexpr int kXFileFieldBoxes = 11;
using XFileBoxes = std::array<bool, kXFileBoxes>;

// The boxes on opening: the eleven fields ticked.
XFileBoxes xfile_boxes_shown();

// The value of the digits in the text: blanks are skipped, a NUL ends the number, and any other
// character makes it 0. "1 2" gives 12, "12a" gives 0. Only the first 15 characters count.
std::int64_t parse_digits(std::string_view text);

// What OK makes of the dialog: the 15 flag positions ("x" chosen), the limits (0: all) and the
// texts the limit boxes show afterwards.
struct XFileChoice {
    std::string flags = std::string(15, ' ');
    std::int32_t person_limit = 0;
    std::int32_t item_limit = 0;
    std::string person_text;
    std::string item_text;
    // The dialog closes only when one of the eleven fields is chosen.
    bool closes = false;
};

// A limit above the count of entries (persons, items) is 0; a limit other than 0 also marks
// position 14 (persons) or 15 (items).
XFileChoice xfile_choice(const XFileBoxes& boxes, std::string_view person_text,
                         std::string_view item_text, std::int64_t persons, std::int64_t items);

// Stores the choice in the run, for the observation file's writer.
void store_xfile_choice(Run& run, const XFileChoice& choice);

// Cancel: no field and no limit, so that no file is written.
void cancel_xfile_choice(Run& run);

}  // namespace korvelan

// The selected variables of a control-and-data file and the text of their values.
#pragma once

#include <string>
#include <vector>

#include "spss/spss_file.h"

namespace korvelan::spss {

struct Slot {
    std::string name;
    double handle = 0;
    bool is_item = false;
    bool is_string = true;  // false once the library refuses a string value
    int width = 1;
    int first_column = 0;
    int last_column = 0;
};

// The value text of a slot in the current case: empty when there is none to count (first pass),
// "." in a record for a number that is missing. A value the variable declares missing is
// written as a missing one is: a number as the system-missing value, a string as an empty one;
// *declared_missing tells when it was. Returns the library's status of a failed numeric read.
int slot_value_text(const SpssFile& sav, Slot& slot, bool for_record, std::string& text,
                    bool* declared_missing = nullptr);

// The integer part of the one-decimal text of a number, in full up to about 1E58; "." for a
// number too large for that.
std::string truncated_number_text(double value);

// Item columns from 1 in fields of xwide, person-label fields from xwide * ni + 2 on.
void lay_out_slots(std::vector<Slot>& slots, int ni, int xwide);

}  // namespace korvelan::spss

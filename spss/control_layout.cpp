#include "spss/control_layout.h"

#include "engine/run/numtext.h"
#include "spss/number_text.h"

namespace korvelan::spss {

namespace {
bool item_value_in_range(double value) { return value >= 0.0 && value <= 255.0; }
}  // namespace

std::string truncated_number_text(double value) {
    const std::string text = fixed_number_text(value, 20, 1);
    // A number too large for any field has no integer part to write: it is missing.
    if (text.empty() || text[0] == '*') return ".";
    return text.substr(0, text.find('.'));
}

int slot_value_text(const SpssFile& sav, Slot& slot, bool for_record, std::string& text, bool* declared_missing) {
    text.clear();
    const bool declared = sav.declared_missing(slot.handle);
    if (declared_missing) *declared_missing = declared;
    if (slot.is_string) {
        std::string value;
        if (sav.string_value(slot.handle, value) == 0) {
            if (declared) return 0;
            // Left-adjusted in the record as in the width: " 4" is the code 4, not a blank.
            const std::string printable = printable_value_text(value);
            text = std::string(for_record ? trim_left(printable) : trim(printable));
            return 0;
        }
        slot.is_string = false;
    }
    double value = 0;
    if (const int status = sav.numeric_value(slot.handle, value); status != 0) return status;
    const bool missing = declared || is_system_missing(value) || (slot.is_item && !item_value_in_range(value));
    if (missing) {
        if (for_record) text = ".";
        return 0;
    }
    text = truncated_number_text(value);
    return 0;
}

void lay_out_slots(std::vector<Slot>& slots, int ni, int xwide) {
    int next = xwide * ni + 2;
    for (int i = 0; i < static_cast<int>(slots.size()); ++i) {
        Slot& s = slots[static_cast<std::size_t>(i)];
        if (i < ni) {
            s.first_column = i * xwide + 1;
            s.last_column = (i + 1) * xwide;
        } else {
            s.first_column = next;
            s.last_column = next + s.width - 1;
            next += s.width;
        }
    }
}

}  // namespace korvelan::spss

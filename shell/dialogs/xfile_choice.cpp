#include "shell/dialogs/xfile_choice.h"

#include "engine/run/numtext.h"

namespace korvelan {

namespace {

constexpr std::size_t kFlagCount = 15;
constexpr std::size_t kLimitWidth = 15;
constexpr std::size_t kOnlyPerson = 13;  // positions from 0
constexpr std::size_t kOnlyItem = 14;

std::int32_t limit_of(std::string_view text, std::int64_t entries) {
    const std::int64_t value = parse_digits(text);
    return value > entries ? 0 : static_cast<std::int32_t>(value);
}

}  // namespace

XFileBoxes xfile_boxes_shown() {
    XFileBoxes boxes{};
    for (int k = 0; k < kXFileFieldBoxes; ++k) boxes[static_cast<std::size_t>(k)] = true;
    return boxes;
}

std::int64_t parse_digits(std::string_view text) {
    std::int64_t value = 0;
    for (char c : text.substr(0, std::min(text.size(), kLimitWidth))) {
        if (c == ' ') continue;
        if (c == '\0') break;
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

XFileChoice xfile_choice(const XFileBoxes& boxes, std::string_view person_text,
                         std::string_view item_text, std::int64_t persons, std::int64_t items) {
    XFileChoice c;
    c.flags.assign(kFlagCount, ' ');
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        if (!boxes[k]) continue;
        c.flags[k] = 'x';
        if (k < kXFileFieldBoxes) c.closes = true;
    }
    c.person_limit = limit_of(person_text, persons);
    c.item_limit = limit_of(item_text, items);
    if (c.person_limit != 0) c.flags[kOnlyPerson] = 'x';
    if (c.item_limit != 0) c.flags[kOnlyItem] = 'x';
    c.person_text = std::string(trim(int_to_text_left(c.person_limit)));
    c.item_text = std::string(trim(int_to_text_left(c.item_limit)));
    return c;
}

void store_xfile_choice(Run& run, const XFileChoice& choice) {
    run.rs.xfile_fields = choice.flags;
    run.rs.xfile_person_limit = choice.person_limit;
    run.rs.xfile_item_limit = choice.item_limit;
}

void cancel_xfile_choice(Run& run) { store_xfile_choice(run, XFileChoice{}); }

}  // namespace korvelan

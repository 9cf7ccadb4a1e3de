#include "engine/input/step_files.h"

#include <algorithm>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

struct StepContext {
    Run& run;
    std::vector<float>& step_value;
    std::vector<std::int32_t>& category_status;
    const GroupLayout& layout;
    StepFileSettings& settings;

    bool one_group() const { return layout.groups <= 1; }
    std::int32_t top(std::int32_t g) const {
        return layout.group_top_value[static_cast<std::size_t>(g)];
    }
    std::int32_t group_of(std::int32_t item) const {
        return layout.item_group[static_cast<std::size_t>(item)];
    }
    bool valid_group(std::int32_t g) const { return g >= 1 && g <= layout.groups; }
    // The slot of category k of group g, or 0 when there is none.
    std::size_t slot(std::int32_t g, std::int32_t k) const {
        if (!valid_group(g) || k < 0) return 0;
        const std::int64_t s =
            static_cast<std::int64_t>(layout.group_first_slot[static_cast<std::size_t>(g)]) + k;
        if (s < 1 || s >= static_cast<std::int64_t>(category_status.size()) ||
            s >= static_cast<std::int64_t>(step_value.size()))
            return 0;
        return static_cast<std::size_t>(s);
    }
    // The lowest value the codes of group g score when value k is not one of them; -1 when k is
    // scored (or the scored values are not known).
    std::int32_t unscored_value_floor(std::int32_t g, std::int32_t k) const {
        const auto* scored = layout.scored_values;
        if (!scored || !valid_group(g) || static_cast<std::size_t>(g) >= scored->size() || k < 0) return -1;
        const std::vector<bool>& values = (*scored)[static_cast<std::size_t>(g)];
        if (static_cast<std::size_t>(k) < values.size() && values[static_cast<std::size_t>(k)]) return -1;
        const auto lowest = std::find(values.begin(), values.end(), true);
        return static_cast<std::int32_t>(lowest - values.begin());
    }
};

// Where an anchor was read: the file and line, or nothing when it was typed.
struct AnchorSource {
    std::string_view file;
    int line = 0;
    std::string text() const {
        return file.empty() ? std::string() : line_place(msg::kSafileWord, file, line);
    }
};

// Whether an anchor on value k of group g may stand: a value below the lowest scored one is
// refused (the run stops when the anchor came from a file); an unscored value inside the range
// is taken with a warning (no response can use it, so the estimation leaves it out again).
bool anchor_value_stands(StepContext& c, std::int32_t g, std::int32_t k, const AnchorSource& from) {
    const std::int32_t lowest = c.unscored_value_floor(g, k);
    if (lowest < 0) return true;
    if (k < lowest) {
        const std::string text = " " + fmt_i(k, 6) + msg::kSmallerThanLowestScored + msg::kCategoryWord +
                                 msg::kNumberColon + fmt_i(lowest, 6) + from.text();
        if (!from.file.empty()) fatal_message(c.run, text);
        show_window_line(c.run, text);
        return false;
    }
    show_message_line(c.run, msg::kStepAnchorUnscored + std::string(msg::kCategoryWord) +
                                 msg::kNumberColon + fmt_i(k, 6) + from.text());
    return true;
}

void say_too_large(Run& run, std::int32_t number, const char* what, std::int32_t maximum) {
    show_window_line(run, " " + fmt_i(number, 6) + msg::kLargerThanMaximum + what +
                              msg::kNumberColon + fmt_i(maximum, 6));
}

// Category k of group g is taken out of the analysis.
void delete_category(StepContext& c, std::int32_t g, std::int32_t k) {
    if (!c.valid_group(g)) return;
    if (k > c.top(g)) {
        say_too_large(c.run, k, msg::kCategoryWord, c.top(g));
        return;
    }
    if (const std::size_t s = c.slot(g, k)) c.category_status[s] = status::kDeleted;
}

// Step k of group g is anchored at the value (in the file's units); a deleted step stays deleted.
void anchor_step(StepContext& c, std::int32_t g, std::int32_t k, bool readable, float value) {
    const std::size_t s = c.slot(g, k);
    if (s == 0 || c.category_status[s] == status::kDeleted) return;
    c.category_status[s] = readable ? status::kAnchored : 0;
    c.step_value[s] = readable ? step_anchor_to_logits(c.settings.units, value) : 0.0f;
}

// The first field of a line cleaned by the number parsers, when it is not an entry number: a
// negative number ("-1") or a malformed one.
bool first_field_is_entry(const std::string& cleaned) {
    std::string_view t = trim(cleaned);
    const std::size_t end = t.find_first_of(" ,");
    int a = 0, b = 0;
    return parse_entry_field(t.substr(0, end), true, a, b);
}

// The groups that the items first..last stand for, each once, in item order.
std::vector<std::int32_t> groups_of_items(const StepContext& c, std::int32_t first,
                                          std::int32_t last) {
    std::vector<std::int32_t> groups;
    for (std::int32_t i = first; i <= std::min(last, c.layout.ni); ++i) {
        const std::int32_t g = c.group_of(i);
        if (std::find(groups.begin(), groups.end(), g) == groups.end()) groups.push_back(g);
    }
    return groups;
}

void read_step_deletion_file(StepContext& c, const std::string& name) {
    show_window_line(c.run, trim(name));
    offer_in_edit_menu(c.run, msg::kMenuStepDelete, name);
    open_edit_file(c.run, name);
    std::string line;
    while (read_edit_file_line(c.run, name, line)) {
        // Comments and lines without numbers delete nothing, and do not end the list.
        cut_at_comment(line);
        if (!has_digit(line)) continue;
        int first = 0, last = 0, status = 0;
        float value = 0.0f;
        parse_numbers_in_line(line, first, value, status, last);
        const bool entry_ok = first_field_is_entry(line);
        if (c.one_group()) {
            if (!entry_ok) break;  // a negative category ends the list
            delete_category(c, 1, first);
            continue;
        }
        const std::int32_t k = nint(value);
        if (!entry_ok || first < 1 || k < 0) break;
        for (std::int32_t g : groups_of_items(c, first, last)) delete_category(c, g, k);
    }
    close_unit(c.run, unit::kEdit);
}

void read_step_anchor_file(StepContext& c, const std::string& name) {
    show_window_line(c.run, std::string(msg::kStepAnchorsFrom) + std::string(trim(name)));
    offer_in_edit_menu(c.run, msg::kMenuStepAnchor, name);
    open_edit_file(c.run, name);
    std::string line;
    AnchorSource from{name, 0};
    while (read_edit_file_line(c.run, name, line)) {
        ++from.line;
        if (!clean_value_line(line)) continue;
        const std::string cleaned = line;
        if (c.one_group()) {
            int k = 0, last = 0, status = 0;
            float value = 0.0f;
            parse_numbers_in_line(line, k, value, status, last);
            if (!first_field_is_entry(line)) continue;
            if (k > c.top(1)) {
                say_too_large(c.run, k, msg::kCategoryWord, c.top(1));
                continue;
            }
            if (anchor_value_stands(c, 1, k, from)) anchor_step(c, 1, k, status == 0, value);
            continue;
        }
        int first = 0, last = 0, k = 0;
        float value = 0.0f;
        const int status = parse_entry_value_line(line, first, k, value, last);
        if (first < 1 || first > c.layout.ni) continue;
        if (status != 0) {
            // The value field is there but is not a number: nothing is anchored from it.
            show_message_line(c.run,
                              std::string(msg::kSafileValueProblem) + std::string(trim(cleaned)));
            continue;
        }
        for (std::int32_t i = first; i <= std::min(last, c.layout.ni); ++i) {
            const std::int32_t g = c.group_of(i);
            if (!c.valid_group(g) || k < 0) break;
            if (k > c.top(g)) {
                say_too_large(c.run, k, msg::kCategoryWord, c.top(g));
                break;
            }
            if (anchor_value_stands(c, g, k, from)) anchor_step(c, g, k, true, value);
        }
    }
}

// With several groups: the group of a typed item; 0 when the typed list ends.
std::int32_t ask_group(StepContext& c) {
    if (c.one_group()) return 1;
    for (;;) {
        const TypedNumber item = ask_typed_number(c.run, msg::kInputGroupItem);
        if (!item.answered || !item.readable || item.value < 1.0f) return 0;
        const std::int32_t i = nint(item.value);
        if (i > c.layout.ni) {
            say_too_large(c.run, i, msg::kItemNumberWord, c.layout.ni);
            continue;
        }
        return c.group_of(i);
    }
}

// A typed step value: up to 7 characters, blanks ignored; without a point the last two digits
// are decimals (150 is 1.50). False when it is not a number.
bool read_typed_step_value(std::string_view typed, float& value) {
    std::string text;
    for (char ch : typed.substr(0, 7))
        if (ch != ' ') text.push_back(ch);
    if (!text.empty() && text.front() == '+') text.erase(0, 1);
    value = 0.0f;
    if (text.find('.') != std::string::npos) return parse_real_from_text(text, value) == 0;
    std::int64_t hundredths = 0;
    if (parse_integer_from_text(text, hundredths) != 0) return false;
    value = static_cast<float>(static_cast<double>(hundredths) / 100.0);
    return true;
}

void ask_for_step_deletions(StepContext& c) {
    for (;;) {
        const std::optional<bool> any = ask_yes(c.run, msg::kAskDeleteCategories);
        if (!any || !*any) return;
        const std::optional<bool> from_file = ask_yes(c.run, msg::kAskReadDeletedCategories);
        if (!from_file) return;
        if (*from_file) {
            const std::optional<std::string> name = ask_list_line(c.run, msg::kAskStepFileName);
            if (!name) return;
            if (is_blank(*name)) continue;
            c.settings.sdfile = std::string(trim(*name));
            read_step_deletion_file(c, c.settings.sdfile);
            continue;
        }
        for (;;) {
            const std::int32_t g = ask_group(c);
            if (g == 0) return;
            const TypedNumber k = ask_typed_number(c.run, msg::kInputCategoryToDelete);
            if (!k.answered || !k.readable || k.value < 0.0f) return;
            delete_category(c, g, nint(k.value));
        }
    }
}

void ask_for_step_anchors(StepContext& c) {
    for (;;) {
        const std::optional<bool> any = ask_yes(c.run, msg::kAskAnchorSteps);
        if (!any || !*any) return;
        const std::optional<bool> from_file = ask_yes(c.run, msg::kAskReadAnchoredSteps);
        if (!from_file) return;
        if (*from_file) {
            const std::optional<std::string> name = ask_list_line(c.run, msg::kAskStepFileName);
            if (!name) return;
            if (is_blank(*name)) continue;
            c.settings.safile = std::string(trim(*name));
            read_step_anchor_file(c, c.settings.safile);
            continue;
        }
        for (;;) {
            const std::int32_t g = ask_group(c);
            if (g == 0) return;
            const TypedNumber kt = ask_typed_number(c.run, msg::kInputStepToAnchor);
            if (!kt.answered || !kt.readable || kt.value < 0.0f) return;
            const std::int32_t k = nint(kt.value);
            if (!c.valid_group(g)) continue;
            if (k > c.top(g)) {
                say_too_large(c.run, k, msg::kCategoryWord, c.top(g));
                continue;
            }
            if (!anchor_value_stands(c, g, k, AnchorSource{})) continue;
            const std::optional<std::string> typed = ask_list_line(c.run, msg::kInputStepValue);
            if (!typed) return;
            float value = 0.0f;
            const bool readable = read_typed_step_value(*typed, value);
            anchor_step(c, g, k, readable, value);
        }
    }
}

}  // namespace

void read_step_files(Run& run, std::vector<float>& step_value,
                     std::vector<std::int32_t>& category_status, const GroupLayout& layout,
                     StepFileSettings& settings) {
    std::fill(category_status.begin(), category_status.end(), 1);
    std::fill(step_value.begin(), step_value.end(), 0.0f);
    // Counts no larger than the arrays hold.
    auto within = [](std::int32_t n, std::size_t size) {
        return std::max<std::int32_t>(0, std::min(n, static_cast<std::int32_t>(size) - 1));
    };
    const GroupLayout bounded{layout.item_group, within(layout.ni, layout.item_group.size()),
                              layout.group_top_value, layout.group_first_slot,
                              within(within(layout.groups, layout.group_top_value.size()),
                                     layout.group_first_slot.size()),
                              layout.scored_values};
    StepContext c{run, step_value, category_status, bounded, settings};

    if (!is_blank(settings.sdfile)) read_step_deletion_file(c, std::string(trim(settings.sdfile)));
    if (settings.delete_switch != 'N') ask_for_step_deletions(c);

    if (settings.anchor_switch == 'N' && is_blank(settings.safile)) return;
    if (!is_blank(settings.safile)) read_step_anchor_file(c, std::string(trim(settings.safile)));
    if (settings.anchor_switch != 'N') ask_for_step_anchors(c);
}

int parse_entry_value_line(std::string& line, int& first, int& category, float& value, int& last) {
    first = last = category = 0;
    value = 0.0f;
    for (char& ch : line)
        if (!(ch >= '0' && ch <= '9') && ch != '-' && ch != '.') ch = ' ';
    std::vector<std::string_view> fields;
    std::string_view rest = line;
    while (fields.size() < 3) {
        const std::size_t b = rest.find_first_not_of(' ');
        if (b == std::string_view::npos) break;
        rest.remove_prefix(b);
        const std::size_t e = std::min(rest.find(' '), rest.size());
        fields.push_back(rest.substr(0, e));
        rest.remove_prefix(e);
    }
    int a = 0, b = 0;
    std::int64_t k = 0;
    if (fields.size() < 3 || !parse_entry_field(fields[0], false, a, b) ||
        parse_integer_from_text(fields[1].substr(0, 10), k) != 0)
        return -1;
    first = a;
    last = b;
    category = static_cast<int>(std::clamp<std::int64_t>(k, -2147483647, 2147483647));
    return parse_real_from_text(fields[2], value);
}

}  // namespace korvelan

#include "engine/input/anchors.h"

#include <algorithm>

#include "engine/input/measure_lines.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"

namespace korvelan {

namespace {

struct EntryValue {
    int first = 0;
    int last = 0;
    float value = 0.0f;
    int status = -1;
};

EntryValue parse_entry_value(std::string line) {
    EntryValue e;
    parse_numbers_in_line(line, e.first, e.value, e.status, e.last);
    return e;
}

// Reads the value lines of an anchor or weight file and hands each usable one, with its cleaned
// text, to `use`. A record of a measure file read back (any layout, with or without headings) is
// read through the measure-line reader: its headings are known by their place, a ";" record is a
// comment as every ";" line, and a record of an entry without a measure is left out and counted.
// Any other line is an entry and a value, as in a file made by hand. Once the file is read, the
// run says how many entries were left out, naming the file.
template <typename Use>
void read_value_lines(Run& run, std::string_view name, std::int32_t n, std::string_view plural,
                      Use use) {
    open_edit_file(run, name);
    const std::size_t whole = std::string::npos;
    std::vector<std::string> top;  // the first lines, until it is known whether they are headings
    std::string line;
    bool more = true;
    while (top.size() < kMeasureHeadingLines &&
           (more = read_edit_file_line(run, name, line, whole)))
        top.push_back(line);
    std::int64_t left_out = 0;
    MeasureLine record;
    auto take = [&](std::string& text) {
        if (parse_measure_line(text, false, record) && record.record) {
            float value = 0;
            if (!measure_line_value(record, kMeasureField, value)) {
                if (record.first >= 1 && record.first <= n)
                    left_out += std::min(record.last, n) - record.first + 1;
            } else if (!record.flagged) {
                use(EntryValue{record.first, record.last, value, 0}, text);
            }
            return;
        }
        if (text.size() > kEditLineWidth) text.resize(kEditLineWidth);
        if (clean_value_line(text)) use(parse_entry_value(text), text);
    };
    for (std::size_t k = measure_heading_lines(top); k < top.size(); ++k) take(top[k]);
    while (more && read_edit_file_line(run, name, line, whole)) take(line);
    if (left_out > 0)
        show_message_line(run, " " + std::string(trim(int_to_text_left(left_out))) + " " + std::string(trim(plural)) +
                                   msg::kWithoutMeasureLeftOut + std::string(trim(name)));
}

void anchor_entry(std::vector<std::int8_t>& status, std::vector<float>& measure, std::int32_t e,
                  float logit) {
    const auto i = static_cast<std::size_t>(e);
    if (status[i] != status::kMeasured) return;
    status[i] = status::kAnchored;
    measure[i] = logit;
}

struct AnchorTarget {
    std::vector<std::int8_t>& status;
    std::vector<float>& measure;
    std::int32_t n;
    EntitySide side;
    std::string_view word;
    std::string_view plural;
    const AnchorUnits& units;
};

void read_anchor_lines(Run& run, const AnchorTarget& t, std::string_view name) {
    show_window_line(run, std::string(msg::kProcessing) + std::string(trim(t.plural)) +
                              msg::kAnchorsFrom + std::string(trim(name)));
    offer_in_edit_menu(
        run,
        std::string(msg::kMenuEdit) + std::string(trim(t.plural)) +
            (t.side == EntitySide::Items ? msg::kMenuAnchorIafile : msg::kMenuAnchorPafile),
        name);
    read_value_lines(run, name, t.n, t.plural, [&](const EntryValue& ev, const std::string&) {
        if (ev.first < 1 || ev.first > t.n || ev.status != 0) return;
        const float logit = entry_anchor_to_logits(t.units, ev.value);
        for (std::int32_t e = ev.first; e <= std::min(ev.last, t.n); ++e)
            anchor_entry(t.status, t.measure, e, logit);
    });
}

// The anchor dialogue: anchor files named, or entries and values typed, until "no".
void ask_for_anchors(Run& run, const AnchorTarget& t, std::string& file_name) {
    const std::string plural7 = pad_right(t.plural, 7);
    const std::string word6 = pad_right(t.word, 6);
    for (;;) {
        std::optional<bool> any =
            ask_yes(run, std::string(msg::kAskAnchorAny) + plural7 + msg::kQuestionEnd);
        if (!any || !*any) return;
        bool file_read = false;
        for (;;) {
            std::optional<bool> from_file = ask_yes(
                run, std::string(msg::kAskReadAnchorsThe) + plural7 + msg::kToAnchorFromAFile);
            if (!from_file) return;
            if (!*from_file) break;
            std::optional<std::string> name = ask_list_line(
                run, std::string(msg::kAskFileNameOfThe) + word6 + msg::kAnchorFileQuestion);
            if (!name) return;
            if (is_blank(*name)) continue;
            file_name = std::string(trim(*name));
            read_anchor_lines(run, t, file_name);
            file_read = true;
            break;
        }
        if (file_read) continue;
        // Entries and values typed one after the other; an entry outside 1..n ends.
        for (;;) {
            const TypedNumber entry = ask_typed_number(
                run, std::string(msg::kInputPrompt) + word6 + msg::kToAnchorZeroToEnd);
            if (!entry.answered || !entry.readable || entry.value < 1.0f ||
                entry.value > static_cast<float>(t.n))
                return;
            const TypedNumber value = ask_typed_number(
                run, std::string(msg::kInputValueToAnchor) + word6 + msg::kValueColon);
            if (!value.answered) return;
            if (value.readable)
                anchor_entry(t.status, t.measure, static_cast<std::int32_t>(entry.value),
                             entry_anchor_to_logits(t.units, value.value));
        }
    }
}

}  // namespace

void read_anchor_file(Run& run, std::vector<std::int8_t>& status, std::vector<float>& measure,
                      std::int32_t n, char question_switch, std::string& file_name, EntitySide side,
                      std::string_view word, std::string_view plural, const AnchorUnits& units) {
    n = std::max<std::int32_t>(0, std::min({n, static_cast<std::int32_t>(status.size()) - 1,
                                            static_cast<std::int32_t>(measure.size()) - 1}));
    for (std::int32_t e = 1; e <= n; ++e) measure[static_cast<std::size_t>(e)] = 0.0f;
    const AnchorTarget target{status, measure, n, side, word, plural, units};
    if (!is_blank(file_name)) read_anchor_lines(run, target, file_name);
    if (question_switch != 'N') ask_for_anchors(run, target, file_name);
}

std::int16_t read_weight_file(Run& run, std::vector<float>& weights, std::int32_t n,
                              std::string_view file_name, EntitySide side,
                              std::string_view plural) {
    std::int16_t present = 0;
    if (is_blank(file_name)) return present;
    n = std::max<std::int32_t>(n, 0);
    weights.assign(static_cast<std::size_t>(n) + 1, 1.0f);
    show_window_line(run, std::string(msg::kProcessing) + std::string(trim(plural)) +
                              msg::kWeightsFrom + std::string(trim(file_name)));
    const bool items = side == EntitySide::Items;
    offer_in_edit_menu(run,
                       std::string(msg::kMenuEdit) + std::string(trim(plural)) +
                           (items ? msg::kMenuAnchorIweight : msg::kMenuAnchorPweight),
                       file_name);
    read_value_lines(run, file_name, n, plural, [&](const EntryValue& ev, const std::string& line) {
        if (ev.first < 1 || ev.first > n || ev.status != 0) return;
        if (ev.value < 0.0f) {
            // A negative weight would turn counts and variances negative: the line is not used.
            show_message_line(
                run, std::string(items ? msg::kIweightValueProblem : msg::kPweightValueProblem) +
                         std::string(trim(line)) + msg::kNegativeWeightRefused);
            return;
        }
        for (std::int32_t e = ev.first; e <= std::min(ev.last, n); ++e)
            weights[static_cast<std::size_t>(e)] = ev.value;
        if (ev.value != 1.0f) present = 1;
    });
    return present;
}

void read_pivot_file(Run& run, const std::vector<std::int32_t>& item_group, std::int32_t ni,
                     std::int32_t groups, std::vector<float>& group_pivot,
                     std::vector<std::uint8_t>& group_pivot_flag, std::string_view file_name) {
    groups = std::max<std::int32_t>(groups, 0);
    group_pivot.assign(static_cast<std::size_t>(groups) + 1, 0.0f);
    group_pivot_flag.assign(static_cast<std::size_t>(groups) + 1, 'N');
    if (is_blank(file_name)) return;
    ni = std::max<std::int32_t>(0, std::min(ni, static_cast<std::int32_t>(item_group.size()) - 1));
    show_window_line(run, std::string(msg::kPivotsFrom) + std::string(trim(file_name)));
    offer_in_edit_menu(run, msg::kMenuPivotFile, file_name);
    open_edit_file(run, file_name);
    std::string line;
    std::vector<float> values(2);
    std::string rest;
    while (read_edit_file_line(run, file_name, line)) {
        if (!clean_value_line(line, "+")) continue;
        const std::string cleaned = line;
        int first = 0, last = 0, status = 0;
        split_entry_and_value(line, first, values, status, rest, last);
        if (first < 1 || first > ni) continue;
        if (status != 0) {
            // The value could not be read: no pivot is set from it.
            std::string shown = cleaned;
            left_justify_in_place(shown);
            close_unit(run, unit::kEdit);
            fatal_message(run, std::string(msg::kInvalidPivotLine) + std::string(trim(shown)));
        }
        for (std::int32_t i = first; i <= std::min(last, ni); ++i) {
            const std::int32_t g = item_group[static_cast<std::size_t>(i)];
            if (g < 1 || g > groups) continue;
            const auto gi = static_cast<std::size_t>(g);
            if (group_pivot_flag[gi] != 'N') continue;
            group_pivot[gi] = values[1];
            group_pivot_flag[gi] = 'Y';
        }
    }
}

}  // namespace korvelan

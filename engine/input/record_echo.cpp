#include "engine/input/record_echo.h"

#include <algorithm>
#include <string>

#include "engine/run/text_columns.h"

namespace korvelan {

void RecordEcho::show(std::string_view text) {
    // Control bytes of a record (a terminal's escape sequences among them) show as blanks.
    std::string shown(text);
    blank_control_characters(shown);
    if (run_.host) run_.host->write_text_window_line(shown);
}

namespace {

// The screen column under which character column col of the shown record stands: a wide
// character before it takes two columns, a column past the record's end one.
std::int64_t screen_column(std::string_view shown, std::int64_t col, ColumnUnit unit) {
    if (col < 1 || unit == ColumnUnit::ScreenColumns) return col;
    const auto before = static_cast<std::size_t>(col - 1);
    if (unit == ColumnUnit::Bytes) {
        const std::string_view prefix = utf8_prefix(shown, before);
        const std::size_t past = before > shown.size() ? before - shown.size() : 0;
        return static_cast<std::int64_t>(display_width(prefix) + past) + 1;
    }
    const std::string_view prefix = character_prefix(shown, before);
    return static_cast<std::int64_t>(display_width(prefix) + (before - character_count(prefix))) + 1;
}

// A ruler line, numbered by the columns the record is read in, with each mark moved over the
// screen column of its column in the shown record (the "-" line reaching as far as the numbered
// columns).
std::string under_record(std::string_view shown, const std::string& line, ColumnUnit unit) {
    EchoLine out;
    for (std::size_t k = 0; k < line.size(); ++k) {
        if (line[k] == ' ') continue;
        const std::int64_t at = screen_column(shown, static_cast<std::int64_t>(k) + 1, unit);
        const std::int64_t next = screen_column(shown, static_cast<std::int64_t>(k) + 2, unit);
        for (std::int64_t c = at; c < (line[k] == '-' ? next : at + 1); ++c)
            out.put(c, std::string_view(&line[k], 1));
    }
    return out.text();
}

}  // namespace

void RecordEcho::ruler(std::int32_t record_length, std::string_view shown, ColumnUnit unit) {
    const ControlVariables& cv = run_.cv;
    std::int64_t w = record_length;
    w = std::max<std::int64_t>(
        w, static_cast<std::int64_t>(cv.ni - 1) * std::max(cv.xwide, 1) + cv.item1);
    w = std::max<std::int64_t>({w, cv.name1, weight_column_, anchor_column_});
    const auto width = static_cast<std::int32_t>(std::min<std::int64_t>(w, kEchoWidth));
    if (width <= last_ruler_) return;
    last_ruler_ = width;
    const bool plain = all_ascii(shown);
    for (const std::string& line : ruler_lines(width)) show(plain ? line : under_record(shown, line, unit));
}

void RecordEcho::marker_line(std::string_view shown, ColumnUnit unit) {
    const ControlVariables& cv = run_.cv;
    EchoLine line;
    auto mark = [&](std::int64_t col, std::string_view text) {
        line.put(screen_column(shown, col, unit), text);
    };
    if (weight_column_ > 0) mark(weight_column_, "^W");
    if (anchor_column_ > 0) mark(anchor_column_, "^A");
    mark(static_cast<std::int64_t>(cv.ni - 1) * std::max(cv.xwide, 1) + cv.item1, "^N");
    mark(cv.name1, "^P");
    mark(cv.item1, "^I");
    show(line.text());
}

void RecordEcho::delimited_record(std::string_view responses, std::string_view label) {
    const ControlVariables& cv = run_.cv;
    const std::int64_t x = std::max(cv.xwide, 1);
    EchoLine line;
    line.put(1, responses);
    line.put(static_cast<std::int64_t>(responses.size()) + 1, trim(label));
    show(line.text());
    EchoLine markers;
    markers.put(1, "^I");
    markers.put(static_cast<std::int64_t>(cv.ni - 1) * x + 1, "^N");
    markers.put(static_cast<std::int64_t>(cv.ni) * x + 1, "^P");
    show(markers.text());
}

void RecordEcho::formatted_record(std::string_view responses, std::string_view anchor,
                                  std::string_view weight, std::string_view label) {
    const ControlVariables& cv = run_.cv;
    EchoLine line;
    line.put(cv.item1, responses);
    if (anchor_column_ > 0) line.put(anchor_column_, anchor);
    if (weight_column_ > 0) line.put(weight_column_, weight);
    line.put(cv.name1, character_prefix(label, static_cast<std::size_t>(std::max(cv.namlen, 0))));
    const std::string shown = line.text();
    show(shown);
    marker_line(shown);
}

}  // namespace korvelan

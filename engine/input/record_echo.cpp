#include "engine/input/record_echo.h"

#include <algorithm>
#include <string>

namespace korvelan {

void RecordEcho::show(std::string_view text) {
    // Control bytes of a record (a terminal's escape sequences among them) show as blanks.
    std::string shown(text);
    blank_control_characters(shown);
    if (run_.host) run_.host->write_text_window_line(shown);
}

void RecordEcho::ruler(std::int32_t record_length) {
    const ControlVariables& cv = run_.cv;
    std::int64_t w = record_length;
    w = std::max<std::int64_t>(
        w, static_cast<std::int64_t>(cv.ni - 1) * std::max(cv.xwide, 1) + cv.item1);
    w = std::max<std::int64_t>({w, cv.name1, weight_column_, anchor_column_});
    const auto width = static_cast<std::int32_t>(std::min<std::int64_t>(w, kEchoWidth));
    if (width <= last_ruler_) return;
    last_ruler_ = width;
    for (const std::string& line : ruler_lines(width)) show(line);
}

void RecordEcho::marker_line() {
    const ControlVariables& cv = run_.cv;
    EchoLine line;
    if (weight_column_ > 0) line.put(weight_column_, "^W");
    if (anchor_column_ > 0) line.put(anchor_column_, "^A");
    line.put(static_cast<std::int64_t>(cv.ni - 1) * std::max(cv.xwide, 1) + cv.item1, "^N");
    line.put(cv.name1, "^P");
    line.put(cv.item1, "^I");
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
    show(line.text());
    marker_line();
}

}  // namespace korvelan

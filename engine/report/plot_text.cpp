#include "engine/report/plot_text.h"

#include <algorithm>

#include "engine/run/numtext.h"

namespace korvelan {

namespace {

constexpr int kDroppedColumnWidth = 10;

bool free_for_text(char c) {
    return c == ' ' || c == '|' || c == ':';
}
bool free_for_marker(char c) {
    return free_for_text(c) || c == '.';
}

// Whether every non-blank character of the text lands on a free place inside the line.
bool text_fits(std::span<const char> line, std::size_t position, std::string_view text) {
    if (position + text.size() > line.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != ' ' && !free_for_text(line[position + i])) return false;
    return true;
}

void copy_non_blank(std::span<char> line, std::size_t position, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != ' ') line[position + i] = text[i];
}

}  // namespace

bool overlay_text_on_plot_line(std::span<char> line, std::size_t position, std::string_view text) {
    text = trim_right(text);
    if (!text_fits(line, position, text)) return false;
    copy_non_blank(line, position, text);
    return true;
}

int overlay_text_at_free_place(std::span<char> line, std::size_t position, std::string_view text) {
    text = trim_right(text);
    for (std::size_t p = position; p + text.size() <= line.size(); ++p) {
        if (!text_fits(line, p, text)) continue;
        copy_non_blank(line, p, text);
        return static_cast<int>(p);
    }
    return -1;
}

void place_marker_pair(std::span<char> line, std::size_t position, char left, char right) {
    if (line.empty()) return;
    std::size_t taken = line.size();
    for (std::size_t i = position; i < line.size(); ++i) {
        if (!free_for_marker(line[i])) continue;
        line[i] = right;
        taken = i;
        break;
    }
    // The left marker never shares the right one's place, even when the marker is itself a
    // character that counts as free.
    for (std::size_t i = std::min(position, line.size() - 1) + 1; i-- > 0;) {
        if (i == taken || !free_for_marker(line[i])) continue;
        line[i] = left;
        return;
    }
}

void drop_column_from_report_line(ReportLineBuffer& line, std::int32_t residual_column_flag) {
    const int n = line.length();
    if (residual_column_flag != 0 || n <= kDroppedColumnWidth) return;
    const auto last = static_cast<std::size_t>(n - 1);
    line.c[last - kDroppedColumnWidth] = line.c[last];
    std::fill(line.c.begin() + static_cast<long>(last) - kDroppedColumnWidth + 1,
              line.c.begin() + static_cast<long>(last) + 1, ' ');
}

}  // namespace korvelan

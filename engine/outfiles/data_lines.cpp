#include "engine/outfiles/data_lines.h"

#include <algorithm>

#include "engine/report/scale_orientation.h"
#include "engine/run/text_columns.h"

namespace korvelan {

DataLineLayout data_line_layout(const Run& run, bool at_name1) {
    const ControlVariables& cv = run.cv;
    DataLineLayout l;
    l.item1 = std::max(cv.item1, 1);
    l.xwide = std::max(cv.xwide, 1);
    l.items = std::max(run.arrays.items, 0);
    l.label_width = std::max(cv.namlen, 0);
    const std::int64_t name1 = std::max(cv.name1, 1);
    const std::int64_t after_responses = l.item1 + l.items * l.xwide;
    const bool apart = name1 + l.label_width - 1 < l.item1 || name1 >= after_responses;
    if (at_name1 || apart) l.label_column = name1;
    else if (l.label_width < l.item1) l.label_column = 1;
    else l.label_column = after_responses;
    l.length = static_cast<std::size_t>(std::max(after_responses - 1, l.label_column + l.label_width - 1));
    return l;
}

std::vector<std::int32_t> entries_by_measure(const ControlVariables& cv, const std::vector<std::int8_t>& status,
                                             const std::vector<float>& measure, std::int32_t count) {
    std::vector<std::int32_t> order;
    for (std::int32_t n = 1; n <= count; ++n)
        if (array_value(status, n, status::kDeleted) >= status::kExtremeMinimum) order.push_back(n);
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) {
        return oriented_difference(cv, measure[static_cast<std::size_t>(x)]) >
               oriented_difference(cv, measure[static_cast<std::size_t>(y)]);
    });
    return order;
}

void start_data_line(std::string& line, const DataLineLayout& layout) {
    line.assign(layout.length, ' ');
}

void place_data_line_label(std::string& line, const DataLineLayout& layout,
                           std::string_view label) {
    const auto width = static_cast<std::size_t>(layout.label_width);
    auto at = static_cast<std::size_t>(layout.label_column - 1);
    std::size_t end = at + width;
    // Responses written as characters of several bytes: the label's columns are characters.
    if (!all_ascii(line)) {
        end = character_offset(line, end);
        at = character_offset(line, at);
    }
    line.replace(at, end - at, pad_characters(label, width));
}

void put_response_field(std::string& line, const DataLineLayout& layout, std::int64_t i, std::string_view text) {
    const auto width = static_cast<std::size_t>(layout.xwide);
    const auto at = static_cast<std::size_t>(layout.item1 - 1 + (i - 1) * layout.xwide);
    for (std::size_t k = 0; k < width; ++k) line[at + k] = k < text.size() ? text[k] : ' ';
}

}  // namespace korvelan

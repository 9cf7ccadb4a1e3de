#include "engine/input/delimited_records.h"

#include <algorithm>

#include "engine/run/numtext.h"

namespace korvelan {

char delimiter_separator(char delimiter_letter) {
    switch (delimiter_letter) {
        case 'B':
        case 'S':
            return ' ';
        case 'T':
            return '\t';
        case 'Y':
            return ',';
        default:
            return delimiter_letter;
    }
}

namespace {

std::size_t trimmed_length(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return n;
}

// Finds the fields of t: blanks before a field are skipped; a field that opens with a double
// quote (or, unless the comma is the separator, with a comma) runs to the same character again,
// separators inside it included, and then on to the next separator.
void find_fields(std::string_view t, char sep, std::vector<DelimitedFields::Span>& spans) {
    spans.clear();
    const std::size_t n = t.size();
    if (n == 0) return;
    std::size_t i = 0;
    for (;;) {
        while (i < n && t[i] == ' ') ++i;
        std::size_t start = i;
        if (i < n && (t[i] == '"' || (t[i] == ',' && sep != ','))) {
            std::size_t close = t.find(t[i], i + 1);
            i = close == std::string_view::npos ? n : close + 1;
        }
        i = std::min(t.find(sep, i), n);
        std::size_t end = i;
        while (end > start && t[end - 1] == ' ') --end;
        if (end - start > 1 && t[start] == t[end - 1] && (t[start] == '\'' || t[start] == '"')) {
            ++start;
            --end;
        }
        spans.push_back({static_cast<std::int32_t>(start), static_cast<std::int32_t>(end - start)});
        if (i >= n) break;
        ++i;  // past the separator
    }
}

}  // namespace

void split_delimited_record(std::string& record, const DelimitedLayout& layout, std::string& label,
                            DelimitedFields& fields) {
    const std::size_t n = trimmed_length(record);
    fields.text.assign(record, 0, n);
    find_fields(fields.text, delimiter_separator(layout.delimiter), fields.spans);

    const std::int64_t ni = std::max<std::int32_t>(layout.ni, 0);
    const std::int64_t xwide = std::max<std::int32_t>(layout.xwide, 1);
    const auto area = static_cast<std::size_t>(ni * xwide);
    if (record.size() < area) record.resize(area, ' ');
    std::fill(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(area), ' ');
    const auto namlen = static_cast<std::size_t>(std::max<std::int32_t>(layout.namlen, 0));
    if (label.size() < namlen) label.resize(namlen, ' ');
    std::fill(label.begin(), label.end(), ' ');

    for (std::int64_t f = 1; f <= fields.count(); ++f) {
        std::string_view v = fields.field(f);
        if (v.empty()) continue;
        if (f == layout.name1) {
            // The label is the field's first NAMLEN= characters.
            const std::string_view kept = character_prefix(v, namlen);
            if (label.size() < kept.size()) label.resize(kept.size(), ' ');
            kept.copy(label.data(), kept.size());
        }
        if (f >= layout.item1 && f < layout.item1 + ni) {
            auto slot = static_cast<std::size_t>((f - layout.item1) * xwide);
            v.substr(0, static_cast<std::size_t>(xwide))
                .copy(record.data() + slot, static_cast<std::size_t>(xwide));
        }
    }
}

}  // namespace korvelan

#include "engine/driver/control_listing.h"

#include <algorithm>

#include "engine/input/deletions.h"

namespace korvelan {

namespace {
constexpr std::int32_t kPerItem = 1;
constexpr std::int32_t kOneGroupPerItem = 2;
// Characters of a value on one line: the keyword and the continuation marks stay within 501.
constexpr std::size_t kChunk = 480;

void show(Run& run, std::string_view text) {
    if (run.host) run.host->write_text_window_line(trim_right(text));
}
}  // namespace

std::vector<std::string> listing_lines(std::string_view keyword, std::string_view value) {
    std::vector<std::string> lines;
    value = trim_right(value);
    std::size_t at = 0;
    do {
        std::string_view chunk = value.substr(at, std::min(kChunk, value.size() - at));
        at += chunk.size();
        std::string line = lines.empty() ? std::string(keyword) : std::string("+");
        line += chunk;
        // A long value goes on in "+" continuation lines: trailing "+", then leading "+".
        if (at < value.size()) line += "+";
        lines.push_back(line);
    } while (at < value.size());
    return lines;
}

void write_control_variable_listing(Run& run) {
    const ControlVariables& cv = run.cv;
    const AnalysisArrays& a = run.arrays;
    const std::size_t width = static_cast<std::size_t>(std::max(cv.xwide, 1)) *
                              static_cast<std::size_t>(std::max(cv.categs, 0));
    const std::string codes = shown_codes(
        cv.code_characters, std::string_view(cv.codes).substr(0, std::min(width, cv.codes.size())));
    if (std::string_view(codes).find(' ') == std::string_view::npos)
        show(run, " CODES = " + codes);
    else
        show(run, " CODES =\"" + codes + "\"");
    if (cv.rescore_mode == kPerItem)
        for (const auto& l : listing_lines("RESCOR = ", a.strings.rescore)) show(run, l);
    for (const std::string& row : a.strings.ivalue_rows) {
        if (row.empty()) continue;
        const std::string rest = shown_codes(
            cv.code_characters, std::string_view(row).substr(1, std::min(width, row.size() - 1)));
        for (const auto& l : listing_lines("IVALUE" + std::string(1, row[0]) + "= ", rest)) show(run, l);
    }
    if (cv.irefer_mode == kPerItem)
        for (const auto& l : listing_lines("IREFER = ", a.strings.irefer)) show(run, l);
    if (cv.groups_mode == kOneGroupPerItem)
        show(run, "GROUPS = 0");
    else if (cv.groups_mode == kPerItem)
        for (const auto& l : listing_lines("GROUPS = ", a.strings.groups)) show(run, l);
    write_deleted_item_listing(run, a.item_status, a.items);
}

}  // namespace korvelan

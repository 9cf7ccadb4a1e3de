#include "engine/report/entry_sort.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/report/entry_sort_common.h"
#include "engine/run/message_texts.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// Keys this close are the same key for the measure and fit orders, and for the value order.
constexpr float kKeyTolerance = 0.0001f;
constexpr float kValueTolerance = 0.01f;

bool letter_keeps_measured(char letter) {
    return std::string_view("FfGgPp").find(letter) != std::string_view::npos;
}
bool letter_keeps_extremes(char letter) {
    return std::string_view("mMdD").find(letter) != std::string_view::npos;
}

float entry_value(std::span<const float> values, std::int64_t e) {
    return e >= 0 && static_cast<std::size_t>(e) < values.size()
               ? values[static_cast<std::size_t>(e)]
               : 0.0f;
}

bool ascending(std::int32_t a, std::int32_t b) {
    return a < b;
}
void no_progress(int) {}

}  // namespace

std::vector<int> shell_sort_gaps(int n) {
    // k = integer part of ln(2n + 0.1) / ln 3; the first gap is the integer part of 3^k / 2.
    const int k = static_cast<int>(std::log(2.0 * n + 0.1) / std::log(3.0));
    long long power = 1;
    for (int i = 0; i < k; ++i) power *= 3;
    std::vector<int> gaps;
    for (int gap = std::max(static_cast<int>(power / 2), 1); gap > 0; gap /= 3) gaps.push_back(gap);
    return gaps;
}

std::int8_t entry_status(std::span<const std::int8_t> status, std::int64_t e) {
    return e >= 0 && static_cast<std::size_t>(e) < status.size()
               ? status[static_cast<std::size_t>(e)]
               : status::kDeleted;
}

int select_entries(EntryOrder& order, int n, std::span<const std::int8_t> status,
                   std::int8_t above) {
    n = std::max(n, 0);
    if (order.entries.size() < static_cast<std::size_t>(n))
        order.entries.resize(static_cast<std::size_t>(n));
    std::int32_t kept = 0;
    for (std::int32_t e = 1; e <= n; ++e)
        if (entry_status(status, e) > above) order.entries[static_cast<std::size_t>(kept++)] = e;
    order.count = kept;
    return kept;
}

std::span<std::int32_t> selected_entries(EntryOrder& order) {
    return {order.entries.data(), static_cast<std::size_t>(std::max(order.count, 0))};
}

void open_sort_progress(Run& run, int count) {
    show_progress_bar(run, 1, count);
}
void show_pass_progress(Run& run, int count, int gap) {
    if (count - gap > 1) show_progress_bar(run, count - gap, count);
}
void close_sort_progress(Run& run, int count) {
    show_progress_bar(run, count, count);
}

int select_and_sort_entries(EntryOrder& order, std::span<const float> key, int n, char letter,
                            std::span<const std::int8_t> status) {
    if (letter_keeps_measured(letter))
        select_entries(order, n, status, status::kExtremeMaximum);
    else if (letter_keeps_extremes(letter))
        select_entries(order, n, status, status::kDropped);
    else
        order.count = 0;
    const float sign = letter == 'P' ? -1.0f : 1.0f;
    // Lower-case letters put ties in descending entry number.
    const bool descending_ties = letter >= 'a';
    shell_sort_entries_by_key(
        selected_entries(order), [&](std::int32_t e) { return sign * entry_value(key, e); },
        kKeyTolerance,
        [&](std::int32_t a, std::int32_t b) { return descending_ties ? a > b : a < b; },
        no_progress);
    return order.count;
}

int sort_entries_by_fit(Run& run, EntryOrder& order, int n, char& letter,
                        std::span<const std::int8_t> status, std::span<const float> outfit,
                        std::span<const float> infit, char ou_flag, int table) {
    letter = 'F';
    const int count = select_entries(order, n, status, status::kExtremeMaximum);
    if (count < 2) return count;
    const bool infit_only = ou_flag == 'N';
    if (run.host)
        run.host->write_text_window_line(
            std::string(infit_only ? msg::kSortingByInfitForTable : msg::kSortingByFitForTable) +
            std::string(trim(int_to_text_left(table))));
    open_sort_progress(run, count);
    shell_sort_entries_by_key(
        selected_entries(order),
        [&](std::int32_t e) {
            const float in = entry_value(infit, e);
            return infit_only ? in : std::max(entry_value(outfit, e), in);
        },
        kKeyTolerance, ascending, [&](int gap) { show_pass_progress(run, count, gap); });
    close_sort_progress(run, count);
    return count;
}

void sort_entries_by_value(std::span<std::int32_t> list, std::span<const float> values, int count,
                           int direction) {
    count = std::clamp(count, 0, static_cast<int>(list.size()));
    const auto dir = static_cast<float>(direction);
    shell_sort_entries_by_key(
        list.first(static_cast<std::size_t>(count)),
        [&](std::int32_t e) { return dir * entry_value(values, std::abs(e)); }, kValueTolerance,
        [](std::int32_t a, std::int32_t b) { return std::abs(a) < std::abs(b); }, no_progress);
}

}  // namespace korvelan

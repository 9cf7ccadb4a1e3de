#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "engine/outfiles/data_lines.h"
#include "engine/outfiles/output_frame.h"
#include "engine/run/category_slots.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/numtext.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr float kSameMeasure = 0.01f;

float zone_percent(float zone) { return std::clamp(std::fabs(zone), 0.0f, 100.0f); }

// The zone of n responses: n x percent / 100 rounded up, 0 for a zone of 0.
int zone_size(int n, float percent) {
    if (percent == 0.0f) return 0;
    int z = static_cast<int>(static_cast<float>(n) * percent / 100.0f);
    if (static_cast<float>(z) * 100.0f / percent < static_cast<float>(n)) ++z;
    return z;
}

struct FieldWriter {
    const AnalysisArrays& a;
    const DataLineLayout& layout;
    bool zero_fill;
    std::string text;
    // The category value of recounted category k of item i, right-justified in the field.
    void put(std::string& line, std::int32_t i, int k) {
        const int g = array_value(a.item_group, i);
        text.assign(static_cast<std::size_t>(layout.xwide), ' ');
        int_to_text_right(array_value(a.category_value, array_value(a.group_first_slot, g) + k), text);
        if (zero_fill) std::replace(text.begin(), text.end(), ' ', '0');
        put_response_field(line, layout, i, text);
    }
};

// The Guttman limits of one person: positions up to A are made 0, from B on 1 (positions in
// the item order from 1). None when the person has neither a 0 nor a 1.
struct Limits {
    std::size_t a = 0, b = 0;
};
bool guttman_limits(const AnalysisArrays& a, const std::vector<std::int32_t>& order,
                    const std::vector<std::uint8_t>& x, float g0, float g1, Limits& out) {
    int zeros = 0, ones = 0;
    for (std::int32_t i : order) {
        zeros += x[static_cast<std::size_t>(i - 1)] == 0;
        ones += x[static_cast<std::size_t>(i - 1)] == 1;
    }
    const std::size_t count = order.size();
    auto measure = [&](std::size_t k) { return a.item_measure[static_cast<std::size_t>(order[k - 1])]; };
    auto response = [&](std::size_t k) { return x[static_cast<std::size_t>(order[k - 1] - 1)]; };
    int z0 = zone_size(zeros, g0), z1 = zone_size(ones, g1);
    std::size_t last0 = 0, first1 = count + 1;
    for (std::size_t k = 1; k <= count; ++k) {
        if (response(k) != 0 || --z0 >= 1) continue;
        if (last0 != 0 && std::fabs(measure(k) - measure(last0)) >= kSameMeasure) break;
        last0 = k;
    }
    bool first_set = false;
    for (std::size_t k = count; k >= 1; --k) {
        if (response(k) != 1 || --z1 >= 1) continue;
        if (!first_set || std::fabs(measure(k) - measure(first1)) < kSameMeasure) first1 = k;
        first_set = true;
    }
    out = {std::min(last0, first1), std::max(last0, first1)};
    return !(out.a == 0 && out.b == count + 1);
}

}  // namespace

void write_guttmanized_file(Run& run, const OutputSettings& s, const AnalysisArrays& a, EntryRecords& records) {
    for (int g = 1; g <= a.groups; ++g)
        if (a.group_top_category[static_cast<std::size_t>(g)] > 1) {
            show_message_line(run, msg::kGuttmanOnlyZeroOne);
            return;
        }
    const float g0 = run.cv.g0zone = zone_percent(run.cv.g0zone);
    const float g1 = run.cv.g1zone = zone_percent(run.cv.g1zone);
    show_message_line(run, msg::kGuttmanizingData + std::string(trim(int_to_text_left(nint(g0)))) +
                               msg::kGuttmanizingAnd + std::string(trim(int_to_text_left(nint(g1)))) +
                               "%");
    OutputFile file(run, s.gufile);
    if (!file.open("")) return;
    const DataLineLayout layout = data_line_layout(run, false);
    const std::string codes(trim(run.cv.codes));
    FieldWriter field{a, layout, layout.xwide > 1 && codes.find(' ') == std::string::npos, {}};
    const std::vector<std::int32_t> order = entries_by_measure(run.cv, a.item_status, a.item_measure, a.items);
    if (order.empty() || a.item_measure[static_cast<std::size_t>(order.front())] ==
                             a.item_measure[static_cast<std::size_t>(order.back())]) {
        show_message_line(run, order.empty() ? msg::kGuttmanNoItems : msg::kGuttmanSameDifficulty);
        return;
    }
    const auto ni = static_cast<std::size_t>(a.items);
    std::vector<std::uint8_t> x(ni);
    std::string line, missing = ".";
    for (std::int32_t p = 1; p <= a.persons; ++p) {
        start_data_line(line, layout);
        records.person_scores(p, x);
        // Each response becomes its recounted category 0 or 1 (255: counts in none).
        for (std::size_t i = 1; i <= ni; ++i) {
            const int k = recoded_category(a, array_value(a.item_group, static_cast<std::int64_t>(i)), x[i - 1]);
            x[i - 1] = k < 0 ? std::uint8_t{255} : static_cast<std::uint8_t>(k);
            if (k >= 0) field.put(line, static_cast<std::int32_t>(i), k);
            else put_response_field(line, layout, static_cast<std::int64_t>(i), missing);
        }
        Limits limits;
        if (!guttman_limits(a, order, x, g0, g1, limits)) continue;
        for (std::size_t k = 1; k <= order.size(); ++k) {
            const std::int32_t i = order[k - 1];
            const std::uint8_t r = x[static_cast<std::size_t>(i - 1)];
            if (r == 1 && k <= limits.a) field.put(line, i, 0);
            if (r == 0 && k >= limits.b) field.put(line, i, 1);
        }
        place_data_line_label(line, layout, trim_right(records.label_of(Entity::Person, p)));
        if (!file.write(line)) return;
        show_progress_bar(run, p, a.persons);
    }
    if (run.host) run.host->add_edit_menu_entry(msg::kMenuEditGufile, file.name());
    file.close();
}

}  // namespace korvelan

#include "engine/estimation/category_use.h"

#include <algorithm>
#include <cstdint>

#include "engine/estimation/estimation_common.h"
#include "engine/estimation/person_data.h"
#include "engine/run/worker_pool.h"

namespace korvelan {

void set_group_weights(AnalysisArrays& a) {
    if (a.item_weights.empty()) return;
    std::fill(a.group_weight_values.begin(), a.group_weight_values.end(), 0.0f);
    for (int i = 1; i <= a.items; ++i) {
        float& w = a.group_weight_values[a.item_group[i]];
        if (a.item_status[i] > 0) w = std::max(w, a.item_weights[i]);
    }
}

namespace {

// Where an entry's counted responses lie: any at all, any below the top, any above the bottom.
struct Spread {
    bool any = false, below_top = false, above_bottom = false;
    void add(const CountedEntries& c, int g, int x) {
        any = true;
        below_top |= x < c.high[static_cast<std::size_t>(g)];
        above_bottom |= x > c.low[static_cast<std::size_t>(g)];
    }
    bool measurable() const { return any && below_top && above_bottom; }
};

// The slots whose values lie in their group's range and take part.
void mark_ranges(const AnalysisArrays& a, CountedEntries& c) {
    c.in_range.assign(static_cast<std::size_t>(a.slots) + 1, 0);
    for (int g = 1; g <= a.groups; ++g) {
        const int f = a.group_first_slot[g];
        for (int x = 0; x < group_slot_count(a, g); ++x)
            c.in_range[static_cast<std::size_t>(f + x)] =
                x >= c.low[static_cast<std::size_t>(g)] &&
                x <= c.high[static_cast<std::size_t>(g)] && a.category_status[f + x] >= 0;
    }
}

}  // namespace

CountedEntries entries_the_estimation_counts(Run& run) {
    AnalysisArrays& a = run.arrays;
    const int np = a.persons, ni = a.items, ng = a.groups;
    CountedEntries c;
    c.person.assign(static_cast<std::size_t>(np) + 1, 0);
    c.item.assign(static_cast<std::size_t>(ni) + 1, 0);
    for (int p = 1; p <= np; ++p)
        c.person[static_cast<std::size_t>(p)] = base_status(a.person_status[p]) > 0;
    for (int i = 1; i <= ni; ++i) c.item[static_cast<std::size_t>(i)] = a.item_status[i] > 0;
    c.low.assign(static_cast<std::size_t>(ng) + 1, 0);
    c.high.assign(static_cast<std::size_t>(ng) + 1, 0);
    for (int g = 1; g <= ng; ++g) c.high[static_cast<std::size_t>(g)] = group_slot_count(a, g) - 1;
    mark_ranges(a, c);
    set_group_weights(a);
    const PersonData data(run);
    // The persons go in chunks on the worker threads, each chunk into spreads and ranges of its
    // own; they are joined after the sweep (or and min/max: the same at any thread count).
    const ChunkPlan plan = plan_person_chunks(np, 0);
    WorkerPool pool(plan.chunks > 1 ? 0 : 1, plan.chunks);
    struct ChunkSpreads {
        std::vector<Spread> items;
        std::vector<int> low, high;
    };
    std::vector<ChunkSpreads> chunks(static_cast<std::size_t>(plan.chunks));
    std::vector<Spread> items(static_cast<std::size_t>(ni) + 1);
    std::vector<int> low(static_cast<std::size_t>(ng) + 1), high(low.size());
    for (bool changed = true; changed;) {
        changed = false;
        std::vector<char> person = c.person;
        auto sweep = [&](int k) {
            ChunkSpreads& own_chunk = chunks[static_cast<std::size_t>(k)];
            own_chunk.items.assign(static_cast<std::size_t>(ni) + 1, Spread{});
            own_chunk.low.assign(static_cast<std::size_t>(ng) + 1, a.slots + 1);
            own_chunk.high.assign(static_cast<std::size_t>(ng) + 1, -1);
            for (int p = plan.first(k), last = plan.last(k, np); p <= last; ++p) {
                if (!c.person[static_cast<std::size_t>(p)]) continue;
                const std::uint8_t* x = data.scores(p);
                const float wp = person_weight(a, p);
                Spread own;
                for (int i = 1; i <= ni; ++i) {
                    const int v = x[i - 1];
                    if (!usable_response(a, c, p, i, v)) continue;
                    const int g = a.item_group[i];
                    const auto gi = static_cast<std::size_t>(g);
                    // The person's score counts the responses with item weight, the item's those
                    // with person weight, the categories those with both (counted_response).
                    if (item_weight(a, i) > 0.0f) own.add(c, g, v);
                    if (wp > 0.0f) own_chunk.items[static_cast<std::size_t>(i)].add(c, g, v);
                    if (counted_response(a, c, p, i, v)) {
                        own_chunk.low[gi] = std::min(own_chunk.low[gi], v);
                        own_chunk.high[gi] = std::max(own_chunk.high[gi], v);
                    }
                }
                if (base_status(a.person_status[p]) == 1 && !own.measurable())
                    person[static_cast<std::size_t>(p)] = 0;
            }
        };
        pool.run(plan.chunks, sweep);
        std::fill(items.begin(), items.end(), Spread{});
        std::fill(low.begin(), low.end(), a.slots + 1);
        std::fill(high.begin(), high.end(), -1);
        for (const ChunkSpreads& k : chunks) {
            for (std::size_t i = 0; i < items.size() && i < k.items.size(); ++i) {
                items[i].any |= k.items[i].any;
                items[i].below_top |= k.items[i].below_top;
                items[i].above_bottom |= k.items[i].above_bottom;
            }
            for (std::size_t g = 0; g < low.size() && g < k.low.size(); ++g)
                low[g] = std::min(low[g], k.low[g]), high[g] = std::max(high[g], k.high[g]);
        }
        for (int i = 1; i <= ni; ++i)
            if (c.item[static_cast<std::size_t>(i)] && a.item_status[i] == 1 &&
                !items[static_cast<std::size_t>(i)].measurable()) {
                c.item[static_cast<std::size_t>(i)] = 0;
                changed = true;
            }
        changed |= person != c.person;
        c.person.swap(person);
        for (int g = 1; g <= ng; ++g) {
            const auto gi = static_cast<std::size_t>(g);
            if (high[gi] <= low[gi]) low[gi] = 1, high[gi] = 0;  // fewer than two values: no scale
            if (low[gi] != c.low[gi] || high[gi] != c.high[gi]) changed = true;
            c.low[gi] = low[gi], c.high[gi] = high[gi];
        }
        mark_ranges(a, c);
    }
    return c;
}

}  // namespace korvelan

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

// How many of an entry's counted responses there are, how many lie below the top of their
// group's range and how many above the bottom. Whole counts: the same in any order.
struct Tally {
    int any = 0, below_top = 0, above_bottom = 0;
    void add(int sign, bool below, bool above) {
        any += sign;
        below_top += below ? sign : 0;
        above_bottom += above ? sign : 0;
    }
    bool measurable() const { return any > 0 && below_top > 0 && above_bottom > 0; }
};

// One chunk of persons' share of the item tallies and of the slot counts.
struct ChunkTallies {
    std::vector<Tally> items;
    std::vector<long long> counted;
    std::vector<char> responded;
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

// Adds (sign 1) or takes off (sign -1) the response x of person p to item i, as the
// classification c counts it: the person's score counts the responses with item weight, the
// item's those with person weight, the categories those with both (counted_response).
void tally_response(const AnalysisArrays& a, const CountedEntries& c, int p, int i, int x,
                    float wp, int sign, Tally& person, ChunkTallies& own) {
    if (!usable_response(a, c, p, i, x)) return;
    const int g = a.item_group[i];
    const bool below = x < c.high[static_cast<std::size_t>(g)];
    const bool above = x > c.low[static_cast<std::size_t>(g)];
    if (item_weight(a, i) > 0.0f) person.add(sign, below, above);
    if (wp > 0.0f) own.items[static_cast<std::size_t>(i)].add(sign, below, above);
    if (counted_response(a, c, p, i, x))
        own.counted[static_cast<std::size_t>(a.group_first_slot[g] + x)] += sign;
}

// The tallies of the classification c, kept up to date as entries leave it. The persons go in
// chunks on the worker threads, each chunk into item tallies and slot counts of its own, joined
// by whole-number sums (the same at any thread count); a person's tally is written by its own
// chunk only.
class Tallies {
public:
    Tallies(Run& run, const CountedEntries& c)
        : a_(run.arrays), c_(c), data_(run), plan_(plan_person_chunks(a_.persons, 0)),
          pool_(plan_.chunks > 1 ? 0 : 1, plan_.chunks),
          chunks_(static_cast<std::size_t>(plan_.chunks)),
          persons(static_cast<std::size_t>(a_.persons) + 1),
          items(static_cast<std::size_t>(a_.items) + 1),
          counted(static_cast<std::size_t>(a_.slots) + 1, 0),
          responded(static_cast<std::size_t>(a_.slots) + 1, 0) {}

    // Counts every response afresh; the first count also marks the slots any response of a
    // person and an item not deleted scores (extreme ones included).
    void count_all(bool mark_responded) {
        auto sweep = [&](int k) {
            ChunkTallies& own = fresh_chunk(k);
            for (int p = plan_.first(k), last = plan_.last(k, a_.persons); p <= last; ++p) {
                Tally& person = persons[static_cast<std::size_t>(p)];
                person = Tally{};
                const bool active = c_.person[static_cast<std::size_t>(p)] != 0;
                const bool seen = mark_responded &&
                                  base_status(a_.person_status[p]) >= status::kExtremeMinimum;
                if (!active && !seen) continue;
                const std::uint8_t* x = data_.scores(p);
                const float wp = person_weight(a_, p);
                for (int i = 1; i <= a_.items; ++i) {
                    const int v = x[i - 1];
                    if (active) tally_response(a_, c_, p, i, v, wp, 1, person, own);
                    if (seen && v != 255 && a_.item_status[i] >= status::kExtremeMinimum) {
                        const int g = a_.item_group[i];
                        if (v < group_slot_count(a_, g))
                            own.responded[static_cast<std::size_t>(a_.group_first_slot[g] + v)] = 1;
                    }
                }
            }
        };
        pool_.run(plan_.chunks, sweep);
        std::fill(items.begin(), items.end(), Tally{});
        std::fill(counted.begin(), counted.end(), 0);
        join();
    }

    // Takes off the responses of the persons marked leaving and of the items listed leaving, as
    // the classification counts them before they leave.
    void take_off(const std::vector<char>& leaving_person, const std::vector<int>& leaving_items) {
        auto sweep = [&](int k) {
            ChunkTallies& own = fresh_chunk(k);
            for (int p = plan_.first(k), last = plan_.last(k, a_.persons); p <= last; ++p) {
                const auto pi = static_cast<std::size_t>(p);
                if (!c_.person[pi]) continue;
                const std::uint8_t* x = data_.scores(p);
                const float wp = person_weight(a_, p);
                if (leaving_person[pi]) {
                    for (int i = 1; i <= a_.items; ++i)
                        tally_response(a_, c_, p, i, x[i - 1], wp, -1, persons[pi], own);
                } else {
                    for (const int i : leaving_items)
                        tally_response(a_, c_, p, i, x[i - 1], wp, -1, persons[pi], own);
                }
            }
        };
        pool_.run(plan_.chunks, sweep);
        join();
    }

private:
    ChunkTallies& fresh_chunk(int k) {
        ChunkTallies& own = chunks_[static_cast<std::size_t>(k)];
        own.items.assign(items.size(), Tally{});
        own.counted.assign(counted.size(), 0);
        own.responded.assign(responded.size(), 0);
        return own;
    }
    void join() {
        for (const ChunkTallies& k : chunks_) {
            for (std::size_t i = 0; i < items.size() && i < k.items.size(); ++i) {
                items[i].any += k.items[i].any;
                items[i].below_top += k.items[i].below_top;
                items[i].above_bottom += k.items[i].above_bottom;
            }
            for (std::size_t s = 0; s < counted.size() && s < k.counted.size(); ++s) {
                counted[s] += k.counted[s];
                responded[s] = static_cast<char>(responded[s] | k.responded[s]);
            }
        }
    }

    const AnalysisArrays& a_;
    const CountedEntries& c_;
    const PersonData data_;
    const ChunkPlan plan_;
    WorkerPool pool_;
    std::vector<ChunkTallies> chunks_;

public:
    std::vector<Tally> persons, items;
    std::vector<long long> counted;
    std::vector<char> responded;
};

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
    // Each round decides from the tallies of the classification as the previous round left it:
    // the persons and items that leave, and each group's range. The responses of the entries
    // that leave are then taken off the tallies; a range that narrows changes which responses
    // count at all, so then every response is counted again.
    Tallies t(run, c);
    t.count_all(true);
    std::vector<char> leaving_person(static_cast<std::size_t>(np) + 1, 0);
    std::vector<int> leaving_items;
    std::vector<int> low(static_cast<std::size_t>(ng) + 1), high(low.size());
    for (;;) {
        bool persons_leave = false;
        for (int p = 1; p <= np; ++p) {
            const auto pi = static_cast<std::size_t>(p);
            leaving_person[pi] = c.person[pi] && base_status(a.person_status[p]) == 1 &&
                                 !t.persons[pi].measurable();
            persons_leave |= leaving_person[pi] != 0;
        }
        leaving_items.clear();
        for (int i = 1; i <= ni; ++i)
            if (c.item[static_cast<std::size_t>(i)] && a.item_status[i] == 1 &&
                !t.items[static_cast<std::size_t>(i)].measurable())
                leaving_items.push_back(i);
        bool ranges_change = false;
        for (int g = 1; g <= ng; ++g) {
            const auto gi = static_cast<std::size_t>(g);
            low[gi] = a.slots + 1, high[gi] = -1;
            for (int x = 0; x < group_slot_count(a, g); ++x)
                if (t.counted[static_cast<std::size_t>(a.group_first_slot[g] + x)] > 0)
                    low[gi] = std::min(low[gi], x), high[gi] = std::max(high[gi], x);
            if (high[gi] <= low[gi]) low[gi] = 1, high[gi] = 0;  // fewer than two values: no scale
            ranges_change |= low[gi] != c.low[gi] || high[gi] != c.high[gi];
        }
        if (!persons_leave && leaving_items.empty() && !ranges_change) break;
        if (!ranges_change) t.take_off(leaving_person, leaving_items);
        for (int p = 1; p <= np; ++p)
            if (leaving_person[static_cast<std::size_t>(p)]) c.person[static_cast<std::size_t>(p)] = 0;
        for (const int i : leaving_items) c.item[static_cast<std::size_t>(i)] = 0;
        if (ranges_change) {
            c.low = low, c.high = high;
            mark_ranges(a, c);
            t.count_all(false);
        }
    }
    c.counted_in_slot = std::move(t.counted);
    c.responded_in_slot = std::move(t.responded);
    return c;
}

}  // namespace korvelan

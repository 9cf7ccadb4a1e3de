// The classification of the entries the estimation counts, kept as tallies that entries leave,
// against the plain rounds that look at every response each time, on data made to cascade:
// extreme persons make items extreme, sparse top categories narrow a group's range.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/estimation/category_use.h"
#include "engine/estimation/estimation_common.h"
#include "engine/estimation/prox.h"
#include "tests/engine/estimation/estimation_fixture.h"

namespace korvelan::testing {
namespace {

// Every round over every response, as the rule reads (usable_response, counted_response).
CountedEntries plain_rounds(Run& run) {
    AnalysisArrays& a = run.arrays;
    CountedEntries c;
    c.person.assign(a.persons + 1, 0);
    c.item.assign(a.items + 1, 0);
    for (int p = 1; p <= a.persons; ++p) c.person[p] = base_status(a.person_status[p]) > 0;
    for (int i = 1; i <= a.items; ++i) c.item[i] = a.item_status[i] > 0;
    c.low.assign(a.groups + 1, 0);
    c.high.assign(a.groups + 1, 0);
    for (int g = 1; g <= a.groups; ++g) c.high[g] = group_slot_count(a, g) - 1;
    auto mark = [&] {
        c.in_range.assign(a.slots + 1, 0);
        for (int g = 1; g <= a.groups; ++g)
            for (int x = 0; x < group_slot_count(a, g); ++x)
                c.in_range[a.group_first_slot[g] + x] = x >= c.low[g] && x <= c.high[g] &&
                                                       a.category_status[a.group_first_slot[g] + x] >= 0;
    };
    mark();
    set_group_weights(a);
    struct Seen { int any = 0, below = 0, above = 0; };
    for (bool changed = true; changed;) {
        std::vector<Seen> ps(a.persons + 1), is(a.items + 1);
        std::vector<int> low(a.groups + 1, a.slots + 1), high(a.groups + 1, -1);
        low[0] = high[0] = 0;  // no group 0
        c.counted_in_slot.assign(a.slots + 1, 0);
        for (int p = 1; p <= a.persons; ++p)
            for (int i = 1; i <= a.items; ++i) {
                const int x = a.scored_response_image[(p - 1) * a.items + (i - 1)], g = a.item_group[i];
                if (!usable_response(a, c, p, i, x)) continue;
                const Seen s{1, x < c.high[g], x > c.low[g]};
                auto add = [&](Seen& t) { t.any += s.any, t.below += s.below, t.above += s.above; };
                if (item_weight(a, i) > 0.0f) add(ps[p]);
                if (person_weight(a, p) > 0.0f) add(is[i]);
                if (counted_response(a, c, p, i, x)) {
                    low[g] = std::min(low[g], x), high[g] = std::max(high[g], x);
                    ++c.counted_in_slot[a.group_first_slot[g] + x];
                }
            }
        auto measurable = [](const Seen& s) { return s.any && s.below && s.above; };
        changed = false;
        std::vector<char> person = c.person, item = c.item;
        for (int p = 1; p <= a.persons; ++p)
            if (c.person[p] && base_status(a.person_status[p]) == 1 && !measurable(ps[p])) person[p] = 0;
        for (int i = 1; i <= a.items; ++i)
            if (c.item[i] && a.item_status[i] == 1 && !measurable(is[i])) item[i] = 0;
        for (int g = 1; g <= a.groups; ++g) {
            if (high[g] <= low[g]) low[g] = 1, high[g] = 0;
            changed |= low[g] != c.low[g] || high[g] != c.high[g];
        }
        changed |= person != c.person || item != c.item;
        c.person = person, c.item = item, c.low = low, c.high = high;
        mark();
    }
    return c;
}

// Persons all at the bottom or mostly at the top, an item whose lower answers come only from
// persons all at the bottom, two groups scored 0-3 and 0-2 whose top
// categories few responses use, missing responses, weights of 0, anchored and extreme entries.
DataSet cascading_data(int persons, std::uint32_t seed) {
    DataSet d;
    d.groups = {1, 1, 1, 2, 2, 1, 2};
    d.tops = {3, 2};
    auto next = [&] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (int p = 0; p < persons; ++p) {
        std::vector<int> row;
        const int lean = static_cast<int>(next() % 4);  // 0 low, 1 high, else mixed
        for (std::size_t i = 0; i < d.groups.size(); ++i) {
            const int top = d.groups[i] == 1 ? 2 : 1, r = static_cast<int>(next() % 100);
            int x = lean == 0 ? 0 : lean == 1 ? (r < 85 ? top : top - 1) : r % (top + 1);
            if (lean != 0 && i == 0) x = top;  // below the top only with persons all at 0
            if (r == 7) x = top + 1;           // a rare top category
            if (r == 3 || r == 42) x = -1;
            row.push_back(x);
        }
        d.x.push_back(row);
    }
    return d;
}

void expect_same(const CountedEntries& want, const CountedEntries& got) {
    EXPECT_EQ(want.person, got.person);
    EXPECT_EQ(want.item, got.item);
    EXPECT_EQ(want.low, got.low);
    EXPECT_EQ(want.high, got.high);
    EXPECT_EQ(want.in_range, got.in_range);
    EXPECT_EQ(want.counted_in_slot, got.counted_in_slot);
}

TEST(CountedEntries, TalliesThatEntriesLeaveGiveWhatEveryRoundOverEveryResponseGives) {
    for (const int persons : {23, 60, 3000}) {  // 3000: many chunks of persons
        for (std::uint32_t seed : {1u, 7u, 99u}) {
            SCOPED_TRACE(::testing::Message() << persons << " persons, seed " << seed);
            EstimationRun r;
            r.load(cascading_data(persons, seed));
            AnalysisArrays& a = r.run.arrays;
            a.person_weights.assign(a.persons + 1, 1.0f);
            a.item_weights.assign(a.items + 1, 1.0f);
            a.group_weight_values.assign(a.groups + 1, 0.0f);
            for (int p = 1; p <= a.persons; ++p) {
                if (p % 7 == 0) a.person_weights[p] = 0.5f;  // another weight: tallied one by one
                if (p % 11 == 0) a.person_weights[p] = 0.0f;
                if (p % 13 == 0) a.person_status[p] = status::kAnchored;
                if (p % 17 == 0) a.person_status[p] = status::kExtremeMinimum;
                if (p % 19 == 0) a.person_status[p] = status::kDeleted;
            }
            a.item_weights[2] = 0.0f;
            a.item_status[5] = status::kAnchored;
            if (seed == 7u) a.item_status[6] = status::kDropped;
            if (seed == 99u) a.category_status[a.group_first_slot[1] + 1] = -1;
            const CountedEntries want = plain_rounds(r.run);
            const CountedEntries got = entries_the_estimation_counts(r.run);
            expect_same(want, got);
            // The categories in use: counted, else scored by any response of an entry that is
            // not deleted, dropped or inestimable.
            const CategoryUse use = category_values_in_use(r.run);
            for (int g = 1; g <= a.groups; ++g)
                for (int x = 0; x < group_slot_count(a, g); ++x) {
                    char seen = 0;
                    for (int p = 1; p <= a.persons; ++p)
                        for (int i = 1; i <= a.items; ++i)
                            if (a.item_group[i] == g &&
                                a.scored_response_image[(p - 1) * a.items + (i - 1)] == x &&
                                base_status(a.person_status[p]) >= status::kExtremeMinimum &&
                                a.item_status[i] >= status::kExtremeMinimum)
                                seen = 1;
                    const long long counted = want.counted_in_slot[a.group_first_slot[g] + x];
                    EXPECT_EQ(use[g][x], counted > 0 ? kCountedUse : seen ? kResponseUse : 0)
                        << "group " << g << " value " << x;
                }
        }
    }
}

}  // namespace
}  // namespace korvelan::testing

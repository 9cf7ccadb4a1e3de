#include "engine/estimation/category_use.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>

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
    std::vector<std::uint32_t> histogram;  // responses per item bin (ResponseCodes::bin)
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

// The classification c as flat tables the sweeps read per response: per item and value whether
// the value is usable (usable_value) and lies below the top and above the bottom of the group's
// range; per item its first slot, how many of its group's values a response marks as scored
// (none when the item is neither measured, anchored nor extreme), and whether the item's weight
// counts for the person's score.
struct ResponseCodes {
    static constexpr std::uint8_t kUsable = 1, kBelowTop = 2, kAboveBottom = 4;
    std::vector<std::uint8_t> code;  // (items + 1) x 256
    std::vector<int> first_slot, seen_limit;
    std::vector<char> scores_person;
    // Per item one bin per value of its group and one for every other value: a person's
    // responses add up, bin by bin, to the person's tally as three 21-bit fields.
    static constexpr int kField = 21;
    std::vector<int> bin_base, bin_count;
    std::vector<std::uint64_t> packed;

    std::size_t bin(int i, int x) const {
        const auto ii = static_cast<std::size_t>(i);
        return static_cast<std::size_t>(bin_base[ii] + std::min(x, bin_count[ii]));
    }

    void build(const AnalysisArrays& a, const CountedEntries& c) {
        code.assign((static_cast<std::size_t>(a.items) + 1) * 256, 0);
        first_slot.assign(static_cast<std::size_t>(a.items) + 1, 0);
        seen_limit.assign(first_slot.size(), 0);
        scores_person.assign(first_slot.size(), 0);
        for (int i = 1; i <= a.items; ++i) {
            const int g = a.item_group[i], count = group_slot_count(a, g);
            const auto ii = static_cast<std::size_t>(i);
            first_slot[ii] = a.group_first_slot[g];
            seen_limit[ii] = a.item_status[i] >= status::kExtremeMinimum ? count : 0;
            scores_person[ii] = item_weight(a, i) > 0.0f;
            for (int x = 0; x < count && x < 255; ++x)
                if (usable_value(a, c, i, x))
                    code[ii * 256 + static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(
                        kUsable | (x < c.high[static_cast<std::size_t>(g)] ? kBelowTop : 0) |
                        (x > c.low[static_cast<std::size_t>(g)] ? kAboveBottom : 0));
        }
        bin_base.assign(first_slot.size(), 0);
        bin_count.assign(first_slot.size(), 0);
        int bins = 0;
        for (int i = 1; i <= a.items; ++i) {
            const auto ii = static_cast<std::size_t>(i);
            bin_base[ii] = bins;
            bin_count[ii] = std::clamp(group_slot_count(a, a.item_group[i]), 0, 255);
            bins += bin_count[ii] + 1;
        }
        packed.assign(static_cast<std::size_t>(bins), 0);
        for (int i = 1; i <= a.items; ++i)
            for (int x = 0; x < bin_count[static_cast<std::size_t>(i)]; ++x) {
                const std::uint8_t k = code[static_cast<std::size_t>(i) * 256 + static_cast<std::size_t>(x)];
                if (!k || !scores_person[static_cast<std::size_t>(i)]) continue;
                packed[bin(i, x)] = 1 | std::uint64_t{(k & kBelowTop) != 0} << kField |
                                    std::uint64_t{(k & kAboveBottom) != 0} << (2 * kField);
            }
    }
    // Whether a person's tally fits the fields.
    bool fields_hold(const AnalysisArrays& a) const { return a.items < (1 << kField); }
    static Tally unpack(std::uint64_t sum) {
        constexpr std::uint64_t mask = (std::uint64_t{1} << kField) - 1;
        return Tally{static_cast<int>(sum & mask), static_cast<int>((sum >> kField) & mask),
                     static_cast<int>(sum >> (2 * kField))};
    }
};

// Per item whether a response of a person of weight wp weighs in the category sums, kept for
// the last weight asked (most persons share one weight).
struct CategoryWeights {
    std::vector<char> weighs;
    std::uint32_t weight_bits = 0;
    bool known = false;
    const std::vector<char>& of(const AnalysisArrays& a, float wp) {
        const auto bits = std::bit_cast<std::uint32_t>(wp);
        if (known && bits == weight_bits) return weighs;
        weighs.assign(static_cast<std::size_t>(a.items) + 1, 0);
        for (int i = 1; i <= a.items; ++i)
            weighs[static_cast<std::size_t>(i)] = weighs_in_categories(a, i, wp);
        weight_bits = bits, known = true;
        return weighs;
    }
};

// Adds (sign 1) or takes off (sign -1) the response x of an active person to item i, as the
// classification counts it: the person's score counts the responses with item weight, the
// item's those with person weight, the categories those with both (counted_response).
inline void tally_response(const ResponseCodes& r, const std::vector<char>& weighs, bool wp_above_0,
                           int i, int x, int sign, Tally& person, ChunkTallies& own) {
    const auto ii = static_cast<std::size_t>(i);
    const std::uint8_t code = r.code[ii * 256 + static_cast<std::size_t>(x)];
    if (!code) return;
    const bool below = code & ResponseCodes::kBelowTop, above = code & ResponseCodes::kAboveBottom;
    if (r.scores_person[ii]) person.add(sign, below, above);
    if (wp_above_0) own.items[ii].add(sign, below, above);
    if (weighs[ii]) own.counted[static_cast<std::size_t>(r.first_slot[ii] + x)] += sign;
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
          weights_(static_cast<std::size_t>(plan_.chunks)),
          persons(static_cast<std::size_t>(a_.persons) + 1),
          items(static_cast<std::size_t>(a_.items) + 1),
          counted(static_cast<std::size_t>(a_.slots) + 1, 0),
          responded(static_cast<std::size_t>(a_.slots) + 1, 0) {}

    // Counts every response afresh; the first count also marks the slots any response of a
    // person and an item that are measured, anchored or extreme scores.
    void count_all(bool mark_responded) {
        codes_.build(a_, c_);
        const bool binned = codes_.fields_hold(a_);
        auto sweep = [&](int k) {
            ChunkTallies& own = fresh_chunk(k);
            own.histogram.assign(binned ? codes_.packed.size() : 0, 0);
            CategoryWeights& weights = weights_[static_cast<std::size_t>(k)];
            // The active persons of the chunk's first weight above 0 go into the histogram,
            // which is folded into the item tallies and slot counts after the chunk; the others
            // are tallied response by response.
            std::optional<float> common;
            for (int p = plan_.first(k), last = plan_.last(k, a_.persons); p <= last; ++p) {
                Tally& person = persons[static_cast<std::size_t>(p)];
                person = Tally{};
                const bool active = c_.person[static_cast<std::size_t>(p)] != 0;
                const bool seen = mark_responded &&
                                  base_status(a_.person_status[p]) >= status::kExtremeMinimum;
                if (!active && !seen) continue;
                const std::uint8_t* x = data_.scores(p);
                const float wp = person_weight(a_, p);
                if (binned && active && wp > 0.0f) {
                    if (!common) common = wp;
                    if (std::bit_cast<std::uint32_t>(*common) == std::bit_cast<std::uint32_t>(wp)) {
                        std::uint64_t sum = 0;
                        for (int i = 1; i <= a_.items; ++i) {
                            const std::size_t b = codes_.bin(i, x[i - 1]);
                            sum += codes_.packed[b];
                            ++own.histogram[b];
                        }
                        person = ResponseCodes::unpack(sum);
                        continue;
                    }
                }
                const std::vector<char>& weighs = weights.of(a_, wp);
                for (int i = 1; i <= a_.items; ++i) {
                    const int v = x[i - 1];
                    if (active) tally_response(codes_, weighs, wp > 0.0f, i, v, 1, person, own);
                    if (seen && v < codes_.seen_limit[static_cast<std::size_t>(i)])
                        own.responded[static_cast<std::size_t>(
                            codes_.first_slot[static_cast<std::size_t>(i)] + v)] = 1;
                }
            }
            if (common) fold_histogram(own, weights.of(a_, *common), mark_responded);
        };
        pool_.run(plan_.chunks, sweep);
        std::fill(items.begin(), items.end(), Tally{});
        std::fill(counted.begin(), counted.end(), 0);
        join();
    }

    // Takes off the responses of the persons marked leaving and of the items listed leaving, as
    // the classification counts them before they leave.
    void take_off(const std::vector<char>& leaving_person, const std::vector<int>& leaving_items) {
        codes_.build(a_, c_);
        auto sweep = [&](int k) {
            ChunkTallies& own = fresh_chunk(k);
            CategoryWeights& weights = weights_[static_cast<std::size_t>(k)];
            for (int p = plan_.first(k), last = plan_.last(k, a_.persons); p <= last; ++p) {
                const auto pi = static_cast<std::size_t>(p);
                if (!c_.person[pi]) continue;
                const std::uint8_t* x = data_.scores(p);
                const float wp = person_weight(a_, p);
                const std::vector<char>& weighs = weights.of(a_, wp);
                if (leaving_person[pi]) {
                    for (int i = 1; i <= a_.items; ++i)
                        tally_response(codes_, weighs, wp > 0.0f, i, x[i - 1], -1, persons[pi], own);
                } else {
                    for (const int i : leaving_items)
                        tally_response(codes_, weighs, wp > 0.0f, i, x[i - 1], -1, persons[pi], own);
                }
            }
        };
        pool_.run(plan_.chunks, sweep);
        join();
    }

private:
    // Adds a chunk's histogram (active persons of one weight above 0, whose responses to item i
    // weigh in the category sums where weighs[i]) to its item tallies and slot counts.
    void fold_histogram(ChunkTallies& own, const std::vector<char>& weighs, bool mark_responded) {
        for (int i = 1; i <= a_.items; ++i) {
            const auto ii = static_cast<std::size_t>(i);
            for (int x = 0; x < codes_.bin_count[ii]; ++x) {
                const std::uint32_t n = own.histogram[codes_.bin(i, x)];
                if (n == 0) continue;
                const auto slot = static_cast<std::size_t>(codes_.first_slot[ii] + x);
                if (mark_responded && x < codes_.seen_limit[ii]) own.responded[slot] = 1;
                const std::uint8_t code = codes_.code[ii * 256 + static_cast<std::size_t>(x)];
                if (!code) continue;
                own.items[ii].add(static_cast<int>(n), code & ResponseCodes::kBelowTop,
                                  code & ResponseCodes::kAboveBottom);
                if (weighs[ii]) own.counted[slot] += n;
            }
        }
    }

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
    std::vector<CategoryWeights> weights_;
    ResponseCodes codes_;

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

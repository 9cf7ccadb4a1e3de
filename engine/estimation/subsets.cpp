#include "engine/estimation/subsets.h"

#include <algorithm>
#include <new>

#include "engine/estimation/entry_marks.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

// What the current subset has seen of an item: nothing yet, its bottom category, its top
// category, or both ends or a middle category.
constexpr char kNoMark = ' ';
constexpr char kLow = 'L';
constexpr char kHigh = 'H';
constexpr char kBoth = 'B';

class SubsetWalk {
  public:
    SubsetWalk(Run& run, WorkFiles& files, const ConnectivityInputs& in, std::int32_t ni)
        : run_(run),
          files_(files),
          in_(in),
          ni_(ni),
          person_subset_(static_cast<std::size_t>(in.np) + 1, 0),
          item_subset_(static_cast<std::size_t>(ni) + 1, 0),
          mark_(static_cast<std::size_t>(ni) + 1, kNoMark),
          scores_(static_cast<std::size_t>(std::max(files.layout.ni, 1)), kMissingScore) {}

    std::int32_t run_walk();
    void report(std::int32_t subsets);

  private:
    std::int8_t person_status(std::int32_t p) const {
        return status_without_prox_mark(in_.person_status[static_cast<std::size_t>(p)]);
    }
    bool person_takes_part(std::int32_t p) const { return person_status(p) > 0; }
    bool item_takes_part(std::int32_t i) const {
        return in_.item_status[static_cast<std::size_t>(i)] > 0;
    }
    std::int32_t group(std::int32_t i) const { return in_.item_group[static_cast<std::size_t>(i)]; }
    std::int32_t top(std::int32_t i) const {
        const std::int32_t g = group(i);
        if (g < 1 || static_cast<std::size_t>(g) >= in_.group_top_category.size()) return -1;
        return in_.group_top_category[static_cast<std::size_t>(g)];
    }
    // Recoded category of the loaded person's response to item i; -1 when it takes no part.
    std::int32_t recoded(std::int32_t i) const {
        const std::uint8_t x = loaded_[static_cast<std::size_t>(i - 1)];
        const std::int32_t g = group(i);
        if (x == kMissingScore || g < 1 ||
            static_cast<std::size_t>(g) >= in_.group_first_slot.size())
            return -1;
        const std::int64_t slot =
            static_cast<std::int64_t>(in_.group_first_slot[static_cast<std::size_t>(g)]) + x;
        if (slot < 1 || slot >= static_cast<std::int64_t>(in_.category_recoded.size())) return -1;
        return std::max(in_.category_recoded[static_cast<std::size_t>(slot)], -1);
    }
    // The person's scores: from the image when it holds them, else read from the work file.
    void load(std::int32_t p) {
        const auto ni = static_cast<std::size_t>(std::max(ni_, 0));
        const std::size_t at = static_cast<std::size_t>(p - 1) * ni;
        if (ni > 0 && at + ni <= files_.scored_response_image.size()) {
            loaded_ = files_.scored_response_image.data() + at;
            return;
        }
        read_person_scores_record(run_, files_, p, scores_);
        loaded_ = scores_.data();
    }
    void seed_marks(std::int32_t subset);
    bool links_up_and_down();
    bool update_marks(std::int32_t subset);
    void both_lines(const std::string& line);

    Run& run_;
    WorkFiles& files_;
    const ConnectivityInputs& in_;
    std::int32_t ni_;
    std::vector<std::int32_t> person_subset_;
    std::vector<std::int32_t> item_subset_;
    std::vector<char> mark_;
    std::vector<std::uint8_t> scores_;
    const std::uint8_t* loaded_ = nullptr;
    std::int32_t open_marks_ = 0;  // items taking part whose mark is not yet kBoth
};

// The marks of the seed person's responses.
void SubsetWalk::seed_marks(std::int32_t subset) {
    open_marks_ = 0;
    for (std::int32_t i = ni_; i >= 1; --i) {
        char& m = mark_[static_cast<std::size_t>(i)];
        m = kNoMark;
        if (!item_takes_part(i)) continue;
        ++open_marks_;
        const std::int32_t r = recoded(i);
        if (r < 0) continue;
        if (r < 1) {
            m = kLow;
        } else if (r < top(i)) {
            m = kBoth;
            --open_marks_;
            item_subset_[static_cast<std::size_t>(i)] = subset;
        } else {
            m = kHigh;
        }
    }
}

// The loaded person answers some marked item above a category the subset has seen, and some
// marked item below one: the person is compared with the subset in both directions.
bool SubsetWalk::links_up_and_down() {
    bool up = false, down = false;
    for (std::int32_t i = ni_; i >= 1 && !(up && down); --i) {
        const char m = mark_[static_cast<std::size_t>(i)];
        if (m == kNoMark || !item_takes_part(i)) continue;
        const std::int32_t r = recoded(i);
        if (r < 0) continue;
        if (r > 0 && m != kHigh) up = true;
        if (r < top(i) && m != kLow) down = true;
    }
    return up && down;
}

// Adds the loaded person's responses to the marks; true when a mark changed.
bool SubsetWalk::update_marks(std::int32_t subset) {
    bool changed = false;
    for (std::int32_t i = ni_; i >= 1 && open_marks_ > 0; --i) {
        char& m = mark_[static_cast<std::size_t>(i)];
        if (m == kBoth || !item_takes_part(i)) continue;
        const std::int32_t r = recoded(i);
        if (r < 0) continue;
        char next;
        if (r < 1)
            next = m == kHigh ? kBoth : kLow;  // the bottom after the top: both ends
        else if (r < top(i) || m == kLow)
            next = kBoth;
        else
            next = kHigh;
        if (next == kBoth) item_subset_[static_cast<std::size_t>(i)] = subset, --open_marks_;
        if (next != m) {
            m = next;
            changed = true;
        }
    }
    return changed;
}

std::int32_t SubsetWalk::run_walk() {
    std::int32_t subsets = 0;
    for (std::int32_t p = 1; p <= in_.np; ++p) {
        if (!person_takes_part(p) || person_subset_[static_cast<std::size_t>(p)] != 0) continue;
        const std::int32_t s = ++subsets;
        person_subset_[static_cast<std::size_t>(p)] = s;
        std::int8_t seed_status = person_status(p);
        load(p);
        seed_marks(s);
        std::int32_t last_changer = p;
        bool everyone_placed = false;
        while (last_changer > 0) {
            last_changer = 0;
            std::int32_t first_outsider = 0;
            for (std::int32_t q = p + 1; q <= in_.np; ++q) {
                if (!person_takes_part(q) || person_subset_[static_cast<std::size_t>(q)] != 0)
                    continue;
                const std::int8_t q_status = person_status(q);
                load(q);
                const bool connected =
                    (seed_status == status::kAnchored && q_status == status::kAnchored) ||
                    links_up_and_down();
                if (!connected) {
                    if (first_outsider == 0) first_outsider = q;
                    continue;
                }
                person_subset_[static_cast<std::size_t>(q)] = s;
                if (seed_status != status::kAnchored && q_status == status::kAnchored) {
                    seed_status = status::kAnchored;
                    last_changer = q;
                }
                if (update_marks(s)) last_changer = q;
            }
            if (first_outsider == 0) {
                everyone_placed = true;
                break;
            }
            // Every outsider was tested after the last change: another pass would find no more.
            if (last_changer < first_outsider) break;
        }
        if (everyone_placed) break;
    }
    return subsets;
}

void SubsetWalk::both_lines(const std::string& line) {
    if (run_.host) run_.host->write_text_window_line(line);
    write_report_text(run_, line);
}

void SubsetWalk::report(std::int32_t subsets) {
    const std::string count = std::string(trim(int_to_text_left(subsets)));
    both_lines(std::string(msg::kAmbiguouslyConnected) + count + msg::kSubsetsEnd);
    both_lines(msg::kSubsetMembers);
    std::string label;
    auto member_line = [&](std::int32_t k, std::string_view word, std::int32_t n) {
        return std::string(msg::kSubsetWord) + std::string(trim(int_to_text_left(k))) +
               msg::kSubsetSeparator + std::string(trim(word)) + msg::kSubsetSeparator +
               std::string(trim(int_to_text_left(n))) + "  " + std::string(trim(label));
    };
    for (std::int32_t k = 1; k <= subsets; ++k) {
        const auto p = std::find(person_subset_.begin() + 1, person_subset_.end(), k);
        if (p != person_subset_.end()) {
            const auto n = static_cast<std::int32_t>(p - person_subset_.begin());
            read_person_name_record(run_, files_, n, label);
            both_lines(member_line(k, in_.person_word, n));
        }
        const auto i = std::find(item_subset_.begin() + 1, item_subset_.end(), k);
        if (i != item_subset_.end()) {
            const auto n = static_cast<std::int32_t>(i - item_subset_.begin());
            read_item_label_record(run_, files_, n, label);
            both_lines(member_line(k, in_.item_word, n));
        }
    }
    const std::string closing =
        std::string(msg::kAmbiguouslyConnected) + count + msg::kSubsetsListedAbove;
    both_lines(closing);
    run_.rs.closing_note = closing.substr(0, 80);
}

}  // namespace

std::int32_t check_subset_connectivity(Run& run, WorkFiles& files, const ConnectivityInputs& in) {
    const std::int32_t ni = files.layout.ni;
    const bool fits = in.np >= 0 && ni >= 0 &&
                      in.person_status.size() > static_cast<std::size_t>(in.np) &&
                      in.item_status.size() > static_cast<std::size_t>(ni) &&
                      in.item_group.size() > static_cast<std::size_t>(ni);
    if (!fits) {
        show_message_line(run, std::string(msg::kSubsetCheckNotDone) + msg::kArraysTooShort);
        return 0;
    }
    try {
        SubsetWalk walk(run, files, in, ni);
        const std::int32_t subsets = walk.run_walk();
        if (subsets > 1) walk.report(subsets);
        return subsets;
    } catch (const std::bad_alloc&) {
        // Without the walk's arrays there is no check; the run must not look connected.
        show_message_line(run, std::string(msg::kSubsetCheckNotDone) + msg::kNotEnoughMemory);
        return 0;
    }
}

}  // namespace korvelan

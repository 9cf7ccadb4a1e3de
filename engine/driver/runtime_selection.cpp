// Re-selection of persons or items after the run, with their summary of measures made afresh.
#include <cmath>
#include <string>

#include "engine/driver/runtime_change.h"
#include "engine/estimation/summary_stats.h"
#include "engine/input/selections.h"
#include "engine/run/entry_statistics.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

// The summary slots of one side.
struct SideSlots {
    int raw_score, count, measure, error, infit, infit_z, outfit, outfit_z;
    int real_error;      // real S.E. of entries not extreme
    int all_measure;     // measures: extreme entries, then all
    int all_error;       // model S.E.s: extreme entries, then all
    int all_real_error;  // real S.E.s of all entries
};
constexpr SideSlots kPersonSlots{1, 2, 3, 4, 5, 6, 7, 8, 17, 19, 20, 21};
constexpr SideSlots kItemSlots{9, 10, 11, 12, 13, 14, 15, 16, 18, 22, 23, 24};

float weight_of(const std::vector<float>& weights, std::int64_t n) {
    return weights.empty() ? 1.0f : array_value(weights, n);
}

void clear_side(AnalysisArrays& a, const SideSlots& s) {
    for (int k : {s.raw_score, s.count, s.measure, s.error, s.infit, s.infit_z, s.outfit,
                  s.outfit_z, s.real_error, s.all_measure, s.all_error, s.all_real_error})
        a.summary[static_cast<std::size_t>(k)] = SummarySlot{};
}

// Adds one entry to the summary slots of its side; an extreme entry counts only among all measures
// and all model S.E.s.
void accumulate_entry(AnalysisArrays& a, const SideSlots& s, const EntryStatistics& v, bool extreme,
                      float w) {
    auto add = [&](int k, float value) {
        accumulate_summary_slot(a.summary[static_cast<std::size_t>(k)], value, w);
    };
    if (extreme) {
        add(s.all_measure, v.measure);
        add(s.all_error, v.standard_error);
        return;
    }
    add(s.raw_score, v.raw_score);
    add(s.count, v.count);
    add(s.measure, v.measure);
    add(s.error, v.standard_error);
    add(s.infit, v.infit_mnsq);
    add(s.infit_z, v.infit_zstd);
    add(s.outfit, v.outfit_mnsq);
    add(s.outfit_z, v.outfit_zstd);
    add(s.real_error, v.standard_error * std::sqrt(std::max(v.infit_mnsq, 1.0f)));
}

// All measures, the real S.E. of all entries and all model S.E.s, then every slot finished.
void combine_and_finish(AnalysisArrays& a, const SideSlots& s) {
    auto slot = [&](int k) -> SummarySlot& { return a.summary[static_cast<std::size_t>(k)]; };
    add_summary_slot(slot(s.all_measure), slot(s.measure));
    SummarySlot all_real = slot(s.real_error);
    add_summary_slot(all_real, slot(s.all_error));
    slot(s.all_real_error) = all_real;
    add_summary_slot(slot(s.all_error), slot(s.error));
    for (int k : {s.raw_score, s.count, s.measure, s.error, s.infit, s.infit_z, s.outfit,
                  s.outfit_z, s.real_error, s.all_measure, s.all_error, s.all_real_error})
        finish_summary_slot(slot(k));
}

bool is_extreme(std::int8_t s) {
    return s == status::kExtremeMaximum || s == status::kExtremeMinimum;
}

void show_selected(Run& run, const std::string& plural, std::int64_t selected) {
    show_message_line(run, std::string(trim(plural)) + msg::kSelectedCount +
                               std::string(trim(int_to_text_left(selected))));
}

// One side of the run as a re-selection sees it.
struct Side {
    const SideSlots& slots;
    std::vector<std::int8_t>& statuses;
    const std::vector<float>& weights;
    std::int64_t count;
    std::string_view pattern;  // PSELECT= or ISELECT=
    int label_length;          // NAMLEN= or ITLEN=
    const std::string& plural;
    // The run-wide results of the side.
    std::int32_t& total;
    std::int32_t& active;
    float& mean;
    float& sd;
};

// The selection pass over one side: reinstating, matching and summarising, then the summary
// slots finished and the side's run-wide results taken from them. read_values gives the
// statistics of entry n. Returns the selected count.
template <typename Label, typename Values>
std::int64_t reselect_side(Run& run, const Side& side, bool keep_deselections, Label read_label,
                           Values read_values) {
    AnalysisArrays& a = run.arrays;
    clear_side(a, side.slots);
    a.estimation.item_residual_correlations_computed = false;
    a.estimation.person_residual_correlations_computed = false;

    std::int64_t selected = 0;
    std::int32_t extreme = 0;
    std::int32_t not_extreme = 0;
    const bool everyone = trim(side.pattern) == "*";
    std::string label;
    const std::int64_t count =
        std::min<std::int64_t>(side.count, static_cast<std::int64_t>(side.statuses.size()) - 1);
    for (std::int64_t n = 1; n <= count; ++n) {
        std::int8_t& s = side.statuses[static_cast<std::size_t>(n)];
        if (!keep_deselections && s < -5) s = static_cast<std::int8_t>(s + status::kDeselectOffset);
        if (s > status::kDropped) {
            bool match = everyone;
            if (!match) {
                read_label(n, label);
                match = is_selected(match_label_selection(side.pattern, label, side.label_length));
            }
            if (match)
                ++selected;
            else
                s = static_cast<std::int8_t>(s - status::kDeselectOffset);
        }
        if (s > status::kDropped) {
            accumulate_entry(a, side.slots, read_values(n), is_extreme(s),
                             weight_of(side.weights, n));
            ++(is_extreme(s) ? extreme : not_extreme);
        }
    }
    show_selected(run, side.plural, selected);
    combine_and_finish(a, side.slots);
    side.total = extreme + not_extreme;
    side.active = not_extreme;
    side.mean = a.summary[static_cast<std::size_t>(side.slots.measure)].mean;
    side.sd = a.summary[static_cast<std::size_t>(side.slots.measure)].sd;
    return selected;
}

}  // namespace

std::int64_t reselect_persons(Run& run, WorkFiles& files, bool keep_deselections) {
    AnalysisArrays& a = run.arrays;
    EstimationResults& est = a.estimation;
    const Side side{
        kPersonSlots,       a.person_status,         a.person_weights,     a.persons,
        run.cv.pselect,     run.cv.namlen,           run.cv.person_plural, est.person_total,
        est.active_persons, est.person_mean_measure, est.person_sd_measure};
    auto read_label = [&](std::int64_t n, std::string& label) {
        read_person_name_record(run, files, n, label);
    };
    auto read_values = [&](std::int64_t n) {
        PersonWorkFields f;
        read_person_work_record(run, files, n, f);
        return person_statistics(a, n, f);
    };
    return reselect_side(run, side, keep_deselections, read_label, read_values);
}

std::int64_t reselect_items(Run& run, WorkFiles& files, bool keep_deselections) {
    AnalysisArrays& a = run.arrays;
    EstimationResults& est = a.estimation;
    const Side side{kItemSlots,       a.item_status,         a.item_weights,     a.items,
                    run.cv.iselect,   run.cv.itlen,          run.cv.item_plural, est.item_total,
                    est.active_items, est.item_mean_measure, est.item_sd_measure};
    auto read_label = [&](std::int64_t n, std::string& label) {
        read_item_label_record(run, files, n, label);
    };
    auto read_values = [&](std::int64_t n) { return item_statistics(a, n); };
    return reselect_side(run, side, keep_deselections, read_label, read_values);
}

}  // namespace korvelan

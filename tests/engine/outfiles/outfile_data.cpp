#include "tests/engine/outfiles/outfile_data.h"

namespace korvelan::testing {

namespace {

void size_arrays(AnalysisArrays& a, int items, int persons, int groups, int slots) {
    a.items = items;
    a.persons = persons;
    a.groups = groups;
    a.slots = slots;
    const auto ni = static_cast<std::size_t>(items) + 1, np = static_cast<std::size_t>(persons) + 1;
    const auto ng = static_cast<std::size_t>(groups) + 1, nc = static_cast<std::size_t>(slots) + 1;
    for (auto* v : {&a.item_measure, &a.item_standard_error, &a.item_infit_mnsq, &a.item_infit_zstd,
                    &a.item_outfit_mnsq, &a.item_outfit_zstd, &a.item_count, &a.item_raw_score,
                    &a.item_shown_count, &a.item_shown_score, &a.item_point_biserial, &a.item_displacement})
        v->assign(ni, 0.0f);
    a.item_status.assign(ni, 1);
    a.item_group.assign(ni, 1);
    for (auto* v : {&a.person_measure, &a.person_infit_zstd, &a.person_outfit_zstd, &a.person_infit_mnsq,
                    &a.person_outfit_mnsq, &a.person_shown_count, &a.person_shown_score})
        v->assign(np, 0.0f);
    a.person_status.assign(np, 1);
    a.group_top_category.assign(ng, 0);
    a.group_first_slot.assign(ng, 0);
    a.group_model.assign(ng, 'R');
    for (auto* v : {&a.step_calibration, &a.step_information, &a.category_half_point_measure,
                    &a.category_score_point_measure, &a.category_thurstone_threshold})
        v->assign(nc, 0.0f);
    a.category_status.assign(nc, 1);
    a.category_value.assign(nc, 0);
}

struct ItemRow {
    std::int8_t status;
    float measure, se, in_msq, in_z, out_msq, out_z, count, score, ptbis, displ;
};

void set_item(AnalysisArrays& a, int i, const ItemRow& r) {
    a.item_status[i] = r.status;
    a.item_measure[i] = r.measure;
    a.item_standard_error[i] = r.se;
    a.item_infit_mnsq[i] = r.in_msq;
    a.item_infit_zstd[i] = r.in_z;
    a.item_outfit_mnsq[i] = r.out_msq;
    a.item_outfit_zstd[i] = r.out_z;
    a.item_count[i] = r.count;
    a.item_raw_score[i] = r.score;
    a.item_point_biserial[i] = r.ptbis;
    a.item_displacement[i] = r.displ;
    // Counts and scores under the total score include the extreme persons.
    a.item_shown_count[i] = r.count + 2.0f;
    a.item_shown_score[i] = r.score + 1.0f;
}

void set_person(OutfileData& d, int n, std::int8_t status, float measure, float in_z, float out_z,
                const PersonWorkFields& p) {
    d.a.person_status[n] = status;
    d.a.person_measure[n] = measure;
    d.a.person_infit_zstd[n] = in_z;
    d.a.person_outfit_zstd[n] = out_z;
    d.a.person_shown_count[n] = p.count + 1.0f;
    d.a.person_shown_score[n] = p.raw_score + 1.0f;
    d.records.person.push_back(p);
}

void common_settings(OutputSettings& s) {
    s.title = "Arithmetic, 2nd form";
    s.groups_mode = 0;
}

}  // namespace

OutfileData dichotomous_data() {
    OutfileData d;
    AnalysisArrays& a = d.a;
    size_arrays(a, 4, 6, 1, 2);
    a.top_value = 1;
    a.group_top_category[1] = 1;
    a.group_first_slot[1] = 1;
    a.category_value = {0, 0, 1};
    a.category_recoded = {0, 0, 1};
    a.step_calibration = {0.0f, 0.0f, 0.0f};
    a.step_information = {0.0f, 0.0f, 0.25f};
    a.category_half_point_measure = {0.0f, 0.0f, 0.0f};
    a.category_score_point_measure = {0.0f, -1.1f, 1.1f};
    a.category_thurstone_threshold = {0.0f, 0.0f, 0.0f};
    //                  status measure   se   in.msq in.z  out.msq out.z count score ptbis displ
    set_item(a, 1, {1, -1.23f, .45f, 1.02f, .2f, .95f, -.3f, 4.0f, 3.0f, .45f, 0.0f});
    set_item(a, 2, {2, .5f, .38f, .81f, -1.1f, .77f, -.9f, 4.0f, 2.0f, .62f, .13f});
    set_item(a, 3, {0, -3.96f, 1.84f, 1.0f, 0.0f, 1.0f, 0.0f, 4.0f, 4.0f, 0.0f, 0.0f});
    set_item(a, 4, {-3, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    d.records.item_labels = {"", "Q1 addition     ", "Q2 carry, two digits", "Q3 \"borrow\"", "Q4 dropped"};

    //                        count score  se   in.msq out.msq ptbis displ
    set_person(d, 1, 1, 1.0f, .4f, .3f, {3, 2, .92f, 1.1f, 1.2f, .5f, 0});
    set_person(d, 2, 1, -.0049f, -.6f, -.5f, {3, 1, .88f, .7f, .6f, .3f, .01f});
    set_person(d, 3, 0, 3.21f, 0, 0, {3, 3, 1.68f, 1, 1, 0, 0});
    set_person(d, 4, -1, -2.5f, 0, 0, {3, 0, 1.7f, 1, 1, 0, 0});
    set_person(d, 5, -3, 0, 0, 0, {0, 0, 0, 0, 0, 0, 0});
    set_person(d, 6, 2, .75f, 2.3f, 3.1f, {3, 2, .9f, 1.9f, 2.6f, -.2f, -.45f});
    d.records.person_labels = {"", "Ann", "Bob  Smith", "Cy", "Di", "Ed (left)", "Flo, jr"};
    common_settings(d.s);
    return d;
}

OutfileData rating_scale_data() {
    OutfileData d;
    AnalysisArrays& a = d.a;
    size_arrays(a, 5, 3, 3, 8);
    a.top_value = 3;
    a.group_top_category = {0, 3, 2, 0};
    a.group_first_slot = {0, 1, 5, 8};
    a.group_model = {' ', 'R', 'S', 'R'};
    //           slot: 0  g1: 1   2      3      4     g2: 5   6      7     g3: 8
    a.category_value = {0, 0, 1, 2, 3, 1, 2, 3, 0};
    a.category_status = {0, 1, 1, 0, 1, 1, 1, 1, 1};
    a.step_calibration = {0, 0, -1.0f, 0, 1.0f, 0, -.5f, .5f, 0};
    a.step_information = {0, 0, .42f, 0, .38f, 0, .55f, .5f, 0};
    a.category_score_point_measure = {0, -25, -12, 3, 26, -19, 1, 18, 0};
    a.category_half_point_measure = {0, 0, -18, -4, 15, 0, -9, 9, 0};
    a.category_thurstone_threshold = {0, 0, -16, -2, 14, 0, -8, 8.5f, 0};
    a.item_group = {0, 1, 2, 1, 2, 3};
    a.strings.groups = "AB" "AB" "C";
    set_item(a, 1, {1, 48.25f, 3.1f, 1.0f, .1f, .98f, 0.0f, 3.0f, 5.0f, .71f, 0.0f});
    set_item(a, 2, {1, 53.5f, 2.9f, 1.34f, 1.6f, 1.5f, 2.0f, 3.0f, 6.0f, .4f, 0.0f});
    set_item(a, 3, {0, 20.0f, 18.2f, 1.0f, 0.0f, 1.0f, 0.0f, 3.0f, 9.0f, 0.0f, 0.0f});
    set_item(a, 4, {-3, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    set_item(a, 5, {-4, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 3.0f, 0.0f, 0.0f, 0.0f});
    d.records.item_labels = {"", "Mood", "Sleep", "Appetite", "Energy", "Single"};
    set_person(d, 1, 1, 55.0f, .2f, .1f, {4, 7, 4.1f, 1.0f, .9f, .6f, 0});
    set_person(d, 2, 1, 45.0f, -.4f, -.2f, {4, 4, 4.3f, .8f, .9f, .5f, 0});
    set_person(d, 3, 0, 80.0f, 0, 0, {4, 11, 18.0f, 1, 1, 0, 0});
    d.records.person_labels = {"", "P one", "P two", "P three"};
    common_settings(d.s);
    d.s.umean = 50.0f;
    d.s.uscale = 10.0f;
    d.s.groups_mode = 1;
    d.s.item_word = "QUESTION";
    d.s.item_plural = "QUESTIONS";
    return d;
}

}  // namespace korvelan::testing

#include "engine/run/rating_scale_groups.h"

#include <algorithm>
#include <array>
#include <string>

#include "engine/run/control_checks.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

constexpr std::int32_t kPerItem = 1;
constexpr std::int32_t kOneGroupPerItem = 2;

bool is_model_letter(char c) {
    return c == 'R' || c == 'S' || c == 'F';
}

[[noreturn]] void stop_invalid_model(Run& run, char letter) {
    fatal_message(run,
                  std::string(msg::kInvalidModelOf) + letter + msg::kIn + msg::kModelsName);
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

void prepare_item_strings(Run& run) {
    ControlVariables& cv = run.cv;
    ItemDefinitionStrings& s = run.arrays.strings;
    const std::size_t ni = static_cast<std::size_t>(std::max(cv.ni, 0));
    const std::size_t n = ni * static_cast<std::size_t>(std::max(cv.xwide, 1));
    struct Entry {
        std::int32_t mode;
        std::string* text;
        const char* keyword;
    };
    const std::array<Entry, 4> in_case_order = {{{cv.models_mode, &s.models, "MODELS="},
                                                 {cv.groups_mode, &s.groups, "GROUPS="},
                                                 {cv.rescore_mode, &s.rescore, "RESCORE="},
                                                 {cv.irefer_mode, &s.irefer, "IREFER="}}};
    for (const Entry& e : in_case_order) {
        if (e.mode != kPerItem) continue;
        e.text->resize(n, ' ');
        uppercase_string(*e.text, static_cast<int>(n));
    }
    const std::array<Entry, 4> in_reduction_order = {in_case_order[1], in_case_order[0],
                                                     in_case_order[2], in_case_order[3]};
    for (const Entry& e : in_reduction_order) {
        if (e.mode != kPerItem) continue;
        if (cv.xwide > 1) reduce_item_string_to_one_character(run, *e.text, e.keyword);
        e.text->resize(ni, ' ');
    }
    if (cv.rescore_mode == kPerItem)
        for (char& c : s.rescore) c = (c == '1' || c == 'Y' || c == 'y') ? '1' : '0';
}

void settle_model_letter(Run& run) {
    ControlVariables& cv = run.cv;
    if (cv.models_mode == kPerItem) {
        if (cv.groups_mode == 0) cv.groups_mode = kOneGroupPerItem;
        cv.model_letter = ' ';
        return;
    }
    if (cv.model_letter == ' ') cv.model_letter = 'R';
    cv.model_letter = upper(cv.model_letter);
    if (!is_model_letter(cv.model_letter)) stop_invalid_model(run, cv.model_letter);
}

void form_rating_scale_groups(Run& run) {
    const ControlVariables& cv = run.cv;
    AnalysisArrays& a = run.arrays;
    std::string& groups = a.strings.groups;
    const std::int32_t ni = std::max(cv.ni, 0);
    groups.resize(static_cast<std::size_t>(ni), ' ');
    a.item_group.resize(static_cast<std::size_t>(ni) + 1, 1);
    if (cv.groups_mode != kPerItem) {
        const bool own = cv.groups_mode == kOneGroupPerItem;
        std::fill(groups.begin(), groups.end(), own ? '0' : '1');
        for (std::int32_t i = 1; i <= ni; ++i)
            a.item_group[static_cast<std::size_t>(i)] = own ? i : 1;
        a.groups = own ? ni : 1;
        return;
    }
    // Groups named by characters, numbered in character order.
    std::array<bool, 256> named{};
    for (char c : groups)
        if (c != ' ' && c != '0') named[static_cast<unsigned char>(c)] = true;
    std::array<std::int32_t, 256> number{};
    std::int32_t g = 0;
    for (std::size_t c = 0; c < named.size(); ++c)
        if (named[c]) number[c] = ++g;
    // Items left blank or "0" each form a group of their own, after them in entry order.
    for (std::int32_t i = 1; i <= ni; ++i) {
        char& c = groups[static_cast<std::size_t>(i - 1)];
        if (c == ' ' || c == '0') {
            c = '0';
            a.item_group[static_cast<std::size_t>(i)] = ++g;
        } else {
            a.item_group[static_cast<std::size_t>(i)] = number[static_cast<unsigned char>(c)];
        }
    }
    a.groups = g;
}

void set_group_model_codes(Run& run) {
    const ControlVariables& cv = run.cv;
    AnalysisArrays& a = run.arrays;
    std::fill(a.group_model.begin(), a.group_model.end(), cv.model_letter);
    if (cv.models_mode == kPerItem) {
        const std::string& models = a.strings.models;
        for (std::int32_t i = 1; i <= cv.ni; ++i) {
            const char letter = static_cast<std::size_t>(i) <= models.size()
                                    ? models[static_cast<std::size_t>(i - 1)]
                                    : ' ';
            if (letter == ' ') continue;
            if (!is_model_letter(letter)) stop_invalid_model(run, letter);
            const auto g = static_cast<std::size_t>(a.item_group[static_cast<std::size_t>(i)]);
            char& code = a.group_model[g];
            // During the set-up the first slot holds the item that set the group's model.
            std::int32_t& setter = a.group_first_slot[g];
            if (code == ' ') {
                code = letter;
                setter = i;
            } else if (code != letter) {
                fatal_message(run, std::string(msg::kTwoModelTypes) + "\"" + code + "\"" +
                                       msg::kAtItemNumber + fmt_i(setter, 6) + msg::kAndModel +
                                       "\"" + letter + "\"" + msg::kAtItemNumber + fmt_i(i, 6));
            }
        }
    }
    for (std::size_t g = 1; g < a.group_model.size(); ++g)
        if (a.group_model[g] == ' ') a.group_model[g] = 'R';
}

void take_irefer_from_groups(Run& run) {
    ControlVariables& cv = run.cv;
    ItemDefinitionStrings& s = run.arrays.strings;
    if (s.ivalue_rows.empty()) {
        cv.irefer_mode = 0;
        return;
    }
    if (cv.irefer_mode != kPerItem && cv.groups_mode == kPerItem) {
        s.irefer = s.groups;
        cv.irefer_mode = kPerItem;
    }
}

}  // namespace korvelan

#include "engine/input/item_definitions.h"

#include <algorithm>

#include "engine/input/data_records.h"
#include "engine/run/control_reader.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

constexpr std::size_t kListLineWidth = 80;
constexpr std::size_t kEntryNumberWidth = 10;
constexpr std::size_t kKeyScoreWidth = 9;
constexpr std::int32_t kUnusableKeyScore = 255;

std::string number(std::int64_t n) {
    return std::string(trim(int_to_text_left(n)));
}

void show_window_line(Run& run, std::string_view text) {
    if (run.host) run.host->write_text_window_line(text);
}

// A string given in one data-layout record: blank, exactly the single value, or per item.
std::int32_t mode_of_record(std::string_view text, std::string_view single_value) {
    std::string_view t = trim(text);
    if (t.empty()) return 0;
    return t == single_value ? 2 : 1;
}

void read_strings_in_data_layout(Run& run) {
    ControlVariables& cv = run.cv;
    ItemDefinitionStrings& s = run.arrays.strings;
    if (cv.groups_in_data == 'Y') {
        read_data_format_record(run, "GROUPS", s.groups);
        cv.groups_mode = mode_of_record(s.groups, "0");
    }
    if (cv.models_in_data == 'Y') {
        read_data_format_record(run, "MODELS", s.models);
        cv.model_letter = s.models.empty() ? ' ' : s.models[0];
        std::string_view t = trim_right(s.models);
        cv.models_mode = (t.size() == 1 && t[0] != ' ') ? 2 : 1;
    }
    if (cv.rescore_in_data == 'Y') {
        read_data_format_record(run, "RESCOR", s.rescore);
        cv.rescore_mode = mode_of_record(s.rescore, "2");
    }
    for (std::int32_t n = 1;
         n <= cv.keys_in_data && static_cast<std::size_t>(n) <= s.answer_keys.size(); ++n) {
        read_data_format_record(run, "KEY" + number(n),
                                s.answer_keys[static_cast<std::size_t>(n - 1)]);
        s.key_scores[static_cast<std::size_t>(n - 1)] = n;
        show_window_line(run, msg::kKeyPrefix + number(n) + msg::kKeyProcessedInDataFormat);
    }
}

// ---- list files ---------------------------------------------------------------------------------

struct ListFileKind {
    std::string ControlVariables::*file;
    std::int32_t ControlVariables::*mode;
    std::string ItemDefinitionStrings::*text;
    const char* processing;
    const char* value_problem;
    bool groups;  // GROUPS=: its own value problem, and mode 2 for "0" codes
    bool fatal;   // an unreadable file ends the run
};

// First entry number of a token (at most 10 characters); false when it is not a number.
bool read_entry_number(std::string_view token, std::int64_t& value) {
    token = token.substr(0, std::min(token.size(), kEntryNumberWidth));
    return !token.empty() && parse_integer_from_text(token, value) == 0;
}

// One cleaned, left-justified line: the range and its code. False for a value problem.
bool parse_list_line(std::string_view line, bool groups, std::int64_t& first, std::int64_t& last,
                     char& code) {
    if (line[0] == '-') return false;
    const std::size_t blank = std::min(line.find(' '), line.size());
    const std::size_t dash = line.find('-');
    const std::size_t token_end = std::min(blank, dash);
    if (groups && dash != std::string_view::npos && dash > blank &&
        !trim(line.substr(blank, dash - blank)).empty())
        return false;
    if (!read_entry_number(line.substr(0, token_end), first)) return false;
    std::string_view rest = line.substr(token_end);
    last = first;
    if (dash != std::string_view::npos) {
        std::string_view after = trim_left(line.substr(dash + 1));
        const std::size_t end = std::min(after.find(' '), after.size());
        if (end == 0 || !read_entry_number(after.substr(0, end), last)) return false;
        rest = after.substr(end);
    }
    rest = trim_left(rest);
    code = rest.empty() ? ' ' : rest[0];
    return true;
}

void read_list_file(Run& run, const ListFileKind& kind) {
    ControlVariables& cv = run.cv;
    std::string& text = run.arrays.strings.*kind.text;
    const std::string name(trim(cv.*kind.file));
    show_window_line(run, kind.processing + name);
    const std::int64_t ni = std::max(cv.ni, 0);
    const std::int64_t x = std::max(cv.xwide, 1);
    text.assign(static_cast<std::size_t>(ni * x), ' ');
    int status = open_unit(run, unit::kEdit, name, OpenMode::Read);
    std::string line;
    while (status == 0 && (status = read_unit_line(run, unit::kEdit, line)) == 0) {
        if (line.size() > kListLineWidth) line.resize(kListLineWidth);
        std::size_t semi = line.find(';');
        if (semi != std::string::npos) line.resize(semi);
        for (char& c : line)
            if (c == '"' || c == ',' || c == '+') c = ' ';
        if (trim(line).empty()) continue;
        left_justify_in_place(line);
        std::int64_t first = 0, last = 0;
        char code = ' ';
        if (!parse_list_line(line, kind.groups, first, last, code)) {
            show_message_line(run, kind.value_problem + std::string(trim(line)));
            continue;
        }
        if (last < first) std::swap(first, last);
        for (std::int64_t i = std::max<std::int64_t>(first, 1); i <= std::min(last, ni); ++i)
            text[static_cast<std::size_t>((i - 1) * x)] = code;
    }
    if (status > 0) {
        report_file_error(run, name, 'I');
        cv.*kind.mode = 0;
        close_unit(run, unit::kEdit);
        if (kind.fatal) stop_run_as_failed(run);
        run.rs.io_status = 0;
        return;
    }
    close_unit(run, unit::kEdit);
    bool coded = false, zero = false;
    for (std::int64_t i = 0; i < ni; ++i) {
        const char c = text[static_cast<std::size_t>(i * x)];
        if (kind.groups ? (c != ' ' && c != '0') : c != ' ') coded = true;
        if (c == '0') zero = true;
    }
    cv.*kind.mode = coded ? 1 : (kind.groups && zero ? 2 : 0);
    run.rs.io_status = 0;
}

}  // namespace

void read_keyed_control_lists(Run& run) {
    ItemDefinitionStrings& s = run.arrays.strings;
    show_window_line(run, msg::kReadingKeys);
    std::fill(s.key_scores.begin(), s.key_scores.end(), -1);
    s.ivalue_rows.clear();
    if (rewind_unit(run, unit::kControl) != 0) {
        const std::int32_t status = run.rs.io_status;
        show_message_line(run, msg::kRewindFailure + std::string(trim(run.rs.control_file)));
        run.rs.io_status = status;
        fail_on_file_error(run, run.rs.control_file, 'R');
    }
    read_control_file(run, ReadPass::Second, &s);
    read_strings_in_data_layout(run);
    settle_key_scores(run);
}

void settle_key_scores(Run& run) {
    ControlVariables& cv = run.cv;
    ItemDefinitionStrings& s = run.arrays.strings;
    const std::size_t x = static_cast<std::size_t>(std::max(cv.xwide, 1));
    const std::size_t keys = s.key_scores.size();
    if (trim(cv.key_scores).empty()) {
        std::string scores(static_cast<std::size_t>(width::kKeyScores), ' ');
        for (std::size_t n = 1; n <= keys; ++n) {
            const std::string digits = number(static_cast<std::int64_t>(n));
            for (std::size_t k = 0; k < x && k < digits.size(); ++k)
                if ((n - 1) * x + k < scores.size()) scores[(n - 1) * x + k] = digits[k];
        }
        cv.key_scores = scores;
        return;
    }
    for (std::size_t n = 1; n <= keys; ++n) {
        std::int32_t& score = s.key_scores[n - 1];
        if (score < 0) continue;
        const std::size_t at = (n - 1) * x;
        std::string field = at < cv.key_scores.size() ? cv.key_scores.substr(at, x) : std::string();
        field.resize(std::min(x, kKeyScoreWidth), ' ');
        std::string packed;
        for (char c : field)
            if (c != ' ') packed.push_back(c);
        std::int64_t value = 0;
        const bool digits = packed.find_first_of("0123456789") != std::string::npos;
        if (!digits || parse_integer_from_text(packed, value) != 0 || value < 0)
            score = kUnusableKeyScore;
        else
            score = static_cast<std::int32_t>(std::min<std::int64_t>(value, kUnusableKeyScore));
    }
}

void read_groups_file(Run& run) {
    read_list_file(run, {&ControlVariables::groups_list, &ControlVariables::groups_mode,
                         &ItemDefinitionStrings::groups, msg::kProcessingGroups,
                         msg::kValueProblemGroups, true, true});
}

void read_models_file(Run& run) {
    read_list_file(run, {&ControlVariables::models_list, &ControlVariables::models_mode,
                         &ItemDefinitionStrings::models, msg::kProcessingModels,
                         msg::kValueProblemModels, false, true});
}

void read_irefer_file(Run& run) {
    read_list_file(run, {&ControlVariables::irefer_list, &ControlVariables::irefer_mode,
                         &ItemDefinitionStrings::irefer, msg::kProcessingIrefer,
                         msg::kValueProblemIrefer, false, true});
}

void read_rescore_file(Run& run) {
    read_list_file(run, {&ControlVariables::rescore_list, &ControlVariables::rescore_mode,
                         &ItemDefinitionStrings::rescore, msg::kProcessingRescore,
                         msg::kValueProblemRescore, false, false});
}

}  // namespace korvelan

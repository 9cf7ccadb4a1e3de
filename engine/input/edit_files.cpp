#include "engine/input/edit_files.h"

#include <algorithm>
#include <cmath>

#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/run_start.h"

namespace korvelan {

namespace {
// A scale of 0 means 1, as the control reader stores it.
float scale_or_one(float s) {
    return s == 0.0f ? 1.0f : s;
}

std::string one_line(std::string_view lead, std::string_view prompt) {
    return std::string(lead) + std::string(trim(prompt));
}
}  // namespace

float entry_anchor_to_logits(const AnchorUnits& units, float v) {
    if (units.user_units == 'Y') return (v - units.umean) / scale_or_one(units.uscale);
    return v / scale_or_one(units.anchor_scale);
}

float step_anchor_to_logits(const AnchorUnits& units, float v) {
    if (units.user_units == 'Y') return v / std::fabs(scale_or_one(units.uscale));
    return v / std::fabs(scale_or_one(units.anchor_scale));
}

bool is_run_work_file(std::string_view name) {
    return name.find(msg::kWorkFileTail) != std::string_view::npos;
}

void offer_in_edit_menu(Run& run, std::string_view label, std::string_view name) {
    if (!run.host || is_run_work_file(name)) return;
    run.host->add_edit_menu_entry(label, trim(name));
}

void show_window_line(Run& run, std::string_view text) {
    if (run.host) run.host->write_text_window_line(trim_right(text));
}

void open_edit_file(Run& run, std::string_view name) {
    const std::string path(trim(name));
    if (open_unit(run, unit::kEdit, path, OpenMode::Read) != 0) fail_on_file_error(run, path, 'I');
}

bool read_edit_file_line(Run& run, std::string_view name, std::string& line, std::size_t width) {
    const int status = read_unit_line(run, unit::kEdit, line);
    if (status == 0) {
        if (line.size() > width) line.resize(width);
        return true;
    }
    close_unit(run, unit::kEdit);
    if (status == -1) {
        run.rs.io_status = 0;
        return false;
    }
    run.rs.io_status = status;
    fail_on_file_error(run, trim(name), 'I');
}

void cut_at_comment(std::string& line) {
    const std::size_t p = line.find(';');
    if (p != std::string::npos)
        std::fill(line.begin() + static_cast<std::ptrdiff_t>(p), line.end(), ' ');
}

void blank_characters(std::string& line, std::string_view chars) {
    for (char& c : line)
        if (chars.find(c) != std::string_view::npos) c = ' ';
}

namespace {
// Whether the line's first field is a quoted text holding more than blanks and number
// characters (digits, signs, points): a heading line, not a value line.
bool starts_with_quoted_text(std::string_view line) {
    const std::size_t open = line.find_first_not_of(' ');
    if (open == std::string_view::npos || line[open] != '"') return false;
    std::string_view field = line.substr(open + 1);
    field = field.substr(0, field.find('"'));
    return field.find_first_not_of(" 0123456789.-+") != std::string_view::npos;
}
}  // namespace

bool clean_value_line(std::string& line, std::string_view also) {
    if (starts_with_quoted_text(line)) return false;
    cut_at_comment(line);
    blank_characters(line, "\",");
    if (!also.empty()) blank_characters(line, also);
    return !is_blank(line);
}

bool is_blank(std::string_view text) {
    return trim(text).empty();
}

bool has_digit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<bool> ask_yes(Run& run, std::string_view prompt) {
    const auto typed = ask_console_line(run, prompt);
    if (!typed) {
        show_message_line(run, one_line(msg::kNoAnswerTakenAsNo, prompt));
        return std::nullopt;
    }
    return !typed->empty() && (typed->front() == 'Y' || typed->front() == 'y');
}

std::optional<std::string> ask_list_line(Run& run, std::string_view prompt) {
    auto typed = ask_console_line(run, prompt);
    if (!typed) show_message_line(run, one_line(msg::kNoAnswerEndsList, prompt));
    return typed;
}

TypedNumber ask_typed_number(Run& run, std::string_view prompt) {
    TypedNumber result;
    std::optional<std::string> typed = ask_list_line(run, prompt);
    // A list-directed read goes on to the next line while it has found no item.
    while (typed && is_blank(*typed)) {
        typed = run.host ? run.host->console_read_line() : std::nullopt;
        if (!typed) show_message_line(run, one_line(msg::kNoAnswerEndsList, prompt));
    }
    if (!typed) return result;
    result.answered = true;
    std::string_view t = trim(*typed);
    const std::size_t end = t.find_first_of(" ,");
    result.readable = parse_real_from_text(t.substr(0, end), result.value) == 0;
    return result;
}

}  // namespace korvelan

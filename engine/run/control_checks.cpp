#include "engine/run/control_checks.h"

#include <algorithm>
#include <cstdint>

#include "engine/run/code_characters.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

constexpr int kMaxCodesLength = 1000;
constexpr int kMaxEntries = 32000;       // ITEM1=, NAME1=, NI= and the record length
constexpr int kMaxLabelLength = 300;
constexpr int kMaxDefaultNameLength = 30;
constexpr int kMaxLineWidth = 500;
constexpr int kMinPageLength = 20;
constexpr int kMaxParenthesisLevel = 16;
// A repeat or width in FORMAT= beyond this serves no record; it is held here, not overflowed.
constexpr double kFormatNumberCap = 1e9;

std::string num(std::int64_t n) { return std::string(trim(int_to_text_left(n))); }

bool is_yes(char c) { return c == 'Y' || c == 'y' || c == '1'; }

void set_text(std::string& field, std::string_view value, int width) {
    field = pad_bytes(value, static_cast<std::size_t>(width));
}

// CFILE= and CLFILE= must name a readable file.
void check_label_file(Run& run, const std::string& field, const char* menu_label, const char* problem) {
    std::string name(trim(field));
    if (name.empty()) return;
    if (name.find(msg::kWorkFileTail) == std::string::npos && run.host)
        run.host->add_edit_menu_entry(menu_label, name);
    // The file is read through once, so that a line it cannot give (no line end, NUL bytes, a
    // read error) stops the run here, as any other file's would, not lose labels later.
    if (open_unit(run, unit::kOutput, name, OpenMode::Read) == 0) {
        std::string line;
        int read = 0;
        while ((read = read_unit_line(run, unit::kOutput, line)) == 0) {
        }
        close_unit(run, unit::kOutput);
        if (read < 0) return;
        run.rs.io_status = read;
    }
    std::int32_t status = run.rs.io_status;
    show_message_line(run, problem + name);
    run.rs.io_status = status;
    fail_on_file_error(run, name, 'I');
}

void check_codes(Run& run) {
    ControlVariables& cv = run.cv;
    if (cv.codes_length > kMaxCodesLength)
        fatal_message(run, msg::kCodesLongerPrefix + num(cv.codes_length) + msg::kCodesLongerThanMaximum +
                               num(kMaxCodesLength));
    // A code is a character: one of several bytes is stored as one byte (shown as itself).
    for (std::string* codes : {&cv.codes, &cv.new_scores}) {
        const std::size_t width = codes->size();
        store_run_codes(run, *codes, codes == &cv.codes ? "CODES=" : "NEWSCR=");
        codes->resize(width, ' ');
    }
    const int length = static_cast<int>(trim_right(cv.codes).size());
    cv.codes_length = length;
    const int x = cv.xwide;
    const std::string shown = shown_codes(cv.code_characters, trim_right(cv.codes));
    if (cv.categs == 0) {
        cv.categs = length / x;
    } else if (cv.categs != length / x) {
        fatal_message(run, msg::kCodesQuoted + shown + msg::kCodesHasLengthOf + num(length) +
                               msg::kCodesDisagreeCategs + num(cv.categs) + msg::kAndXwide + num(x));
    }
    if (static_cast<std::int64_t>(cv.categs) * x != length)
        fatal_message(run, msg::kCodesQuoted + shown + msg::kCodesHasLengthOf + " " + num(length) +
                               msg::kCodesDisagreeXwide + num(x));
    if (cv.categs < 1 || (cv.categs == 1 && cv.missing == 255))
        fatal_message(run, msg::kCodesTooShort + shown + msg::kCodesTooShortXwide + num(x) +
                               msg::kCodesTooShortMissing + num(cv.missing));
    if (cv.rescore_mode > 0)
        std::fill(cv.new_scores.begin() + std::min<std::size_t>(cv.new_scores.size(), length),
                  cv.new_scores.end(), ' ');
    // Multi-column codes are left-adjusted in place; a code given twice is reported.
    for (int i = 0; i < cv.categs; ++i) {
        std::string code = cv.codes.substr(static_cast<std::size_t>(i) * x, x);
        if (x > 1) {
            left_justify_in_place(code);
            cv.codes.replace(static_cast<std::size_t>(i) * x, x, code);
        }
        for (int j = 0; j < i; ++j)
            if (cv.codes.compare(static_cast<std::size_t>(j) * x, x, code) == 0)
                show_message_line(run, msg::kCodeWarning + shown_codes(cv.code_characters, code) +
                                           msg::kCodeSpecifiedTwice);
    }
}

void check_entry_range(Run& run, std::int32_t value, const char* problem) {
    if (value < 1 || value > kMaxEntries)
        fatal_message(run, problem + num(value) + msg::kMustBeBetween + num(kMaxEntries));
}

void check_record_length(Run& run) {
    const ControlVariables& cv = run.cv;
    float end = std::max(static_cast<float>(cv.item1 - 1) +
                             static_cast<float>(cv.xwide) * static_cast<float>(cv.ni),
                         static_cast<float>(cv.name1));
    if (end > static_cast<float>(kMaxEntries))
        fatal_message(run, std::string(msg::kRecordOverflow) + msg::kMaximumRecordLength + num(kMaxEntries) +
                               msg::kCommaItem1 + num(cv.item1) + msg::kCommaNi + num(cv.ni) +
                               msg::kCommaXwide + num(cv.xwide) + msg::kEndsAt + num(nint(end)));
}

void check_format(Run& run) {
    ControlVariables& cv = run.cv;
    if (trim(cv.format).empty()) return;
    const int length = static_cast<int>(trim_right(cv.format).size());
    uppercase_string(cv.format, length);
    std::string reason = check_format_text(trim_right(cv.format), cv.xwide, cv.format_field_count);
    if (reason.empty()) return;
    show_message_line(run, msg::kFormatProblem + reason);
    fatal_message(run, msg::kFormatEcho + std::string(trim_right(cv.format)));
}

}  // namespace

void normalise_yes_no_flag(char& flag) { flag = is_yes(flag) ? 'Y' : 'N'; }

void normalise_flag_string(std::string& text, int n) {
    for (int i = 0; i < n && i < static_cast<int>(text.size()); ++i) text[i] = is_yes(text[i]) ? '1' : '0';
}

std::string check_format_text(std::string_view format, int xwide, int& field_count) {
    if (format.empty() || format.front() != '(') return msg::kFormatMustBegin;
    if (format.back() != ')') return msg::kFormatMustEnd;
    double sum[kMaxParenthesisLevel + 2] = {};
    double repeat[kMaxParenthesisLevel + 2] = {};
    int level = 1;
    double number = 0.0;
    for (char c : format) {
        if (c == ' ') continue;
        if (c >= '0' && c <= '9') {
            number = std::min(number * 10.0 + (c - '0'), kFormatNumberCap);
            continue;
        }
        if (c == '(') {
            if (++level > kMaxParenthesisLevel) return std::string(msg::kFormatTooMany) + "\"(\"";
            sum[level] = 0.0;
            repeat[level] = std::max(number, 1.0);
        } else if (c == 'A') {
            sum[level] += std::max(number, 1.0);
        } else if (c == ')') {
            if (--level < 1) return std::string(msg::kFormatTooMany) + "\")\"";
            sum[level] += sum[level + 1] * repeat[level + 1];
        }
        number = 0.0;
    }
    if (level > 1) return std::string(msg::kFormatNotEnough) + "\")\"";
    field_count = sum[1] >= 2147483647.0 ? 2147483647 : nint(sum[1]);
    if (sum[1] < 1.0) return msg::kFormatNoAFields;
    if (static_cast<double>(xwide) * sum[1] > kMaxEntries) return msg::kFormatTooManyAFields;
    return {};
}

void normalise_control_settings(Run& run) {
    ControlVariables& cv = run.cv;
    if (cv.line_width <= 0 || cv.line_width > kMaxLineWidth) cv.line_width = kMaxLineWidth;
    if (cv.page_length <= 0) cv.page_length = 0;
    else if (cv.page_length < kMinPageLength) cv.page_length = kMinPageLength;
    if (cv.xwide < 1) cv.xwide = 1;
    if (trim(cv.title).empty()) set_text(cv.title, run.rs.control_file, width::kTitle);

    for (char* f : {&cv.item_anchor_question, &cv.box_to_ascii, &cv.batch_flag, &cv.ch_flag,
                    &cv.heading_option, &cv.makekey})
        normalise_yes_no_flag(*f);
    run.rs.batch = cv.batch_flag == 'Y';
    if (cv.csv == 't') cv.csv = 'T';
    if (cv.csv != ',' && cv.csv != 'T') normalise_yes_no_flag(cv.csv);
    if (cv.delimiter >= 'a' && cv.delimiter <= 'z') cv.delimiter = static_cast<char>(cv.delimiter - 32);
    normalise_yes_no_flag(cv.item_deletion_question);
    if (cv.loc_flag == 'L' || cv.loc_flag == 'l' || cv.loc_flag == '2') {
        cv.loc_flag = 'L';
        cv.standardized_fit_label = " LOG";
    } else {
        normalise_yes_no_flag(cv.loc_flag);
        cv.standardized_fit_label = cv.loc_flag == 'Y' ? "ZEMP" : "ZSTD";
    }
    for (char* f : {&cv.mn_flag, &cv.pai_flag, &cv.person_anchor_question, &cv.person_deletion_question,
                    &cv.pt_flag, &cv.step_anchor_question, &cv.step_deletion_question, &cv.stb_flag,
                    &cv.stk_flag, &cv.stept_flag, &cv.tar_flag, &cv.anchor_user_units, &cv.umean_on_items,
                    &cv.no_flag, &cv.groups_in_data, &cv.hlines, &cv.item_numbering, &cv.models_in_data,
                    &cv.to_flag, &cv.ou_flag, &cv.rea_flag, &cv.rescore_in_data, &cv.dist_flag})
        normalise_yes_no_flag(*f);
    if (cv.osort >= 'a' && cv.osort <= 'z') cv.osort = static_cast<char>(cv.osort - 32);
    if (std::string_view("SVUCAMD ").find(cv.osort) == std::string_view::npos) {
        show_message_line(run, std::string(msg::kUnknownOsort) + "\"" + cv.osort + "\"");
        cv.osort = ' ';
    }
    cv.curves.resize(width::kCurves, ' ');
    normalise_flag_string(cv.curves, width::kCurves);
    if (cv.curves == "000") cv.curves = "100";
    if (trim(cv.iselect).empty()) set_text(cv.iselect, "*", width::kSelection);
    if (trim(cv.pselect).empty()) set_text(cv.pselect, "*", width::kSelection);
    if (trim(cv.item_word).empty()) set_text(cv.item_word, "ITEM", width::kWord);
    if (trim(cv.person_word).empty()) set_text(cv.person_word, "PERSON", width::kWord);
    auto plural = [](const std::string& word) {
        std::string w(trim_right(word));
        std::string upper = w;
        uppercase_whole_string(upper);
        return pad_bytes(w + (upper == w ? "S" : "s"), width::kPlural);
    };
    cv.item_plural = plural(cv.item_word);
    cv.person_plural = plural(cv.person_word);
}

void check_and_derive_settings(Run& run) {
    ControlVariables& cv = run.cv;
    check_label_file(run, cv.cfile, msg::kMenuEditCfile, msg::kProblemWithCfile);
    check_label_file(run, cv.clfile, msg::kMenuEditClfile, msg::kProblemWithClfile);
    normalise_control_settings(run);
    if (cv.cut_low != 0.0f || cv.cut_high != 0.0f || cv.pai_flag == 'Y') cv.pt_flag = 'N';
    if (!trim(cv.table_selection).empty()) normalise_flag_string(cv.table_selection, width::kTableSelection);
    if (cv.rescore_in_data != 'N') cv.rescore_mode = 1;
    if (cv.rescore_mode == -1) cv.rescore_mode = trim(cv.new_scores).empty() ? 0 : 2;
    if (cv.groups_in_data != 'N') cv.groups_mode = 1;
    if (cv.models_in_data != 'N') cv.models_mode = 1;
    cv.key_count = std::max(cv.key_count, cv.keys_in_data);
    if (cv.missing > 255 || cv.missing < 0) cv.missing = 255;
    if (cv.missing != 255 && cv.missing != 0 && run.host)
        run.host->write_text_window_line(msg::kUnusualMissing + num(cv.missing));
    check_codes(run);
    if (cv.anchor_scale == 0.0f) cv.anchor_scale = 1.0f;
    if (cv.uscale == 0.0f) cv.uscale = 1.0f;
    if (cv.anchor_scale != 1.0f) cv.anchor_user_units = 'N';
    cv.user_decimals = std::clamp(cv.user_decimals, 0, 4);
    cv.user_decimals_format = "(F8." + num(cv.user_decimals) + ")";
    // A file without any instruction (empty, or not a control file) says so, not what is missing.
    if (cv.item1 < 1 && !run.rs.control_file_instructions)
        fatal_message(run, msg::kNoControlInstructions + run.rs.control_file);
    check_entry_range(run, cv.item1, msg::kProblemWithItem1);
    check_entry_range(run, cv.name1, msg::kProblemWithName1);
    check_entry_range(run, cv.ni, msg::kProblemWithNi);
    if (cv.prcomp >= 'a' && cv.prcomp <= 'z') cv.prcomp = static_cast<char>(cv.prcomp - 32);
    cv.itlen = cv.itlen <= 0 ? kMaxLabelLength : std::min(cv.itlen, kMaxLabelLength);
    if (cv.namlen <= 0)
        cv.namlen = (cv.name1 < cv.item1 && cv.delimiter == ' ') ? std::min(cv.item1 - cv.name1, kMaxDefaultNameLength)
                                                                  : kMaxDefaultNameLength;
    else
        cv.namlen = std::min(cv.namlen, kMaxLabelLength);
    check_record_length(run);
    check_format(run);
}

char reduce_item_field_to_one_character(Run& run, std::string_view field, std::string_view name,
                                        int item, bool groups_note) {
    char result = ' ';
    for (char c : field) {
        if (c == ' ') continue;
        if (result == ' ') {
            result = c;
            continue;
        }
        show_message_line(run, msg::kXwideField + fmt_i(run.cv.xwide, 3) + msg::kMoreThanOneNonBlank +
                                   msg::kInQuoted + std::string(name) + msg::kAtItem + num(item) +
                                   msg::kWithValue + std::string(field));
        show_message_line(run, msg::kValidItemForms);
        if (groups_note) show_message_line(run, msg::kGroupsNote);
        stop_run_as_failed(run);
    }
    return result;
}

void reduce_item_string_to_one_character(Run& run, std::string& text, std::string_view keyword) {
    const std::size_t ni = static_cast<std::size_t>(std::max(0, run.cv.ni));
    const std::size_t x = static_cast<std::size_t>(std::max(1, run.cv.xwide));
    if (x == 1) return;
    text.resize(ni * x, ' ');
    const std::string name(keyword.substr(0, std::min<std::size_t>(6, keyword.find('='))));
    const bool groups = keyword == "GROUPS=";
    if (text.substr(0, x).find(' ') != std::string::npos) {
        // One code in each item's XWIDE columns.
        for (std::size_t i = 0; i < ni; ++i)
            text[i] = reduce_item_field_to_one_character(run, std::string_view(text).substr(i * x, x), name,
                                                         static_cast<int>(i + 1), groups);
    } else {
        // One character per item: the columns after the NI-th must be blank.
        std::size_t p = trim_right(text).size();
        if (p > ni) {
            show_message_line(run, " " + std::string(keyword) + msg::kOneCharacterPerItemTooLong +
                                       num(static_cast<std::int64_t>(p - ni)) + msg::kCharactersTooLong);
            show_message_line(run, msg::kValidItemForms);
            stop_run_as_failed(run);
        }
    }
    text.resize(ni);
}

}  // namespace korvelan

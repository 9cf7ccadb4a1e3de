// The instruction parser: line preparation, the name and value of one "Variable=Value"
// instruction, and the chain of the keyword table that stores the value.
#include <algorithm>
#include <cmath>

#include "engine/run/control_reading.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

namespace {

constexpr std::string_view kNumberCharacters = "1234567890.-";
constexpr float kIntegerLimit = 32000.0f;

// The nine quotation marks: ASCII and the Windows code page 1252 low and curly marks.
bool is_quote(char c) {
    switch (static_cast<unsigned char>(c)) {
        case 0x22: case 0x27: case 0x60: case 0x82: case 0x84:
        case 0x91: case 0x92: case 0x93: case 0x94: return true;
        default: return false;
    }
}

bool is_blank_text(std::string_view s) { return trim(s).empty(); }

struct Instruction {
    std::string line;          // the prepared line; messages show it
    std::string name;          // 8 characters, upper case
    std::size_t value_start;   // first non-blank column after "=" (0-based)
    std::string value;         // at least one character
    char separator = 0;        // ",", ";" or tab when that alone is the value, else 0
};

// The number of KEYn=: name characters 4 to 6, blank meaning 1. 0 when they are not a number
// of at least 1.
int key_number(std::string_view name8) {
    std::string digits;
    for (char c : name8.substr(3, 3))
        if (c != ' ') digits.push_back(c);
    if (digits.empty()) return 1;
    std::int64_t n = 0;
    if (parse_integer_from_text(digits, n) != 0 || n < 1) return 0;
    return static_cast<int>(n);
}

bool stage_active(ChainStage stage, ReadPass pass) {
    switch (stage) {
        case ChainStage::SpFile:
        case ChainStage::File: return true;
        case ChainStage::Second: return pass == ReadPass::Second;
        default: return pass != ReadPass::Second;
    }
}

bool is_separator_character(char c) { return c == ',' || c == ';' || c == '\t'; }

// Blanks and control characters (tabs) of the raw line.
std::string_view skip_white(std::string_view s) {
    std::size_t k = 0;
    while (k < s.size() && static_cast<unsigned char>(s[k]) <= ' ') ++k;
    return s.substr(k);
}

// After a separator: nothing, blanks, or a ";" comment.
bool value_ends_here(std::string_view rest) {
    rest = skip_white(rest);
    return rest.empty() || rest[0] == ';';
}

// The separator the raw line (tabs still in it) names: a lone ",", ";" or tab, bare or in quotes,
// followed by nothing, by blanks or by a ";" comment, which the rules of the trailing comma, of
// the comment and of control characters would take away ("X=,", "X=, ; note", "X=;", "X=;  ; note",
// "X=\";\" ; note", "X=<tab>"). A bare ";" or tab is the value only right after the "=": after a
// blank a ";" starts a comment. 0 for any other value.
char lone_separator(std::string_view raw) {
    const std::size_t eq = raw.find('=', 1);
    if (eq == std::string_view::npos || raw.find(';') < eq) return 0;
    std::string_view v = raw.substr(eq + 1);
    if (!v.empty() && (v[0] == ';' || v[0] == '\t') && value_ends_here(v.substr(1))) return v[0];
    v = skip_white(v);
    if (v.size() >= 3 && is_quote(v[0]) && v[2] == v[0] && is_separator_character(v[1]) &&
        value_ends_here(v.substr(3)))
        return v[1];
    if (!v.empty() && v[0] == ',' && value_ends_here(v.substr(1))) return ',';
    return 0;
}

// ---- the stores of the text stage ------------------------------------------------------------

char first_char(std::string_view v) { return v.empty() ? ' ' : v[0]; }

void store_text_stage(Run& run, const KeywordRule& rule, const Instruction& in) {
    const std::string_view value = in.value;
    ControlVariables& cv = run.cv;
    const FieldRef& f = rule.field;
    switch (rule.action) {
        case StoreAction::BatchFlag: {
            char c = first_char(value);
            cv.*f.flag = c;
            run.rs.batch = c == 'Y' || c == 'y' || c == '1';
            return;
        }
        case StoreAction::Codes:
            store_text(cv, f, value);
            cv.*rule.also.integer = static_cast<std::int32_t>(value.size());
            return;
        case StoreAction::GroupsMode:
            cv.*f.integer = is_blank_text(value) ? 0 : (trim_right(value) == "0" ? 2 : 1);
            return;
        case StoreAction::IreferMode: cv.*f.integer = is_blank_text(value) ? 0 : 1; return;
        case StoreAction::RescoreMode:
            cv.*f.integer = is_blank_text(value) ? 0 : (value[0] == '2' ? 2 : 1);
            return;
        case StoreAction::ModelsMode:
            cv.*f.flag = first_char(value);
            cv.*rule.also.integer = value.size() == 1 ? 2 : 1;
            return;
        case StoreAction::EntityWord:
            store_text(cv, f, value);
            store_text(cv, rule.also, std::string(trim_right(cv.*f.text)) + "S");
            return;
        case StoreAction::ItemSelection:
        case StoreAction::PersonSelection: {
            // The value followed by "*", kept up to its first "*".
            std::string v = std::string(value) + "*";
            v.resize(v.find('*') + 1);
            store_text(cv, f, v);
            if (rule.action == StoreAction::ItemSelection) run.rep.item_sort_state = ' ';
            else run.rep.person_sort_state = ' ';
            return;
        }
        case StoreAction::Separator:
            cv.*f.flag = in.separator ? in.separator : first_char(in.value);
            return;
        case StoreAction::SortLetters:
            cv.*f.flag = first_char(value);
            run.rep.item_sort_state = ' ';
            run.rep.person_sort_state = ' ';
            return;
        default:
            if (f.text) store_text(cv, f, value);
            else if (f.flag) cv.*f.flag = first_char(value);
            return;
    }
}

void store_real(ControlVariables& cv, const KeywordRule& rule, float v) {
    switch (rule.action) {
        case StoreAction::Absolute: v = std::fabs(v); break;
        case StoreAction::ExtremeLimit: v = std::max(std::min(std::fabs(v), 1.0f), 0.01f); break;
        case StoreAction::ZeroMeansOne: v = v == 0.0f ? 1.0f : v; break;
        case StoreAction::OriginItems: cv.*rule.also.flag = 'Y'; break;
        case StoreAction::OriginPersons: cv.*rule.also.flag = 'N'; break;
        default: break;
    }
    cv.*rule.field.real = v;
}

void store_integer(ControlVariables& cv, const KeywordRule& rule, float v) {
    if (rule.action == StoreAction::Ignored) return;
    std::int32_t n = nint(v);
    if (rule.action == StoreAction::Absolute) n = n < 0 ? -n : n;
    cv.*rule.field.integer = n;
}

// ---- the second reading: per-item strings ----------------------------------------------------

std::string item_string(const ControlVariables& cv, std::string_view value) {
    std::size_t n = static_cast<std::size_t>(std::max(0, cv.ni) * std::max(1, cv.xwide));
    return pad_bytes(value.substr(0, std::min(n, value.size())), n);
}

void store_second_reading(Run& run, ControlReading& rd, const KeywordRule& rule,
                          const Instruction& in) {
    ItemDefinitionStrings* s = rd.strings;
    const ControlVariables& cv = run.cv;
    if (!s) return;
    switch (rule.action) {
        case StoreAction::AnswerKey: {
            int n = key_number(in.name);
            // Rows were sized from the first reading; a key it did not count has no row.
            if (n < 1 || static_cast<std::size_t>(n) > s->answer_keys.size()) return;
            std::string key = in.value;
            store_run_codes(run, key, std::string(trim_right(in.name)) + "=");
            s->answer_keys[n - 1] = item_string(cv, key);
            if (static_cast<std::size_t>(n) <= s->key_scores.size()) s->key_scores[n - 1] = n;
            return;
        }
        case StoreAction::IvalueRow: {
            if (is_blank_text(in.value)) return;
            std::size_t w = static_cast<std::size_t>(std::max(0, cv.categs) * std::max(1, cv.xwide));
            std::string codes = in.value;
            store_run_codes(run, codes, std::string(trim_right(in.name)) + "=");
            codes.resize(std::min(w, codes.size()));
            codes.resize(w, '*');
            char letter = trim_right(in.name).back();
            std::string row = std::string(1, letter) + codes;
            for (std::string& r : s->ivalue_rows) {
                if (!r.empty() && r[0] == letter) {
                    r = row;
                    return;
                }
            }
            s->ivalue_rows.push_back(row);
            return;
        }
        case StoreAction::GroupsString:
            if (cv.groups_mode == 1) s->groups = item_string(cv, in.value);
            return;
        case StoreAction::ModelsString:
            if (cv.models_mode == 1) s->models = item_string(cv, in.value);
            return;
        case StoreAction::IreferString:
            if (cv.irefer_mode == 1) {
                std::string v = in.value;
                uppercase_whole_string(v);
                s->irefer = item_string(cv, v);
            }
            return;
        case StoreAction::RescoreString:
            if (cv.rescore_mode == 1) s->rescore = item_string(cv, in.value);
            return;
        default: return;
    }
}

// ---- the chain ---------------------------------------------------------------------------------

// The number at the value's start, read from a copy of the line. echo receives the line as
// messages show it: a number without a point is shown with one after it.
bool read_number(Run& run, const ControlReading& rd, const Instruction& in, float& value,
                 std::string& echo) {
    echo = in.line;
    std::size_t s = std::min(in.value_start, in.line.size());
    std::size_t e = in.line.find_first_not_of(kNumberCharacters, s);
    if (e == std::string::npos) e = in.line.size();
    std::string number = in.line.substr(s, e - s);
    if (number.empty()) return instruction_problem(run, rd, msg::kNumericValueExpected + in.line);
    if (number.find('.') == std::string::npos) {
        number += '.';
        if (e < kInstructionLineWidth) {
            if (e < echo.size()) echo[e] = '.';
            else echo += '.';
        }
    }
    if (parse_real_from_text(number, value) != 0)
        return instruction_problem(run, rd, msg::kNumericValueExpected + echo);
    return true;
}

enum class Taken { No, Yes, Problem };

// A file name longer than its field would name another file: it is refused, not cut.
// DATA= names its files in a wider field of its own (a list joined by "+").
bool file_name_fits(Run& run, const ControlReading& rd, const KeywordRule& rule, std::string_view value) {
    const bool names_files = rule.field.text == &ControlVariables::data_file;
    if (!rule.field.text || (rule.field.width != width::kFileName && !names_files)) return true;
    const std::size_t width = static_cast<std::size_t>(rule.field.width);
    std::string_view name = trim(value);
    if (name == "*") return true;  // an in-line list follows
    if (!name.empty() && name[0] == '*') name = trim(name.substr(1));
    if (name.size() <= width) return true;
    const std::string keyword = rule.keyword ? rule.keyword : "";
    return instruction_problem(run, rd, msg::kFileNameTooLong + keyword + msg::kFileNameHas +
                                            std::to_string(name.size()) + msg::kFileNameBytes +
                                            std::to_string(width) + msg::kFileNameCanBeUsed);
}

Taken try_rule(Run& run, ControlReading& rd, const KeywordRule& rule, const Instruction& in,
               float number) {
    if (!rule_matches(rule, in.name)) return Taken::No;
    if (rule.action == StoreAction::ListFile && in.value[0] != '*') return Taken::No;
    if (rule.action == StoreAction::KeyCount && key_number(in.name) < 1) return Taken::No;
    if (rd.pass == ReadPass::Runtime && rule.fixed_after_run) {
        instruction_problem(run, rd, msg::kFixedAfterRun + in.line);
        return Taken::Problem;
    }
    if (!file_name_fits(run, rd, rule, in.value)) return Taken::Problem;
    bool ok = true;
    switch (rule.stage) {
        case ChainStage::SpFile: ok = begin_supplementary_file(run, rd, rule, in.value, in.line); break;
        case ChainStage::File:
            if (rule.action == StoreAction::ListFile && rd.pass != ReadPass::Second)
                run.cv.*rule.also.integer = 3;
            ok = store_file_name_value(run, rd, rule, in.value);
            break;
        case ChainStage::Count:
            if (rule.action == StoreAction::KeyCount)
                run.cv.key_count = std::max(run.cv.key_count, key_number(in.name));
            else if (!is_blank_text(in.value))
                ++run.cv.ivalue_rows;
            break;
        case ChainStage::Text: store_text_stage(run, rule, in); break;
        case ChainStage::Real: store_real(run.cv, rule, number); break;
        case ChainStage::Integer: store_integer(run.cv, rule, number); break;
        case ChainStage::Second: store_second_reading(run, rd, rule, in); break;
    }
    return ok ? Taken::Yes : Taken::Problem;
}

bool run_chain(Run& run, ControlReading& rd, const Instruction& in) {
    constexpr ChainStage kOrder[] = {ChainStage::SpFile, ChainStage::File,    ChainStage::Count,
                                     ChainStage::Text,   ChainStage::Real,    ChainStage::Integer,
                                     ChainStage::Second};
    float number = 0.0f;
    std::string echo = in.line;
    for (ChainStage stage : kOrder) {
        if (!stage_active(stage, rd.pass)) continue;
        if (stage == ChainStage::Real && !read_number(run, rd, in, number, echo)) return false;
        // The range is tested before any integer name is looked at.
        if (stage == ChainStage::Integer && (number < -kIntegerLimit || number > kIntegerLimit))
            return instruction_problem(run, rd, msg::kNumericValueInRange + echo);
        for (const KeywordRule& rule : keyword_table()) {
            if (rule.stage != stage) continue;
            Taken t = try_rule(run, rd, rule, in, number);
            if (t == Taken::Yes) return true;
            if (t == Taken::Problem) return false;
        }
    }
    if (rd.pass == ReadPass::Second) return true;
    return instruction_problem(run, rd, msg::kUnrecognizedVariable + echo);
}

}  // namespace

bool instruction_problem(Run& run, const ControlReading& rd, std::string_view text) {
    if (rd.pass != ReadPass::Runtime) fatal_message(run, std::string(text) + instruction_place(run, rd));
    show_message_line(run, text);
    return false;
}

bool instruction_file_problem(Run& run, const ControlReading& rd, std::string_view name, char mode) {
    if (rd.pass != ReadPass::Runtime) fail_on_file_error(run, name, mode);
    report_file_error(run, name, mode);
    return false;
}

bool parse_control_instruction(Run& run, ControlReading& rd, std::string line) {
    rd.name.clear();
    const char separator = lone_separator(line);
    // Control characters (tabs included) become blanks; ";" starts a comment.
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    std::size_t semi = line.find(';');
    if (semi != std::string::npos) line.resize(semi);
    line.resize(trim_right(line).size());
    // A blank line, or "*" alone in column 1, is passed over.
    if (line.empty() || (line[0] == '*' && is_blank_text(std::string_view(line).substr(1)))) return true;

    Instruction in;
    in.line = std::string(trim_left(line));
    std::size_t eq = in.line.find('=', 1);
    if (eq == std::string::npos) {
        std::string head = in.line.substr(0, std::min<std::size_t>(5, in.line.size()));
        uppercase_whole_string(head);
        if (head.starts_with("&END")) {
            rd.end_flag = true;
            return true;
        }
        if (head[0] == '&') return true;
        return instruction_problem(run, rd, msg::kVariableValueExpected + in.line);
    }
    in.name = pad_bytes(std::string_view(in.line).substr(0, eq), 8);
    uppercase_whole_string(in.name);
    rd.name = in.name;

    const std::size_t length = in.line.size();
    std::size_t s = in.line.find_first_not_of(' ', eq + 1);
    in.value_start = s == std::string::npos ? eq + 1 : s;
    if (s != std::string::npos) {
        char q = in.line[s];
        if (is_quote(q)) {
            std::size_t close = in.line.find(q, s + 1);
            if (close != std::string::npos) {
                in.value = in.line.substr(s + 1, close - s - 1);
            } else {
                std::size_t end = length;
                if (end > s + 1 && is_quote(in.line[end - 1])) --end;
                in.value = in.line.substr(s + 1, end - s - 1);
            }
        } else {
            std::size_t end = length;
            if (in.line[end - 1] == ',') --end;
            in.value = std::string(trim_right(std::string_view(in.line).substr(s, end - s)));
        }
    }
    if (in.value.empty()) in.value.push_back(' ');
    in.separator = separator;
    return run_chain(run, rd, in);
}

}  // namespace korvelan

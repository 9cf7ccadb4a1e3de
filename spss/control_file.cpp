#include "spss/control_file.h"

#include <algorithm>
#include <cctype>

#include "engine/run/numtext.h"
#include "spss/characters.h"
#include "spss/control_layout.h"
#include "spss/spss_file.h"

namespace korvelan::spss {

namespace {

std::string upper(std::string text) {
    uppercase_whole_string(text);
    return text;
}

// The index of the line that names the .sav file, and its path; -1 when there is none.
int find_sav_line(const std::vector<std::string>& lines, std::string& path) {
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const std::string& l = lines[static_cast<std::size_t>(i)];
        if (l.empty() || l[0] != '!' || l.find("SPSS") == std::string::npos) continue;
        const std::size_t colon = l.find(':');
        if (colon == std::string::npos) continue;
        path = std::string(trim(std::string_view(l).substr(colon + 1)));
        return i;
    }
    return -1;
}

std::string padded_name(const std::string& name) { return pad_columns_to_at_least(name, 8); }

struct Selection {
    std::string sav_path;
    std::vector<Slot> slots;
    int ni = 0;
};

// Reads the selection file and looks every selected name up; a problem outcome on failure.
bool read_selection(const std::string& selection_path, SpssFile& sav, Selection& sel, Outcome& failure) {
    std::vector<std::string> lines;
    if (int error = 0; !read_text_lines(selection_path, lines, &error)) {
        failure = work_file_read_failure("SPSS WORK FILE", "SP", 26, selection_path, error);
        return false;
    }
    const int sav_line = find_sav_line(lines, sel.sav_path);
    if (sav_line < 0) {
        failure = problem("\"! SPSS FILE:\" not found.");
        return false;
    }
    if (const int status = sav.open(sel.sav_path); status != 0) {
        failure = problem(cannot_open_message(sel.sav_path, status));
        return false;
    }
    struct Section {
        const char* marker;
        const char* missing;
        const char* unknown;
        bool is_item;
    };
    const Section sections[] = {
        {"ITEM", "\"! ITEM VARIABLES:\" not found.", "Unknown SPSS item variable name: ", true},
        {"PERSON", "\"! PERSON VARIABLES:\" not found.", "Unknown SPSS person variable name: ", false},
    };
    for (const Section& section : sections) {
        std::vector<std::string> names;
        if (!section_names(lines, section.marker, sav_line, names)) {
            failure = problem(section.missing);
            return false;
        }
        for (const std::string& name : names) {
            Slot slot;
            slot.name = name;
            slot.is_item = section.is_item;
            if (sav.variable_handle(name, slot.handle) != 0) {
                failure = problem(section.unknown + name, true);
                return false;
            }
            sel.slots.push_back(slot);
        }
        if (section.is_item) sel.ni = static_cast<int>(sel.slots.size());
    }
    if (sel.slots.empty()) {
        failure = problem("No SPSS variables selected");
        return false;
    }
    return true;
}

// First pass: the widest value text of every slot, and the number of cases.
bool measure_widths(SpssFile& sav, std::vector<Slot>& slots, long& cases, Outcome& failure) {
    cases = 0;
    std::string text;
    while (sav.read_next_case() == 0) {
        ++cases;
        for (Slot& slot : slots) {
            if (slot_value_text(sav, slot, false, text) != 0) {
                failure = problem("Unknown SPSS variable value: " + padded_name(slot.name));
                return false;
            }
            slot.width = std::max(slot.width, static_cast<int>(character_count(text)));
        }
    }
    return true;
}

void write_control_lines(TextOutput& out, const Selection& sel, int xwide, long cases) {
    out.line("; Save this file as your Korvelan control and data file");
    out.line("&INST");
    out.line("Title=\"" + sel.sav_path + "\"");
    out.line("ITEM1=1");
    out.line("NI=" + std::to_string(sel.ni));
    out.line("XWIDE = " + std::to_string(xwide));
    for (const std::string& l : codes_lines(xwide)) out.line(l);
    out.line("; SPSS Cases processed = " + std::to_string(cases));
    out.line("NAME1 = " + std::to_string(xwide * sel.ni + 2));
    out.line("; Person Label variables");
    int namlen = 0;
    for (std::size_t i = static_cast<std::size_t>(sel.ni); i < sel.slots.size(); ++i) {
        const Slot& s = sel.slots[i];
        out.line("; " + padded_name(s.name) + " " + std::to_string(s.first_column) + "-" +
                 std::to_string(s.last_column));
        namlen += s.width;
    }
    out.line("NAMLEN = " + std::to_string(namlen));
    out.line("&END");
    for (int i = 0; i < sel.ni; ++i) {
        out.line(padded_name(sel.slots[static_cast<std::size_t>(i)].name) + " ; Item " + std::to_string(i + 1));
    }
    out.line("END NAMES");
}

// Appends the text in its field, which starts at character column `first`, after the blanks
// that reach it from the record's end at character column `column`.
void place(std::string& record, int& column, int first, int width, const std::string& text) {
    if (first > column) record.append(static_cast<std::size_t>(first - column), ' ');
    record += pad_characters(text, static_cast<std::size_t>(width));
    column = first + width;
}

// Second pass: one record per case. Counts the values written as missing because their
// variable declares them missing.
bool write_records(SpssFile& sav, TextOutput& out, std::vector<Slot>& slots, long& declared_missing,
                   Outcome& failure) {
    sav.move_to_case(0);
    const int last = slots.back().last_column;
    std::string record, text;
    for (long n = 1; sav.read_next_case() == 0; ++n) {
        record.clear();
        int column = 1;
        for (Slot& slot : slots) {
            bool declared = false;
            if (slot_value_text(sav, slot, true, text, &declared) != 0) {
                failure = problem("Unknown SPSS variable value: " + padded_name(slot.name));
                return false;
            }
            if (declared) ++declared_missing;
            place(record, column, slot.first_column, slot.last_column - slot.first_column + 1, text);
        }
        place(record, column, last + 2, 10, std::to_string(n));
        out.line(record);
    }
    return true;
}

}  // namespace

bool section_names(const std::vector<std::string>& lines, const std::string& marker, int skip_line,
                   std::vector<std::string>& names) {
    names.clear();
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        if (static_cast<int>(i) == skip_line) continue;
        if (!lines[i].empty() && lines[i][0] == '!' && upper(lines[i]).find(marker) != std::string::npos) break;
    }
    if (i == lines.size()) return false;
    for (++i; i < lines.size() && (lines[i].empty() || lines[i][0] != '!'); ++i) {
        std::string_view l(lines[i]);
        l = l.substr(0, l.find(';'));
        l.remove_prefix(std::min(l.size(), l.find_first_not_of(" \t")));
        l = l.substr(0, l.find_first_of(" \t"));
        if (!l.empty()) names.emplace_back(l);
    }
    return true;
}

std::vector<std::string> codes_lines(int xwide) {
    if (xwide <= 1) return {"CODES = 0123456789"};
    if (xwide >= 3) return {"CODES =    ; Please supply your values here"};
    auto codes = [](int from, int to) {
        std::string s;
        for (int c = from; c <= to; ++c) s += fmt_i(c, 2);
        return s;
    };
    return {"CODES = \"" + codes(0, 29) + "+", "+" + codes(30, 59) + "+", "+" + codes(60, 89) + "+",
            "+" + codes(90, 99) + "\""};
}

Outcome build_control_file_from_spss_selection(const std::string& selection_path,
                                               const std::string& output_path) {
    SpssFile sav;  // closed on every return
    Selection sel;
    Outcome failure;
    if (!read_selection(selection_path, sav, sel, failure)) return failure;
    long cases = 0;
    if (!measure_widths(sav, sel.slots, cases, failure)) return failure;
    int xwide = 1;
    for (int i = 0; i < sel.ni; ++i) xwide = std::max(xwide, sel.slots[static_cast<std::size_t>(i)].width);
    lay_out_slots(sel.slots, sel.ni, xwide);
    TextOutput out;
    if (!out.create(output_path)) return work_file_failure("SPSS KORVELAN FILE", "SW", 27);
    write_control_lines(out, sel, xwide, cases);
    Outcome done;
    if (!write_records(sav, out, sel.slots, done.declared_missing_written, failure)) return failure;
    if (!out.close()) return work_file_failure("SPSS KORVELAN FILE", "SW", 27);
    return done;
}

}  // namespace korvelan::spss

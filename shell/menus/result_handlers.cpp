#include "shell/menus/result_handlers.h"

#include <string>

#include "engine/driver/output_dispatch.h"

namespace korvelan {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void serve_menu_request(Run& run, MenuModel& menus, bool table) {
    set_result_menus_enabled(menus, run, menu_flag::kGrayed);
    if (table)
        serve_table_request_after_run(run);
    else
        dispatch_output_request(run);
    set_result_menus_enabled(menus, run, menu_flag::kEnabled);
}

namespace {

void serve_table(Run& run, MenuModel& menus, const TableRequest& request) {
    run.rep.request.table = request.table;
    run.rep.request.output_file_code = request.output_file_code;
    run.rep.request.selectors = request.selectors;
    run.rep.request.letters = request.letters;
    serve_menu_request(run, menus, true);
}

struct DiagnosisRow {
    char letter;
    int table;
    float sub_table;
};
constexpr DiagnosisRow kDiagnosisRows[] = {
    {'A', 26, 0.0f}, {'B', 2, 5.0f}, {'C', 3, 2.0f}, {'D', 23, 0.0f},
    {'E', 10, 0.0f}, {'F', 2, 0.0f}, {'G', 3, 1.0f},
};

struct TwoLetterCode {
    const char* start;
    char code;
};
constexpr TwoLetterCode kTwoLetterCodes[] = {
    {"IS", 'J'}, {"SC", 'C'}, {"IC", '1'}, {"PC", '2'},
    {"XF", 'X'}, {"UN", 'U'}, {"GU", 'Y'}, {"SI", 'Z'},
};

// Moves the check mark among the Output Files entries first .. first + n - 1 to `chosen`.
void check_one_of(MenuModel& menus, int menu, int first, int n, int chosen) {
    for (int i = first; i < first + n; ++i) {
        const MenuEntry* e = menus.entry(menu, i);
        if (!e) continue;
        const int gray = e->grayed ? menu_flag::kGrayed : 0;
        menus.set_state(menu, i, gray | (i == chosen ? menu_flag::kChecked : 0));
    }
}

}  // namespace

std::optional<TableRequest> table_request_of_entry(std::string_view text) {
    TableRequest r;
    int level = 0;  // 0 the Table number, 1 the sub-table, 2 the sub-sub-table
    std::int32_t t = 0;
    float s = 0.0f, u = 0.0f;
    for (char c : text) {
        if (c == '.') {
            if (level < 2) ++level;
        } else if (is_digit(c)) {
            const int d = c - '0';
            if (level == 0) t = t * 10 + d;
            else if (level == 1) s = s * 10.0f + static_cast<float>(d);
            else u = u * 10.0f + static_cast<float>(d);
        } else if (c != ' ' || t > 0) {
            break;
        }
    }
    if (t < 1) return std::nullopt;
    r.table = t;
    if (s != 0.0f) {
        r.selectors[0] = s;
        r.letters[0] = 'Y';
        if (u != 0.0f) {
            r.selectors[7] = u;
            r.letters[7] = 'Y';
        }
    }
    return r;
}

std::optional<TableRequest> diagnosis_request(std::string_view text) {
    if (text.empty()) return std::nullopt;
    for (const DiagnosisRow& row : kDiagnosisRows) {
        if (row.letter != text[0]) continue;
        TableRequest r;
        r.table = row.table;
        r.output_file_code = row.letter;
        if (row.sub_table != 0.0f) {
            r.selectors[0] = row.sub_table;
            r.letters[0] = 'Y';
        }
        return r;
    }
    return std::nullopt;
}

char output_file_code(std::string_view keyword) {
    for (const TwoLetterCode& c : kTwoLetterCodes)
        if (keyword.substr(0, 2) == c.start) return c.code;
    return keyword.empty() ? ' ' : keyword[0];
}

void request_table_from_menu(Run& run, MenuModel& menus, const MenuChoice& choice) {
    if (choice.text.empty()) return;
    if (const auto request = table_request_of_entry(choice.text)) serve_table(run, menus, *request);
}

void request_diagnosis_table(Run& run, MenuModel& menus, const MenuChoice& choice) {
    if (choice.text.empty()) return;
    if (const auto request = diagnosis_request(choice.text)) serve_table(run, menus, *request);
}

void request_output_file_from_menu(Run& run, MenuModel& menus, const MenuChoice& choice) {
    const std::string& text = choice.text;
    const std::size_t eq = text.find('=');
    if (text.empty() || eq == std::string::npos) return;
    const std::size_t blank = text.rfind(' ', eq);
    const std::string keyword = text.substr(blank == std::string::npos ? 0 : blank + 1,
                                            eq - (blank == std::string::npos ? 0 : blank + 1));
    const char value = eq + 1 < text.size() ? text[eq + 1] : ' ';
    const int m = menu_bar::kOutputFiles;
    if (keyword.rfind("CSV", 0) == 0) {
        run.cv.csv = value;
        check_one_of(menus, m, result_item::kCsvNo, 3, csv_item(value));
        menus.redraw();
        return;
    }
    if (keyword.rfind("HLINES", 0) == 0) {
        run.cv.hlines = value;
        check_one_of(menus, m, result_item::kHlinesYes, 2, hlines_item(value));
        menus.redraw();
        return;
    }
    run.rep.request.table = -1;
    run.rep.request.output_file_code = output_file_code(keyword);
    run.rep.request.letters.fill(' ');
    serve_menu_request(run, menus, false);
}

ResultHandlers result_handlers(Run& run, MenuModel& menus) {
    auto bind = [&run, &menus](void (*f)(Run&, MenuModel&, const MenuChoice&)) {
        return EntryHandler([&run, &menus, f](const MenuChoice& c) { f(run, menus, c); });
    };
    return {bind(request_diagnosis_table), bind(request_table_from_menu),
            bind(request_output_file_from_menu), bind(request_file_comparison)};
}

}  // namespace korvelan

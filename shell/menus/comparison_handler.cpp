// The Compare Files entries: the compared statistic, the left side (the run's items or persons,
// or a left file), the two file prompts that rebuild the tail of the menu, and the comparison.
#include <filesystem>
#include <string>

#include "engine/driver/output_dispatch.h"
#include "shell/menus/result_handlers.h"

namespace korvelan {

namespace {

using namespace result_item;
constexpr int kMenu = menu_bar::kCompareFiles;
constexpr int kComparisonTable = 99;  // the dispatcher's number of the comparison
constexpr const char* kLeftFileText = "Left File =";
constexpr const char* kRightFileText = "Right File =";

// The position of the chosen entry in the Compare Files menu (0 when it is not there). The
// entry is told by where it stands, never by the first letter of its text: an entity word may
// begin with any letter.
int position_of(const MenuModel& menus, int id) {
    const std::vector<MenuEntry>* p = menus.popup(kMenu);
    if (!p) return 0;
    for (std::size_t i = 0; i < p->size(); ++i)
        if ((*p)[i].id == id && !(*p)[i].separator) return static_cast<int>(i) + 1;
    return 0;
}

void set_check(MenuModel& menus, int position, bool checked) {
    const MenuEntry* e = menus.entry(kMenu, position);
    if (!e) return;
    menus.set_state(kMenu, position, (e->grayed ? menu_flag::kGrayed : 0) | (checked ? menu_flag::kChecked : 0));
}

// The answer of a file prompt: the name as shown and the name as used (absolute).
void ask_file(Run& run, const char* title, std::string& shown, std::string& used) {
    std::string answer;
    if (run.host)
        answer = run.host->prompt_for_file_name(title, run.host->initial_settings().filter,
                                                FilePromptMode::Open);
    answer = answer.substr(0, answer.find('\0'));
    shown = answer;
    if (answer.empty() || answer.find('/') != std::string::npos)
        used = answer;
    else
        used = std::filesystem::current_path().string() + "/" + answer;
}

void ask_left_file(Run& run, MenuModel& menus, const EntryHandler& self) {
    ComparisonSettings& c = run.rs.comparison;
    ask_file(run, "Left file in comparison", c.left_name, c.left_path);
    for (int p : {kRightFile, kRightFile - 1, kLeftFile}) menus.delete_entry(kMenu, p);
    menus.append(kMenu, 0, kLeftFileText + c.left_name, self);
    menus.append(kMenu, menu_flag::kSeparator, "", nullptr);
    menus.append(kMenu, 0, kRightFileText + c.right_name, self);
}

void ask_right_file(Run& run, MenuModel& menus, const EntryHandler& self) {
    ComparisonSettings& c = run.rs.comparison;
    ask_file(run, "Right file in comparison", c.right_name, c.right_path);
    menus.delete_entry(kMenu, kRightFile);
    menus.append(kMenu, 0, kRightFileText + c.right_name, self);
}

int side_radio(char side) {
    return side == 'I' ? 1 : side == 'P' ? 2 : side == 'L' ? 3 : 0;
}

}  // namespace

void request_file_comparison(Run& run, MenuModel& menus, const MenuChoice& choice) {
    if (choice.text.empty()) return;
    ComparisonSettings& c = run.rs.comparison;
    const int position = position_of(menus, choice.id);
    if (position >= kMeasureColumn && position <= kMeasureColumn + 2) {
        c.column = "MOI"[position - kMeasureColumn];
        for (int p = kMeasureColumn; p <= kMeasureColumn + 2; ++p) set_check(menus, p, p == position);
        menus.redraw();
        return;
    }
    // The entries rebuilt here are bound to this handler again.
    const EntryHandler* self = menus.handlers().find(choice.id);
    const EntryHandler handler = self ? *self : EntryHandler{};
    if (position == kLeftFile) ask_left_file(run, menus, handler);
    if (position == kRightFile) ask_right_file(run, menus, handler);
    set_check(menus, kRightFile, !trim(c.right_name).empty());
    if (position == kItemSide) c.side = 'I';
    if (position == kPersonSide) c.side = 'P';
    if (position == kLeftFile) c.side = trim(c.left_name).empty() ? ' ' : 'L';
    const int radio = side_radio(c.side);
    for (int n = 1; n <= 3; ++n) set_check(menus, kItemSide + n - 1, n == radio);
    const int do_flags = do_comparison_flags(c, menu_flag::kEnabled);
    menus.set_state(kMenu, kDoComparison, do_flags);
    if (position != kDoComparison || do_flags != menu_flag::kEnabled) {
        menus.redraw();
        return;
    }
    run.rep.request.table = kComparisonTable;
    run.rep.page_line_counter = -1;
    run.rep.request.letters.fill(' ');
    serve_menu_request(run, menus, false);
}

}  // namespace korvelan
